#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class QAbstractItemModel;
class QTableView;
class QWidget;

namespace zelvanor::gui {

// How a read-only grid of fixed size is measured. Widths are least widths: a column, or the
// row headings, is widened wherever a heading, a cell or the text it is meant to hold would be
// cut.
struct FixedGridSizing {
    // The layout's width of each column in twips; columns past the list's end have none.
    std::vector<int> columnTwips;
    // The widest text each column is meant to hold, beside what it holds when it is made (many
    // grids are filled later); columns past the list's end have none.
    QStringList widest;
    int rowHeadingTwips = 0;
    QString rowHeadingWidest;
    // Hits are drawn in bold: texts are measured in bold as well.
    bool boldTexts = false;
    // Room beside the widest text of a column and of the row headings, in pixels.
    int textMargin = 10;
    int headingMargin = 14;
    // Room over a line of text, in pixels.
    int rowMargin = 7;
    bool columnHeadings = true;
    bool rowHeadings = true;
    Qt::Alignment headingAlignment = Qt::AlignCenter;
    // The columns share whatever width the layout gives the grid beyond its least width, all
    // of them alike; otherwise the grid is exactly as wide as its columns.
    bool stretch = false;
    // The grid's own look; set before it is measured, as it can widen the headings.
    QString styleSheet;
};

// A grid over `model` that shows every row and column at once: no scroll bars, no selection,
// no editing, no focus, no eliding. Its height is fixed to its rows; so is its width unless it
// stretches.
QTableView* makeFixedGrid(QWidget* parent, const QString& name, QAbstractItemModel* model,
                          const FixedGridSizing& sizing);

}  // namespace zelvanor::gui
