// Drives the real main window: first run, free document names, Save and Save
// As with the overwrite question, the close queries, and a whole session on
// the sample database (open, edit, sort, save, reopen).
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTreeView>
#include <QWidgetAction>
#include <QtTest>

#include "conversion_binding.h"
#include "dialogs/frm_initial_set.h"
#include "frm_child.h"
#include "frm_main.h"
#include "grid/k_edit_inplace.h"
#include "grid/k_string_grid.h"
#include "modal_answers.h"
#include "settings.h"

using namespace lumora;
using lumora::test::ModalAnswers;

namespace {

QString LibraryPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/") + kConversionLibraryFileName;
}

void WriteSettings(const QString& path, int model)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("[SYSTEMINFO]\r\nMODEL=%1\r\n").arg(model).toLatin1());
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The sample database as a channel-data file, made by the conversion library.
QString MakeSampleDnf(const QTemporaryDir& dir)
{
    const QString dnf = dir.filePath(QStringLiteral("sample.dnf"));
    ConversionLibrary library(LibraryPath().toStdString());
    const std::string text = std::string(LUMORA_EXAMPLES_DIR) + "/sample.txt";
    const Status written = library.DnfToV3Dnf(text, dnf.toStdString());
    if (!written)
        qWarning("sample.dnf: %s", written.message().c_str());
    return dnf;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    TMainWindowPaths Paths() const { return {dir_.filePath(QStringLiteral("LV32.cfg")), LibraryPath()}; }
    std::unique_ptr<TfrmMain> StartConfigured(int model = 3)
    {
        WriteSettings(Paths().settingsFile, model);
        auto window = std::make_unique<TfrmMain>(Paths());
        window->show();
        return window;
    }

private slots:
    void init() { QFile::remove(Paths().settingsFile); }

    void firstRunWithOkShowsSettingsDialogAndWritesSettings()
    {
        ModalAnswers answers;
        answers.MessageBox(QMessageBox::Ok);
        bool firstSetting = false;
        answers.Push([&](QWidget* w) {
            auto* dialog = qobject_cast<TfrmInitialSet*>(w);
            QVERIFY(dialog);
            firstSetting = dialog->bFirstSetting;
            dialog->FlatButton2->click();
        });
        {
            TfrmMain window(Paths());
            QCOMPARE(answers.seenTexts.value(0),
                     QStringLiteral("You are first running Lumora V3.\nDo you want configuration Lumora default "
                                    "value(recommended)?"));
            QVERIFY(firstSetting);
            QCOMPARE(answers.Pending(), 0);
            QVERIFY(!window.FE1->text().isEmpty());
            QVERIFY(window.close());
        }
        QVERIFY(QFile::exists(Paths().settingsFile));
        ModalAnswers second;  // no question on the next start
        TfrmMain again(Paths());
        QCOMPARE(second.unexpected, 0);
    }

    void firstRunWithCancelKeepsZeroSettings()
    {
        ModalAnswers answers;
        answers.MessageBox(QMessageBox::Cancel);
        {
            TfrmMain window(Paths());
            QCOMPARE(answers.unexpected, 0);
            QCOMPARE(window.FE1->text(), QStringLiteral("MODEL-01"));
            QVERIFY(window.State().Settings.SystemInfo.SYSTEMID.empty());
            QVERIFY(window.close());
        }
        const Result<std::optional<TSettings>> written = LoadConfigData(Paths().settingsFile.toStdString());
        QVERIFY(written && written.value());
        QCOMPARE(int(written.value()->SystemInfo.MODEL), 0);
    }

    void modelBoxShowsConfiguredModel()
    {
        auto window = StartConfigured(27);
        QCOMPARE(window->FE1->text(), QStringLiteral("USER DEFINE"));
        QVERIFY(window->FE1->isReadOnly());
    }

    void menusAndActionsCarryTheirCaptionsAndShortcuts()
    {
        auto window = StartConfigured();
        QCOMPARE(window->NewFile->text(), QStringLiteral("&New"));
        QCOMPARE(window->NewFile->toolTip(), QStringLiteral("New File"));
        QCOMPARE(window->NewFile->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
        QCOMPARE(window->Close11->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F4));
        QCOMPARE(window->help->shortcut(), QKeySequence(Qt::Key_F1));
        QStringList menus;
        for (QAction* menu : window->menuBar()->actions())
            menus << menu->text();
        QCOMPARE(menus, (QStringList{"&File", "&Edit", "&Config", "&STB", "&Window", "&About"}));
        for (QAction* action : window->ToolBar1->actions())
            if (!action->isSeparator() && !qobject_cast<QWidgetAction*>(action))
                QVERIFY2(!action->icon().isNull(), qPrintable(action->objectName()));
    }

    void shortcutsReachTheirActions()
    {
        auto window = StartConfigured();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window.get(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(window->Documents().size(), 1);
        QTest::keyClick(window->ActiveDocument(), Qt::Key_F4, Qt::ControlModifier);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(window->Documents().size(), 0);
    }

    void newTwiceGivesFreeNamesAndReusesAClosedOne()
    {
        auto window = StartConfigured();
        window->NewFileExecute();
        window->NewFileExecute();
        QList<TfrmChild*> docs = window->Documents();
        QCOMPARE(docs.size(), 2);
        QCOMPARE(docs[0]->Caption(), QStringLiteral("untitle0.dnf"));
        QCOMPARE(docs[1]->Caption(), QStringLiteral("untitle1.dnf"));
        QVERIFY(docs[0]->pState());
        docs[0]->parentWidget()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        window->NewFileExecute();
        QCOMPARE(window->Documents().size(), 2);
        QCOMPARE(window->Documents().last()->Caption(), QStringLiteral("untitle0.dnf"));
        QCOMPARE(window->FreeDocumentName("upload"), QStringLiteral("upload0.dnf"));
    }

    void windowMenuListsTheDocuments()
    {
        auto window = StartConfigured();
        window->NewFileExecute();
        window->NewFileExecute();
        emit window->WindowMenu->aboutToShow();
        QStringList items;
        for (QAction* action : window->WindowMenu->actions())
            items << action->text();
        QCOMPARE(items, (QStringList{"&Cascade", "Tile &Horizontal", "Tile &Vertical", "", "&1 untitle0.dnf",
                                     "&2 untitle1.dnf"}));
        window->WindowMenu->actions()[4]->trigger();
        QCOMPARE(window->ActiveDocument(), window->Documents()[0]);
    }

    void settingsDialogRefreshesTheModelBoxEvenOnCancel()
    {
        auto window = StartConfigured(0);
        ModalAnswers answers;
        answers.Push([&](QWidget* w) {
            QVERIFY(qobject_cast<TfrmInitialSet*>(w));
            QVERIFY(!qobject_cast<TfrmInitialSet*>(w)->bFirstSetting);
            window->State().Settings.SystemInfo.MODEL = 8;
            static_cast<QDialog*>(w)->reject();
        });
        window->ConfigExecute();
        QCOMPARE(window->FE1->text(), QStringLiteral("MODEL-09"));
    }

    void saveOnNewDocumentRunsSaveAsThenSavesDirectly()
    {
        auto window = StartConfigured();
        window->NewFileExecute();
        const QString path = dir_.filePath(QStringLiteral("first.dnf"));
        QFile::remove(path);
        ModalAnswers answers;
        answers.FileDialog(path);
        window->FileSaveExecute();
        QCOMPARE(answers.seenTexts, QStringList{"SaveDialog1"});
        TfrmChild* doc = window->ActiveDocument();
        QVERIFY(QFile::exists(path));
        QCOMPARE(doc->Caption(), path);
        QVERIFY(!doc->pState());
        QVERIFY(!doc->isWindowModified());
        QFile::remove(path);
        window->FileSaveExecute();  // no dialog now
        QVERIFY(QFile::exists(path));
        QCOMPARE(answers.unexpected, 0);
    }

    void saveAsAsksBeforeOverwriting()
    {
        auto window = StartConfigured();
        window->NewFileExecute();
        const QString path = dir_.filePath(QStringLiteral("existing.dnf"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("keep me");
        old.close();
        ModalAnswers answers;
        answers.FileDialog(path);
        answers.MessageBox(QMessageBox::Cancel);
        window->SaveAsExecute();
        QCOMPARE(answers.seenTexts.value(1), QStringLiteral("Same file exists.\nOverwrite it?"));
        QCOMPARE(ReadAll(path), QByteArray("keep me"));
        QVERIFY(window->ActiveDocument()->pState());

        answers.FileDialog(path);
        answers.MessageBox(QMessageBox::Ok);
        window->SaveAsExecute();
        QVERIFY(ReadAll(path) != QByteArray("keep me"));
        QCOMPARE(window->ActiveDocument()->Caption(), path);
        QCOMPARE(answers.unexpected, 0);
    }

    void cancelledDialogsChangeNothing()
    {
        auto window = StartConfigured();
        ModalAnswers answers;
        answers.Reject();
        window->FileOpenExecute();
        QCOMPARE(window->Documents().size(), 0);
        window->FileSaveExecute();  // nothing open: nothing happens
        window->Close11Execute();
        QCOMPARE(answers.unexpected, 0);
    }

    void closingModifiedDocumentAsksAndCancelKeepsIt()
    {
        auto window = StartConfigured();
        window->NewFileExecute();
        TfrmChild* doc = window->ActiveDocument();
        // An edit made outside any command of the window (as a script or a
        // merge makes it): title and menus follow the document's notification.
        doc->Document().Edit("Change PIN", [&] { ++doc->Document().Database().MenuConfigItem.nPINCode; });
        QVERIFY(doc->windowTitle().endsWith("[*]"));
        QVERIFY(doc->isWindowModified());
        QCOMPARE(window->EditUndo->text(), QStringLiteral("&Undo Change PIN"));

        ModalAnswers answers;
        answers.MessageBox(QMessageBox::Cancel);
        window->Close11Execute();
        QCOMPARE(answers.seenTexts.value(0), QStringLiteral("This data is modified.\nDo you really exit?"));
        QCOMPARE(window->Documents().size(), 1);

        // Closing the program asks too; Cancel keeps it open and writes nothing.
        answers.MessageBox(QMessageBox::Cancel);
        QVERIFY(!window->close());
        QVERIFY(window->isVisible());
        QFile::remove(Paths().settingsFile);
        answers.MessageBox(QMessageBox::Ok);
        QVERIFY(window->close());
        QVERIFY(QFile::exists(Paths().settingsFile));
        QCOMPARE(answers.unexpected, 0);
    }

    void closeAllTriesEveryWindow()
    {
        auto window = StartConfigured();
        for (int i = 0; i < 3; ++i)
            window->NewFileExecute();
        TfrmChild* middle = window->Documents()[1];
        middle->Document().Edit("Change PIN", [&] { ++middle->Document().Database().MenuConfigItem.nPINCode; });
        ModalAnswers answers;
        answers.MessageBox(QMessageBox::Cancel);
        window->CloseAllExecute();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(window->Documents().size(), 1);
        QCOMPARE(window->Documents()[0], middle);
    }

    void tilingArrangesWindows()
    {
        auto window = StartConfigured();
        window->resize(1000, 700);
        window->NewFileExecute();
        window->NewFileExecute();
        window->TileVert2Execute();
        QList<QMdiSubWindow*> windows = window->MDIArea->subWindowList(QMdiArea::CreationOrder);
        QCOMPARE(windows[0]->geometry().top(), windows[1]->geometry().top());
        QVERIFY(windows[0]->geometry().right() < windows[1]->geometry().left());
        window->TileHorz2Execute();
        QCOMPARE(windows[0]->geometry().left(), windows[1]->geometry().left());
        QVERIFY(windows[0]->geometry().bottom() < windows[1]->geometry().top());
    }

    void sessionOnTheSampleDatabase()
    {
        auto window = StartConfigured(0);
        const QString dnf = MakeSampleDnf(dir_);
        TfrmChild* doc = window->OpenDocument(dnf);
        QVERIFY(doc);
        QCOMPARE(doc->Caption(), dnf);
        QVERIFY(doc->Tree1->model()->rowCount() >= 6);
        const int rows = doc->SG->model()->rowCount();
        QVERIFY(rows > 100);

        // Edit the last listed name through the grid's own editor.
        const QModelIndex last = doc->SG->CellIndex(1, rows);
        doc->SG->setCurrentIndex(last);
        doc->SG->edit(last);
        auto* editor = doc->SG->findChild<TkEditInplace*>();
        QVERIFY(editor);
        QTest::keyClicks(editor, "AAA TEST");
        QTest::keyClick(editor, Qt::Key_Return);
        QVERIFY(doc->isWindowModified());

        // Sort by name: the new name comes first, in the table too.
        doc->SG->setCurrentIndex(doc->SG->CellIndex(1, 1));
        doc->BtnSortA->click();
        QCOMPARE(doc->SG->model()->index(0, 1).data().toString(), QStringLiteral("AAA TEST"));

        window->FileSaveExecute();
        QVERIFY(!doc->isWindowModified());
        window->CloseAllExecute();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(window->Documents().size(), 0);

        TfrmChild* again = window->OpenDocument(dnf);
        QVERIFY(again);
        QCOMPARE(again->SG->model()->rowCount(), rows);
        QCOMPARE(again->SG->model()->index(0, 1).data().toString(), QStringLiteral("AAA TEST"));
        QCOMPARE(again->Document().Service(0).szServiceName, std::string("AAA TEST"));
    }

    void failedOpenShowsTheErrorAndLeavesNoWindow()
    {
        auto window = StartConfigured();
        ModalAnswers answers;
        answers.MessageBox(QMessageBox::Ok);
        QVERIFY(!window->OpenDocument(dir_.filePath("missing.dnf")));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(window->Documents().size(), 0);
        QCOMPARE(answers.seenTexts.size(), 1);
        QVERIFY(answers.seenTexts[0].contains("missing.dnf"));
        // Shown as every error of the system is shown, under the program's name.
        QCOMPARE(answers.seenTitles.value(0), QGuiApplication::applicationDisplayName());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
