// Never losing work: the first save over a file in a run keeps the version it
// replaces as NAME.dnf.bak (a backup that cannot be written stops the save),
// and a modified document copied for recovery is offered after the program
// was killed, opens as a new unsaved document, and is not offered again after
// a clean close. The killed program is this test program started again with
// --crashing-editor: it edits a document by keyboard until the recovery copy
// is written, then waits to be killed.
#include <QDirIterator>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <cstdio>

#include "dialogs/frm_recovered.h"
#include "file_backup.h"
#include "frm_child.h"
#include "frm_main.h"
#include "main_window_support.h"
#include "modal_answers.h"

using namespace lumora;
using namespace lumora::test;

namespace {

const QByteArray kSettings = "[SYSTEMINFO]\r\nMODEL=0\r\nCOMPORT=0\r\n";
constexpr const char* kCrashingEditor = "--crashing-editor";

// The editor on `folder`'s settings, with its recovery copies in folder/recovery.
TMainWindowPaths PathsIn(const QString& folder)
{
    QFile settings(folder + QStringLiteral("/LV32.cfg"));
    if (!settings.exists() && settings.open(QIODevice::WriteOnly))
        settings.write(kSettings);
    TMainWindowPaths paths{settings.fileName(), LibraryPath()};
    paths.recoveryFolder = folder + QStringLiteral("/recovery");
    return paths;
}

QStringList CopiesBelow(const QString& folder)
{
    QStringList copies;
    QDirIterator it(folder, {QStringLiteral("*.dnf")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        copies << it.next();
    return copies;
}

// The program that crashes: `folder` holds LV32.cfg and Übersicht.dnf.
int RunCrashingEditor(const QString& folder)
{
    auto window = StartMainWindow(PathsIn(folder));
    TfrmChild* doc = window->OpenDocument(folder + QStringLiteral("/Übersicht.dnf"));
    if (!doc)
        return 2;
    RenameFirstService(doc, QStringLiteral("CRASH WORK"));
    if (!QTest::qWaitFor([&] { return !CopiesBelow(folder + QStringLiteral("/recovery")).isEmpty(); }, 30000))
        return 3;
    std::puts("copied");
    std::fflush(stdout);
    return QApplication::exec();  // until killed
}

}  // namespace

class BackupRecoveryTest : public QObject {
    Q_OBJECT

private slots:
    void backupOnTheFirstSaveOfARunOnly()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("list.dnf"));
        const QString backup = file + QStringLiteral(".bak");
        QVERIFY(MakeSampleDnf(file));
        const QByteArray original = ReadAll(file);
        TMainWindowPaths paths = PathsIn(dir.path());
        paths.recoveryFolder.clear();
        QByteArray firstRun;
        {
            auto window = StartMainWindow(paths);
            TfrmChild* doc = window->OpenDocument(file);
            RenameFirstService(doc, QStringLiteral("FIRST SAVE"));
            PressSave(*window);
            QCOMPARE(ReadAll(backup), original);
            QVERIFY(ReadAll(file) != original);
            RenameFirstService(doc, QStringLiteral("SECOND SAVE"));
            PressSave(*window);
            QVERIFY(!doc->pModifiedFlag());
            QCOMPARE(ReadAll(backup), original);  // later saves of the run leave it
            firstRun = ReadAll(file);
            QVERIFY(window->close());
        }
        auto window = StartMainWindow(paths);
        TfrmChild* doc = window->OpenDocument(file);
        RenameFirstService(doc, QStringLiteral("NEXT RUN"));
        // A backup that cannot be written stops the save, with the reason.
        QVERIFY(QFile::remove(backup) && QDir().mkpath(backup + QStringLiteral("/in-the-way")));
        ModalAnswers answers;
        answers.MessageBox(QMessageBox::Ok);
        PressSave(*window);
        QTRY_COMPARE(answers.Pending(), 0);
        QVERIFY(answers.seenTexts.constFirst().contains(backup));
        QVERIFY2(answers.seenTexts.constFirst().endsWith(QStringLiteral("\nIs a directory")),
                 qPrintable(answers.seenTexts.constFirst()));
        QCOMPARE(ReadAll(file), firstRun);
        QVERIFY(doc->pModifiedFlag());
        QVERIFY(QDir(backup).removeRecursively());
        PressSave(*window);
        QCOMPARE(ReadAll(backup), firstRun);
        QVERIFY(HasServiceNamed(doc, "NEXT RUN") && !doc->pModifiedFlag());
        QCOMPARE(answers.unexpected, 0);
    }

    void recoveryOfferedAfterACrashNotAfterACleanClose()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Übersicht.dnf"));
        QVERIFY(MakeSampleDnf(file));
        const QByteArray original = ReadAll(file);
        const TMainWindowPaths paths = PathsIn(dir.path());

        QProcess crashing;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("LUMORA_AUTOSAVE_SECONDS"), QStringLiteral("1"));
        crashing.setProcessEnvironment(env);
        crashing.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kCrashingEditor), dir.path()});
        QVERIFY(crashing.waitForStarted());
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += crashing.readAllStandardOutput()).contains("copied") ||
                                     crashing.state() == QProcess::NotRunning,
                                 30000);
        QVERIFY2(said.contains("copied"), crashing.readAllStandardError().constData());
        crashing.kill();
        QVERIFY(crashing.waitForFinished());
        QCOMPARE(ReadAll(file), original);  // never written over the person's file

        // The next start offers the document; Open takes it.
        ModalAnswers answers;
        QStringList offered;
        answers.Push([&offered](QWidget* w) {
            auto* dialog = qobject_cast<TfrmRecovered*>(w);
            QVERIFY(dialog);
            for (int row = 0; row < dialog->List->topLevelItemCount(); ++row)
                offered << dialog->List->topLevelItem(row)->text(0);
            // Over the main window, with room for the whole path and the copy's time.
            QVERIFY(dialog->parentWidget() && dialog->parentWidget()->isVisible());
            QVERIFY(!dialog->List->topLevelItem(0)->text(1).isEmpty());
            QVERIFY(dialog->width() >= dialog->fontMetrics().horizontalAdvance(offered.constFirst()));
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("OpenButton")), Qt::LeftButton);
        });
        auto window = StartMainWindow(paths);
        QTRY_COMPARE(answers.Pending(), 0);
        QCOMPARE(offered, QStringList({file}));
        QCOMPARE(window->Documents().size(), 1);
        TfrmChild* doc = window->Documents().constFirst();
        QCOMPARE(doc->Caption(), QStringLiteral("Übersicht (recovered).dnf"));
        QVERIFY(doc->pState() && doc->pModifiedFlag() && doc->isWindowModified());
        QVERIFY(HasServiceNamed(doc, "CRASH WORK"));
        QCOMPARE(CopiesBelow(paths.recoveryFolder).size(), 1);  // now this run's copy only

        // Saved under a name of the person's choice: its copy goes.
        const QString saved = dir.filePath(QStringLiteral("saved.dnf"));
        answers.FileDialog(saved);
        PressSave(*window);
        QTRY_COMPARE(answers.Pending(), 0);
        QCOMPARE(doc->Caption(), saved);
        QVERIFY(CopiesBelow(paths.recoveryFolder).isEmpty());

        // Modified again, copied, then closed cleanly: nothing is offered next time.
        RenameFirstService(doc, QStringLiteral("DISCARDED"));
        window->WriteRecoveryCopies();
        QCOMPARE(CopiesBelow(paths.recoveryFolder).size(), 1);
        answers.MessageBox(QMessageBox::Ok);  // close without saving
        QVERIFY(window->close());
        QTRY_COMPARE(answers.Pending(), 0);
        window.reset();
        QVERIFY(CopiesBelow(paths.recoveryFolder).isEmpty());
        window = StartMainWindow(paths);
        QVERIFY(window->Documents().isEmpty());
        QCOMPARE(answers.unexpected, 0);
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == kCrashingEditor)
        return RunCrashingEditor(QString::fromLocal8Bit(argv[2]));
    BackupRecoveryTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "backup_recovery_test.moc"
