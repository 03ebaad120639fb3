// The main window's receiver transfer commands: Data Upload, Data Download
// and Download Firmware. The library's transfer entries run behind a modal
// progress dialog (TTransferProgress); the exchange files live in the
// program's private exchange directory and are removed before a command ends.
#include <QFileDialog>
#include <chrono>
#include <filesystem>
#include <thread>

#include "check_dock.h"
#include "conversion_binding.h"
#include "exchange_dir.h"
#include "frm_child.h"
#include "frm_main.h"
#include "interchange.h"
#include "qt_ui_port.h"
#include "settings.h"
#include "shell_text.h"
#include "transfer_progress.h"

namespace lumora {

namespace {

constexpr const char* kUploadStopped = "Data upload stopped by user.";
constexpr const char* kUploadFailure = "Upload failure..\rPlease retry uploading processing.";
constexpr const char* kTargetNotFound = "Target window not found.";
constexpr const char* kDownloadCanceled = "Download Operation was canceled.";

using TransferFn = int (*)(uint8_t port, uint8_t speedCode, const char* path);
using SetProgressFn = void (*)(int (*)(uint32_t, uint32_t, void*), void*);
using LastErrorFn = const char* (*)();

// The library's transfer entries, looked up when a command runs. A missing
// entry ends the command with the binding's reason.
struct TransferEntries {
    TransferFn transfer = nullptr;
    SetProgressFn setProgress = nullptr;
    LastErrorFn lastError = nullptr;
};

template <typename Fn>
Result<Fn> LookUp(const ConversionLibrary* library, const char* name)
{
    if (!library)
        return Status::Failure("The conversion library is not loaded");
    const Result<void*> entry = library->Entry(name);
    if (!entry)
        return entry.status();
    return reinterpret_cast<Fn>(entry.value());
}

// The entries, or the reason of the first one missing.
Result<TransferEntries> LookUpTransfer(const ConversionLibrary* library, const char* name)
{
    const Result<TransferFn> transfer = LookUp<TransferFn>(library, name);
    if (!transfer)
        return transfer.status();
    const Result<SetProgressFn> setProgress = LookUp<SetProgressFn>(library, "LV3SetProgressCallback");
    if (!setProgress)
        return setProgress.status();
    const Result<LastErrorFn> lastError = LookUp<LastErrorFn>(library, "LV3LastError");
    if (!lastError)
        return lastError.status();
    return TransferEntries{transfer.value(), setProgress.value(), lastError.value()};
}

bool Exists(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

// Deletes both files; whatever is still there is tried once more a second later.
void DeleteTwice(const std::string& a, const std::string& b)
{
    DeleteExchangeFile(a);
    DeleteExchangeFile(b);
    if (!Exists(a) && !Exists(b))
        return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    DeleteExchangeFile(a);
    DeleteExchangeFile(b);
}

}  // namespace

// Port and speed code of the settings: the library counts speeds from the
// fastest, the settings list from the slowest.
static uint8_t SpeedCode(const TSystemInfo& settings) { return static_cast<uint8_t>(4 - settings.BAUDRATE); }

Result<TTransferProgress::Outcome> TfrmMain::RunTransfer(const char* entry, const QString& caption, const QString& what,
                                                         const std::string& path)
{
    const Result<TransferEntries> found = LookUpTransfer(_DLLHandle.get(), entry);
    if (!found)
        return found.status();
    const TransferEntries& library = found.value();
    const uint8_t port = state_->Settings.SystemInfo.COMPORT;
    const uint8_t speed = SpeedCode(state_->Settings.SystemInfo);
    TTransferProgress dialog(caption, what, this);
    return dialog.Run([&](std::string& error) {
        library.setProgress(&TTransferProgress::Progress, &dialog);
        const bool ok = library.transfer(port, speed, path.c_str()) == 1;
        if (!ok)
            error = library.lastError();
        library.setProgress(nullptr, nullptr);
        return ok;
    });
}

ReceiverType TfrmMain::TransferReceiver() const
{
    const TSystemInfo& s = state_->Settings.SystemInfo;
    return ReceiverType{s.MENUTYPE, s.FLASHTYPE, s.ANT32};
}

void TfrmMain::DataUploadExecute()
{
    const QString name = FreeDocumentName(QStringLiteral("upload"));
    if (!ReportFailure(*ui_, EnsureExchangeDirectory(state_->ExchangeDir)))
        return;
    const std::string raw = ExchangeFile(state_->ExchangeDir, kRawImageExchangeFile);
    const std::string text = ExchangeFile(state_->ExchangeDir, kInterchangeExchangeFile);
    DeleteExchangeFile(raw);
    DeleteExchangeFile(text);

    const Result<TTransferProgress::Outcome> outcome =
        RunTransfer("UploadData", tr("Data Upload"), tr("Receiving the receiver's data"), raw);
    if (!ReportFailure(*ui_, outcome.status()))
        return;
    if (!Exists(raw)) {
        // A failure has a reason of its own; no file after Cancel is the user's stop.
        const bool failed = !outcome->cancelled && !outcome->error.empty();
        ui_->MessageBox(MsgKind::Error, failed ? outcome->error : kUploadStopped, MsgButtons::Ok);
        DeleteTwice(raw, text);
        return;
    }
    std::error_code sizeError;
    if (std::filesystem::file_size(raw, sizeError) != kRawImageExchangeSize) {
        DeleteExchangeFile(raw);
        ui_->MessageBox(MsgKind::Error, kUploadFailure, MsgButtons::Ok);
    } else {
        const Status converted = _DLLHandle->RawToDnf(raw, text, TransferReceiver());
        if (!converted) {
            ui_->MessageBox(MsgKind::Error, converted.message(), MsgButtons::Ok);
        } else {
            TfrmChild* child = AddDocumentWindow();
            if (child->OpenFileFromUpload(name, true))
                ShowDocumentWindow(child);
            else
                delete child->parentWidget();  // the failure was shown; an empty document would hide it
        }
    }
    DeleteTwice(raw, text);
}

void TfrmMain::DataDownLoadExecute()
{
    if (!ReportFailure(*ui_, EnsureExchangeDirectory(state_->ExchangeDir)))
        return;
    const std::string text = ExchangeFile(state_->ExchangeDir, kInterchangeExchangeFile);
    const std::string image = ExchangeFile(state_->ExchangeDir, kDownloadImageExchangeFile);
    DeleteExchangeFile(text);
    TfrmChild* child = ActiveDocument();
    if (!child) {
        ui_->MessageBox(MsgKind::Error, kTargetNotFound, MsgButtons::Ok);
        DeleteExchangeFile(text);
        DeleteExchangeFile(image);
        return;
    }
    if (!CheckDock->AllowCommand(child, tr("download")))
        return;
    bool checked = false;
    child->Run([&] { checked = child->Document().CheckServiceForDownload(); });
    if (!checked) {
        ui_->MessageBox(MsgKind::Error, kDownloadCanceled, MsgButtons::Ok);
        return;
    }
    Status made = MakeDnfRawFile(text, child->Document().Database());
    if (made)
        made = _DLLHandle->DnfToDDF(text, image, TransferReceiver(),
                                    static_cast<uint32_t>(HexToInt(state_->Settings.SystemInfo.SYSTEMID)));
    std::string transferError;  // what the receiver transfer reports
    if (made) {
        const Result<TTransferProgress::Outcome> outcome =
            RunTransfer("DownloadData", tr("Data Download"), tr("Sending the document"), image);
        if (!outcome)
            made = outcome.status();
        else if (!outcome->succeeded && !outcome->cancelled)
            transferError = outcome->error;
    }
    DeleteExchangeFile(text);
    DeleteExchangeFile(image);
    if (ReportFailure(*ui_, made) && !transferError.empty())
        ui_->MessageBox(MsgKind::Error, transferError, MsgButtons::Ok);
}

void TfrmMain::DownFirmExecute()
{
    QFileDialog dialog(this, tr("Download Firmware"));
    dialog.setObjectName(QStringLiteral("OpenDialog2"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(QStringLiteral("Dravon Download Format (*.ddf)"));
    dialog.setDefaultSuffix(QStringLiteral("ddf"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const std::string path = PathBytes(dialog.selectedFiles().constFirst());
    const Result<TTransferProgress::Outcome> outcome =
        RunTransfer("DownloadData", tr("Download Firmware"), tr("Sending the firmware"), path);
    if (!ReportFailure(*ui_, outcome.status()))
        return;
    if (!outcome->succeeded && !outcome->cancelled)
        ui_->MessageBox(MsgKind::Error, outcome->error, MsgButtons::Ok);
}

}  // namespace lumora
