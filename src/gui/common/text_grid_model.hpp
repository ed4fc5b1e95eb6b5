#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

#include "core/views/people_info.hpp"

namespace zelvanor::gui {

// A read-only grid of ready-made texts with its fixed row and column headings. What tells one
// grid from another is data: the texts, each column's alignment, the cells that show a hit and
// an optional shading of the first column of every group. Never reads the database.
class TextGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // True on a cell that shows a hit; such a cell is drawn so that it stands out.
    static constexpr int HitRole = Qt::UserRole;

    struct Cell {
        QString text;
        bool hit = false;
    };
    using Row = std::vector<Cell>;

    // Every column aligned alike: figures to the right, as they are read.
    explicit TextGridModel(QStringList columnHeadings,
                           Qt::Alignment alignment = Qt::AlignRight | Qt::AlignVCenter,
                           QObject* parent = nullptr);
    // One alignment per column.
    TextGridModel(QStringList columnHeadings, std::vector<Qt::Alignment> alignments,
                  QObject* parent = nullptr);

    // The grid has at least one row per row heading; rows beyond the texts given are blank, as
    // are the cells beyond the end of a short row.
    void setRowHeadings(QStringList headings);
    void setRows(std::vector<Row> rows);
    // A snapshot of one of the core's grids: its row headings and texts, none of them a hit.
    void setGrid(const TextGrid& grid);
    // `width` > 0 shades the first column of every group of that many columns.
    void setGroupWidth(int width);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    const Cell* cell(int row, int column) const;
    // Resets the model when the number of rows or their headings change; otherwise only the
    // texts did, and the views keep their state.
    void replace(QStringList rowHeadings, std::vector<Row> rows);

    QStringList columnHeadings_;
    QStringList rowHeadings_;
    std::vector<Qt::Alignment> alignments_;
    int groupWidth_ = 0;
    std::vector<Row> rows_;
};

}  // namespace zelvanor::gui
