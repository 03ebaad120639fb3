// The service grid SG as data: a table of cell strings with a fixed header
// row 0, the current cell, the selected row range and the drop-down lists of
// the editable columns. The editor's table model reads the cells in place and
// follows changes through a TGridObserver.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace lumora {

// Columns of the service grid.
enum SGColumn : int {
    kColIndex = 0,
    kColName,
    kColVideoPID,
    kColAudioPID,
    kColPCRPID,
    kColServiceId,
    kColPmtPID,
    kColGenre,
    kColLock,
    kColSkip,
    kColNetwork,
    kColProvider,
    kColRI,
    kSGColCount
};

// Which in-place editor a column uses.
enum class CellEditorKind { None, ExtendedText, PlainText, DropDownList };

struct TColumnDefinition {
    const char* Header;  // text ClearSG writes into row 0
    const char* Caption;  // the column definition's own caption
    int Width;  // pixels at 96 dpi
    CellEditorKind Editor;
};

extern const std::array<TColumnDefinition, kSGColCount> kSGColumns;

// Notifications for a view. No-op defaults.
class TGridObserver {
public:
    virtual ~TGridObserver() = default;
    virtual void GridAboutToReset() {}
    virtual void GridReset() {}
    virtual void CellChanged(int /*col*/, int /*row*/) {}
    virtual void CurrentChanged() {}
};

struct TGridSelection {
    int Top = 1;
    int Bottom = 1;
};

class TServiceGrid {
public:
    TServiceGrid() { SetRowCount(2); }

    void SetObserver(TGridObserver* observer) { observer_ = observer; }

    int ColCount() const { return kSGColCount; }
    int RowCount() const { return rowCount_; }
    // Rows added by a larger count start empty; cells of removed rows are gone.
    void SetRowCount(int rows);

    // Cells outside the table read as empty and ignore writes.
    const std::string& Cell(int col, int row) const;
    void SetCell(int col, int row, std::string text);

    // Current cell and selected row range; both kept inside the data rows.
    // The current column is never the fixed column 0.
    int Col() const { return col_; }
    int Row() const { return row_; }
    void SetCurrent(int col, int row);
    const TGridSelection& Selection() const { return selection_; }
    void SetSelection(int top, int bottom);

    // Bulk rebuilds: a view resets once instead of following every cell.
    void BeginUpdate();
    void EndUpdate();

    // Drop-down lists of the editable columns.
    std::vector<std::string> GenreList;
    std::vector<std::string> LockSkipList;
    std::vector<std::string> NetworkList;
    std::vector<std::string> ProviderList;
    // The list a column edits with; null for columns without one.
    const std::vector<std::string>* PickList(int col) const;

    // How the grid draws a cell text: bytes 0x80..0xFF are left out.
    static std::string ReplaceExtendChar(const std::string& text);

private:
    void KeepCurrentInside();
    std::size_t At(int col, int row) const { return std::size_t(row) * kSGColCount + std::size_t(col); }

    int rowCount_ = 0;
    std::vector<std::string> cells_;
    int col_ = 1;
    int row_ = 1;
    TGridSelection selection_;
    int updateDepth_ = 0;
    TGridObserver* observer_ = nullptr;
};

}  // namespace lumora
