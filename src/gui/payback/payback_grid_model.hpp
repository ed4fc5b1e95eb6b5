#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

namespace zelvanor::gui {

// One of the payback window's grids: a snapshot of texts as the core worked them out, with the
// grid's headings and column alignments. A hit cell is drawn so that it stands out. Never reads
// the database.
class PaybackGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // True on a cell that shows a hit (a 的中 mark, or the pick that made it).
    static constexpr int HitRole = Qt::UserRole;

    struct Cell {
        QString text;
        bool hit = false;
    };
    using Row = std::vector<Cell>;

    // `rowHeadings` is the fixed column, `columnHeadings` the fixed row; `alignments` has one
    // entry per column. `groupWidth` > 0 shades every first column of a group of that many.
    PaybackGridModel(QStringList columnHeadings, QStringList rowHeadings,
                     std::vector<Qt::Alignment> alignments, int groupWidth = 0,
                     QObject* parent = nullptr);

    // New contents: one row per row heading, one cell per column.
    void setRows(std::vector<Row> rows);
    void setColumnHeadings(QStringList headings);
    const Cell& cell(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    QStringList columnHeadings_;
    QStringList rowHeadings_;
    std::vector<Qt::Alignment> alignments_;
    int groupWidth_ = 0;
    std::vector<Row> rows_;
};

}  // namespace zelvanor::gui
