// The main window's start-up, close and commands.
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QUrl>

#include "check_dock.h"
#include "command_guard.h"
#include "conversion_binding.h"
#include "dialogs/frm_about.h"
#include "dialogs/frm_initial_set.h"
#include "exchange_dir.h"
#include "frm_child.h"
#include "frm_main.h"
#include "help/help_window.h"
#include "print/print_commands.h"
#include "qt_ui_port.h"
#include "settings.h"
#include "shell_text.h"
#include "user_state.h"

namespace lumora {

namespace {
constexpr const char* kFirstRunQuestion =
    "You are first running Lumora V3.\rDo you want configuration Lumora default value(recommended)?";
constexpr const char* kOverwriteQuestion = "Same file exists.\rOverwrite it?";
constexpr const char* kSupportPage = "https://www.lumora-stb.example/support";
constexpr const char* kHomePage = "https://www.lumora-stb.example/";
}  // namespace

// Every menu, toolbar and shortcut command comes here. Commands read or
// replace documents, so a cell edit still open in a grid ends first, as Enter
// would end it; a failed write-back (its error shown) cancels the command.
// The menus follow the documents' notifications and the window list, not
// the end of a command.
void TfrmMain::Command(void (TfrmMain::*handler)())
{
    if (EndCellEdits())
        RunCommand(this, [this, handler] { (this->*handler)(); });
}

bool TfrmMain::EndCellEdits()
{
    for (TfrmChild* child : Documents())
        if (!child->EndCellEdit())
            return false;
    return true;
}

void TfrmMain::FormCreate()
{
    state_->ConversionLibraryPath = PathBytes(paths_.conversionLibrary);
    _DLLHandle = std::make_unique<ConversionLibrary>(state_->ConversionLibraryPath);
    Result<std::unique_ptr<ExchangeDirectory>> exchange = ExchangeDirectory::Make();
    if (ReportFailure(*ui_, exchange.status())) {
        exchange_ = std::move(exchange).value();
        state_->ExchangeDir = exchange_->Path();
    }
    // Told at once; the commands that need the library say so again.
    if (const std::string problem = _DLLHandle ? _DLLHandle->Problem() : std::string(); !problem.empty())
        ui_->MessageBox(MsgKind::Error, problem, MsgButtons::Ok);
    if (!LoadSettings()) {
        if (ui_->MessageBox(MsgKind::Information, kFirstRunQuestion, MsgButtons::OkCancel) == MsgResult::Ok) {
            TfrmInitialSet dialog(*state_, this);
            dialog.bFirstSetting = true;
            dialog.exec();
        }
    }
    ShowModelName();
}

void TfrmMain::FormClose()
{
    if (settingsWritten_)
        return;
    settingsWritten_ = true;
    FinishFileKeeping();
    SaveSettings();
    _DLLHandle.reset();
}

// Every document is asked in window-list order; the first refusal ends it.
bool TfrmMain::CloseQueryAll()
{
    for (TfrmChild* child : Documents()) {
        bool canClose = true;
        if (!RunCommand(child, [&] { child->Document().FormCloseQuery(canClose); }) || !canClose)
            return false;
    }
    return true;
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    if (!EndCellEdits() || !CloseQueryAll()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

TfrmChild* TfrmMain::AddDocumentWindow()
{
    auto* child = new TfrmChild(*state_, *ui_);
    QMdiSubWindow* window = MDIArea->addSubWindow(child);
    window->setWindowIcon(windowIcon());
    // Ctrl+F4 belongs to "Close Current Window"; the window's own menu keeps its other keys.
    for (QAction* action : window->systemMenu()->actions()) {
        QList<QKeySequence> keys = action->shortcuts();
        keys.removeAll(Close11->shortcut());
        action->setShortcuts(keys);
    }
    // Queued: while the window is being destroyed the MDI area still names it
    // as current, half taken apart.
    connect(
        child, &QObject::destroyed, this, [this] { UpdateActionStates(); }, Qt::QueuedConnection);
    connect(child, &TfrmChild::StateChanged, this, [this] { UpdateActionStates(); });
    // Maximising a document by hand is the person's choice of arrangement too.
    connect(window, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates, Qt::WindowStates now) {
        if (now & Qt::WindowMaximized)
            RememberArrangement(false);
    });
    WatchDocument(child);
    return child;
}

void TfrmMain::NewFileExecute()
{
    TfrmChild* child = AddDocumentWindow();
    const QString name = FreeDocumentName(QStringLiteral("untitle"));
    child->OpenDataFile(name, true);
    ShowDocumentWindow(child);
}

QString TfrmMain::AskDataFileName(bool save)
{
    QFileDialog dialog(this, save ? tr("Save As") : tr("Open"));
    dialog.setObjectName(save ? QStringLiteral("SaveDialog1") : QStringLiteral("OpenDialog1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(QStringLiteral("DNF File (*.dnf)"));
    dialog.setDefaultSuffix(QStringLiteral("dnf"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Save As asks about an existing file itself.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

TfrmChild* TfrmMain::OpenDocument(const QString& path)
{
    TfrmChild* child = AddDocumentWindow();
    if (!child->OpenDataFile(path, false)) {
        // The failure was shown; an empty window would only hide it.
        delete child->parentWidget();
        return nullptr;
    }
    ShowDocumentWindow(child);
    userState_->AddRecentFile(path);
    return child;
}

void TfrmMain::FileOpenExecute()
{
    const QString path = AskDataFileName(false);
    if (!path.isEmpty())
        OpenDocument(path);
}

void TfrmMain::FileSaveExecute()
{
    TfrmChild* child = ActiveDocument();
    if (!child)
        return;
    if (child->pState())
        SaveAsExecute();
    else if (CheckDock->AllowCommand(child, tr("save")))
        SaveDocument(child, child->Caption());
}

void TfrmMain::SaveAsExecute()
{
    TfrmChild* child = ActiveDocument();
    if (!child || !CheckDock->AllowCommand(child, tr("save")))
        return;
    const QString path = AskDataFileName(true);
    if (path.isEmpty())
        return;
    if (QFile::exists(path) &&
        ui_->MessageBox(MsgKind::Warning, kOverwriteQuestion, MsgButtons::OkCancel) != MsgResult::Ok)
        return;
    SaveDocument(child, path);
}

void TfrmMain::Close11Execute()
{
    if (QMdiSubWindow* window = MDIArea->currentSubWindow())
        window->close();
}

void TfrmMain::CloseAllExecute()
{
    const QList<QMdiSubWindow*> windows = MDIArea->subWindowList(QMdiArea::CreationOrder);
    for (auto it = windows.crbegin(); it != windows.crend(); ++it)
        (*it)->close();
}

void TfrmMain::PrintExecute()
{
    TfrmChild* child = ActiveDocument();
    printing_->PrintExecute(this, child ? &child->Document() : nullptr);
}

void TfrmMain::PrintSetupExecute() { printing_->PrintSetupExecute(this); }

void TfrmMain::PrintPreviewExecute()
{
    TfrmChild* child = ActiveDocument();
    printing_->PrintPreviewExecute(this, child ? &child->Document() : nullptr);
}

void TfrmMain::ExportPdfExecute()
{
    TfrmChild* child = ActiveDocument();
    printing_->ExportPdfExecute(this, child ? &child->Document() : nullptr);
}

void TfrmMain::ExitExecute() { close(); }

void TfrmMain::OnActiveDocument(void (TfrmChild::*command)())
{
    if (TfrmChild* child = ActiveDocument())
        (child->*command)();
}

void TfrmMain::EditUndoExecute() { OnActiveDocument(&TfrmChild::Undo); }
void TfrmMain::EditRedoExecute() { OnActiveDocument(&TfrmChild::Redo); }
void TfrmMain::EditCutExecute() { OnActiveDocument(&TfrmChild::Cut1Click); }
void TfrmMain::EditCopyExecute() { OnActiveDocument(&TfrmChild::Copy1Click); }
void TfrmMain::EditPasteExecute() { OnActiveDocument(&TfrmChild::Paste1Click); }
void TfrmMain::EditDeleteExecute() { OnActiveDocument(&TfrmChild::DeleteSelectedServices); }
void TfrmMain::EditSelectAllExecute() { OnActiveDocument(&TfrmChild::SelectAllServices); }
void TfrmMain::EditFilterExecute() { OnActiveDocument(&TfrmChild::FocusFilter); }
void TfrmMain::EditReplaceNamesExecute() { OnActiveDocument(&TfrmChild::ReplaceInNamesClick); }
void TfrmMain::EditRemoveDuplicatesExecute() { OnActiveDocument(&TfrmChild::RemoveDuplicatesClick); }

void TfrmMain::ConfigExecute()
{
    TfrmInitialSet dialog(*state_, this);
    const bool ok = dialog.exec() == QDialog::Accepted;
    if (ok && dialog.bAntennaChanged)
        for (TfrmChild* child : Documents())
            child->UpdateTree();
    ShowModelName();
}

void TfrmMain::Cascade2Execute()
{
    MDIArea->cascadeSubWindows();
    RememberArrangement(true);
}

void TfrmMain::TileHorz2Execute() { TileWindows(Qt::Horizontal); }

void TfrmMain::TileVert2Execute() { TileWindows(Qt::Vertical); }

// Horizontal tiling stacks the windows one above the other, each as wide as
// the frame; vertical tiling puts them side by side, each as tall as the frame.
void TfrmMain::TileWindows(Qt::Orientation orientation)
{
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : MDIArea->subWindowList(QMdiArea::CreationOrder))
        if (!window->isMinimized() && window->isVisible())
            windows << window;
    if (windows.isEmpty())
        return;
    RememberArrangement(true);
    const QRect area = MDIArea->viewport()->rect();
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        windows[i]->showNormal();
        if (orientation == Qt::Horizontal) {
            const int h = area.height() / n;
            windows[i]->setGeometry(0, i * h, area.width(), h);
        } else {
            const int w = area.width() / n;
            windows[i]->setGeometry(i * w, 0, w, area.height());
        }
    }
}

void TfrmMain::AboutExecute()
{
    TfrmAbout dialog(this);
    dialog.exec();
}

void TfrmMain::TechnicalSupportExecute() { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kSupportPage))); }

void TfrmMain::VisitExecute() { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kHomePage))); }

void TfrmMain::helpExecute() { HelpWindow::ShowHelp(this); }

}  // namespace lumora
