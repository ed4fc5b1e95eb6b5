#include "gui/people/text_grid_model.hpp"

namespace zelvanor::gui {

TextGridModel::TextGridModel(QStringList columnHeadings, Qt::Alignment alignment,
                             QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columnHeadings)), alignment_(alignment) {}

void TextGridModel::setGrid(const TextGrid& grid) {
    if (grid.cells.size() == grid_.cells.size() && grid.rowHeadings == grid_.rowHeadings) {
        grid_ = grid;
        if (!grid_.cells.empty()) {
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
        }
        return;
    }
    beginResetModel();
    grid_ = grid;
    endResetModel();
}

int TextGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(grid_.cells.size());
}

int TextGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TextGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        const auto& row = grid_.cells[static_cast<std::size_t>(index.row())];
        const auto column = static_cast<std::size_t>(index.column());
        return column < row.size() ? QString::fromStdString(row[column]) : QString();
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(alignment_);
    }
    return {};
}

QVariant TextGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    if (role != Qt::DisplayRole || section < 0) return {};
    if (orientation == Qt::Horizontal) {
        return section < columns_.size() ? columns_[section] : QVariant();
    }
    if (static_cast<std::size_t>(section) < grid_.rowHeadings.size()) {
        return QString::fromStdString(grid_.rowHeadings[static_cast<std::size_t>(section)]);
    }
    return {};
}

}  // namespace zelvanor::gui
