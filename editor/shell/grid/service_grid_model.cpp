#include "service_grid_model.h"

#include <QApplication>
#include <QFont>
#include <QPalette>

#include "shell_text.h"

namespace lumora {

TServiceGridModel::TServiceGridModel(TServiceGrid& grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid)
{
    grid_.SetObserver(this);
}

TServiceGridModel::~TServiceGridModel() { grid_.SetObserver(nullptr); }

int TServiceGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : grid_.RowCount() - 1; }

int TServiceGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : grid_.ColCount(); }

QVariant TServiceGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const std::string& cell = grid_.Cell(index.column(), index.row() + 1);
    switch (role) {
    case Qt::DisplayRole: return NameText(TServiceGrid::ReplaceExtendChar(cell));
    case Qt::EditRole: return NameText(cell);
    case Qt::TextAlignmentRole: return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    case Qt::BackgroundRole:
        // The fixed column is drawn like the header.
        if (index.column() == kColIndex)
            return QApplication::palette().button();
        return {};
    default: return {};
    }
}

QVariant TServiceGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole && section >= 0 && section < rowCount())
            return section + 1;
        return {};
    }
    if (section < 0 || section >= columnCount())
        return {};
    switch (role) {
    case Qt::DisplayRole: return NameText(TServiceGrid::ReplaceExtendChar(grid_.Cell(section, 0)));
    case Qt::ToolTipRole: return QString::fromLatin1(kSGColumns[std::size_t(section)].Caption);
    case Qt::TextAlignmentRole: return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    case Qt::FontRole: {
        QFont bold = QApplication::font();
        bold.setBold(true);
        return bold;
    }
    default: return {};
    }
}

Qt::ItemFlags TServiceGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (kSGColumns[std::size_t(index.column())].Editor != CellEditorKind::None)
        f |= Qt::ItemIsEditable;
    return f;
}

bool TServiceGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || !(flags(index) & Qt::ItemIsEditable))
        return false;
    grid_.SetCell(index.column(), index.row() + 1, NameBytes(value.toString()));
    emit CellEdited(index);
    return true;
}

void TServiceGridModel::GridAboutToReset()
{
    resetting_ = true;
    beginResetModel();
}

void TServiceGridModel::GridReset()
{
    endResetModel();
    resetting_ = false;
    emit CoreCurrentChanged();
}

void TServiceGridModel::CellChanged(int col, int row)
{
    if (resetting_)
        return;
    if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, col, col);
        return;
    }
    const QModelIndex changed = index(row - 1, col);
    emit dataChanged(changed, changed);
}

void TServiceGridModel::CurrentChanged()
{
    if (!resetting_)
        emit CoreCurrentChanged();
}

}  // namespace lumora
