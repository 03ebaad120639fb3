// One person's afternoon with undo: a cell edit, a cut, a paste, a delete from
// the service menu, a sort and a menu-data change, each taken back with
// Ctrl+Z and made again with the redo keys, on the real main window. The Edit
// menu names each edit; undoing back to the opened file clears the modified
// mark, and closing then asks nothing.
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include "dialogs/frm_menu_config.h"
#include "dialogs_test_support.h"
#include "frm_child.h"
#include "frm_main.h"
#include "grid/k_string_grid.h"
#include "main_window_support.h"
#include "modal_answers.h"

using namespace lumora;
using namespace lumora::test;

namespace {

}  // namespace

class UndoJourneyTest : public QObject {
    Q_OBJECT

private slots:
    void everyKindOfEditIsTakenBackAndMadeAgain()
    {
        QTemporaryDir dir;
        std::unique_ptr<TfrmMain> window;
        TfrmChild* doc = OpenSampleInMainWindow(dir.path(), QStringLiteral("journey.dnf"), window);
        QVERIFY(doc);
        const QList<QAction*> tools = window->ToolBar1->actions();
        QCOMPARE(tools.indexOf(window->EditUndo), tools.indexOf(window->FileSave) + 2);  // after a separator
        QVERIFY(!window->EditUndo->isEnabled());
        const std::vector<std::string> opened = GridNames(doc);
        const TMenuConfigItem openedMenu = doc->Document().Database().MenuConfigItem;

        // A key to the widget with the focus; the grid has it when nothing
        // else does (after a closed dialog or editor).
        auto key = [&](Qt::Key k, Qt::KeyboardModifiers m = Qt::ControlModifier) {
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus ? focus : doc->SG, k, m);
        };
        // Undo must restore the grid to `before` and name the edit in the
        // redo entry; redo (Ctrl+Y, or Ctrl+Shift+Z) brings `after` back.
        auto undoAndRedo = [&](const QString& label, const std::vector<std::string>& before, bool shiftRedo) {
            const std::vector<std::string> after = GridNames(doc);
            QCOMPARE(window->EditUndo->text(), QStringLiteral("&Undo ") + label);
            QVERIFY(doc->isWindowModified());
            key(Qt::Key_Z);
            QVERIFY(GridNames(doc) == before);
            QVERIFY(!doc->isWindowModified());
            QCOMPARE(window->EditRedo->text(), QStringLiteral("&Redo ") + label);
            shiftRedo ? key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier) : key(Qt::Key_Y);
            QVERIFY(GridNames(doc) == after);
            key(Qt::Key_Z);
            QVERIFY(GridNames(doc) == before);
        };

        // A cell edit: while its editor is open, Ctrl+Z belongs to the editor.
        TypeIntoCell(doc, kColName, QStringLiteral("ZZ TYPED"));
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        key(Qt::Key_Z);
        QCOMPARE(editor->text(), QStringLiteral("ZZ TYPE"));  // the editor took back the last letter
        QVERIFY(!window->EditUndo->isEnabled());
        key(Qt::Key_Escape, {});
        QVERIFY(GridNames(doc) == opened);
        TypeIntoCell(doc, kColName, QStringLiteral("ZZ TYPED"));
        key(Qt::Key_Return, {});
        QCOMPARE(doc->Document().SG.Cell(kColName, 1), std::string("ZZ TYPED"));
        undoAndRedo(QStringLiteral("Edit Service Name"), opened, false);
        QVERIFY(!QTest::currentTestFailed());

        // Cut three rows, then paste them back in.
        ClickCell(doc, kColName, 1);
        ClickCell(doc, kColName, 3, Qt::ShiftModifier);
        key(Qt::Key_X);
        undoAndRedo(QStringLiteral("Cut 3 services"), opened, true);
        QVERIFY(!QTest::currentTestFailed());
        key(Qt::Key_V);
        undoAndRedo(QStringLiteral("Paste 3 services"), opened, false);
        QVERIFY(!QTest::currentTestFailed());

        // Delete from the service menu of a right click.
        ClickCell(doc, kColName, 2, {}, Qt::RightButton);
        QTRY_VERIFY(doc->PopupMenu2->isVisible());
        QTest::mouseClick(doc->PopupMenu2, Qt::LeftButton, {},
                          doc->PopupMenu2->actionGeometry(doc->DeleteInformation2).center());
        undoAndRedo(QStringLiteral("Delete 3 services"), opened, true);
        QVERIFY(!QTest::currentTestFailed());

        // Sort by the name column, descending.
        ClickCell(doc, kColName, 2);
        QTest::mouseClick(doc->BtnSortZ, Qt::LeftButton);
        undoAndRedo(QStringLiteral("Sort by Service Name"), opened, false);
        QVERIFY(!QTest::currentTestFailed());

        // Menu data: the display time one step further, then OK.
        ModalAnswers answers;
        answers.Push([](QWidget* w) {
            auto* dialog = qobject_cast<TfrmMenuConfig*>(w);
            QVERIFY(dialog);
            dialog->FC13->setFocus();
            QTest::keyClick(dialog->FC13, Qt::Key_Down);
            QTest::mouseClick(Button(*dialog, QStringLiteral("OK")), Qt::LeftButton);
        });
        QTest::mouseClick(doc->FlatButton2, Qt::LeftButton);
        QTRY_COMPARE(answers.Pending(), 0);
        const TMenuConfigItem changed = doc->Document().Database().MenuConfigItem;
        QVERIFY(!(changed == openedMenu));
        doc->SG->setFocus();
        undoAndRedo(QStringLiteral("Change Menu Data"), opened, true);
        QVERIFY(!QTest::currentTestFailed());
        QVERIFY(doc->Document().Database().MenuConfigItem == openedMenu);

        // Everything taken back: nothing to save, nothing to ask.
        QVERIFY(!doc->isWindowModified());
        QCOMPARE(window->EditRedo->text(), QStringLiteral("&Redo Change Menu Data"));
        window->close();
        QVERIFY(!window->isVisible());
        QCOMPARE(answers.unexpected, 0);
        QVERIFY(answers.seenTexts.isEmpty());
    }
};

QTEST_MAIN(UndoJourneyTest)
#include "undo_journey_test.moc"
