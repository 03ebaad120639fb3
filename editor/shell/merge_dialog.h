// The "Merge From" dialog: the source as a tree (antennas, their streams,
// the streams' services) with check boxes, the TV/radio and free-to-air
// filters, the policy for records both databases hold, and a count of what
// the merge would add, update, leave unchanged and refuse that follows
// every change (a dry run of the merge).
#pragma once

#include <QDialog>
#include <QTimer>

#include "database_merge.h"
#include "settings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace lumora {

class TMergeDialog : public QDialog {
    Q_OBJECT
public:
    // `target` and `source` must outlive the dialog.
    TMergeDialog(const TDatabaseSide& target, const TMergeSource& source, const TIdentityRules& rules,
                 const TSettings& settings, QWidget* parent);

    // The merge the dialog's state describes.
    TMergeOptions Options() const;

    QTreeWidget* Tree = nullptr;  // antennas > streams > services
    QCheckBox* TV = nullptr;
    QCheckBox* Radio = nullptr;
    QCheckBox* FreeOnly = nullptr;
    QComboBox* Policy = nullptr;
    QCheckBox* Favorites = nullptr;
    QLabel* Counts = nullptr;
    QPushButton* MergeButton = nullptr;

private:
    void FillTree(const TSettings& settings);
    void ShowPreview();

    const TDatabaseSide target_;  // a copy: callers pass a temporary
    const TMergeSource& source_;
    TIdentityRules rules_;
    QTimer preview_;  // one preview after a burst of check-state changes
};

}  // namespace lumora
