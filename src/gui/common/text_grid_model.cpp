#include "gui/common/text_grid_model.hpp"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <algorithm>

namespace zelvanor::gui {

namespace {

// The pink the race card marks its hits with.
const QColor kHitBackground(0xFF, 0xC0, 0xC0);
const QColor kHitText(0xA0, 0x00, 0x00);
// The first column of each group, to tell the groups apart.
const QColor kGroupBackground(0xF4, 0xF0, 0xE4);

}  // namespace

TextGridModel::TextGridModel(QStringList columnHeadings, Qt::Alignment alignment, QObject* parent)
    : TextGridModel(
          columnHeadings,
          std::vector<Qt::Alignment>(static_cast<std::size_t>(columnHeadings.size()), alignment),
          parent) {}

TextGridModel::TextGridModel(QStringList columnHeadings, std::vector<Qt::Alignment> alignments,
                             QObject* parent)
    : QAbstractTableModel(parent),
      columnHeadings_(std::move(columnHeadings)),
      alignments_(std::move(alignments)) {
    alignments_.resize(static_cast<std::size_t>(columnHeadings_.size()),
                       Qt::AlignRight | Qt::AlignVCenter);
}

void TextGridModel::setRowHeadings(QStringList headings) {
    replace(std::move(headings), rows_);
}

void TextGridModel::setRows(std::vector<Row> rows) {
    replace(rowHeadings_, std::move(rows));
}

void TextGridModel::setGrid(const TextGrid& grid) {
    QStringList headings;
    for (const std::string& h : grid.rowHeadings) headings << QString::fromStdString(h);
    std::vector<Row> rows;
    rows.reserve(grid.cells.size());
    for (const auto& texts : grid.cells) {
        Row row;
        row.reserve(texts.size());
        for (const std::string& t : texts) row.push_back({QString::fromStdString(t)});
        rows.push_back(std::move(row));
    }
    replace(std::move(headings), std::move(rows));
}

void TextGridModel::setGroupWidth(int width) {
    groupWidth_ = std::max(width, 0);
    if (rowCount() > 0 && columnCount() > 0) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                         {Qt::BackgroundRole});
    }
}

void TextGridModel::replace(QStringList rowHeadings, std::vector<Row> rows) {
    const std::size_t before =
        std::max(static_cast<std::size_t>(rowHeadings_.size()), rows_.size());
    const std::size_t after = std::max(static_cast<std::size_t>(rowHeadings.size()), rows.size());
    if (before != after || rowHeadings != rowHeadings_) {
        beginResetModel();
        rowHeadings_ = std::move(rowHeadings);
        rows_ = std::move(rows);
        endResetModel();
        return;
    }
    rows_ = std::move(rows);
    if (rowCount() > 0 && columnCount() > 0) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }
}

const TextGridModel::Cell* TextGridModel::cell(int row, int column) const {
    if (row < 0 || column < 0 || static_cast<std::size_t>(row) >= rows_.size()) return nullptr;
    const Row& r = rows_[static_cast<std::size_t>(row)];
    return static_cast<std::size_t>(column) < r.size() ? &r[static_cast<std::size_t>(column)]
                                                       : nullptr;
}

int TextGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return static_cast<int>(std::max(static_cast<std::size_t>(rowHeadings_.size()), rows_.size()));
}

int TextGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columnHeadings_.size());
}

QVariant TextGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
        return {};
    }
    const Cell* c = cell(index.row(), index.column());
    const bool hit = c && c->hit;
    switch (role) {
        case Qt::DisplayRole:
            return c ? c->text : QString();
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(alignments_[static_cast<std::size_t>(index.column())] |
                                       Qt::AlignVCenter);
        case Qt::BackgroundRole:
            if (hit) return QBrush(kHitBackground);
            if (groupWidth_ > 0 && index.column() % groupWidth_ == 0) {
                return QBrush(kGroupBackground);
            }
            return {};
        case Qt::ForegroundRole:
            return hit ? QVariant(QBrush(kHitText)) : QVariant();
        case Qt::FontRole:
            if (hit) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        case HitRole:
            return hit;
        default:
            return {};
    }
}

QVariant TextGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || section < 0) return {};
    if (orientation == Qt::Horizontal) return columnHeadings_.value(section);
    // Rows beyond the headings have a blank one.
    return section < rowCount() ? rowHeadings_.value(section) : QVariant();
}

}  // namespace zelvanor::gui
