// Helpers shared by the editor's modal dialogs: the common window setup, the
// OK/CANCEL row, drop-down lists stored as positions, typed integer fields and
// the byte-string <-> QString conversion (names are ISO 8859-1).
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "shell_text.h"

class QComboBox;
class QDialog;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QWidget;

namespace lumora::dialogs {

inline QString ToQ(const std::string& bytes) { return NameText(bytes); }
inline std::string ToBytes(const QString& text) { return NameBytes(text); }

// Caption, dialog border, stays on top, modal. Qt centres a dialog over its
// parent, or on the screen when it has none; Escape rejects.
void SetUpDialogWindow(QDialog* dialog, const QString& caption);

struct OkCancelButtons {
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
};
// The "OK" and "CANCEL" buttons, right-aligned. "OK" is the default button;
// "CANCEL" rejects. The caller connects "OK" to its own write-back.
OkCancelButtons AddOkCancelRow(QDialog* dialog, QHBoxLayout* row);

// One labelled field of a dialog's form.
struct FormRow {
    QString label;
    QWidget* field = nullptr;
};
// The dialog's layout: `rows` as a labelled form above the OK/CANCEL row;
// "OK" runs `ok`.
void LayOutForm(QDialog* dialog, const std::vector<FormRow>& rows, const std::function<void()>& ok);

// A drop-down list with fixed items.
QComboBox* MakeDropDown(QWidget* parent, const QStringList& items);

// Selects `position`, or nothing when it is outside the list.
void SelectPosition(QComboBox* combo, int position);

// The selected position, or `fallback` when the list shows no selection (a
// value from a file that the list does not offer is then kept as it was).
int PositionOr(const QComboBox* combo, int fallback);

// Alphabetical order of the visible lists (case-insensitive, as people expect).
void SortNames(QStringList& names);

// Parses the text of a typed integer field with the platform integer parser;
// throws EConvertError for a text that is not an integer.
int32_t FieldToInt(const QLineEdit* field);

// Shows the message of a failed conversion in an error box.
void ShowErrorBox(QWidget* parent, const QString& message);

// Runs `convert`, which reads typed integer fields. A field that is not an
// integer shows its error box and gives false: the dialog stays open.
bool ConvertTypedFields(QWidget* dialog, const std::function<void()>& convert);

}  // namespace lumora::dialogs
