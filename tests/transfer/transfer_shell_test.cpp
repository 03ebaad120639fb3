// The editor's transfer commands on the real main window against stbsim:
// upload into numbered documents, the size test, the progress dialog's
// Cancel, failures shown with the library's reason, the download messages and
// checks, a download that a later upload returns, and a firmware download.
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <filesystem>

#include "conversion_binding.h"
#include "frm_child.h"
#include "frm_main.h"
#include "transfer_progress.h"
#include "transfer_support.h"

using namespace lumora;
using namespace transfer_test;

namespace {

const std::string kSample = std::string(LUMORA_EXAMPLES_DIR) + "/sample.txt";

// Answers the modal windows of the transfer commands: message boxes are
// recorded and closed with OK, a file dialog gets `fileToChoose`, and the
// progress dialog is left to run, or cancelled once it shows `cancelAt`.
class Answers : public QObject {
public:
    Answers()
    {
        connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
        timer_.start(10);
    }
    QStringList messages;
    QString fileToChoose;
    bool cancelProgress = false;
    int progressDialogs = 0;

private:
    void Poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == last_)
            return;
        if (auto* progress = qobject_cast<TTransferProgress*>(modal)) {
            last_ = modal;
            ++progressDialogs;
            if (cancelProgress)
                QTimer::singleShot(200, progress->BtnCancel, &QPushButton::click);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            last_ = modal;
            messages << box->text();
            box->button(QMessageBox::Ok)->click();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            last_ = modal;
            dialog->selectFile(fileToChoose);
            static_cast<QDialog*>(dialog)->accept();
        }
    }
    QTimer timer_;
    QPointer<QWidget> last_;
};

}  // namespace

class TransferShellTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    TempDir files_;
    Library lib_;

    std::unique_ptr<TfrmMain> StartEditor()
    {
        QFile settings(dir_.filePath(QStringLiteral("LV32.cfg")));
        settings.open(QIODevice::WriteOnly);
        settings.write("[SYSTEMINFO]\r\nMODEL=3\r\n");
        settings.close();
        auto window = std::make_unique<TfrmMain>(
            TMainWindowPaths{dir_.filePath(QStringLiteral("LV32.cfg")), QString::fromLatin1(LV3DLL_PATH)});
        TSystemInfo& info = window->State().Settings.SystemInfo;
        info.COMPORT = 0;
        info.BAUDRATE = 4;  // "115200 bps"
        info.MENUTYPE = 0;
        info.FLASHTYPE = 0;
        info.ANT32 = 1;
        info.SYSTEMID = "002A0010";
        window->show();
        return window;
    }

    // The sample's raw image cut or padded to `size` bytes.
    std::string SampleRaw(std::size_t size)
    {
        const std::string raw = files_.File("sample" + std::to_string(size) + ".raw");
        if (lib_.DnfToRaw(kSample.c_str(), raw.c_str(), 0, 0, 1) != 1)
            qWarning("DnfToRaw: %s", lib_.LastError());
        Bytes bytes = ReadFile(raw);
        bytes.resize(size, 0);
        WriteFile(raw, bytes);
        return raw;
    }

    static bool ExchangeDirIsEmpty(TfrmMain& window) { return std::filesystem::is_empty(window.State().ExchangeDir); }

    static int Services(TfrmChild* child)
    {
        const TServiceInfo& s = child->Document().Database().ServiceInfo;
        return s.wTVNum + s.wRadioNum;
    }

private slots:
    void uploadOpensNumberedDocumentsAndChecksTheSize()
    {
        auto window = StartEditor();
        Answers answers;
        {
            // The settings' port and speed reach the line: "115200 bps" is the
            // library's speed code 0, "9600 bps" its code 4.
            SimProcess sim({"--raw", SampleRaw(kRawSize), "--report-speed"});
            window->DataUploadExecute();
            QCOMPARE(QString::fromStdString(sim.NextLine()), QStringLiteral("upload at 115200 bit/s"));
            ::setenv("LV3DLL_PORT2", sim.Device().c_str(), 1);
            window->State().Settings.SystemInfo.COMPORT = 2;  // "COM 3"
            window->State().Settings.SystemInfo.BAUDRATE = 0;
            window->DataUploadExecute();
            ::unsetenv("LV3DLL_PORT2");
            QCOMPARE(QString::fromStdString(sim.NextLine()), QStringLiteral("upload at 9600 bit/s"));
        }
        window->State().Settings.SystemInfo.COMPORT = 0;
        window->State().Settings.SystemInfo.BAUDRATE = 4;
        QCOMPARE(answers.messages, QStringList());
        QCOMPARE(answers.progressDialogs, 2);
        const QList<TfrmChild*> documents = window->Documents();
        QCOMPARE(documents.size(), 2);
        QCOMPARE(documents[0]->Caption(), QStringLiteral("upload0.dnf"));
        QCOMPARE(documents[1]->Caption(), QStringLiteral("upload1.dnf"));
        QVERIFY(documents[0]->pModifiedFlag());
        QVERIFY(documents[0]->pState());
        QVERIFY(Services(documents[0]) > 0);
        QVERIFY(ExchangeDirIsEmpty(*window));

        for (std::size_t size : {kRawSize - 1, kRawSize + 1}) {
            SimProcess sim({"--raw", SampleRaw(size)});
            window->DataUploadExecute();
        }
        QCOMPARE(answers.messages,
                 QStringList({QStringLiteral("Upload failure..\nPlease retry uploading processing."),
                              QStringLiteral("Upload failure..\nPlease retry uploading processing.")}));
        QCOMPARE(window->Documents().size(), 2);
        QVERIFY(ExchangeDirIsEmpty(*window));
        for (TfrmChild* document : window->Documents())
            document->Document().MarkSaved();
        QVERIFY(window->close());
    }

    void cancelStopsTheUploadAndFailuresShowTheirReason()
    {
        auto window = StartEditor();
        Answers answers;
        {
            // Slow enough that the whole image would take half a minute.
            SimProcess sim({"--raw", SampleRaw(kRawSize), "--delay", "50"});
            answers.cancelProgress = true;
            QElapsedTimer clock;
            clock.start();
            window->DataUploadExecute();
            QVERIFY(clock.elapsed() < 10000);
        }
        QCOMPARE(answers.messages, QStringList({QStringLiteral("Data upload stopped by user.")}));
        QCOMPARE(window->Documents().size(), 0);

        answers.cancelProgress = false;
        answers.messages.clear();
        ::setenv("LV3DLL_PORT0", "/nonexistent/ttyX", 1);
        window->DataUploadExecute();
        ::unsetenv("LV3DLL_PORT0");
        QCOMPARE(answers.messages.size(), 1);
        QVERIFY(answers.messages[0].startsWith(QStringLiteral("Cannot open serial port COM 1 (/nonexistent/ttyX)")));
        QCOMPARE(window->Documents().size(), 0);
        QVERIFY(ExchangeDirIsEmpty(*window));
        QVERIFY(window->close());
    }

    void downloadMessagesAndAnEditThatComesBack()
    {
        auto window = StartEditor();
        Answers answers;
        SimProcess sim({"--raw", SampleRaw(kRawSize)});
        window->DataDownLoadExecute();
        QCOMPARE(answers.messages, QStringList({QStringLiteral("Target window not found.")}));

        window->DataUploadExecute();
        QCOMPARE(window->Documents().size(), 1);
        TfrmChild* child = window->Documents()[0];
        TChannelDatabase& db = child->Document().Database();

        // Services without a provider cannot go: the database checks find
        // their provider indices pointing at nothing and ask; going on, the
        // download's own check refuses.
        const auto providers = db.ProviderInfo.wProviderNum;
        db.ProviderInfo.wProviderNum = 0;
        answers.messages.clear();
        window->DataDownLoadExecute();
        QCOMPARE(answers.messages,
                 QStringList({QStringLiteral("The checks found errors in this document (see the Check Database "
                                             "list).\nGo on with the download all the same?"),
                              QStringLiteral("No Provider or No Network information. Please insert the information"),
                              QStringLiteral("Download Operation was canceled.")}));
        QCOMPARE(answers.progressDialogs, 1);  // only the upload's
        db.ProviderInfo.wProviderNum = providers;

        db.ServiceInfo.pServiceInfo[0].szServiceName = "Edited Name";
        window->State().Settings.SystemInfo.SYSTEMID = "0000ABCD";  // the image's ID, read as hexadecimal
        answers.messages.clear();
        window->DataDownLoadExecute();
        QCOMPARE(answers.messages, QStringList());
        QCOMPARE(QString::fromStdString(sim.NextLine()),
                 QStringLiteral("download accepted: channel data, 401408 bytes, ID 0000abcd"));
        QVERIFY(ExchangeDirIsEmpty(*window));

        window->DataUploadExecute();
        QCOMPARE(window->Documents().size(), 2);
        QCOMPARE(window->Documents()[1]->Document().Database().ServiceInfo.pServiceInfo[0].szServiceName,
                 std::string("Edited Name"));
        for (TfrmChild* document : window->Documents())
            document->Document().MarkSaved();
        QVERIFY(window->close());
    }

    void firmwareDownloadLeavesTheChosenFile()
    {
        auto window = StartEditor();
        Answers answers;
        const std::string image = files_.File("fw.ddf");
        QVERIFY(BuildFirmware(files_, Bytes(3000, 0x11), image));
        const Bytes before = ReadFile(image);
        SimProcess sim({"--save-firmware", files_.File("received.ddf")});
        answers.fileToChoose = QString::fromStdString(image);
        window->DownFirmExecute();
        QCOMPARE(answers.messages, QStringList());
        QVERIFY(QString::fromStdString(sim.NextLine()).startsWith(QStringLiteral("download accepted: firmware")));
        QCOMPARE(ReadFile(files_.File("received.ddf")), before);
        QCOMPARE(ReadFile(image), before);
        QVERIFY(window->close());
    }
};

QTEST_MAIN(TransferShellTest)
#include "transfer_shell_test.moc"
