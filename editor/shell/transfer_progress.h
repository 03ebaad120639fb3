// TTransferProgress: the modal progress dialog of a receiver transfer, with a
// Cancel button.
//
// The conversion library's transfer entries block until the transfer ends,
// which at 9600 bit/s takes minutes. So the entry runs on a worker thread
// while this dialog's event loop keeps the window alive; the library's
// progress callback (called on the worker) posts the counts to the dialog and
// answers "stop" once Cancel was pressed. The worker is the only thread that
// calls the library during a transfer, and the dialog is modal, so no other
// command can call it meanwhile. The dialog closes only when the worker has
// returned: Cancel and Escape ask the transfer to stop, they do not abandon it.
#pragma once

#include <QDialog>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;

namespace lumora {

class TTransferProgress : public QDialog {
    Q_OBJECT
public:
    TTransferProgress(const QString& caption, const QString& what, QWidget* parent = nullptr);

    struct Outcome {
        bool succeeded = false;
        bool cancelled = false;  // Cancel was pressed before the transfer ended
        std::string error;  // the library's reason when it failed
    };

    // Runs `transfer` on a worker thread and shows the dialog until it has
    // returned. `transfer` returns true on success, else false with the reason.
    Outcome Run(const std::function<bool(std::string& error)>& transfer);

    // The library's progress callback; `context` is the dialog.
    static int Progress(uint32_t done, uint32_t total, void* context);

    bool CancelRequested() const { return cancel_; }

    QLabel* Label1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* BtnCancel = nullptr;

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowProgress(uint32_t done, uint32_t total);

    QString what_;
    std::atomic<bool> cancel_{false};
    bool finished_ = false;
};

}  // namespace lumora
