// A person imports a satellite tuning table into a new document: File >
// Import > "Channel Files..." with the mouse, picks the file, puts its
// orbital position on antenna 3 with the keyboard, checks the antenna in the
// merge dialog, merges, saves with Ctrl+S, and takes the import back with
// one Ctrl+Z.
#include <QComboBox>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include "compare_dock.h"
#include "frm_child.h"
#include "frm_main.h"
#include "import_dialogs.h"
#include "main_window_support.h"
#include "merge_dialog.h"
#include "modal_answers.h"

using namespace lumora;
using namespace lumora::test;

namespace {

// Two DVB-S transponders and one DVB-S2 one, as dtv-scan-tables writes them.
constexpr char kHotbird[] = "# Hotbird 13.0E\n"
                            "[CHANNEL]\n\tDELIVERY_SYSTEM = DVBS\n\tFREQUENCY = 10719000\n\tPOLARIZATION = VERTICAL\n"
                            "\tSYMBOL_RATE = 27500000\n\tINNER_FEC = 3/4\n\tMODULATION = QPSK\n\tINVERSION = AUTO\n\n"
                            "[CHANNEL]\n\tDELIVERY_SYSTEM = DVBS\n\tFREQUENCY = 11054000\n\tPOLARIZATION = HORIZONTAL\n"
                            "\tSYMBOL_RATE = 27500000\n\tINNER_FEC = 5/6\n\tMODULATION = QPSK\n\tINVERSION = AUTO\n\n"
                            "[CHANNEL]\n\tDELIVERY_SYSTEM = DVBS2\n\tFREQUENCY = 10834000\n\tPOLARIZATION = VERTICAL\n"
                            "\tSYMBOL_RATE = 27500000\n\tINNER_FEC = 3/4\n\tMODULATION = PSK/8\n\tINVERSION = AUTO\n";

void ClickMenuPath(TfrmMain& window, const QString& top, QAction* submenu, QAction* action)
{
    QMenuBar* bar = window.menuBar();
    QAction* entry = nullptr;
    for (QAction* a : bar->actions())
        if (a->text() == top)
            entry = a;
    QVERIFY(entry);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(entry).center());
    QTRY_VERIFY(entry->menu()->isVisible());
    QTest::mouseClick(entry->menu(), Qt::LeftButton, {}, entry->menu()->actionGeometry(submenu).center());
    QTRY_VERIFY(submenu->menu()->isVisible());
    QVERIFY(action->isEnabled());
    QTest::mouseClick(submenu->menu(), Qt::LeftButton, {}, submenu->menu()->actionGeometry(action).center());
}

}  // namespace

class ImportJourneyTest : public QObject {
    Q_OBJECT

private slots:
    void aTuningTableIsImportedOntoAChosenAntenna()
    {
        QTemporaryDir dir;
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());  // no user position table
        const QString table = dir.filePath(QStringLiteral("Hotbird-13.0E"));
        QFile file(table);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(kHotbird) == qint64(sizeof kHotbird - 1));
        file.close();
        auto window = StartMainWindow(dir.filePath(QStringLiteral("LV32.cfg")),
                                      "[SYSTEMINFO]\r\nMODEL=0\r\nCOMPORT=0\r\n", LibraryPath());
        window->NewFile->trigger();
        TfrmChild* doc = window->ActiveDocument();
        QVERIFY(doc);
        const TChannelDatabase before = doc->Document().Database();

        ModalAnswers answers;
        answers.FileDialog(table);
        answers.Push([](QWidget* w) {
            auto* dialog = qobject_cast<TPositionDialog*>(w);
            QVERIFY(dialog);
            QCOMPARE(dialog->Table->rowCount(), 1);
            QCOMPARE(dialog->Table->item(0, 0)->text(), QStringLiteral("13.0E"));
            QCOMPARE(dialog->Table->item(0, 2)->text(), QStringLiteral("2"));
            auto* antenna = qobject_cast<QComboBox*>(dialog->Table->cellWidget(0, 3));
            QCOMPARE(antenna->currentIndex(), 0);  // the first free antenna is proposed
            antenna->setFocus();
            QTest::keyClick(antenna, Qt::Key_Down);
            QTest::keyClick(antenna, Qt::Key_Down);
            QCOMPARE(antenna->currentText(), QStringLiteral("3: (free)"));
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        answers.Push([](QWidget* w) {
            auto* dialog = qobject_cast<TMergeDialog*>(w);
            QVERIFY(dialog);
            QCOMPARE(dialog->Tree->topLevelItemCount(), 1);
            QVERIFY(dialog->Tree->topLevelItem(0)->text(0).startsWith(QStringLiteral("Antenna 3:")));
            ClickCheckBox(dialog->Tree, dialog->Tree->topLevelItem(0));
            QTRY_VERIFY(dialog->MergeButton->isEnabled());
            QTest::mouseClick(dialog->MergeButton, Qt::LeftButton);
        });
        answers.MessageBox(QMessageBox::Ok);
        QAction* import = nullptr;
        for (QAction* a : window->menuBar()->actions().constFirst()->menu()->actions())
            if (a->text() == QStringLiteral("&Import"))
                import = a;
        QVERIFY(import);
        ClickMenuPath(*window, QStringLiteral("&File"), import, window->CompareDock->ImportFilesAction);
        QTRY_COMPARE(answers.Pending(), 0);
        QCOMPARE(answers.unexpected, 0);
        QVERIFY2(answers.seenTexts.last().contains(QStringLiteral("DVB-S2 skipped: 1")),
                 qPrintable(answers.seenTexts.last()));

        const TChannelDatabase& imported = doc->Document().Database();
        QCOMPARE(imported.TSInfo.wTSNum, 2);
        QCOMPARE(imported.TSInfo.Info[0].wAntennaIndex, 2);
        QCOMPARE(imported.TSInfo.Info[0].SATTSInfo.dwFrequency, 10719u);
        QCOMPARE(imported.TSInfo.Info[1].SATTSInfo.ucFEC, 3);  // 5/6
        QCOMPARE(imported.AntennaList.AntennaInfo[2].szLNBName.substr(0, 5), std::string("13.0E"));

        const QString saved = dir.filePath(QStringLiteral("imported.dnf"));
        answers.FileDialog(saved);
        PressSave(*window);
        QTRY_VERIFY(!doc->isWindowModified());
        QVERIFY(!ReadAll(saved).isEmpty());
        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Saved imported.dnf: 0 TV, 0 radio services"));

        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : static_cast<QWidget*>(window.get()), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(doc->Document().Database() == before);
        QCOMPARE(answers.unexpected, 0);
    }
};

QTEST_MAIN(ImportJourneyTest)
#include "import_journey_test.moc"
