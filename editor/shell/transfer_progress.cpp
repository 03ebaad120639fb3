#include "transfer_progress.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>
#include <thread>

namespace lumora {

TTransferProgress::TTransferProgress(const QString& caption, const QString& what, QWidget* parent)
    : QDialog(parent), what_(what)
{
    setObjectName(QStringLiteral("TransferProgress"));
    setWindowTitle(caption);
    setModal(true);
    Label1 = new QLabel(what_ + QStringLiteral("..."), this);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setRange(0, 0);  // busy until the size is known
    BtnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    connect(BtnCancel, &QPushButton::clicked, this, &TTransferProgress::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(ProgressBar1);
    layout->addWidget(BtnCancel, 0, Qt::AlignCenter);
    setMinimumWidth(360);
}

TTransferProgress::Outcome TTransferProgress::Run(const std::function<bool(std::string& error)>& transfer)
{
    Outcome outcome;
    std::thread worker([&] {
        try {
            outcome.succeeded = transfer(outcome.error);
        } catch (const std::exception& e) {
            outcome.error = e.what();
        }
        QMetaObject::invokeMethod(
            this,
            [this] {
                finished_ = true;
                QDialog::done(QDialog::Accepted);
            },
            Qt::QueuedConnection);
    });
    exec();
    if (!finished_)
        cancel_ = true;  // the loop ended early (the application is quitting): stop, then wait
    worker.join();
    outcome.cancelled = cancel_;
    return outcome;
}

int TTransferProgress::Progress(uint32_t done, uint32_t total, void* context)
{
    auto* self = static_cast<TTransferProgress*>(context);
    QMetaObject::invokeMethod(
        self, [self, done, total] { self->ShowProgress(done, total); }, Qt::QueuedConnection);
    return self->cancel_ ? 0 : 1;
}

void TTransferProgress::ShowProgress(uint32_t done, uint32_t total)
{
    if (cancel_ || total == 0)
        return;
    // The bar counts kilobytes: a 32-bit total may not fit its int range.
    ProgressBar1->setRange(0, int(total / 1024 + 1));
    ProgressBar1->setValue(int(done / 1024));
    Label1->setText(QStringLiteral("%1: %2 of %3 bytes").arg(what_).arg(done).arg(total));
}

void TTransferProgress::reject()
{
    if (finished_) {
        QDialog::reject();
        return;
    }
    cancel_ = true;
    BtnCancel->setEnabled(false);
    Label1->setText(QStringLiteral("Stopping..."));
}

void TTransferProgress::closeEvent(QCloseEvent* event)
{
    if (finished_) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    reject();
}

}  // namespace lumora
