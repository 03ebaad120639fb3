// TfrmMain: the editor's main window. A multi-document frame (QMdiArea) whose
// document windows are TfrmChild; the menus and the toolbar only invoke the
// actions below, each with its own handler named after it. Creation loads
// the conversion library and the settings (asking the first-run question when
// there are none); closing asks every document, then writes the settings.
#pragma once

#include <QMainWindow>
#include <QString>
#include <QTimer>
#include <memory>
#include <string>

#include "app_state.h"
#include "status.h"
#include "transfer_progress.h"

class QAction;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace lumora {

class ConversionLibrary;
struct ReceiverType;
class ExchangeDirectory;
class TFileBackups;
class TRecoveryStore;
class TUserState;
class QtUiPort;
class TCheckDock;
class TCompareDock;
class TfrmChild;
namespace print {
class TPrintCommands;
}

// Where the program keeps its files; the program uses the places beside the
// running executable, tests use their own.
struct TMainWindowPaths {
    QString settingsFile;  // "LV32.cfg", read at start
    QString conversionLibrary;  // the conversion library
    QString settingsSaveFile = {};  // written at close; empty: settingsFile
    // Written at close instead when settingsFile exists but cannot be read;
    // empty: the settings are not written then.
    QString userSettingsFile = {};
    // The per-user file of recent files and window layout, and the folder of
    // the recovery copies; empty: nothing remembered, no recovery copies.
    QString userStateFile = {};
    QString recoveryFolder = {};
    // The places beside the running program, or why that is unknown.
    static Result<TMainWindowPaths> BesideProgram();
    static TMainWindowPaths ForProgramDirectory(const std::string& dir);
};

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMain(const TMainWindowPaths& paths, QWidget* parent = nullptr);
    ~TfrmMain() override;

    TApplicationState& State() { return *state_; }
    const TMainWindowPaths& Paths() const { return paths_; }

    // Document windows in window-list (creation) order; the active one.
    QList<TfrmChild*> Documents() const;
    TfrmChild* ActiveDocument() const;
    // stem + the first number 0..1000 that no document caption uses + ".dnf".
    QString FreeDocumentName(const QString& stem) const;

    // Commands.
    void NewFileExecute();
    void FileOpenExecute();
    void FileSaveExecute();
    void SaveAsExecute();
    void Close11Execute();
    void CloseAllExecute();
    void PrintExecute();
    void PrintSetupExecute();
    void PrintPreviewExecute();
    void ExportPdfExecute();
    void ExportCsvExecute();  // File > Export > "Service List as CSV..."
    void ExportHtmlExecute();
    void ExportChannelsExecute();  // File > Export > a dvbv5 channel file or a VDR channels.conf
    void ImportOrderExecute();  // File > Import > "Service Order from CSV..."
    void ImportNamesExecute();
    void ExitExecute();
    void EditUndoExecute();
    void EditRedoExecute();
    void EditCutExecute();
    void EditCopyExecute();
    void EditPasteExecute();
    void EditDeleteExecute();
    void EditSelectAllExecute();
    void EditFilterExecute();
    void EditReplaceNamesExecute();
    void EditRemoveDuplicatesExecute();
    void ConfigExecute();
    void DataUploadExecute();
    void DataDownLoadExecute();
    void DownFirmExecute();
    void Cascade2Execute();
    void TileHorz2Execute();
    void TileVert2Execute();
    void AboutExecute();
    void TechnicalSupportExecute();
    void VisitExecute();
    void helpExecute();

    // Opens `path` in a new document window as Open does after its dialog;
    // null when the file could not be opened (the error was shown).
    TfrmChild* OpenDocument(const QString& path);
    // Opens each file as Open does (command line, dropped files, recent files).
    void OpenFiles(const QStringList& paths);
    // Shows the window as it was last closed; on a first start it covers
    // most of `available` (the screen's available area when not given),
    // centred, without relying on a window manager to maximise it.
    void ShowAsRemembered();
    void ShowAsRemembered(const QRect& available);
    static QRect FirstStartGeometry(const QRect& available);
    // How often modified documents are copied for recovery.
    void SetAutosaveInterval(int milliseconds) { autosaveTimer_.setInterval(milliseconds); }
    // Writes the recovery copies of the modified documents now.
    void WriteRecoveryCopies();

    QMdiArea* MDIArea = nullptr;
    QLineEdit* FE1 = nullptr;  // the model box
    QToolBar* ToolBar1 = nullptr;
    QMenu* WindowMenu = nullptr;
    TCheckDock* CheckDock = nullptr;  // Edit > Check Database and its findings
    TCompareDock* CompareDock = nullptr;  // File > Compare With, Merge From
    QMenu* RecentMenu = nullptr;  // File > Recent Files

    QAction* NewFile = nullptr;
    QAction* FileOpen = nullptr;
    QAction* FileSave = nullptr;
    QAction* SaveAs = nullptr;
    QAction* Close11 = nullptr;
    QAction* CloseAll = nullptr;
    QAction* Print = nullptr;
    QAction* PrintSetup = nullptr;
    QAction* PrintPreview = nullptr;
    QAction* ExportPdf = nullptr;
    QAction* ExportCsv = nullptr;
    QAction* ExportHtml = nullptr;
    QAction* ExportChannels = nullptr;
    QAction* ImportOrder = nullptr;
    QAction* ImportNames = nullptr;
    QAction* Exit = nullptr;
    QAction* EditUndo = nullptr;  // "Undo <edit>" of the active document
    QAction* EditRedo = nullptr;
    // The active document's service commands, enabled as its service menu's are.
    QAction* EditCut = nullptr;
    QAction* EditCopy = nullptr;
    QAction* EditPaste = nullptr;
    QAction* EditDelete = nullptr;
    QAction* EditSelectAll = nullptr;
    QAction* EditFilter = nullptr;  // the filter box of the active document
    QAction* EditReplaceNames = nullptr;
    QAction* EditRemoveDuplicates = nullptr;
    QAction* Config = nullptr;
    QAction* DataUpload = nullptr;
    QAction* DataDownLoad = nullptr;
    QAction* DownFirm = nullptr;
    QAction* Cascade2 = nullptr;
    QAction* TileHorz2 = nullptr;
    QAction* TileVert2 = nullptr;
    QAction* About = nullptr;
    QAction* TechnicalSupport = nullptr;
    QAction* Visit = nullptr;
    QAction* help = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    // The settings file at start and close (frm_main_settings.cpp).
    bool LoadSettings();
    void SaveSettings();
    bool CloseQueryAll();
    void CreateActions();
    QAction* MakeAction(QAction*& slot, const char* name, const QString& caption, const QString& hint, int iconId,
                        const QKeySequence& shortcut, void (TfrmMain::*handler)());
    void CreateMenus();
    void CreateToolBar();
    void RebuildWindowMenu();
    void ShowModelName();
    void UpdateActionStates();
    void UpdateServiceActionStates();
    // Runs a command of the active document window, if there is one.
    void OnActiveDocument(void (TfrmChild::*command)());
    // Export and import (frm_main_exchange.cpp).
    QString AskExchangeFileName(bool save, const QString& filter, const QString& suffix);
    void ExportServiceList(bool html);
    void ExportChannelFile();
    void ImportFromCsv(bool names);
    void ShowHistoryStep(QAction* action, const QString& verb, bool possible, const std::string& label);
    TfrmChild* AddDocumentWindow();
    // Shows a new document window: maximised when it is the only one and the
    // person has not tiled or cascaded; the check list comes back with it
    // when it was open at the last exit.
    void ShowDocumentWindow(TfrmChild* child);
    void RememberArrangement(bool arranged);
    QString AskDataFileName(bool save);
    void TileWindows(Qt::Orientation orientation);
    void Command(void (TfrmMain::*handler)());
    // Ends the open cell edit of every document; false when a write-back failed.
    bool EndCellEdits();
    // Receiver transfers (frm_main_transfer.cpp): runs library entry `entry`
    // on `path` behind the progress dialog, or says why the library lacks
    // the entries; the receiver type of the settings.
    Result<TTransferProgress::Outcome> RunTransfer(const char* entry, const QString& caption, const QString& what,
                                                   const std::string& path);
    ReceiverType TransferReceiver() const;
    // Recent files, backups, recovery and window layout (frm_main_files.cpp).
    void StartFileKeeping();
    void RebuildRecentMenu();
    // Saves `child` to `path` after keeping the backup; the file is recent then.
    bool SaveDocument(TfrmChild* child, const QString& path);
    bool KeepBackup(const QString& path);
    // "Saved sample.dnf: 235 TV, 118 radio services" in the status bar for a few seconds.
    void ShowWritten(const QString& verb, const QString& path, const QString& what);
    void OfferRecovery();
    void OpenRecovered(const QString& file, const QString& caption);
    void WatchDocument(TfrmChild* child);
    void RememberLayout(TfrmChild* child);
    void ApplyLayout(TfrmChild* child);
    void FinishFileKeeping();

    TMainWindowPaths paths_;
    std::unique_ptr<TApplicationState> state_;
    std::unique_ptr<QtUiPort> ui_;
    std::unique_ptr<ExchangeDirectory> exchange_;
    std::unique_ptr<ConversionLibrary> _DLLHandle;
    std::unique_ptr<print::TPrintCommands> printing_;
    std::unique_ptr<TUserState> userState_;
    std::unique_ptr<TFileBackups> backups_;
    std::unique_ptr<TRecoveryStore> recovery_;
    QTimer autosaveTimer_;
    int nextRecoveryNumber_ = 1;
    QList<QAction*> windowListActions_;
    bool settingsWritten_ = false;
    bool recoveryOffered_ = false;
    bool checkListAtStart_ = false;  // the check list was open when the program last ended
    QString settingsSaveFile_;  // where the settings go at close; empty: nowhere
    QString unreadableSettings_;  // the settings file that could not be read
};

}  // namespace lumora
