#include "service_grid.h"

#include <algorithm>

namespace lumora {

const std::array<TColumnDefinition, kSGColCount> kSGColumns = {{
    {"INDEX", "Index", 63, CellEditorKind::None},
    {"Service Name", "Service Name", 190, CellEditorKind::ExtendedText},
    {"Video PID", "Video PID", 68, CellEditorKind::PlainText},
    {"Audio PID", "Audio PID", 68, CellEditorKind::PlainText},
    {"PCR PID", "PCR PID", 68, CellEditorKind::PlainText},
    {"Service ID", "Service ID", 68, CellEditorKind::PlainText},
    {"PMT PID", "PMT PID", 68, CellEditorKind::PlainText},
    {"GENRE", "Genre", 64, CellEditorKind::DropDownList},
    {"LOCK", "Lock", 64, CellEditorKind::DropDownList},
    {"SKIP", "Skip", 64, CellEditorKind::DropDownList},
    {"NETWORK", "Network", 169, CellEditorKind::DropDownList},
    {"PROVIDER", "Provider", 165, CellEditorKind::DropDownList},
    {"RI", "RI", 61, CellEditorKind::None},
}};

namespace {
const std::string kEmptyCell;
}

void TServiceGrid::SetRowCount(int rows)
{
    rows = std::max(rows, 1);
    if (rows == rowCount_)
        return;
    if (observer_ && updateDepth_ == 0)
        observer_->GridAboutToReset();
    rowCount_ = rows;
    cells_.resize(std::size_t(rows) * kSGColCount);
    KeepCurrentInside();
    if (observer_ && updateDepth_ == 0)
        observer_->GridReset();
}

const std::string& TServiceGrid::Cell(int col, int row) const
{
    if (col < 0 || col >= kSGColCount || row < 0 || row >= rowCount_)
        return kEmptyCell;
    return cells_[At(col, row)];
}

void TServiceGrid::SetCell(int col, int row, std::string text)
{
    if (col < 0 || col >= kSGColCount || row < 0 || row >= rowCount_)
        return;
    cells_[At(col, row)] = std::move(text);
    if (observer_ && updateDepth_ == 0)
        observer_->CellChanged(col, row);
}

void TServiceGrid::SetCurrent(int col, int row)
{
    // The fixed column never holds the current cell: asked for it, only the
    // row moves (so a sort still sees the column the user chose).
    if (col > kColIndex)
        col_ = col;
    row_ = row;
    KeepCurrentInside();
    if (observer_)
        observer_->CurrentChanged();
}

void TServiceGrid::SetSelection(int top, int bottom)
{
    selection_.Top = std::min(top, bottom);
    selection_.Bottom = std::max(top, bottom);
    KeepCurrentInside();
    if (observer_)
        observer_->CurrentChanged();
}

// The grid always has a current cell in a data row, as the platform grid does.
void TServiceGrid::KeepCurrentInside()
{
    int lastRow = std::max(rowCount_ - 1, 1);
    col_ = std::clamp(col_, 1, kSGColCount - 1);
    row_ = std::clamp(row_, 1, lastRow);
    selection_.Top = std::clamp(selection_.Top, 1, lastRow);
    selection_.Bottom = std::clamp(selection_.Bottom, selection_.Top, lastRow);
}

void TServiceGrid::BeginUpdate()
{
    if (updateDepth_++ == 0 && observer_)
        observer_->GridAboutToReset();
}

void TServiceGrid::EndUpdate()
{
    if (updateDepth_ > 0 && --updateDepth_ == 0 && observer_)
        observer_->GridReset();
}

const std::vector<std::string>* TServiceGrid::PickList(int col) const
{
    switch (col) {
    case kColGenre: return &GenreList;
    case kColLock:
    case kColSkip: return &LockSkipList;
    case kColNetwork: return &NetworkList;
    case kColProvider: return &ProviderList;
    default: return nullptr;
    }
}

std::string TServiceGrid::ReplaceExtendChar(const std::string& text)
{
    std::string shown;
    shown.reserve(text.size());
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x80)
            shown += c;
    return shown;
}

}  // namespace lumora
