// A person checks a faulty database on the real main window: F7 lists the
// findings, a double-click and Enter take them to the faulty rows, the Fix
// button removes a dangling favorite entry as one edit, and Data Download with
// an error present asks first; Cancel stops it.
#include <QDockWidget>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>

#include "check_dock.h"
#include "exchange_dir.h"
#include "frm_child.h"
#include "frm_main.h"
#include "grid/k_string_grid.h"
#include "main_window_support.h"
#include "modal_answers.h"

using namespace lumora;
using namespace lumora::test;

namespace {

QStringList Whats(const QTreeWidget* list)
{
    QStringList whats;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        whats << list->topLevelItem(i)->text(0) + QStringLiteral(" | ") + list->topLevelItem(i)->text(1) +
                     QStringLiteral(" | ") + list->topLevelItem(i)->text(2);
    return whats;
}

void PressInWindow(TfrmMain& window, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : static_cast<QWidget*>(&window), key, modifiers);
}

}  // namespace

class CheckDatabaseTest : public QObject {
    Q_OBJECT

private slots:
    void findingsLeadToTheirRowsAndDownloadAsksFirst()
    {
        QTemporaryDir dir;
        auto window = StartMainWindow(dir.filePath(QStringLiteral("LV32.cfg")),
                                      "[SYSTEMINFO]\r\nMODEL=0\r\nCOMPORT=0\r\n", LibraryPath());
        window->NewFile->trigger();
        TfrmChild* doc = window->ActiveDocument();
        QVERIFY(doc);
        doc->parentWidget()->showMaximized();
        LoadSample(*doc, dir.path());
        // As read from a faulty file: TV service 6 on a stream that does not
        // exist, and a ninth entry of TV list B that names no service.
        TChannelDatabase& db = doc->Document().Database();
        QCOMPARE(db.ServiceInfo.pServiceInfo[5].ServiceType, kServiceTypeTV);
        db.ServiceInfo.pServiceInfo[5].pTSIndex = 77;
        TFavoriteItem& listB = db.FavoriteInfo[kServiceTypeTV][1];
        QCOMPARE(listB.wIndexNum, 8);
        listB.Index[listB.wIndexNum++] = 999;
        doc->Document().MarkSaved();
        // The person is looking at the radio services.
        QTest::mouseClick(doc->FR2, Qt::LeftButton);
        QCOMPARE(doc->Document().DisplayMode(), kServiceTypeRadio);

        QTreeWidget* list = window->CheckDock->List;
        QVERIFY(!window->CheckDock->isVisible());
        PressInWindow(*window, Qt::Key_F7);
        QTRY_VERIFY(window->CheckDock->isVisible());
        const std::string service6 = doc->Document().Service(5).szServiceName;
        const QStringList found = {
            QStringLiteral("error | stream index 77 is beyond the 38 streams | TV service 6 \"%1\"")
                .arg(QString::fromStdString(service6)),
            QStringLiteral("error | value 999 names no TV service | TV favorite list B entry 9")};
        QCOMPARE(Whats(list), found);

        // A double-click on the favorite finding shows list B of the TV
        // services with the entry's row selected.
        const QPoint favoriteItem = list->visualItemRect(list->topLevelItem(1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, favoriteItem);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, favoriteItem);
        QTRY_COMPARE(doc->Document().Label1Caption, std::string("B"));
        QVERIFY(doc->FR1->isChecked());
        QCOMPARE(doc->Document().SG.Row(), 9);
        QCOMPARE(doc->SG->currentIndex(), doc->SG->CellIndex(kColName, 9));

        // Enter on the service finding shows All Service with its row selected.
        list->setFocus();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(0)).center());
        QTest::keyClick(list, Qt::Key_Return);
        QTRY_COMPARE(doc->Document().Label1Caption, std::string("All Service"));
        const int row = doc->Document().SG.Row();
        QCOMPARE(doc->Document().SG.Cell(kColRI, row), std::string("5"));
        QCOMPARE(doc->Document().SG.Selection().Top, row);
        QCOMPARE(doc->SG->currentIndex(), doc->SG->CellIndex(kColName, row));

        // The Fix button removes the dangling entry as one edit; the list is checked again.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(1)).center());
        QCOMPARE(window->CheckDock->FixButton->text(), QStringLiteral("Remove the favorite entry"));
        QTest::mouseClick(window->CheckDock->FixButton, Qt::LeftButton);
        QCOMPARE(Whats(list), found.mid(0, 1));
        QCOMPARE(listB.wIndexNum, 8);
        QCOMPARE(window->EditUndo->text(), QStringLiteral("&Undo Remove the favorite entry"));
        PressInWindow(*window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(listB.wIndexNum, 9);
        PressInWindow(*window, Qt::Key_F7);
        QTRY_COMPARE(Whats(list), found);

        // Data Download with errors present asks first; Cancel stops it before
        // any image is built.
        const QString image =
            QString::fromStdString(ExchangeFile(window->State().ExchangeDir, kDownloadImageExchangeFile));
        ModalAnswers answers;
        answers.MessageBox(QMessageBox::Cancel);
        QTest::mouseClick(window->ToolBar1->widgetForAction(window->DataDownLoad), Qt::LeftButton);
        QTRY_COMPARE(answers.Pending(), 0);
        QCOMPARE(answers.seenTexts.size(), 1);
        QVERIFY2(answers.seenTexts[0].contains(QStringLiteral("The checks found errors")),
                 qPrintable(answers.seenTexts[0]));
        QVERIFY(!QFile::exists(image));
        QCOMPARE(answers.unexpected, 0);
        // OK goes on with the download: the next window is the transfer's.
        answers.MessageBox(QMessageBox::Ok);
        answers.Reject();
        QTest::mouseClick(window->ToolBar1->widgetForAction(window->DataDownLoad), Qt::LeftButton);
        QTRY_COMPARE(answers.Pending(), 0);
        QCOMPARE(answers.seenTexts.size(), 2);
    }
};

QTEST_MAIN(CheckDatabaseTest)
#include "check_database_test.moc"
