// The "Check Database" list: a dock under the documents that shows the
// findings of the database checks on the active document (severity, what,
// where). Activating a finding shows its node and row in the document; a
// finding with a safe fix offers it in its context menu and on the "Fix"
// button. Save and Data Download ask here before they go on with errors.
#pragma once

#include <QDockWidget>
#include <QPointer>
#include <functional>
#include <vector>

#include "database_checks.h"

class QAction;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace lumora {

class TfrmChild;
class UiPort;

class TCheckDock : public QDockWidget {
    Q_OBJECT
public:
    TCheckDock(std::function<TfrmChild*()> activeDocument, UiPort& ui, QWidget* parent);

    // Edit > "Check Database" (F7).
    QAction* CheckAction = nullptr;
    QTreeWidget* List = nullptr;  // columns: severity, what, where
    QPushButton* FixButton = nullptr;

    // Runs the checks on `child`, lists the findings and shows the list.
    void ShowFindings(TfrmChild* child);
    // Before a command that sends the data on (`command`: "save",
    // "download"): with errors present the list is shown and the person
    // asked; false when they cancel. Warnings alone do not ask.
    bool AllowCommand(TfrmChild* child, const QString& command);

private:
    void CheckActiveDocument();
    // The findings of `child` (an empty list for none; one line saying so when
    // the document has none), without showing the list.
    void ListFindings(TfrmChild* child);
    void ActivateItem(QTreeWidgetItem* item);
    void FixItem(QTreeWidgetItem* item);
    // The fixed document stays the active one, so that Save saves it.
    static void KeepDocumentActive(TfrmChild* child);
    void ShowContextMenu(const QPoint& pos);
    void ShowFixState();
    const TFinding* FindingOf(const QTreeWidgetItem* item) const;

    std::function<TfrmChild*()> activeDocument_;
    UiPort& ui_;
    QPointer<TfrmChild> child_;  // the document the list is about
    QMetaObject::Connection closedConnection_;
    std::vector<TFinding> findings_;
};

}  // namespace lumora
