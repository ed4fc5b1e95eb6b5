#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include "core/views/people_info.hpp"

namespace zelvanor::gui {

// A grid of ready-made texts: a snapshot of one TextGrid of the core, its row headings as the
// fixed first column and the given column headings as the fixed first row. Figures are aligned
// to the right, as they are read; a table of names may ask for the left.
class TextGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit TextGridModel(QStringList columnHeadings,
                           Qt::Alignment alignment = Qt::AlignRight | Qt::AlignVCenter,
                           QObject* parent = nullptr);

    // A new snapshot; the grid keeps its shape when the rows are the same in number.
    void setGrid(const TextGrid& grid);
    const TextGrid& grid() const { return grid_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    QStringList columns_;
    Qt::Alignment alignment_;
    TextGrid grid_;
};

}  // namespace zelvanor::gui
