#include "check_dock.h"

#include <QAction>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "frm_child.h"
#include "grid/k_string_grid.h"
#include "shell_text.h"
#include "ui_port.h"

namespace lumora {

namespace {
constexpr int kFindingRole = Qt::UserRole;  // the finding's position in findings_
}

TCheckDock::TCheckDock(std::function<TfrmChild*()> activeDocument, UiPort& ui, QWidget* parent)
    : QDockWidget(tr("Check Database"), parent), activeDocument_(std::move(activeDocument)), ui_(ui)
{
    setObjectName(QStringLiteral("CheckDock"));
    CheckAction = new QAction(tr("&Check Database"), this);
    CheckAction->setObjectName(QStringLiteral("EditCheckDatabase"));
    CheckAction->setShortcut(QKeySequence(Qt::Key_F7));
    CheckAction->setStatusTip(tr("Check the active document for faults before it goes to a receiver"));
    connect(CheckAction, &QAction::triggered, this, &TCheckDock::CheckActiveDocument);

    auto* pane = new QWidget(this);
    List = new QTreeWidget(pane);
    List->setRootIsDecorated(false);
    List->setHeaderLabels({tr("Severity"), tr("What"), tr("Where")});
    List->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    List->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(List, &QTreeWidget::itemActivated, this, &TCheckDock::ActivateItem);
    connect(List, &QTreeWidget::currentItemChanged, this, &TCheckDock::ShowFixState);
    connect(List, &QWidget::customContextMenuRequested, this, &TCheckDock::ShowContextMenu);
    FixButton = new QPushButton(tr("Fix"), pane);
    FixButton->setEnabled(false);
    connect(FixButton, &QPushButton::clicked, this, [this] { FixItem(List->currentItem()); });
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(List);
    layout->addWidget(FixButton, 0, Qt::AlignLeft);
    setWidget(pane);
}

void TCheckDock::CheckActiveDocument()
{
    TfrmChild* child = activeDocument_();
    if (child && child->EndCellEdit())  // a typed cell counts as part of the data checked
        ShowFindings(child);
}

void TCheckDock::ShowFindings(TfrmChild* child)
{
    ListFindings(child);
    show();
    raise();
}

void TCheckDock::ListFindings(TfrmChild* child)
{
    disconnect(closedConnection_);
    // Findings of a closed document name nothing any more.
    if (child)
        closedConnection_ = connect(child, &QObject::destroyed, this, [this] { ListFindings(nullptr); });
    child_ = child;
    findings_ = child ? child->Document().CheckDocument() : std::vector<TFinding>{};
    List->clear();
    for (std::size_t i = 0; i < findings_.size(); ++i) {
        const TFinding& f = findings_[i];
        auto* item = new QTreeWidgetItem(List, {f.severity == FindingSeverity::Error ? tr("error") : tr("warning"),
                                                NameText(f.what), NameText(f.where)});
        item->setData(0, kFindingRole, int(i));
    }
    if (child && findings_.empty())
        new QTreeWidgetItem(List, {QString(), tr("No findings"), child->Caption()});
    ShowFixState();
}

bool TCheckDock::AllowCommand(TfrmChild* child, const QString& command)
{
    if (!child->EndCellEdit())
        return false;
    // The list follows the check; it comes up only when there is something to decide.
    ListFindings(child);
    if (!HasErrors(findings_))
        return true;
    show();
    raise();
    const std::string question = "The checks found errors in this document (see the Check Database list).\rGo on "
                                 "with the " +
                                 command.toStdString() + " all the same?";
    return ui_.MessageBox(MsgKind::Warning, question, MsgButtons::OkCancel) == MsgResult::Ok;
}

const TFinding* TCheckDock::FindingOf(const QTreeWidgetItem* item) const
{
    if (!item || !child_ || !item->data(0, kFindingRole).isValid())
        return nullptr;
    const int i = item->data(0, kFindingRole).toInt();
    return i >= 0 && i < int(findings_.size()) ? &findings_[std::size_t(i)] : nullptr;
}

void TCheckDock::ActivateItem(QTreeWidgetItem* item)
{
    const TFinding* finding = FindingOf(item);
    if (!finding)
        return;
    const TFinding shown = *finding;
    child_->Run([this, &shown] { child_->Document().ShowFinding(shown); });
    if (auto* window = child_->parentWidget())
        window->activateWindow();
    child_->SG->setFocus();
}

void TCheckDock::FixItem(QTreeWidgetItem* item)
{
    const TFinding* finding = FindingOf(item);
    if (!finding || !finding->HasFix() || !child_->EndCellEdit())
        return;
    const TFinding fix = *finding;
    const int row = List->indexOfTopLevelItem(item);
    // The list keeps the focus while it is rebuilt: a focused Fix button that
    // disables itself would hand the focus, and with it the active window, to
    // another document.
    List->setFocus(Qt::OtherFocusReason);
    child_->Run([this, &fix] { child_->Document().FixFindings({fix}); });
    KeepDocumentActive(child_);
    ShowFindings(child_);
    List->setCurrentItem(List->topLevelItem(std::min(row, List->topLevelItemCount() - 1)));
    List->setFocus(Qt::OtherFocusReason);
    List->viewport()->update();
}

void TCheckDock::KeepDocumentActive(TfrmChild* child)
{
    auto* window = qobject_cast<QMdiSubWindow*>(child->parentWidget());
    if (window && window->mdiArea() && window->mdiArea()->currentSubWindow() != window)
        window->mdiArea()->setActiveSubWindow(window);
}

void TCheckDock::ShowContextMenu(const QPoint& pos)
{
    QTreeWidgetItem* item = List->itemAt(pos);
    const TFinding* finding = FindingOf(item);
    if (!finding || !finding->HasFix())
        return;
    QMenu menu(this);
    QAction* fix = menu.addAction(NameText(FixCaption(*finding)));
    if (menu.exec(List->viewport()->mapToGlobal(pos)) == fix)
        FixItem(item);
}

void TCheckDock::ShowFixState()
{
    const TFinding* finding = FindingOf(List->currentItem());
    FixButton->setEnabled(finding && finding->HasFix());
    FixButton->setText(finding && finding->HasFix() ? NameText(FixCaption(*finding)) : tr("Fix"));
}

}  // namespace lumora
