// What the document window shows of the data, as data: the navigation tree,
// the service grid SG, the label above the tree and the states of the two
// popup menus, and which service type (TV or RADIO) it shows. The view reads
// the document data and rebuilds itself from them; it never changes them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "document_data.h"
#include "service_grid.h"
#include "tree_data.h"

namespace lumora {

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
    std::string Name;  // "A"/"B"/"C" + table index; the click handler reads the index from it
    std::string Caption;
};

// The grid's service menu (PopupMenu2) as SGMouseDown prepares it.
struct TServiceMenuState {
    bool AddInformation = true;
    std::string AddInformationCaption = "Add Information";
    bool Paste = true;
    std::vector<TMenuEntry> ChangeTS;  // "Change TS Information"
    std::vector<TMenuEntry> ChangeNetwork;  // "Change Network Information"
    std::vector<TMenuEntry> ChangeProvider;  // "Change Provider Information"
};

enum class ServiceClipboardCommand { None, Cut, Copy, Paste };

// Which service commands the grid's selection allows, for the Edit menu and
// the Delete key: the same rules as the service menu's.
struct TServiceCommandState {
    bool Cut = false, Copy = false, Paste = false, Delete = false, SelectAll = false;
};

// What a grid row lists, kept beside its cells by the grid rebuild.
struct TGridRow {
    int32_t RealIndex = -1;  // the service; outside the table when the row shows none
    int32_t Number = 0;  // the number its INDEX cell shows
    int32_t ListEntry = -1;  // its position in the shown favorite list; -1 elsewhere

    bool operator==(const TGridRow&) const = default;
};

class TDocumentView {
public:
    // An empty grid with the lists of `data` (the window's FormCreate).
    explicit TDocumentView(TDocumentData& data);
    TDocumentView(const TDocumentView&) = delete;
    TDocumentView& operator=(const TDocumentView&) = delete;

    std::string Label1Caption;  // the label above the tree: the selected node's caption
    TTreeData Tree1;
    TServiceGrid SG;
    TInfoMenuState PopupMenu1;
    TServiceMenuState PopupMenu2;
    bool SortType = true;  // the grid's sort direction: true ascending

    // Follows a change of the data: the tree's entries and captions are
    // updated in place (expanded branches stay open), an edit of one service
    // rewrites its rows only, and the grid is rebuilt where the rows it
    // lists may have changed.
    void FollowChange(const TDocumentChange& change);
    // Called after every rebuild of the grid: the rows it lists, the label,
    // the TV/RADIO choice or the filter may be new, and the window shows
    // them from here. An edit of one service that rewrites its rows only
    // does not call it.
    void OnGridRebuilt(std::function<void()> observer) { gridObservers_.push_back(std::move(observer)); }

    // Navigation tree.
    void LoadTreeValue();
    void UpdateTree();
    // Selects `node` in the tree and runs Tree1Change, as a click does.
    void SelectNode(TTreeNode* node);
    void Tree1Change(TTreeNode* node);
    // Returns whether the information menu is to be opened.
    bool Tree1MouseDown(bool rightButton);
    void CheckPopup1Menu();
    int32_t GetTargetCount() const;
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
    // The service type the view shows: kServiceTypeTV or kServiceTypeRadio.
    // Window state, not data: no edit, not undone, not saved.
    uint8_t DisplayMode() const { return displayMode_; }
    // The position among the shown type's services of the service with OP
    // number `value` + 1.
    int32_t ConvertNonOPIndex(int32_t value) const;
    void FillOneRow(int32_t row, int32_t realIndex, int32_t number);
    void RefreshServiceGrid();
    // Shows service `realIndex` again after an edit of its own record: when
    // the grid still lists the same rows, only those that show it are
    // rewritten (no rebuild); otherwise the whole grid is rebuilt.
    void RefreshService(int32_t realIndex);
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

    // The filter box: the grid lists only the rows of the current view that
    // match `text` (see TRowFilter); an empty text lists them all. View state
    // like the selected node: not part of the data, not undone.
    void SetFilterText(const std::string& text);
    const std::string& FilterText() const { return filterText_; }
    bool FilterActive() const;
    // The label above the tree: the node's caption, and while a filter is
    // active how many of the view's rows are shown.
    std::string LabelText() const;

    // The typed rows: what grid rows 1.. list, in grid order. Commands take
    // the services of rows from here, never from the cells.
    const std::vector<TGridRow>& GridRows() const { return gridRows_; }
    // The service grid row `row` shows; -1 when it shows none.
    int32_t RowService(int32_t row) const;
    // The services that grid rows top..bottom show, in row order.
    std::vector<int32_t> RowServices(int32_t top, int32_t bottom) const;
    // The number grid row `row` shows in its INDEX cell; -1 when it shows no service.
    int32_t RowNumber(int32_t row) const;
    // The entry of the shown favorite list that grid row `row` lists; -1 when none.
    int32_t RowListEntry(int32_t row) const;

    // Prepares PopupMenu2; returns whether it is to be opened.
    bool SGMouseDown(bool rightButton);
    // Prepares PopupMenu2 and tells which of its service commands apply.
    TServiceCommandState ServiceCommands();
    // Ctrl+C, Ctrl+V, Ctrl+X: the clipboard command a key stands for.
    static ServiceClipboardCommand SGKeyDown(int key, bool ctrl);

private:
    TTreeNode* BuildTree();
    void FollowTree();
    // Brings the entries of the branch of `kind` to `count`, captioned by
    // `caption`. An entry's node is its index's: a deleted entry's node shows
    // the next entry, and only the last nodes go. Returns the node to select
    // instead of a removed selected one, or null.
    TTreeNode* FollowBranch(uint32_t kind, int count, const std::function<std::string(int)>& caption);
    int32_t CountServices(const TServiceFilter& filter) const;
    int32_t DisplayedNumber(int32_t realIndex, int32_t number, const TServiceNumbering& numbering) const;
    // Writes grid row `row` + 1 and its typed row.
    void FillRow(int32_t row, const TGridRow& listed);
    std::vector<TGridRow> ViewRows(const TServiceNumbering& numbering) const;
    // The rows of the current view that pass the filter box; `viewRows` gets
    // the count before filtering.
    std::vector<TGridRow> ListedRows(int32_t& viewRows) const;
    void ListFavoriteRows(uint16_t list, const TServiceNumbering& numbering, std::vector<TGridRow>& rows) const;
    void ListScannedRows(const TServiceFilter& filter, const TServiceNumbering& numbering,
                         std::vector<TGridRow>& rows) const;
    std::string NetworkNameOf(int32_t realIndex) const;
    std::string ProviderNameOf(int32_t realIndex) const;
    void BuildChangeSubmenus();
    // Sets PopupMenu2's entries, not its change submenus (they list every
    // stream, too much for the Edit menu's state after each command); false
    // when the selection allows no service menu.
    bool PrepareServiceMenu();
    const TChannelDatabase& Db() const { return std::as_const(data_).Database(); }

    const TDocumentData& data_;
    uint8_t displayMode_ = kServiceTypeTV;
    std::string filterText_;
    int32_t viewRowCount_ = 0;  // rows of the current view before filtering
    int32_t shownRowCount_ = 0;  // rows the grid lists
    std::vector<TGridRow> gridRows_;  // per grid row - 1
    std::vector<std::function<void()>> gridObservers_;
};

}  // namespace lumora
