// After a crash: the documents that were recovered, each with a check box and
// the time its copy was written, and the choice to open the checked ones, to
// discard them all, or to decide at the next start.
#pragma once

#include <QDialog>
#include <QList>

#include "recovery_store.h"

class QTreeWidget;

namespace lumora {

class TfrmRecovered : public QDialog {
    Q_OBJECT
public:
    enum Choice { NotNow = QDialog::Rejected, Open = QDialog::Accepted, Discard = 2 };

    TfrmRecovered(const QList<TRecoveredCopy>& copies, QWidget* parent = nullptr);

    // The rows checked when the dialog ended.
    QList<int> CheckedRows() const;

    QTreeWidget* List = nullptr;  // columns: the document, when its copy was written

private:
    // Wide enough for the longest path, as far as the screen allows.
    void FitWidthToList();
};

}  // namespace lumora
