// The main window's keeping of files: the recent files, the backup at the
// first save over a file, the recovery copies of modified documents and the
// offer to open them after a crash, files dropped on the window, and the
// window layout remembered between runs.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <utility>

#include "check_dock.h"
#include "command_guard.h"
#include "dialogs/frm_recovered.h"
#include "file_backup.h"
#include "frm_child.h"
#include "frm_main.h"
#include "grid/k_string_grid.h"
#include "qt_ui_port.h"
#include "recovery_store.h"
#include "shell_text.h"
#include "user_state.h"

namespace lumora {

namespace {

constexpr int kDefaultAutosaveSeconds = 120;
constexpr const char* kRecoveryNumber = "recoveryNumber";

// LUMORA_AUTOSAVE_SECONDS overrides the interval (for tests and slow disks).
int AutosaveMilliseconds()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("LUMORA_AUTOSAVE_SECONDS", &ok);
    return (ok && seconds > 0 ? seconds : kDefaultAutosaveSeconds) * 1000;
}

bool IsChannelDataFile(const QString& path) { return path.endsWith(QStringLiteral(".dnf"), Qt::CaseInsensitive); }

}  // namespace

void TfrmMain::StartFileKeeping()
{
    userState_ = std::make_unique<TUserState>(paths_.userStateFile);
    backups_ = std::make_unique<TFileBackups>();
    recovery_ = std::make_unique<TRecoveryStore>(paths_.recoveryFolder);
    setAcceptDrops(true);
    autosaveTimer_.setInterval(AutosaveMilliseconds());
    connect(&autosaveTimer_, &QTimer::timeout, this, &TfrmMain::WriteRecoveryCopies);
    if (recovery_->Enabled())
        autosaveTimer_.start();
    restoreGeometry(userState_->MainWindowGeometry());
    restoreState(userState_->MainWindowState());
    // An empty check list would only take room: it comes back with the
    // findings of the first document that opens.
    checkListAtStart_ = !CheckDock->isHidden();
    CheckDock->hide();
}

// At a clean exit: the layout is remembered and the recovery copies go.
void TfrmMain::FinishFileKeeping()
{
    autosaveTimer_.stop();
    if (TfrmChild* child = ActiveDocument())
        RememberLayout(child);
    userState_->SetMainWindow(saveGeometry(), saveState());
    recovery_->RemoveSession();
}

void TfrmMain::ShowAsRemembered() { ShowAsRemembered(screen()->availableGeometry()); }

void TfrmMain::ShowAsRemembered(const QRect& available)
{
    if (userState_->MainWindowGeometry().isEmpty())
        setGeometry(FirstStartGeometry(available));
    show();  // else restoreGeometry brought back the size and the maximised state
}

QRect TfrmMain::FirstStartGeometry(const QRect& available)
{
    QRect geometry(QPoint(), available.size() * 0.8);
    geometry.moveCenter(available.center());
    return geometry;
}

void TfrmMain::ShowDocumentWindow(TfrmChild* child)
{
    child->show();
    auto* window = qobject_cast<QMdiSubWindow*>(child->parentWidget());
    if (window && MDIArea->subWindowList().size() == 1 && !userState_->DocumentsArranged())
        window->showMaximized();
    else if (window)
        window->show();
    if (std::exchange(checkListAtStart_, false))
        CheckDock->ShowFindings(child);
}

void TfrmMain::RememberArrangement(bool arranged) { userState_->SetDocumentsArranged(arranged); }

// The offer of recovered documents comes over the main window once it is on
// the screen, not as a lone box before it.
void TfrmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!std::exchange(recoveryOffered_, true))
        QTimer::singleShot(0, this, &TfrmMain::OfferRecovery);
}

void TfrmMain::RebuildRecentMenu()
{
    RecentMenu->clear();
    const QStringList recent = userState_->RecentFiles();
    for (int i = 0; i < recent.size(); ++i) {
        const QString path = recent[i];
        QString shown = path;
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));  // a name's "&" is no shortcut mark
        QAction* item = RecentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        item->setObjectName(QStringLiteral("RecentFile%1").arg(i + 1));
        connect(item, &QAction::triggered, this, [this, path] { OpenFiles({path}); });
    }
    RecentMenu->addSeparator();
    QAction* clear = RecentMenu->addAction(tr("&Clear"), this, [this] { userState_->ClearRecentFiles(); });
    clear->setObjectName(QStringLiteral("ClearRecentFiles"));
    clear->setEnabled(!recent.isEmpty());
}

void TfrmMain::OpenFiles(const QStringList& paths)
{
    if (!EndCellEdits())
        return;
    for (const QString& path : paths)
        RunCommand(this, [this, &path] { OpenDocument(QFileInfo(path).absoluteFilePath()); });
    UpdateActionStates();
}

bool TfrmMain::SaveDocument(TfrmChild* child, const QString& path)
{
    if (!KeepBackup(path) || !child->SaveDataFile(path))
        return false;
    userState_->AddRecentFile(path);
    recovery_->Remove(child->property(kRecoveryNumber).toInt());
    const TServiceInfo& services = child->Document().Database().ServiceInfo;
    ShowWritten(tr("Saved"), path, tr("%1 TV, %2 radio services").arg(services.wTVNum).arg(services.wRadioNum));
    return true;
}

// Only the "*" would change otherwise: the status bar says what went where.
void TfrmMain::ShowWritten(const QString& verb, const QString& path, const QString& what)
{
    constexpr int kShownMilliseconds = 6000;
    statusBar()->showMessage(QStringLiteral("%1 %2: %3").arg(verb, QFileInfo(path).fileName(), what),
                             kShownMilliseconds);
}

// A backup that cannot be written stops the save: the save writes its new
// file in the same folder, so what keeps the copy from being written (a full
// disk, a read-only folder, a size limit) almost always fails the save as
// well, and saving on without the backup would drop the safety net unasked.
// The document stays modified; Save As to another folder remains.
bool TfrmMain::KeepBackup(const QString& path)
{
    QString error;
    if (backups_->BeforeSave(path, error) != TFileBackups::Result::Failed)
        return true;
    const QString message = tr("%1\rwas not saved: its previous version could not be kept as\r%2\r%3")
                                .arg(path, TFileBackups::BackupName(path), error);
    ui_->MessageBox(MsgKind::Error, PathBytes(message), MsgButtons::Ok);
    return false;
}

// Every document gets a recovery copy number; closing it on purpose removes
// its copy, and the window it leaves gives the layout for the next ones.
void TfrmMain::WatchDocument(TfrmChild* child)
{
    const int number = nextRecoveryNumber_++;
    child->setProperty(kRecoveryNumber, number);
    ApplyLayout(child);
    connect(child, &TfrmChild::Closing, this, [this, child, number] {
        RememberLayout(child);
        recovery_->Remove(number);
    });
}

void TfrmMain::RememberLayout(TfrmChild* child)
{
    userState_->SetDocumentLayout(child->Splitter1->saveState(), child->SG->horizontalHeader()->saveState());
}

void TfrmMain::ApplyLayout(TfrmChild* child)
{
    child->Splitter1->restoreState(userState_->DocumentSplitter());
    child->SG->horizontalHeader()->restoreState(userState_->DocumentColumns());
}

// Modified documents are copied as Save would write them; a document without
// changes needs no copy. A failed copy is told in the status bar: the person's
// work goes on, and the next round tries again.
void TfrmMain::WriteRecoveryCopies()
{
    if (!recovery_->Enabled())
        return;
    for (TfrmChild* child : Documents()) {
        const int number = child->property(kRecoveryNumber).toInt();
        if (!child->pModifiedFlag()) {
            recovery_->Remove(number);
            continue;
        }
        const Status written = child->Document().WriteCopy(PathBytes(recovery_->CopyFile(number)));
        if (written)
            recovery_->Register(number, child->Caption());
        else
            statusBar()->showMessage(tr("The recovery copy of %1 could not be written: %2")
                                         .arg(child->Caption(), PathText(written.message())));
    }
}

void TfrmMain::OfferRecovery()
{
    QStringList sessions;
    const QList<TRecoveredCopy> copies = recovery_->LeftOver(sessions);
    if (copies.isEmpty()) {
        TRecoveryStore::RemoveFolders(sessions);
        return;
    }
    TfrmRecovered dialog(copies, this);
    const int choice = dialog.exec();
    if (choice == TfrmRecovered::NotNow)
        return;
    if (choice == TfrmRecovered::Open)
        for (int row : dialog.CheckedRows())
            OpenRecovered(copies[row].file, copies[row].caption);
    TRecoveryStore::RemoveFolders(sessions);
}

void TfrmMain::OpenRecovered(const QString& file, const QString& caption)
{
    TfrmChild* child = AddDocumentWindow();
    bool opened = false;
    child->Run([&] {
        opened = ReportRead(*ui_,
                            child->Document().OpenRecoveredFile(PathBytes(file), PathBytes(RecoveredCaption(caption))));
    });
    if (!opened) {
        delete child->parentWidget();
        return;
    }
    ShowDocumentWindow(child);
    // Copied at once into this run's recovery folder: the old one goes now.
    WriteRecoveryCopies();
}

void TfrmMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

// Dropped channel-data files open as Open opens them; anything else is named
// in one message and left alone.
void TfrmMain::dropEvent(QDropEvent* event)
{
    QStringList files, refused;
    for (const QUrl& url : event->mimeData()->urls()) {
        const QString path = url.isLocalFile() ? url.toLocalFile() : QString();
        if (!path.isEmpty() && IsChannelDataFile(path))
            files << path;
        else
            refused << (path.isEmpty() ? url.toDisplayString() : path);
    }
    event->acceptProposedAction();
    OpenFiles(files);
    if (!refused.isEmpty())
        ui_->MessageBox(MsgKind::Error,
                        PathBytes(tr("Only channel-data files (*.dnf) on this computer can be opened. "
                                     "Not opened:\r%1")
                                      .arg(refused.join(QLatin1Char('\r')))),
                        MsgButtons::Ok);
}

}  // namespace lumora
