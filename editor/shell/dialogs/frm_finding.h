// The dialogs of Edit > Replace in Names and Edit > Remove Duplicate
// Services. Each gives its result after OK; Cancel and Escape give nothing.
#pragma once

#include <QDialog>

#include "ui_port.h"

class QLineEdit;
class QRadioButton;

namespace lumora {

class TfrmReplaceNames : public QDialog {
    Q_OBJECT
public:
    // `selected` and `listed` count the services each choice would change.
    TfrmReplaceNames(int selected, int listed, QWidget* parent = nullptr);

    QLineEdit* FindEdit = nullptr;
    QLineEdit* ReplaceEdit = nullptr;
    QRadioButton* SelectedOnly = nullptr;
    QRadioButton* AllListed = nullptr;

    // "OK": names hold single bytes, so both texts must be ISO 8859-1 and
    // the find text must not be empty; otherwise says why and stays open.
    void OkClick();
    TReplaceNamesRequest Result() const;
};

class TfrmRemoveDuplicates : public QDialog {
    Q_OBJECT
public:
    explicit TfrmRemoveDuplicates(QWidget* parent = nullptr);

    QRadioButton* SameStreamAndId = nullptr;  // the default
    QRadioButton* SameNameAndStream = nullptr;

    DuplicateKey Result() const;
};

}  // namespace lumora
