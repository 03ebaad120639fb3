#include "frm_main.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "app_icons.h"
#include "check_dock.h"
#include "compare_dock.h"
#include "conversion_binding.h"
#include "exchange_dir.h"
#include "file_backup.h"
#include "frm_child.h"
#include "print/print_commands.h"
#include "qt_ui_port.h"
#include "recovery_store.h"
#include "settings.h"
#include "shell_text.h"
#include "user_state.h"

namespace lumora {

using shell::IconId;

Result<TMainWindowPaths> TMainWindowPaths::BesideProgram()
{
    const Result<std::string> dir = ProgramDirectory();
    if (!dir)
        return dir.status();
    TMainWindowPaths paths = ForProgramDirectory(dir.value());
    paths.userStateFile = TUserState::DefaultFileName();
    paths.recoveryFolder = TRecoveryStore::DefaultFolder();
    return paths;
}

TMainWindowPaths TMainWindowPaths::ForProgramDirectory(const std::string& dir)
{
    const TSettingsFiles settings = LocateSettingsFiles(dir);
    // The library beside the running program, also when the settings are
    // looked for elsewhere; beside `dir` when the program's path is unknown.
    const Result<std::string> library = ConversionLibraryPath();
    const std::string libraryPath = library ? library.value() : dir + "/" + kConversionLibraryFileName;
    return TMainWindowPaths{PathText(settings.readFrom), PathText(libraryPath), PathText(settings.writeTo),
                            PathText(settings.userFile)};
}

TfrmMain::TfrmMain(const TMainWindowPaths& paths, QWidget* parent)
    : QMainWindow(parent), paths_(paths), state_(std::make_unique<TApplicationState>()),
      ui_(std::make_unique<QtUiPort>(this, state_.get())), printing_(std::make_unique<print::TPrintCommands>())
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Lumora V3"));
    setWindowIcon(shell::LumoraIcon(IconId::Application));
    MDIArea = new QMdiArea(this);
    MDIArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MDIArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(MDIArea);
    CreateActions();
    CheckDock = new TCheckDock([this] { return ActiveDocument(); }, *ui_, this);
    addDockWidget(Qt::BottomDockWidgetArea, CheckDock);
    CheckDock->hide();
    CompareDock = new TCompareDock([this] { return ActiveDocument(); }, *ui_, this);
    addDockWidget(Qt::BottomDockWidgetArea, CompareDock);
    CompareDock->hide();
    for (QAction* action : {CompareDock->MergeAction, CompareDock->ImportFilesAction, CompareDock->ImportFolderAction})
        connect(action, &QAction::triggered, this, [this] { UpdateActionStates(); });
    CreateMenus();
    CreateToolBar();
    StartFileKeeping();  // restores the toolbar's place too
    statusBar();
    connect(MDIArea, &QMdiArea::subWindowActivated, this, [this] { UpdateActionStates(); });
    FormCreate();
    UpdateActionStates();
}

TfrmMain::~TfrmMain()
{
    // Document windows refer to the state and the message port: they go first.
    for (QMdiSubWindow* window : MDIArea->subWindowList())
        delete window;
}

QAction* TfrmMain::MakeAction(QAction*& slot, const char* name, const QString& caption, const QString& hint, int iconId,
                              const QKeySequence& shortcut, void (TfrmMain::*handler)())
{
    slot = new QAction(shell::LumoraIcon(IconId(iconId)), caption, this);
    slot->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty()) {
        slot->setToolTip(hint);
        slot->setStatusTip(hint);
    }
    if (!shortcut.isEmpty())
        slot->setShortcut(shortcut);
    connect(slot, &QAction::triggered, this, [this, handler] { Command(handler); });
    return slot;
}

void TfrmMain::CreateActions()
{
    auto id = [](IconId icon) { return int(icon); };
    MakeAction(NewFile, "NewFile", "&New", "New File", id(IconId::New), QKeySequence(Qt::CTRL | Qt::Key_N),
               &TfrmMain::NewFileExecute);
    MakeAction(FileOpen, "FileOpen", "&Open", "Open", id(IconId::Open), QKeySequence(Qt::CTRL | Qt::Key_O),
               &TfrmMain::FileOpenExecute);
    MakeAction(FileSave, "FileSave", "&Save", "Save", id(IconId::Save), QKeySequence(Qt::CTRL | Qt::Key_S),
               &TfrmMain::FileSaveExecute);
    MakeAction(SaveAs, "SaveAs", "Save &As", "", id(IconId::SaveAs), {}, &TfrmMain::SaveAsExecute);
    MakeAction(Close11, "Close11", "&Close Current Window", "", id(IconId::Close), QKeySequence(Qt::CTRL | Qt::Key_F4),
               &TfrmMain::Close11Execute);
    MakeAction(CloseAll, "CloseAll", "Close All Window", "", id(IconId::CloseAll), {}, &TfrmMain::CloseAllExecute);
    MakeAction(Print, "Print", "&Print", "Print", id(IconId::Print), {}, &TfrmMain::PrintExecute);
    MakeAction(PrintSetup, "PrintSetup", "Printer Setup", "", id(IconId::PrintSetup), {}, &TfrmMain::PrintSetupExecute);
    MakeAction(PrintPreview, "PrintPreview", "Print Pre&view", "Print Preview", id(IconId::Print), {},
               &TfrmMain::PrintPreviewExecute);
    MakeAction(ExportPdf, "ExportPdf", "Export P&DF...", "Export PDF", id(IconId::Print), {},
               &TfrmMain::ExportPdfExecute);
    MakeAction(ExportCsv, "ExportCsv", "Service List as &CSV...", "", id(IconId::SaveAs), {},
               &TfrmMain::ExportCsvExecute);
    MakeAction(ExportHtml, "ExportHtml", "Service List as &HTML...", "", id(IconId::SaveAs), {},
               &TfrmMain::ExportHtmlExecute);
    MakeAction(ExportChannels, "ExportChannels", "Channel File for &Linux (dvbv5, VDR)...", "", id(IconId::SaveAs), {},
               &TfrmMain::ExportChannelsExecute);
    MakeAction(ImportOrder, "ImportOrder", "Service &Order from CSV...", "", id(IconId::Open), {},
               &TfrmMain::ImportOrderExecute);
    MakeAction(ImportNames, "ImportNames", "Service &Names from CSV...", "", id(IconId::Open), {},
               &TfrmMain::ImportNamesExecute);
    MakeAction(Exit, "Exit", "E&xit", "", id(IconId::Exit), {}, &TfrmMain::ExitExecute);
    MakeAction(EditUndo, "EditUndo", "&Undo", "", id(IconId::Undo), QKeySequence::Undo, &TfrmMain::EditUndoExecute);
    MakeAction(EditRedo, "EditRedo", "&Redo", "", id(IconId::Redo), {}, &TfrmMain::EditRedoExecute);
    EditRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    // The grid itself takes these keys while it has the focus, so a line
    // edit keeps its own Ctrl+C and Delete; the menu shows them.
    struct ServiceCommand {
        QAction*& slot;
        const char* name;
        const char* caption;
        QKeySequence::StandardKey key;
        void (TfrmMain::*handler)();
    };
    const ServiceCommand serviceCommands[] = {
        {EditCut, "EditCut", "Cu&t", QKeySequence::Cut, &TfrmMain::EditCutExecute},
        {EditCopy, "EditCopy", "&Copy", QKeySequence::Copy, &TfrmMain::EditCopyExecute},
        {EditPaste, "EditPaste", "&Paste", QKeySequence::Paste, &TfrmMain::EditPasteExecute},
        {EditDelete, "EditDelete", "&Delete", QKeySequence::Delete, &TfrmMain::EditDeleteExecute},
        {EditSelectAll, "EditSelectAll", "Select &All", QKeySequence::SelectAll, &TfrmMain::EditSelectAllExecute}};
    for (const ServiceCommand& c : serviceCommands) {
        MakeAction(c.slot, c.name, c.caption, "", id(IconId::Help), QKeySequence(c.key), c.handler)->setIcon(QIcon());
        c.slot->setShortcutContext(Qt::WidgetShortcut);
    }
    // Menu-only commands: no icon.
    MakeAction(EditFilter, "EditFilter", "&Filter", "", id(IconId::Help), QKeySequence(Qt::CTRL | Qt::Key_F),
               &TfrmMain::EditFilterExecute)
        ->setIcon(QIcon());
    MakeAction(EditReplaceNames, "EditReplaceNames", "Replace in &Names...", "", id(IconId::Help),
               QKeySequence(Qt::CTRL | Qt::Key_H), &TfrmMain::EditReplaceNamesExecute)
        ->setIcon(QIcon());
    MakeAction(EditRemoveDuplicates, "EditRemoveDuplicates", "Remove &Duplicate Services...", "", id(IconId::Help), {},
               &TfrmMain::EditRemoveDuplicatesExecute)
        ->setIcon(QIcon());
    MakeAction(Config, "Config", "&Config", "", id(IconId::Config), {}, &TfrmMain::ConfigExecute);
    MakeAction(DataUpload, "DataUpload", "Data &Upload", "Data Upload", id(IconId::Upload), {},
               &TfrmMain::DataUploadExecute);
    MakeAction(DataDownLoad, "DataDownLoad", "Data &Download", "Data Download", id(IconId::Download), {},
               &TfrmMain::DataDownLoadExecute);
    MakeAction(DownFirm, "DownFirm", "Download &Firmware", "", id(IconId::Firmware), {}, &TfrmMain::DownFirmExecute);
    MakeAction(Cascade2, "Cascade2", "&Cascade", "Cascade", id(IconId::Cascade), {}, &TfrmMain::Cascade2Execute);
    MakeAction(TileHorz2, "TileHorz2", "Tile &Horizontal", "Tile Horizontal", id(IconId::TileHorizontal), {},
               &TfrmMain::TileHorz2Execute);
    MakeAction(TileVert2, "TileVert2", "Tile &Vertical", "Tile Vertical", id(IconId::TileVertical), {},
               &TfrmMain::TileVert2Execute);
    MakeAction(About, "About", "About", "About", id(IconId::About), {}, &TfrmMain::AboutExecute);
    MakeAction(TechnicalSupport, "TechnicalSupport", "Technical Support", "", id(IconId::Support), {},
               &TfrmMain::TechnicalSupportExecute);
    MakeAction(Visit, "Visit", "Visit Our Website", "", id(IconId::Web), {}, &TfrmMain::VisitExecute);
    MakeAction(help, "help", "&Help", "Help", id(IconId::Help), QKeySequence(Qt::Key_F1), &TfrmMain::helpExecute);
}

void TfrmMain::CreateMenus()
{
    QMenu* file = menuBar()->addMenu("&File");
    file->addActions({NewFile});
    file->addSeparator();
    file->addActions({FileOpen, FileSave, SaveAs});
    RecentMenu = file->addMenu(tr("Recent &Files"));
    connect(RecentMenu, &QMenu::aboutToShow, this, &TfrmMain::RebuildRecentMenu);
    file->addSeparator();
    file->addActions({Close11, CloseAll});
    file->addSeparator();
    file->addActions({Print, PrintSetup, PrintPreview, ExportPdf});
    file->addSeparator();
    file->addMenu("&Export")->addActions({ExportCsv, ExportHtml, ExportChannels});
    QMenu* import = file->addMenu("&Import");
    import->addActions({CompareDock->ImportFilesAction, CompareDock->ImportFolderAction});
    import->addSeparator();
    import->addActions({ImportOrder, ImportNames});
    file->addActions({CompareDock->CompareAction, CompareDock->MergeAction});
    file->addSeparator();
    file->addAction(Exit);
    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->addActions({EditUndo, EditRedo});
    edit->addSeparator();
    edit->addActions({EditCut, EditCopy, EditPaste, EditDelete, EditSelectAll});
    connect(edit, &QMenu::aboutToShow, this, &TfrmMain::UpdateServiceActionStates);
    edit->addSeparator();
    edit->addActions({EditFilter, EditReplaceNames, EditRemoveDuplicates});
    edit->addAction(CheckDock->CheckAction);
    menuBar()->addMenu("&Config")->addAction(Config);
    QMenu* stb = menuBar()->addMenu("&STB");
    stb->addActions({DataUpload, DataDownLoad});
    stb->addSeparator();
    stb->addAction(DownFirm);
    WindowMenu = menuBar()->addMenu("&Window");
    WindowMenu->addActions({Cascade2, TileHorz2, TileVert2});
    connect(WindowMenu, &QMenu::aboutToShow, this, &TfrmMain::RebuildWindowMenu);
    QMenu* about = menuBar()->addMenu("&About");
    about->addAction(About);
    about->addSeparator();
    about->addActions({TechnicalSupport, Visit});
    about->addSeparator();
    about->addAction(help);
}

void TfrmMain::CreateToolBar()
{
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setIconSize(QSize(32, 32));
    ToolBar1->setMovable(false);
    ToolBar1->addAction(NewFile);
    ToolBar1->addSeparator();
    ToolBar1->addActions({FileOpen, FileSave});
    ToolBar1->addSeparator();
    ToolBar1->addActions({EditUndo, EditRedo});
    ToolBar1->addSeparator();
    ToolBar1->addAction(Print);
    ToolBar1->addSeparator();
    ToolBar1->addActions({DataUpload, DataDownLoad});
    ToolBar1->addSeparator();
    ToolBar1->addActions({Cascade2, TileHorz2, TileVert2});
    ToolBar1->addSeparator();
    ToolBar1->addActions({About, help});
    ToolBar1->addSeparator();
    FE1 = new QLineEdit(ToolBar1);
    FE1->setObjectName(QStringLiteral("FE1"));
    FE1->setReadOnly(true);
    FE1->setFocusPolicy(Qt::NoFocus);
    FE1->setFixedWidth(160);
    FE1->setAlignment(Qt::AlignCenter);
    FE1->setStyleSheet(QStringLiteral("QLineEdit { font-weight: bold; color: white; background: #2e3436; }"));
    ToolBar1->addWidget(FE1);
}

// The window menu lists the document windows after its own commands.
void TfrmMain::RebuildWindowMenu()
{
    for (QAction* action : windowListActions_) {
        WindowMenu->removeAction(action);
        delete action;
    }
    windowListActions_.clear();
    const QList<QMdiSubWindow*> windows = MDIArea->subWindowList();
    if (!windows.isEmpty())
        windowListActions_ << WindowMenu->addSeparator();
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows[i];
        auto* child = qobject_cast<TfrmChild*>(window->widget());
        const QString caption = child ? child->Caption() : window->windowTitle();
        QAction* item = WindowMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(caption));
        item->setCheckable(true);
        item->setChecked(window == MDIArea->currentSubWindow());
        connect(item, &QAction::triggered, this, [this, window] { MDIArea->setActiveSubWindow(window); });
        windowListActions_ << item;
    }
}

void TfrmMain::ShowModelName()
{
    std::string name;
    GetModelName(state_->Settings.SystemInfo.MODEL, name);
    FE1->setText(NameText(name));
}

void TfrmMain::UpdateActionStates()
{
    const bool open = !MDIArea->subWindowList().isEmpty();
    for (QAction* action : {FileSave, SaveAs, Close11, CloseAll, Print, PrintPreview, ExportPdf})
        action->setEnabled(open);
    for (QAction* action :
         {ExportCsv, ExportHtml, ExportChannels, ImportOrder, ImportNames, CompareDock->ImportFilesAction,
          CompareDock->ImportFolderAction, EditFilter, EditReplaceNames, EditRemoveDuplicates})
        action->setEnabled(open);
    const TfrmChild* active = ActiveDocument();
    ShowHistoryStep(EditUndo, QStringLiteral("&Undo"), active && active->Document().CanUndo(),
                    active ? active->Document().UndoLabel() : std::string());
    ShowHistoryStep(EditRedo, QStringLiteral("&Redo"), active && active->Document().CanRedo(),
                    active ? active->Document().RedoLabel() : std::string());
    UpdateServiceActionStates();
}

void TfrmMain::UpdateServiceActionStates()
{
    TfrmChild* active = ActiveDocument();
    const TServiceCommandState state = active ? active->ServiceCommands() : TServiceCommandState{};
    EditCut->setEnabled(state.Cut);
    EditCopy->setEnabled(state.Copy);
    EditPaste->setEnabled(state.Paste);
    EditDelete->setEnabled(state.Delete);
    EditSelectAll->setEnabled(state.SelectAll);
}

// "Undo Delete 12 services": the action names the edit it takes back.
void TfrmMain::ShowHistoryStep(QAction* action, const QString& verb, bool possible, const std::string& label)
{
    action->setEnabled(possible);
    action->setText(possible ? verb + QLatin1Char(' ') + NameText(label) : verb);
    action->setToolTip(QString(action->text()).remove(QLatin1Char('&')));
}

QList<TfrmChild*> TfrmMain::Documents() const
{
    QList<TfrmChild*> documents;
    for (QMdiSubWindow* window : MDIArea->subWindowList(QMdiArea::CreationOrder))
        if (auto* child = qobject_cast<TfrmChild*>(window->widget()))
            documents << child;
    return documents;
}

TfrmChild* TfrmMain::ActiveDocument() const
{
    if (QMdiSubWindow* window = MDIArea->currentSubWindow())
        if (auto* child = qobject_cast<TfrmChild*>(window->widget()))
            return child;
    return nullptr;
}

QString TfrmMain::FreeDocumentName(const QString& stem) const
{
    QStringList captions;
    for (TfrmChild* child : Documents())
        captions << child->Caption();
    for (int n = 0; n < 1000; ++n) {
        const QString name = stem + QString::number(n) + QStringLiteral(".dnf");
        if (!captions.contains(name, Qt::CaseSensitive))
            return name;
    }
    return stem + QStringLiteral("1000.dnf");
}

}  // namespace lumora
