#include "gui/common/fixed_grid.hpp"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTableView>
#include <algorithm>

#include "gui/common/twips.hpp"

namespace zelvanor::gui {

namespace {

// The width of `text` in the grid's font, or in bold where that is wider.
class TextMeasure {
  public:
    TextMeasure(const QFont& font, bool bold)
        : plain_(font), bold_(boldFont(font)), useBold_(bold) {}

    int operator()(const QString& text) const {
        const int plain = plain_.horizontalAdvance(text);
        return useBold_ ? std::max(plain, bold_.horizontalAdvance(text)) : plain;
    }
    int operator()(const QString& text, const QFont& font) const {
        return std::max((*this)(text), QFontMetrics(font).horizontalAdvance(text));
    }
    int height() const { return plain_.height(); }

  private:
    static QFont boldFont(QFont f) {
        f.setBold(true);
        return f;
    }
    QFontMetrics plain_;
    QFontMetrics bold_;
    bool useBold_;
};

int columnWidth(const QTableView* grid, const QAbstractItemModel* model, int column,
                const FixedGridSizing& sizing, const TextMeasure& measure) {
    const auto c = static_cast<std::size_t>(column);
    int text = measure(model->headerData(column, Qt::Horizontal).toString());
    if (column < sizing.widest.size()) text = std::max(text, measure(sizing.widest.at(column)));
    for (int r = 0; r < model->rowCount(); ++r) {
        const QModelIndex index = model->index(r, column);
        const QVariant font = index.data(Qt::FontRole);
        const QString shown = index.data().toString();
        text =
            std::max(text, font.isValid() ? measure(shown, font.value<QFont>()) : measure(shown));
    }
    const int least =
        c < sizing.columnTwips.size() ? twipsToPixels(grid, sizing.columnTwips[c]) : 0;
    return std::max(least, text + sizing.textMargin);
}

int rowHeadingWidth(const QTableView* grid, const QAbstractItemModel* model,
                    const FixedGridSizing& sizing, const TextMeasure& measure) {
    int text = measure(sizing.rowHeadingWidest);
    for (int r = 0; r < model->rowCount(); ++r) {
        text = std::max(text, measure(model->headerData(r, Qt::Vertical).toString()));
    }
    return std::max({twipsToPixels(grid, sizing.rowHeadingTwips), text + sizing.headingMargin,
                     grid->verticalHeader()->sizeHint().width()});
}

}  // namespace

QTableView* makeFixedGrid(QWidget* parent, const QString& name, QAbstractItemModel* model,
                          const FixedGridSizing& sizing) {
    auto* grid = new QTableView(parent);
    grid->setObjectName(name);
    grid->setModel(model);
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setFocusPolicy(Qt::NoFocus);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setCornerButtonEnabled(false);
    grid->setWordWrap(false);
    // Texts padded to their field with blanks would otherwise gain an ellipsis.
    grid->setTextElideMode(Qt::ElideNone);
    if (!sizing.styleSheet.isEmpty()) grid->setStyleSheet(sizing.styleSheet);
    // The frame and the headings' padding come from the style: measure them as they will be.
    grid->ensurePolished();

    QHeaderView* rows = grid->verticalHeader();
    QHeaderView* columns = grid->horizontalHeader();
    rows->setVisible(sizing.rowHeadings);
    columns->setVisible(sizing.columnHeadings);
    rows->setDefaultAlignment(sizing.headingAlignment);
    columns->setDefaultAlignment(sizing.headingAlignment);
    columns->setHighlightSections(false);
    rows->setHighlightSections(false);

    const TextMeasure measure(grid->font(), sizing.boldTexts);
    const int rowHeight = measure.height() + sizing.rowMargin;
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(rowHeight);
    rows->setDefaultSectionSize(rowHeight);
    const int headingWidth = sizing.rowHeadings ? rowHeadingWidth(grid, model, sizing, measure) : 0;
    if (sizing.rowHeadings) rows->setFixedWidth(headingWidth);

    const int headingHeight =
        sizing.columnHeadings ? std::max(rowHeight, columns->sizeHint().height()) : 0;
    if (sizing.columnHeadings) columns->setFixedHeight(headingHeight);
    columns->setMinimumSectionSize(4);
    std::vector<int> widths;
    for (int c = 0; c < model->columnCount(); ++c) {
        widths.push_back(columnWidth(grid, model, c, sizing, measure));
    }

    const int frame = 2 * grid->frameWidth();
    const int height = frame + headingHeight + model->rowCount() * rowHeight;
    if (sizing.stretch) {
        // Shared alike, each column gets at least the room of the widest.
        columns->setSectionResizeMode(QHeaderView::Stretch);
        const int widest = widths.empty() ? 0 : *std::max_element(widths.begin(), widths.end());
        grid->setMinimumWidth(frame + headingWidth + widest * static_cast<int>(widths.size()));
        grid->setFixedHeight(height);
    } else {
        columns->setSectionResizeMode(QHeaderView::Fixed);
        int total = 0;
        for (int c = 0; c < static_cast<int>(widths.size()); ++c) {
            columns->resizeSection(c, widths[static_cast<std::size_t>(c)]);
            total += widths[static_cast<std::size_t>(c)];
        }
        grid->setFixedSize(frame + headingWidth + total, height);
    }
    return grid;
}

}  // namespace zelvanor::gui
