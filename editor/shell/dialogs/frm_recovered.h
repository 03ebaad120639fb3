// After a crash: the documents that were recovered, each with a check box,
// and the choice to open the checked ones, to discard them all, or to decide
// at the next start.
#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class QListWidget;

namespace lumora {

class TfrmRecovered : public QDialog {
    Q_OBJECT
public:
    enum Choice { NotNow = QDialog::Rejected, Open = QDialog::Accepted, Discard = 2 };

    TfrmRecovered(const QStringList& captions, QWidget* parent = nullptr);

    // The rows checked when the dialog ended.
    QList<int> CheckedRows() const;

    QListWidget* List = nullptr;
};

}  // namespace lumora
