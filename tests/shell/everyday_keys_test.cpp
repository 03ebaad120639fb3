// What a person meets in the first minutes: the Delete key and the Edit
// menu's service commands, the status bar after a save, the check list's Fix
// on the second of two documents (which stays active, so Ctrl+S saves it), and
// the window sizes of a first start.
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include "check_dock.h"
#include "frm_child.h"
#include "frm_main.h"
#include "main_window_support.h"
#include "modal_answers.h"

using namespace lumora;
using namespace lumora::test;

namespace {

// Clicks rows `top` and, with Shift, `bottom` of the name column.
void SelectRows(TfrmChild* doc, int top, int bottom)
{
    ClickCell(doc, kColName, top);
    ClickCell(doc, kColName, bottom, Qt::ShiftModifier);
}

// Opens the menu bar's Edit menu with the mouse and clicks `action` in it.
void ClickEditMenu(TfrmMain& window, QAction* action)
{
    QMenuBar* bar = window.menuBar();
    QAction* edit = nullptr;
    for (QAction* entry : bar->actions())
        if (entry->text() == QStringLiteral("&Edit"))
            edit = entry;
    QVERIFY(edit);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(edit).center());
    QMenu* menu = edit->menu();
    QTRY_VERIFY(menu->isVisible());
    QVERIFY(action->isEnabled());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
}

std::vector<std::string> Without(std::vector<std::string> names, std::size_t first, std::size_t count)
{
    names.erase(names.begin() + std::ptrdiff_t(first), names.begin() + std::ptrdiff_t(first + count));
    return names;
}

}  // namespace

class EverydayKeysTest : public QObject {
    Q_OBJECT

private slots:
    void deleteKeyEditMenuSaveMessageAndFixOnTheSecondDocument()
    {
        QTemporaryDir dir;
        ModalAnswers answers;
        std::unique_ptr<TfrmMain> window;
        TfrmChild* first = OpenSampleInMainWindow(dir.path(), QStringLiteral("first.dnf"), window);
        QVERIFY(first);
        const std::vector<std::string> opened = GridNames(first);

        // Delete on two selected rows removes both; Ctrl+Z brings them back.
        SelectRows(first, 2, 3);
        QTest::keyClick(first->SG, Qt::Key_Delete);
        QVERIFY(GridNames(first) == Without(opened, 1, 2));
        QTest::keyClick(first->SG, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(GridNames(first) == opened);

        // Edit > Delete does the same; the menu names its key.
        QCOMPARE(window->EditDelete->shortcut(), QKeySequence(QKeySequence::Delete));
        SelectRows(first, 1, 2);
        ClickEditMenu(*window, window->EditDelete);
        QVERIFY(GridNames(first) == Without(opened, 0, 2));

        // Save says what it wrote.
        PressSave(*window);
        const TServiceInfo& saved = first->Document().Database().ServiceInfo;
        QCOMPARE(window->statusBar()->currentMessage(),
                 QStringLiteral("Saved first.dnf: %1 TV, %2 radio services").arg(saved.wTVNum).arg(saved.wRadioNum));
        const QByteArray firstOnDisk = ReadAll(dir.filePath(QStringLiteral("first.dnf")));

        // A second document with a favorite list naming one service twice.
        const QString secondFile = dir.filePath(QStringLiteral("second.dnf"));
        QVERIFY(MakeSampleDnf(secondFile));
        TfrmChild* second = window->OpenDocument(secondFile);
        QVERIFY(second);
        second->Document().Edit("Repeat an entry", [&] {
            TFavoriteItem& list = second->Document().Database().FavoriteInfo[0][0];
            if (list.wIndexNum == 0)
                list.Index[std::size_t(list.wIndexNum++)] = 0;
            list.Index[std::size_t(list.wIndexNum)] = list.Index[0];
            ++list.wIndexNum;
        });
        QCOMPARE(window->ActiveDocument(), second);
        QTest::keyClick(window.get(), Qt::Key_F7);
        QTreeWidget* findings = window->CheckDock->List;
        QTreeWidgetItem* repeated = nullptr;
        for (int row = 0; row < findings->topLevelItemCount(); ++row)
            if (findings->topLevelItem(row)->text(1).contains(QStringLiteral("again, as entry")))
                repeated = findings->topLevelItem(row);
        QVERIFY(repeated);
        QCOMPARE(repeated->text(0), QStringLiteral("error"));
        QTest::mouseClick(findings->viewport(), Qt::LeftButton, {}, findings->visualItemRect(repeated).center());
        QCOMPARE(window->CheckDock->FixButton->text(), QStringLiteral("Remove the later entry"));
        QTest::mouseClick(window->CheckDock->FixButton, Qt::LeftButton);

        // The fixed document stays active, the list keeps the focus and shows
        // the findings as they are now.
        QCOMPARE(window->ActiveDocument(), second);
        QCOMPARE(QApplication::focusWidget(), findings);
        for (int row = 0; row < findings->topLevelItemCount(); ++row)
            QVERIFY(!findings->topLevelItem(row)->text(1).contains(QStringLiteral("again, as entry")));
        PressSave(*window);
        QVERIFY(!second->isWindowModified());
        QCOMPARE(ReadAll(dir.filePath(QStringLiteral("first.dnf"))), firstOnDisk);
        QVERIFY(window->statusBar()->currentMessage().startsWith(QStringLiteral("Saved second.dnf: ")));
        QCOMPARE(answers.unexpected, 0);
    }

    // A first start covers most of the screen by itself; a lone document
    // opens maximised until the person tiles, which the next start keeps.
    void firstStartGeometryAndTheLoneDocument()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("sample.dnf"));
        QVERIFY(MakeSampleDnf(file));
        TMainWindowPaths paths{dir.filePath(QStringLiteral("LV32.cfg")), LibraryPath()};
        QFile settings(paths.settingsFile);
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[SYSTEMINFO]\r\nMODEL=0\r\n");
        settings.close();
        paths.userStateFile = dir.filePath(QStringLiteral("LumoraV3.ini"));

        const QRect screen(0, 0, 1280, 800);
        QCOMPARE(TfrmMain::FirstStartGeometry(screen), QRect(128, 80, 1024, 640));
        for (bool tiled : {false, true}) {
            TfrmMain window(paths);
            window.ShowAsRemembered(screen);
            if (!tiled)
                QCOMPARE(window.geometry(), QRect(128, 80, 1024, 640));
            TfrmChild* doc = window.OpenDocument(file);
            QVERIFY(doc);
            QCOMPARE(doc->parentWidget()->isMaximized(), !tiled);
            if (!tiled)
                window.TileHorz2->trigger();  // remembered for the next start
            QVERIFY(window.close());
        }
    }
};

QTEST_MAIN(EverydayKeysTest)
#include "everyday_keys_test.moc"
