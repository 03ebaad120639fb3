// One open channel database with everything its window shows, as data: the
// navigation tree, the service grid SG, the label above the tree and the
// states of the two popup menus. The editor's document window renders this
// class and forwards its events to the handlers below, which keep the names
// of the window events they serve.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app_state.h"
#include "edit_history.h"
#include "records.h"
#include "service_grid.h"
#include "tree_data.h"
#include "ui_port.h"

namespace lumora {

class TServiceNumbering;

// Node kinds: bits 24..31 of a node tag. Bits 0..23 hold an item index.
enum NodeKind : uint32_t {
    kKindNone = 0,
    kKindAntenna = 1,
    kKindAllService = 2,
    kKindProvider = 3,
    kKindNetwork = 4,
    kKindTS = 5,
    kKindGenre = 6,
    kKindFavorite = 7,
};
inline constexpr uint32_t MakeTag(uint32_t kind, uint32_t index) { return (kind << 24) + index; }
inline constexpr uint32_t TagKind(uint32_t tag) { return tag >> 24; }

// "Any" in a service filter.
inline constexpr uint16_t kAnyFilter = 0xFFFF;

// The six filters a tree node sets for the service scan.
struct TServiceFilter {
    uint16_t Antenna = kAnyFilter;
    uint16_t TS = kAnyFilter;
    uint16_t Provider = kAnyFilter;
    uint16_t Network = kAnyFilter;
    uint16_t Genre = kAnyFilter;
    uint16_t Favorite = kAnyFilter;
};
TServiceFilter DecodeNodeFilter(uint32_t tag);

// Enabled entries of the tree's information menu (PopupMenu1).
struct TInfoMenuState {
    bool Edit = true;
    bool AddInformation = true;
    bool DeleteInformation = true;
};

struct TMenuEntry {
    std::string Name;     // "A"/"B"/"C" + table index; the click handler reads the index from it
    std::string Caption;
};

// The grid's service menu (PopupMenu2) as SGMouseDown prepares it.
struct TServiceMenuState {
    bool AddInformation = true;
    std::string AddInformationCaption = "Add Information";
    bool Paste = true;
    std::vector<TMenuEntry> ChangeTS;       // "Change TS Information"
    std::vector<TMenuEntry> ChangeNetwork;  // "Change Network Information"
    std::vector<TMenuEntry> ChangeProvider; // "Change Provider Information"
};

enum class ServiceClipboardCommand { None, Cut, Copy, Paste };

// "1 service", "12 services": how edit names count services.
std::string ServicesText(int32_t count);

class ChannelDocument {
public:
    // Creates the document with an empty database and an empty grid (the
    // window's FormCreate).
    ChannelDocument(TApplicationState& app, UiPort& ui);
    ~ChannelDocument();
    ChannelDocument(const ChannelDocument&) = delete;
    ChannelDocument& operator=(const ChannelDocument&) = delete;

    const TChannelDatabase& Database() const { return *db_; }
    // The tables as loaders and test fixtures fill them. Writes through this
    // are not edits: every change a person makes goes through Edit.
    TChannelDatabase& Database() { return *db_; }
    TApplicationState& App() { return app_; }
    const TSettings& Settings() const { return app_.Settings; }
    UiPort& Ui() { return ui_; }

    // The one way a command changes the document's data. `change` asks the
    // person first, then changes the tables; when the data differ afterwards,
    // the change becomes one step of the history, named `label` or what the
    // change names it with NameEdit once it knows what it did. An edit run by
    // another is part of it. A change that fails with an exception keeps what
    // it did before failing, as one step, and the exception goes on.
    void Edit(std::string label, const std::function<void()>& change);
    void NameEdit(std::string label);

    // Undo and redo restore the data exactly and rebuild tree and grid, with
    // the selection kept where the restored data allow. The TV/RADIO view
    // stays as it is.
    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    const std::string& UndoLabel() const { return history_.UndoLabel(); }
    const std::string& RedoLabel() const { return history_.RedoLabel(); }
    void Undo();
    void Redo();
    const TEditHistory& History() const { return history_; }

    // Unsaved changes: the data differ from the ones last opened or saved (a
    // document made from an upload has none saved).
    bool pModifiedFlag() const;
    // The current data are the ones last opened or saved.
    void MarkSaved();

    // Document state beside the tables.
    bool pState = false;          // no file name yet: Save acts as Save As
    std::string Caption;          // full path, or "untitle<n>.dnf" / "upload<n>.dnf"
    std::string MenuStr, AudioStr, SubStr;  // language names the menu dialog last chose
    std::string Label1Caption;    // the label above the tree: the selected node's caption

    TTreeData Tree1;
    TServiceGrid SG;
    TInfoMenuState PopupMenu1;
    TServiceMenuState PopupMenu2;

    // Document files. InitAllData and ParsingDataFile live here; the others
    // are defined with the conversion-library binding (document_files.cpp).
    // Each of those shows its failure in an error box and returns false: a
    // failed open leaves the document empty for its window to be closed, a
    // failed save leaves caption, pState, the saved data and the file as they were.
    void InitAllData();
    bool OpenDataFile(const std::string& FileName, bool IsNew);
    bool LoadDataFile(const std::string& FileName);
    bool OpenFileFromUpload(const std::string& Name, bool State);
    bool SaveDataFile(const std::string& FileName);
    // Opens a copy kept for recovery as a new unsaved document named
    // `NewCaption`: Save asks for a name, and it counts as modified.
    bool OpenRecoveredFile(const std::string& FileName, const std::string& NewCaption);
    // Writes the data to `FileName` as Save does but leaves the document's
    // name and modified state alone; throws std::runtime_error with the reason.
    void WriteCopy(const std::string& FileName) const;
    // Reads the interchange file at `path` into the tables, then deletes it,
    // and returns the favorite numbering the file records, if it records one.
    // Table-full messages go to error boxes; a stopped or failed read throws
    // std::runtime_error with its message after the file is handled.
    std::optional<FavoriteNumbering> ParsingDataFile(const std::string& path);

    // Navigation tree.
    void LoadTreeValue();
    void UpdateTree();
    // "Config Menudata": the menu defaults go to the dialog and come back on OK.
    void FlatButton2Click();
    // Selects `node` in the tree and runs Tree1Change, as a click does.
    void SelectNode(TTreeNode* node);
    void Tree1Change(TTreeNode* node);
    // Returns whether the information menu is to be opened.
    bool Tree1MouseDown(bool rightButton);
    void CheckPopup1Menu();
    int32_t GetTargetCount() const;
    void FormCloseQuery(bool& CanClose);
    std::string GetAntennaString(int32_t index) const;
    static std::string GetLNBFrequency(uint32_t value);
    static std::string GetDiseqc(uint8_t setting);
    std::string GetTSString(int32_t index) const;

    // Service grid.
    void ClearSG();
    void InitSGItem();
    void UpdateNetworkCmbCell();
    void UpdateProviderCmbCell();
    // The "TV"/"RADIO" radio buttons; `tvChecked` tells which one is checked.
    void FR1Click(bool tvChecked);
    void FillOneRow(int32_t row, int32_t realIndex, int32_t number);
    void RefreshServiceGrid();
    int32_t FindFirstService(uint16_t antenna, uint16_t ts, uint16_t provider, uint16_t network, uint16_t genre,
                             uint16_t favorite, int32_t& count) const;
    int32_t FindNextService(uint16_t antenna, uint16_t ts, uint16_t provider, uint16_t network, uint16_t genre,
                            uint16_t favorite, int32_t start, int32_t& count) const;
    bool CompareAntennaInService(uint16_t antenna, int32_t realIndex) const;
    bool CompareTSInService(uint16_t ts, int32_t realIndex) const;
    bool CompareProviderInService(uint16_t provider, int32_t realIndex) const;
    bool CompareNetworkInService(uint16_t network, int32_t realIndex) const;
    bool CompareGenreInService(uint16_t genre, int32_t realIndex) const;
    bool CompareFavoriteInService(uint16_t favorite, int32_t realIndex) const;
    int32_t GetPosFromRealIndex(uint8_t mode, int32_t value) const;
    int32_t GetRealIndex(uint8_t mode, int32_t realIndex) const;
    int32_t ConvertNonOPIndex(int32_t value) const;

    // Cell editing.
    // The end of a cell edit in row ARow: the whole row is written back.
    // A number that does not parse throws EConvertError after the columns
    // to its left were stored.
    void SGSetEditText(int32_t ACol, int32_t ARow, const std::string& Value);
    // Prepares PopupMenu2; returns whether it is to be opened.
    bool SGMouseDown(bool rightButton);
    // Ctrl+C, Ctrl+V, Ctrl+X: the clipboard command a key stands for.
    static ServiceClipboardCommand SGKeyDown(int key, bool ctrl);

    // Helpers for the editing commands.
    int32_t ServiceCount() const;
    TServiceItem& Service(int32_t realIndex) { return db_->ServiceInfo.pServiceInfo[std::size_t(realIndex)]; }
    const TServiceItem& Service(int32_t realIndex) const
    {
        return db_->ServiceInfo.pServiceInfo[std::size_t(realIndex)];
    }
    // The stream of a service; null when its stream index is outside the table.
    const TTSItem* StreamOf(int32_t realIndex) const;
    bool IsCable() const;
    uint8_t FlashType() const { return app_.Settings.SystemInfo.FLASHTYPE; }
    // A displayed number counts as fixed up to 100 (below 1000 with FLASHTYPE 3).
    bool IsFixedDisplayedNumber(int32_t number) const;

private:
    // Where the person is in tree and grid, kept across undo and redo.
    struct TViewPlace {
        int rootRow = 0;
        bool onRoot = true;
        uint32_t tag = 0;
        int col = 1, row = 1;
        TGridSelection selection;
    };
    TViewPlace CurrentPlace() const;
    void ShowPlace(const TViewPlace& place);
    std::unique_ptr<TDocumentState> CopyState() const;
    void Restore(std::unique_ptr<TDocumentState> (TEditHistory::*step)(std::unique_ptr<TDocumentState>));
    void ForgetHistory(bool saved);
    void WriteDnfFile(const std::string& FileName) const;  // Save's writing; a failure throws its reason
    TTreeNode* BuildTree();

    // The numberings of the services as the tables stand now.
    TServiceNumbering Numbering() const;
    int32_t CountServices(const TServiceFilter& filter) const;
    std::string DisplayedNumber(int32_t realIndex, int32_t number, const TServiceNumbering& numbering) const;
    void FillRow(int32_t row, int32_t realIndex, const std::string& number);
    void FillFavoriteRows(uint16_t list, const TServiceNumbering& numbering);
    void FillScannedRows(const TServiceFilter& filter, const TServiceNumbering& numbering);
    std::string NetworkNameOf(int32_t realIndex) const;
    std::string ProviderNameOf(int32_t realIndex) const;
    void WriteRowBack(TServiceItem& service, int32_t row);
    void BuildChangeSubmenus();

    TApplicationState& app_;
    UiPort& ui_;
    std::unique_ptr<TChannelDatabase> db_;
    TEditHistory history_;
    std::unique_ptr<TDocumentState> saved_;  // null: nothing saved yet
    int editDepth_ = 0;
    std::string editLabel_;

    // Information, service and favorite editing, sorting
public:
    // Information menu of the tree (PopupMenu1), on the selected node.
    void Edit1Click();
    void AddInformation1Click();
    void DeleteInformation1Click();
    // Remove one table entry and repair every link to it.
    void DeleteTS(int32_t index);
    void DeleteNetwork(int32_t index);
    void DeleteProvider(int32_t index);
    // Whether an entry other than `except` has exactly this name (0xFFFF: all).
    bool CheckProviderName(const std::string& name, int32_t except) const;
    bool CheckNetworkName(const std::string& name, int32_t except) const;
    // Entries of the change submenus; `entryName` is the entry's name ("A12").
    void MyTSClick(const std::string& entryName);
    void MyNetClick(const std::string& entryName);
    void MyPrvClick(const std::string& entryName);

    // Service menu of the grid (PopupMenu2).
    void AddInformation2Click();
    void DeleteInformation2Click();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    void DeleteServiceMulti(int32_t topRow, int32_t count);
    void DeleteFavorite(uint8_t type, int32_t value);
    void DeleteFavoriteMultiInFavorite(int32_t topRow, int32_t count);
    bool CheckServiceIndexInFavorite(uint8_t type, int32_t list, int32_t value) const;
    void SwapRealIndex(int32_t rowA, int32_t rowB);
    bool CheckServiceForDownload();

    // Sorting by the current cell's column.
    void BtnSortAClick();
    void BtnSortZClick();
    bool SortType = true;  // the grid's sort direction: true ascending
    // Locale-aware, case-sensitive text comparison used by sorting (negative,
    // 0, positive). `SortKey`, when set, maps a text to a byte string whose
    // plain comparison gives the same order; sorting then uses it.
    std::function<int(const std::string&, const std::string&)> Collate;
    std::function<std::string(const std::string&)> SortKey;

private:
    void SortServices(bool ascending);
    void SortRows(int32_t col, bool ascending);
    // The real index in a row's "RI" cell; -1 when the cell names no service.
    int32_t RowRealIndex(int32_t row) const;
    // Exchanges the services of two grid rows. `slots` is the numbering of
    // the table slots: computed here when empty, kept while exchanges leave
    // it valid, emptied after one that does not. A sort passes the same one
    // to all of its exchanges.
    void ExchangeRowServices(int32_t rowA, int32_t rowB, std::optional<TServiceNumbering>& slots);
    bool AddServiceToTS(uint32_t ts);
    bool AddSelectedServicesTo(uint32_t kind, uint32_t index);
    void SetGenreOf(const std::vector<TServiceChoice>& chosen, uint8_t genre);
    void AddToFavoriteList(const std::vector<TServiceChoice>& chosen, uint8_t mode, int32_t index);
    std::vector<int32_t> SelectionOPNumbers() const;
    void AddInformationNode(TTreeNode* selected, uint32_t kind, int32_t index, const std::string& caption);
    bool RenameNode(TTreeNode* node, uint32_t kind, int32_t index);
    void EditTransportStream(TTreeNode* node, int32_t index);
    void ReassignSelectedRows(const std::string& entryName, const std::string& what,
                              const std::function<void(TServiceItem&, int32_t)>& assign);
};

}  // namespace lumora
