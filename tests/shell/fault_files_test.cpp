// Faults a person meets on the real main window: a save to a full disk or a
// read-only folder, the program's private exchange folder removed while it
// runs, and the settings file changed by another program. Each ends with a
// clear message, the document still open and modified, and the old file on
// disk as it was.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "../common/file_size_limit.h"
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

// A small file system of its own at `path`, unmounted at the end.
class SmallFileSystem {
public:
    explicit SmallFileSystem(const QString& path) : path_(QFile::encodeName(path))
    {
        mounted_ = ::mount("lumora-test", path_.constData(), "tmpfs", 0, "size=128k,mode=0755") == 0;
        if (!mounted_)
            reason_ = std::strerror(errno);
    }
    ~SmallFileSystem()
    {
        if (mounted_)
            ::umount2(path_.constData(), MNT_DETACH);
    }
    bool Mounted() const { return mounted_; }
    const char* Reason() const { return reason_.c_str(); }
    bool MakeReadOnly() { return ::mount(nullptr, path_.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0; }
    // Fills the file system with one file until no byte more fits.
    bool Fill()
    {
        QFile filler(QFile::decodeName(path_) + QStringLiteral("/filler"));
        if (!filler.open(QIODevice::WriteOnly))
            return false;
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {}
        const QByteArray byte(1, 'x');
        while (filler.write(byte) == 1 && filler.flush()) {}
        return true;
    }

private:
    QByteArray path_;
    bool mounted_ = false;
    std::string reason_;
};

enum class Fault { FileSizeLimit, FullFileSystem, ReadOnlyFileSystem };

}  // namespace

class FaultFilesTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    std::unique_ptr<TfrmMain> StartEditor(const QString& library = LibraryPath())
    {
        return StartMainWindow(dir_.filePath(QStringLiteral("LV32.cfg")), "[SYSTEMINFO]\r\nMODEL=0\r\nPORT=0\r\n",
                               library);
    }

private slots:
    void saveThatCannotBeWritten_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("reason");
        QTest::newRow("file size limit") << int(Fault::FileSizeLimit) << QStringLiteral("File too large");
        QTest::newRow("full file system") << int(Fault::FullFileSystem) << QStringLiteral("No space left on device");
        QTest::newRow("read-only file system")
            << int(Fault::ReadOnlyFileSystem) << QStringLiteral("Read-only file system");
    }

    void saveThatCannotBeWritten()
    {
        QFETCH(int, fault);
        QFETCH(QString, reason);
        const QString folder = dir_.filePath(QStringLiteral("saves-%1").arg(fault));
        QVERIFY(QDir().mkpath(folder));
        SmallFileSystem fileSystem(folder);
        if (Fault(fault) != Fault::FileSizeLimit && !fileSystem.Mounted())
            QSKIP(qPrintable(QStringLiteral("cannot mount a small file system here: %1").arg(fileSystem.Reason())));
        const QString file = folder + QStringLiteral("/channels.dnf");
        QVERIFY(MakeSampleDnf(file));
        const QByteArray before = ReadAll(file);
        QVERIFY(before.size() > 2048);

        auto window = StartEditor();
        TfrmChild* doc = window->OpenDocument(file);
        QVERIFY(doc);
        RenameFirstService(doc, QStringLiteral("ZZ UNSAVED"));
        QVERIFY(HasServiceNamed(doc, "ZZ UNSAVED"));
        QVERIFY(doc->Document().pModifiedFlag());

        if (Fault(fault) == Fault::FullFileSystem)
            QVERIFY(fileSystem.Fill());
        if (Fault(fault) == Fault::ReadOnlyFileSystem)
            QVERIFY(fileSystem.MakeReadOnly());
        ModalAnswers answers;
        answers.MessageBox(QMessageBox::Ok);
        {
            std::optional<FileSizeLimit> limit;
            if (Fault(fault) == Fault::FileSizeLimit)
                limit.emplace(1024);
            PressSave(*window);
            QTRY_COMPARE(answers.Pending(), 0);
        }
        QCOMPARE(answers.unexpected, 0);
        const QString message = answers.seenTexts.value(0);
        QVERIFY2(message.contains(reason), qPrintable(message));
        if (Fault(fault) != Fault::FileSizeLimit)  // there the exchange file may be the first to fail
            QVERIFY2(message.contains(file), qPrintable(message));

        // Nothing lost: the document is open and modified, the file is as it was.
        QCOMPARE(window->ActiveDocument(), doc);
        QVERIFY(doc->Document().pModifiedFlag());
        QVERIFY(HasServiceNamed(doc, "ZZ UNSAVED"));
        QCOMPARE(doc->Caption(), file);
        QCOMPARE(ReadAll(file), before);
        QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        left.removeAll(QStringLiteral("filler"));
        QCOMPARE(left, QStringList{QStringLiteral("channels.dnf")});
        QVERIFY(QDir(QString::fromStdString(window->State().ExchangeDir)).isEmpty());
        doc->Document().MarkSaved();
    }

    // The private exchange folder removed while the program runs: Save and
    // Open make it again, private; a folder put in its place by someone else
    // is not written to.
    void exchangeFolderRemovedWhileRunning()
    {
        const QString file = dir_.filePath(QStringLiteral("exchange.dnf"));
        QVERIFY(MakeSampleDnf(file));
        auto window = StartEditor();
        const std::string exchange = window->State().ExchangeDir;
        namespace fs = std::filesystem;
        TfrmChild* doc = window->OpenDocument(file);
        QVERIFY(doc);
        RenameFirstService(doc, QStringLiteral("ZZ SAVED"));
        ModalAnswers answers;

        QVERIFY(fs::remove_all(exchange) > 0);
        PressSave(*window);
        QVERIFY(!doc->Document().pModifiedFlag());
        QVERIFY(fs::is_directory(exchange));
        QCOMPARE(int(fs::status(exchange).permissions() & fs::perms::all), 0700);

        QVERIFY(fs::remove_all(exchange) > 0);
        TfrmChild* again = window->OpenDocument(file);
        QVERIFY(again);
        QVERIFY(HasServiceNamed(again, "ZZ SAVED"));
        delete again->parentWidget();

        // Someone else's folder where the exchange folder was.
        const QByteArray saved = ReadAll(file);
        const std::string elsewhere = dir_.filePath(QStringLiteral("elsewhere")).toStdString();
        fs::create_directories(elsewhere);
        QVERIFY(fs::remove_all(exchange) > 0);
        fs::create_directory_symlink(elsewhere, exchange);
        RenameFirstService(doc, QStringLiteral("ZZ NOT SAVED"));
        answers.MessageBox(QMessageBox::Ok);
        PressSave(*window);
        QTRY_COMPARE(answers.Pending(), 0);
        QVERIFY2(answers.seenTexts.value(0).contains(QString::fromStdString(exchange)),
                 qPrintable(answers.seenTexts.value(0)));
        QVERIFY(fs::is_empty(elsewhere));
        QVERIFY(doc->Document().pModifiedFlag());
        QCOMPARE(ReadAll(file), saved);
        QCOMPARE(answers.unexpected, 0);
        fs::remove(exchange);
        doc->Document().MarkSaved();
    }

    // Another program writes the settings file while the editor runs: at
    // close the editor's own keys get its values, and the other program's
    // sections and keys stay.
    void settingsFileWrittenByAnotherProgramMeanwhile()
    {
        auto window = StartEditor();
        const QString settings = window->Paths().settingsFile;
        QFile other(settings);
        QVERIFY(other.open(QIODevice::WriteOnly | QIODevice::Truncate));
        other.write("[OTHER TOOL]\r\nWINDOW=12,34\r\n[SYSTEMINFO]\r\nMODEL=7\r\nOTHERKEY=kept\r\n");
        other.close();
        QVERIFY(window->close());
        const QByteArray written = ReadAll(settings);
        QVERIFY2(written.contains("[OTHER TOOL]\r\nWINDOW=12,34\r\n"), written.constData());
        QVERIFY2(written.contains("OTHERKEY=kept\r\n"), written.constData());
        QVERIFY2(written.contains("MODEL=0\r\n"), written.constData());
        QVERIFY2(!written.contains("MODEL=7"), written.constData());
    }

    void conversionLibraryMissingOrWithoutItsEntries_data()
    {
        QTest::addColumn<QString>("library");
        QTest::addColumn<QStringList>("expected");  // in the start message, then per command
        const QString missing = dir_.filePath(QStringLiteral("nowhere/LV3DLL.so"));
        const QString cannotLoad = QStringLiteral("the conversion library cannot be loaded");
        QTest::newRow("missing") << missing << QStringList(6, cannotLoad);
        const QString other = QCoreApplication::applicationDirPath() + QStringLiteral("/encdll12.so");
        QTest::newRow("without the entries") << other
                                             << QStringList{QStringLiteral("no entry \"DnfToV3Dnf\", \"V3DnfToDnf\""),
                                                            QStringLiteral("\"DnfToV3Dnf\""),
                                                            QStringLiteral("\"V3DnfToDnf\""),
                                                            QStringLiteral("\"UploadData\""),
                                                            QStringLiteral("\"DnfToDDF\""),
                                                            QStringLiteral("\"DownloadData\"")};
    }

    // Start, Save, Open, Data Upload, Data Download and Download Firmware each
    // name the library and what is wrong with it; the document stays as it was.
    void conversionLibraryMissingOrWithoutItsEntries()
    {
        QFETCH(QString, library);
        QFETCH(QStringList, expected);
        const QString existing = dir_.filePath(QStringLiteral("existing.dnf"));
        QVERIFY(MakeSampleDnf(existing));
        const QString target = dir_.filePath(QStringLiteral("never-written.dnf"));
        ModalAnswers answers;
        answers.MessageBox(QMessageBox::Ok);
        auto window = StartEditor(library);
        QTRY_COMPARE(answers.Pending(), 0);

        window->NewFile->trigger();
        TfrmChild* doc = window->ActiveDocument();
        QVERIFY(doc);
        const QString caption = doc->Caption();
        answers.FileDialog(target);
        answers.MessageBox(QMessageBox::Ok);
        PressSave(*window);  // Save
        answers.FileDialog(existing);
        answers.MessageBox(QMessageBox::Ok);
        window->FileOpen->trigger();  // Open
        answers.MessageBox(QMessageBox::Ok);
        window->DataUpload->trigger();  // Data Upload
        answers.MessageBox(QMessageBox::Ok);
        window->DataDownLoad->trigger();  // Data Download
        answers.FileDialog(existing);
        answers.MessageBox(QMessageBox::Ok);
        window->DownFirm->trigger();  // Download Firmware
        QTRY_COMPARE(answers.Pending(), 0);
        QCOMPARE(answers.unexpected, 0);

        QStringList messages = answers.seenTexts.filter(QStringLiteral("conversion library"));
        QCOMPARE(messages.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            QVERIFY2(messages[i].contains(library), qPrintable(messages[i]));
            QVERIFY2(messages[i].contains(expected[i]), qPrintable(messages[i] + " / " + expected[i]));
        }
        QCOMPARE(window->Documents(), QList<TfrmChild*>{doc});
        QCOMPARE(doc->Caption(), caption);
        QVERIFY(doc->pState());
        QVERIFY(!QFile::exists(target));
        QVERIFY(QDir(QString::fromStdString(window->State().ExchangeDir)).isEmpty());
    }
};

QTEST_MAIN(FaultFilesTest)
#include "fault_files_test.moc"
