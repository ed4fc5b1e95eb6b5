#include "gui/payback/payback_grid_model.hpp"

#include <QBrush>
#include <QColor>
#include <QFont>

namespace zelvanor::gui {

namespace {

// The pink the race card marks its hits with.
const QColor kHitBackground(0xFF, 0xC0, 0xC0);
const QColor kHitText(0xA0, 0x00, 0x00);
// The first pick of each persona's group, to tell the groups apart.
const QColor kGroupBackground(0xF4, 0xF0, 0xE4);

}  // namespace

PaybackGridModel::PaybackGridModel(QStringList columnHeadings, QStringList rowHeadings,
                                   std::vector<Qt::Alignment> alignments, int groupWidth,
                                   QObject* parent)
    : QAbstractTableModel(parent),
      columnHeadings_(std::move(columnHeadings)),
      rowHeadings_(std::move(rowHeadings)),
      alignments_(std::move(alignments)),
      groupWidth_(groupWidth),
      rows_(static_cast<std::size_t>(rowHeadings_.size()),
            Row(static_cast<std::size_t>(columnHeadings_.size()))) {}

void PaybackGridModel::setRows(std::vector<Row> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    rows_.resize(static_cast<std::size_t>(rowHeadings_.size()));
    for (Row& row : rows_) row.resize(static_cast<std::size_t>(columnHeadings_.size()));
    endResetModel();
}

void PaybackGridModel::setColumnHeadings(QStringList headings) {
    headings.resize(columnHeadings_.size());
    columnHeadings_ = std::move(headings);
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

const PaybackGridModel::Cell& PaybackGridModel::cell(int row, int column) const {
    return rows_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(column));
}

int PaybackGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rowHeadings_.size());
}

int PaybackGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columnHeadings_.size());
}

QVariant PaybackGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const Cell& c = cell(index.row(), index.column());
    switch (role) {
        case Qt::DisplayRole:
            return c.text;
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(alignments_.at(static_cast<std::size_t>(index.column())) |
                                       Qt::AlignVCenter);
        case Qt::BackgroundRole:
            if (c.hit) return QBrush(kHitBackground);
            if (groupWidth_ > 0 && index.column() % groupWidth_ == 0) {
                return QBrush(kGroupBackground);
            }
            return {};
        case Qt::ForegroundRole:
            return c.hit ? QVariant(QBrush(kHitText)) : QVariant();
        case Qt::FontRole:
            if (c.hit) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        case HitRole:
            return c.hit;
        default:
            return {};
    }
}

QVariant PaybackGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    const QStringList& headings = orientation == Qt::Horizontal ? columnHeadings_ : rowHeadings_;
    if (section < 0 || section >= headings.size()) return {};
    if (role == Qt::DisplayRole) return headings.at(section);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

}  // namespace zelvanor::gui
