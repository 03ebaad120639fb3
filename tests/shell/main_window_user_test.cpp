// What a new user does on the real main window: documents in folders and
// files named in German and Cyrillic letters, and commands given while a
// cell edit is still open in the grid.
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTreeView>
#include <QtTest>

#include "conversion_binding.h"
#include "frm_child.h"
#include "frm_main.h"
#include "grid/k_string_grid.h"
#include "main_window_support.h"
#include "modal_answers.h"
#include "shell_text.h"

using namespace lumora;
using namespace lumora::test;

namespace {

const QString kModifiedQuestion = QStringLiteral("This data is modified.\nDo you really exit?");

// Closes the message box or dialog that comes next, with Cancel where it has one.
void Dismiss(ModalAnswers& answers)
{
    answers.Push([&answers](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            answers.seenTexts << box->text();
            QAbstractButton* cancel = box->button(QMessageBox::Cancel);
            (cancel ? cancel : box->button(QMessageBox::Ok))->click();
        } else {
            static_cast<QDialog*>(w)->reject();
        }
    });
}

}  // namespace

class MainWindowUserTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    std::unique_ptr<TfrmMain> StartEditor()
    {
        return StartMainWindow(dir_.filePath(QStringLiteral("LV32.cfg")), "[SYSTEMINFO]\r\nMODEL=0\r\nCOMPORT=0\r\n",
                               LibraryPath());
    }

    // A shortcut key, pressed on `target` or on the focus widget; the window
    // is made active again first, as a closed dialog leaves it.
    static void Press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QWidget* to = target ? target : QApplication::focusWidget();
        to->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(to->window()));
        QTest::keyClick(to, key, modifiers);
    }

private slots:
    void initTestCase()
    {
        // Data Download finds no receiver here and says so at once.
        qputenv("LV3DLL_PORT0", dir_.filePath(QStringLiteral("no-receiver")).toLocal8Bit());
    }

    void foldersAndFilesNamedInGermanAndCyrillicOpenAndSave()
    {
        const QString folder = dir_.filePath(QStringLiteral("Kanäle"));
        QVERIFY(QDir().mkpath(folder));
        const QString overview = folder + QStringLiteral("/Übersicht.dnf");
        QVERIFY(MakeSampleDnf(overview));
        auto window = StartEditor();
        ModalAnswers answers;

        // File > Open (Ctrl+O) and its dialog.
        answers.FileDialog(overview);
        Press(window.get(), Qt::Key_O);
        TfrmChild* doc = window->ActiveDocument();
        QVERIFY(doc);
        QCOMPARE(doc->Caption(), overview);
        QVERIFY(doc->windowTitle().startsWith(overview));
        const int rows = doc->SG->model()->rowCount();
        QVERIFY(rows > 100);

        // Save writes the file it came from.
        QVERIFY(QFile::remove(overview));
        Press(window.get(), Qt::Key_S);
        QVERIFY(QFile::exists(overview));

        // Save As a Cyrillic name: exactly that file, nothing named with '?'.
        const QString sport = folder + QStringLiteral("/Спорт.dnf");
        answers.FileDialog(sport);
        window->SaveAs->trigger();
        QCOMPARE(doc->Caption(), sport);
        QStringList files = QDir(folder).entryList(QDir::Files);
        files.sort();
        QCOMPARE(files, (QStringList{QStringLiteral("Übersicht.dnf"), QStringLiteral("Спорт.dnf")}));

        // Another document saved under that name asks first; Cancel keeps the file.
        const QByteArray saved = ReadAll(sport);
        Press(window.get(), Qt::Key_N);
        QVERIFY(window->ActiveDocument() != doc);
        answers.FileDialog(sport);
        answers.MessageBox(QMessageBox::Cancel);
        window->SaveAs->trigger();
        QCOMPARE(answers.seenTexts.last(), QStringLiteral("Same file exists.\nOverwrite it?"));
        QCOMPARE(ReadAll(sport), saved);
        answers.FileDialog(sport);
        answers.MessageBox(QMessageBox::Ok);
        window->SaveAs->trigger();
        QVERIFY(ReadAll(sport) != saved);
        QCOMPARE(window->ActiveDocument()->Caption(), sport);

        // The overview opens again, whole.
        answers.FileDialog(overview);
        Press(window.get(), Qt::Key_O);
        QCOMPARE(window->ActiveDocument()->Caption(), overview);
        QCOMPARE(window->ActiveDocument()->SG->model()->rowCount(), rows);
        QCOMPARE(answers.unexpected, 0);
        QCOMPARE(answers.Pending(), 0);
    }

    // For every command that reads or replaces the document: a name typed
    // into the grid without Enter reaches the document before the command.
    void commandsTakeTheOpenCellEditFirst()
    {
        struct Session {
            TfrmMain& window;
            TfrmChild* doc;
            ModalAnswers& answers;
            QString file;
        };
        struct Path {
            const char* name;
            std::function<void(Session&)> trigger;
            // Besides the typed name in the document, if given.
            std::function<bool(Session&)> check;
        };
        auto toolbarClick = [](TfrmMain& window, QAction* action) {
            QTest::mouseClick(window.ToolBar1->widgetForAction(action), Qt::LeftButton);
        };
        auto askedModified = [](Session& s) { return s.answers.seenTexts.contains(kModifiedQuestion); };
        const std::vector<Path> paths = {
            {"Save (Ctrl+S)", [](Session&) { Press(nullptr, Qt::Key_S); },
             [](Session& s) { return HasServiceNamed(s.window.OpenDocument(s.file), "ZZ TYPED"); }},
            {"Close (Ctrl+F4)",
             [](Session& s) {
                 Dismiss(s.answers);
                 Press(nullptr, Qt::Key_F4);
             },
             askedModified},
            {"document window closed",
             [](Session& s) {
                 Dismiss(s.answers);
                 s.doc->parentWidget()->close();
             },
             askedModified},
            {"main window closed",
             [](Session& s) {
                 Dismiss(s.answers);
                 s.window.close();
             },
             askedModified},
            {"Print",
             [&](Session& s) {
                 Dismiss(s.answers);
                 toolbarClick(s.window, s.window.Print);
             },
             {}},
            {"Print Preview",
             [](Session& s) {
                 Dismiss(s.answers);
                 s.window.PrintPreview->trigger();
             },
             {}},
            {"Export PDF",
             [](Session& s) {
                 Dismiss(s.answers);
                 s.window.ExportPdf->trigger();
             },
             {}},
            {"Data Download", [&](Session& s) { toolbarClick(s.window, s.window.DataDownLoad); }, {}},
            {"sort", [](Session& s) { QTest::mouseClick(s.doc->BtnSortA, Qt::LeftButton); }, {}},
            {"tree click",
             [](Session& s) {
                 QTreeView* tree = s.doc->Tree1;
                 const QRect node = tree->visualRect(tree->model()->index(1, 0));
                 QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, node.center());
             },
             {}},
            {"Config dialog",
             [](Session& s) {
                 Dismiss(s.answers);
                 s.window.Config->trigger();
             },
             {}},
        };
        const QString file = dir_.filePath(QStringLiteral("edit.dnf"));
        for (const Path& path : paths) {
            QFile::remove(file);
            QVERIFY(MakeSampleDnf(file));
            auto window = StartEditor();
            TfrmChild* doc = window->OpenDocument(file);
            QVERIFY(doc);
            doc->parentWidget()->showMaximized();
            ModalAnswers answers;
            TypeIntoCell(doc, kColName, QStringLiteral("ZZ TYPED"));
            QVERIFY2(doc->SG->indexWidget(doc->SG->currentIndex()), path.name);  // the editor is open
            Session session{*window, doc, answers, file};
            path.trigger(session);
            QVERIFY2(HasServiceNamed(doc, "ZZ TYPED"), path.name);
            QVERIFY2(!path.check || path.check(session), path.name);
            for (TfrmChild* open : window->Documents())
                open->Document().MarkSaved();
        }

        // A number that does not parse stops the save with the error.
        auto window = StartEditor();
        TfrmChild* doc = window->OpenDocument(file);
        QVERIFY(doc);
        ModalAnswers answers;
        answers.MessageBox(QMessageBox::Ok);
        TypeIntoCell(doc, kColVideoPID, QStringLiteral("12x"));
        QVERIFY(QFile::remove(file));
        Press(nullptr, Qt::Key_S);
        QVERIFY(!QFile::exists(file));
        QCOMPARE(answers.seenTexts.value(0), QStringLiteral("'12x' is not a valid integer value"));
        doc->Document().MarkSaved();
    }
};

QTEST_MAIN(MainWindowUserTest)
#include "main_window_user_test.moc"
