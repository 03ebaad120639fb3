// Helpers for driving modal windows in the dialog tests: answer the next
// message box, or act on a dialog once its modal loop runs.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace lumora::test {

// Watches for the next modal message box, records its text and closes it
// with `button`. `text` must outlive the box.
inline void AnswerNextMessageBox(QString& text, QMessageBox::StandardButton button = QMessageBox::Ok)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, &text, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        timer->stop();
        timer->deleteLater();
        text = box->text();
        box->done(button);
    });
    timer->start();
}

// The push button of `dialog` captioned `caption`, or null.
inline QPushButton* Button(const QWidget& dialog, const QString& caption)
{
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == caption)
            return button;
    }
    return nullptr;
}

// Runs `action` on `dialog` once its modal loop is running, then returns the
// result of exec().
inline int ExecWith(QDialog& dialog, const std::function<void()>& action)
{
    QTimer::singleShot(0, &dialog, action);
    return dialog.exec();
}

}  // namespace lumora::test
