#include "frm_child.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

#include "app_icons.h"
#include "command_guard.h"
#include "grid/k_string_grid.h"
#include "service_order.h"
#include "shell_text.h"
#include "tree_model.h"

namespace lumora {

TfrmChild::TfrmChild(TApplicationState& app, UiPort& ui, QWidget* parent)
    : QWidget(parent), ui_(ui), document_(std::make_unique<ChannelDocument>(app, ui))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmChild"));
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->addWidget(BuildTreePane());
    Splitter1->addWidget(BuildGridPane());
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({230, 1000});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(Splitter1);
    BuildPopupMenu1();
    BuildPopupMenu2();
    resize(1100, 600);
    document_->OnChanged([this](const TDocumentChange& change) { FollowDocument(change); });
    document_->OnGridRebuilt([this] { ShowViewState(); });
    connect(SG->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TfrmChild::StateChanged);
    SyncView();
}

TfrmChild::~TfrmChild()
{
    // The views go first: their models observe the document. The tree's
    // viewport sends events while the tree is destroyed; this window must not
    // look at the half-destroyed tree then.
    Tree1->viewport()->removeEventFilter(this);
    FilterBox->removeEventFilter(this);
    SG->selectionModel()->disconnect(this);  // a grid going away tells no menus
    delete SG;
    delete Tree1;
}

QWidget* TfrmChild::BuildTreePane()
{
    auto* pane = new QWidget(this);
    Label1 = new QLabel(pane);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Tree1 = new QTreeView(pane);
    Tree1->setObjectName(QStringLiteral("Tree1"));
    Tree1->setHeaderHidden(true);
    Tree1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    treeModel_ = new TTreeModel(document_->Tree1, Tree1);
    Tree1->setModel(treeModel_);
    Tree1->viewport()->installEventFilter(this);
    connect(Tree1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& node) { Tree1Change(node); });
    connect(treeModel_, &TTreeModel::CoreSelectionChanged, this, &TfrmChild::ShowCoreSelection);
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Label1);
    layout->addWidget(Tree1);
    return pane;
}

QWidget* TfrmChild::BuildGridPane()
{
    auto* pane = new QWidget(this);
    FR1 = new QRadioButton(QStringLiteral("TV"), pane);
    FR2 = new QRadioButton(QStringLiteral("RADIO"), pane);
    FR1->setChecked(true);
    auto* group = new QButtonGroup(pane);
    group->addButton(FR1);
    group->addButton(FR2);
    connect(group, &QButtonGroup::buttonClicked, this, [this] { FR1Click(); });
    FlatButton2 = new QPushButton(QStringLiteral("Config Menudata"), pane);
    FlatButton2->setFlat(true);
    connect(FlatButton2, &QPushButton::clicked, this, &TfrmChild::FlatButton2Click);
    BtnSortA = new QPushButton(shell::LumoraIcon(shell::IconId::SortAscending), QString(), pane);
    BtnSortA->setToolTip(tr("Sort ascending by the current column"));
    BtnSortZ = new QPushButton(shell::LumoraIcon(shell::IconId::SortDescending), QString(), pane);
    BtnSortZ->setToolTip(tr("Sort descending by the current column"));
    connect(BtnSortA, &QPushButton::clicked, this, &TfrmChild::BtnSortAClick);
    connect(BtnSortZ, &QPushButton::clicked, this, &TfrmChild::BtnSortZClick);
    SG = new TkStringGrid(document_->SG, pane);
    connect(SG, &TkStringGrid::SetEditText, this, &TfrmChild::SGSetEditText);
    connect(SG, &TkStringGrid::MouseDown, this, &TfrmChild::SGMouseDown);
    connect(SG, &TkStringGrid::KeyDown, this, &TfrmChild::SGKeyDown);
    connect(SG, &TkStringGrid::RowsDropped, this, &TfrmChild::SGRowsDropped);

    FilterBox = new QLineEdit(pane);
    FilterBox->setObjectName(QStringLiteral("FilterBox"));
    FilterBox->setPlaceholderText(tr("Filter (Ctrl+F): name, number, service id or PID"));
    FilterBox->setClearButtonEnabled(true);
    FilterBox->setMinimumWidth(280);
    FilterBox->installEventFilter(this);
    connect(FilterBox, &QLineEdit::textChanged, this, &TfrmChild::FilterChange);

    auto* bar = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(FR1), static_cast<QWidget*>(FR2), static_cast<QWidget*>(FlatButton2),
                       static_cast<QWidget*>(BtnSortA), static_cast<QWidget*>(BtnSortZ)})
        bar->addWidget(w);
    bar->addStretch(1);
    bar->addWidget(FilterBox);
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(bar);
    layout->addWidget(SG);
    return pane;
}

void TfrmChild::BuildPopupMenu1()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Edit1 = PopupMenu1->addAction(QStringLiteral("Edit"), this, &TfrmChild::Edit1Click);
    PopupMenu1->addSeparator();
    AddInformation1 = PopupMenu1->addAction(QStringLiteral("Add Information"), this, &TfrmChild::AddInformation1Click);
    DeleteInformation1 =
        PopupMenu1->addAction(QStringLiteral("Delete Information"), this, &TfrmChild::DeleteInformation1Click);
}

void TfrmChild::BuildPopupMenu2()
{
    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    AddInformation2 = PopupMenu2->addAction(QStringLiteral("Add Information"), this, &TfrmChild::AddInformation2Click);
    DeleteInformation2 =
        PopupMenu2->addAction(QStringLiteral("Delete Information"), this, &TfrmChild::DeleteInformation2Click);
    PopupMenu2->addSeparator();
    Cut1 = PopupMenu2->addAction(QStringLiteral("Cut"), this, &TfrmChild::Cut1Click);
    Copy1 = PopupMenu2->addAction(QStringLiteral("Copy"), this, &TfrmChild::Copy1Click);
    Paste1 = PopupMenu2->addAction(QStringLiteral("Paste"), this, &TfrmChild::Paste1Click);
    // The grid itself turns these keys into commands (SGKeyDown); the menu shows them.
    Cut1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    Copy1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    Paste1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    for (QAction* action : {Cut1, Copy1, Paste1})
        action->setShortcutContext(Qt::WidgetShortcut);
    PopupMenu2->addSeparator();
    ChangeTSMenu = PopupMenu2->addMenu(QStringLiteral("Change TS Information"));
    ChangeNetworkMenu = PopupMenu2->addMenu(QStringLiteral("Change Network Information"));
    ChangeProviderMenu = PopupMenu2->addMenu(QStringLiteral("Change Provider Information"));
}

QString TfrmChild::Caption() const { return PathText(document_->Caption); }

bool TfrmChild::Run(const std::function<void()>& command)
{
    const bool ok = RunCommand(this, command);
    if (!ok)
        SyncView();  // a failed edit keeps what it did without telling the views
    return ok;
}

bool TfrmChild::EndCellEdit()
{
    cellWriteBackFailed_ = false;
    SG->CommitOpenEditor();  // the write-back arrives through SGSetEditText
    return !cellWriteBackFailed_;
}

bool TfrmChild::Command(const std::function<void()>& command)
{
    if (EndCellEdit())
        return Run(command);
    ShowViewState();  // a clicked TV/RADIO button shows the document's mode again
    return false;
}

void TfrmChild::SyncView()
{
    ShowFileState();
    ShowViewState();
}

// Every change of the data, undo and redo included, and every open and save:
// the title may name another file, the data may be saved or not.
void TfrmChild::FollowDocument(const TDocumentChange&)
{
    ShowFileState();
    emit StateChanged();
}

void TfrmChild::ShowFileState()
{
    setWindowTitle(Caption() + QStringLiteral("[*]"));
    setWindowModified(document_->pModifiedFlag());
}

void TfrmChild::ShowViewState()
{
    SG->SetRowsMovable(CanMoveListedRows(*document_));
    Label1->setText(NameText(document_->LabelText()));
    if (NameBytes(FilterBox->text()) != document_->FilterText()) {
        const QSignalBlocker quiet(FilterBox);  // the document already filters by its own text
        FilterBox->setText(NameText(document_->FilterText()));
    }
    // A sort would reorder the rows the filter hides.
    BtnSortA->setEnabled(!document_->FilterActive());
    BtnSortZ->setEnabled(!document_->FilterActive());
    const bool tv = document_->DisplayMode() == kServiceTypeTV;
    (tv ? FR1 : FR2)->setChecked(true);
    emit StateChanged();
}

bool TfrmChild::OpenDataFile(const QString& fileName, bool isNew)
{
    bool opened = false;
    Run([&] { opened = ReportRead(ui_, document_->OpenDataFile(PathBytes(fileName), isNew)); });
    Tree1->expand(treeModel_->index(0, 0));
    return opened;
}

bool TfrmChild::SaveDataFile(const QString& fileName)
{
    bool saved = false;
    Run([&] { saved = ReportFailure(ui_, document_->SaveDataFile(PathBytes(fileName))); });
    return saved;
}

bool TfrmChild::OpenFileFromUpload(const QString& name, bool state)
{
    bool opened = false;
    Run([&] { opened = ReportRead(ui_, document_->OpenFileFromUpload(PathBytes(name), state)); });
    return opened;
}

void TfrmChild::UpdateTree()
{
    Run([this] { document_->UpdateTree(); });
}

// The document selected a node (for example the rebuilt tree's "All Service").
void TfrmChild::ShowCoreSelection(const QModelIndex& node)
{
    syncingTree_ = true;
    Tree1->selectionModel()->setCurrentIndex(node, QItemSelectionModel::ClearAndSelect);
    syncingTree_ = false;
}

void TfrmChild::Tree1Change(const QModelIndex& node)
{
    if (syncingTree_)
        return;
    TTreeNode* selected = TTreeModel::NodeAt(node);
    if (selected == document_->Tree1.Selected())
        return;
    Run([this, selected] { document_->SelectNode(selected); });
}

void TfrmChild::Tree1MouseDown(Qt::MouseButton button, const QPoint& globalPos)
{
    bool open = false;
    Run([&] { open = document_->Tree1MouseDown(button == Qt::RightButton); });
    ShowPopupMenu1State();
    if (open)
        PopupMenu1->popup(globalPos);
}

bool TfrmChild::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Tree1->viewport() && event->type() == QEvent::MouseButtonPress) {
        // A click that would show another part of the document waits for the
        // open cell edit; a failed write-back swallows it.
        if (!EndCellEdit())
            return true;
        auto* mouse = static_cast<QMouseEvent*>(event);
        Tree1MouseDown(mouse->button(), mouse->globalPosition().toPoint());
        // A right click acts on the selected node; it does not select another one.
        return mouse->button() == Qt::RightButton;
    }
    if (watched == FilterBox && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !FilterBox->text().isEmpty()) {
        FilterBox->clear();  // lists every row again
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmChild::ShowPopupMenu1State()
{
    Edit1->setEnabled(document_->PopupMenu1.Edit);
    AddInformation1->setEnabled(document_->PopupMenu1.AddInformation);
    DeleteInformation1->setEnabled(document_->PopupMenu1.DeleteInformation);
}

void TfrmChild::FR1Click()
{
    Command([this] { document_->FR1Click(FR1->isChecked()); });
}

void TfrmChild::closeEvent(QCloseEvent* event)
{
    bool canClose = EndCellEdit();
    if (canClose && !RunCommand(this, [&] { document_->FormCloseQuery(canClose); }))
        canClose = false;
    if (canClose) {
        emit Closing();
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace lumora
