// Answers the modal windows a test provokes: each scripted answer waits for
// the next modal window, checks it is the expected kind, and acts on it.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <deque>
#include <functional>

namespace lumora::test {

class ModalAnswers : public QObject {
public:
    using Answer = std::function<void(QWidget*)>;

    ModalAnswers()
    {
        timer_.setInterval(20);
        connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
        timer_.start();
    }
    ~ModalAnswers() override { timer_.stop(); }

    void Push(Answer answer) { answers_.push_back(std::move(answer)); }
    int Pending() const { return int(answers_.size()); }
    // Texts of the message boxes answered so far.
    QStringList seenTexts;
    QStringList seenTitles;
    int unexpected = 0;

    // A message box: record its text and press the button with this role.
    void MessageBox(QMessageBox::StandardButton button)
    {
        Push([this, button](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box) {
                ++unexpected;
                static_cast<QDialog*>(w)->reject();
                return;
            }
            seenTexts << box->text();
            seenTitles << box->windowTitle();
            box->button(button)->click();
        });
    }

    // A file dialog: type `path` and accept.
    void FileDialog(const QString& path)
    {
        Push([this, path](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            if (!dialog) {
                ++unexpected;
                static_cast<QDialog*>(w)->reject();
                return;
            }
            seenTexts << dialog->objectName();
            // Typed into the name field, as a person would; done() rather
            // than accept(), which may wait for the directory listing that
            // the dialog reads in the background.
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (name)
                name->setText(path);
            else
                dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
        });
    }

    void Reject()
    {
        Push([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    }

private:
    void Poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == last_)
            return;
        last_ = modal;
        if (answers_.empty()) {
            ++unexpected;
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            return;
        }
        Answer answer = std::move(answers_.front());
        answers_.pop_front();
        answer(modal);
    }

    QTimer timer_;
    std::deque<Answer> answers_;
    QPointer<QWidget> last_;
};

}  // namespace lumora::test
