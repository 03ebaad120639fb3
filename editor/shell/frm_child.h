// TfrmChild: the document window. It owns one ChannelDocument and shows it:
// the navigation tree Tree1 with the bold label Label1 above it, the "TV" and
// "RADIO" buttons, "Config Menudata", the two sort buttons and the service
// grid SG, plus the information menu PopupMenu1 and the service menu
// PopupMenu2. The document does the work; the window forwards its events and
// shows the result. The title carries "[*]" for unsaved changes.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "channel_document.h"

class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QPushButton;
class QRadioButton;
class QSplitter;
class QTreeView;

namespace lumora {

class TkStringGrid;
class TTreeModel;

class TfrmChild : public QWidget {
    Q_OBJECT
public:
    TfrmChild(TApplicationState& app, UiPort& ui, QWidget* parent = nullptr);
    ~TfrmChild() override;

    ChannelDocument& Document() { return *document_; }
    // The document's identity: its full path or its generated name.
    QString Caption() const;
    bool pState() const { return document_->pState; }
    const ChannelDocument& Document() const { return *document_; }
    bool pModifiedFlag() const { return document_->pModifiedFlag(); }

    // Document files. Each shows its own failure and returns false.
    bool OpenDataFile(const QString& fileName, bool isNew);
    bool SaveDataFile(const QString& fileName);
    bool OpenFileFromUpload(const QString& name, bool state);
    void UpdateTree();

    // Runs a command of this window: an error is shown and ends the command.
    // The window follows what the command changed through the document's
    // notifications; after an error it shows the whole document again.
    bool Run(const std::function<void()>& command);
    // Ends an open cell edit as Enter does, writing the typed text back into
    // the document. False when the write-back failed (its error was shown):
    // the command that asked must not run then.
    bool EndCellEdit();
    // Shows the whole document state: title and modified mark, label,
    // filter, TV/RADIO. The notifications keep them up to date; this is for
    // a window just built, tables filled outside any edit, and after an error.
    void SyncView();

    // Controls, named as the handlers refer to them.
    QSplitter* Splitter1 = nullptr;  // the tree beside the grid
    QLabel* Label1 = nullptr;
    QTreeView* Tree1 = nullptr;
    QRadioButton* FR1 = nullptr;  // "TV"
    QRadioButton* FR2 = nullptr;  // "RADIO"
    QPushButton* FlatButton2 = nullptr;  // "Config Menudata"
    QPushButton* BtnSortA = nullptr;
    QPushButton* BtnSortZ = nullptr;
    QLineEdit* FilterBox = nullptr;  // lists only the rows that match its text
    TkStringGrid* SG = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* Edit1 = nullptr;
    QAction* AddInformation1 = nullptr;
    QAction* DeleteInformation1 = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QAction* AddInformation2 = nullptr;
    QAction* DeleteInformation2 = nullptr;
    QAction* Cut1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* Paste1 = nullptr;
    QMenu* ChangeTSMenu = nullptr;
    QMenu* ChangeNetworkMenu = nullptr;
    QMenu* ChangeProviderMenu = nullptr;

    // Event handlers.
    void Tree1Change(const QModelIndex& node);
    void Tree1MouseDown(Qt::MouseButton button, const QPoint& globalPos);
    void FR1Click();
    void SGSetEditText(int col, int row, const QString& value);
    void SGMouseDown(Qt::MouseButton button, const QPoint& globalPos);
    void SGKeyDown(int key, Qt::KeyboardModifiers modifiers);
    // Selected rows dragged before grid row `beforeRow`.
    void SGRowsDropped(int beforeRow);
    void FlatButton2Click();
    void BtnSortAClick();
    void BtnSortZClick();
    void Edit1Click();
    void AddInformation1Click();
    void DeleteInformation1Click();
    void AddInformation2Click();
    void DeleteInformation2Click();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    // The Delete key and Edit > Delete: the service menu's delete, where the
    // selection allows the service menu.
    void DeleteSelectedServices();
    void SelectAllServices();
    // What the Edit menu's service commands may do on the grid's selection.
    TServiceCommandState ServiceCommands() { return document_->ServiceCommands(); }
    void Undo();
    void Redo();
    // Ctrl+F: the cursor goes to the filter box, its text selected.
    void FocusFilter();
    void FilterChange(const QString& text);
    void ReplaceInNamesClick();
    void RemoveDuplicatesClick();

signals:
    // What the main window's menus show of this document may have changed:
    // its data, its history, the view or the grid's selection.
    void StateChanged();
    // The person closes the window and nothing stops it.
    void Closing();

protected:
    void closeEvent(QCloseEvent* event) override;  // FormCloseQuery
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildTreePane();
    QWidget* BuildGridPane();
    void BuildPopupMenu1();
    void BuildPopupMenu2();
    void ShowPopupMenu1State();
    void ShowPopupMenu2State();
    void FillChangeMenu(QMenu* menu, const std::vector<TMenuEntry>& entries,
                        void (ChannelDocument::*command)(const std::string&));
    void ShowCoreSelection(const QModelIndex& node);
    void FollowDocument(const TDocumentChange&);
    void ShowFileState();
    void ShowViewState();
    // A command of this window's own buttons and menus: the open cell edit
    // ends first, then the command runs as Run does.
    bool Command(const std::function<void()>& command);

    UiPort& ui_;
    std::unique_ptr<ChannelDocument> document_;
    TTreeModel* treeModel_ = nullptr;
    bool syncingTree_ = false;
    bool cellWriteBackFailed_ = false;
};

}  // namespace lumora
