// The grid that shows all its texts at a fixed size, and the read-only model of texts behind it.

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

#include "gui/common/fixed_grid.hpp"
#include "gui/common/text_grid_model.hpp"
#include "gui/common/twips.hpp"

using namespace zelvanor;
using namespace zelvanor::gui;

namespace {

// What a cell needs to be read whole: its text in the font it is drawn in, and the few pixels
// the style keeps beside it.
int needed(const QTableView& grid, const QModelIndex& index) {
    QFont font = grid.font();
    if (const QVariant f = index.data(Qt::FontRole); f.isValid()) font = f.value<QFont>();
    return QFontMetrics(font).horizontalAdvance(index.data().toString()) + 4;
}

// Every heading and cell fits its column, every row and column is on show without scrolling,
// and the grid cannot be resized.
void checkShowsEverything(QTableView& grid) {
    const QAbstractItemModel* m = grid.model();
    const QFontMetrics fm(grid.font());
    for (int c = 0; c < m->columnCount(); ++c) {
        const QString heading = m->headerData(c, Qt::Horizontal).toString();
        QVERIFY2(fm.horizontalAdvance(heading) + 4 <= grid.columnWidth(c), qPrintable(heading));
        for (int r = 0; r < m->rowCount(); ++r) {
            const QModelIndex i = m->index(r, c);
            QVERIFY2(needed(grid, i) <= grid.columnWidth(c), qPrintable(i.data().toString()));
        }
    }
    if (grid.verticalHeader()->isVisible()) {
        QVERIFY(grid.verticalHeader()->width() >= grid.verticalHeader()->sizeHint().width());
        for (int r = 0; r < m->rowCount(); ++r) {
            const QString heading = m->headerData(r, Qt::Vertical).toString();
            QVERIFY2(fm.horizontalAdvance(heading) + 4 <= grid.verticalHeader()->width(),
                     qPrintable(heading));
        }
    }
    QVERIFY(grid.horizontalHeader()->length() <= grid.viewport()->width());
    QVERIFY(grid.verticalHeader()->length() <= grid.viewport()->height());
    QCOMPARE(grid.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(grid.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(grid.minimumHeight(), grid.maximumHeight());
}

}  // namespace

class FixedGridTest : public QObject {
    Q_OBJECT

  private slots:
    void columnsAreTheLayoutsWidthsWidenedToTheirTexts_data() {
        QTest::addColumn<int>("twips");
        QTest::addColumn<QString>("widest");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<bool>("hit");
        QTest::addColumn<bool>("boldTexts");
        QTest::addColumn<bool>("layoutGoverns");
        QTest::newRow("short texts keep the layout's width")
            << 900 << QStringLiteral("18") << QStringLiteral("1着") << QStringLiteral("12") << false
            << false << true;
        QTest::newRow("the text it is meant for widens it")
            << 200 << QStringLiteral("888,888") << QString() << QString() << false << false
            << false;
        QTest::newRow("a long heading widens it")
            << 200 << QString() << QStringLiteral("3着複勝払戻金額") << QString() << false << false
            << false;
        QTest::newRow("a text shown on making widens it")
            << 200 << QString() << QString() << QStringLiteral("13 - 15 - 18") << false << false
            << false;
        QTest::newRow("a hit shown on making is measured in bold")
            << 0 << QString() << QString() << QStringLiteral("WWWWWWWWWW") << true << false
            << false;
        QTest::newRow("a text that may be a hit is measured in bold")
            << 0 << QStringLiteral("WWWWWWWWWW") << QString() << QString() << false << true
            << false;
        QTest::newRow("no width in the layout")
            << 0 << QStringLiteral("18 - 18") << QStringLiteral("馬連") << QString() << false
            << false << false;
    }

    void columnsAreTheLayoutsWidthsWidenedToTheirTexts() {
        QFETCH(int, twips);
        QFETCH(QString, widest);
        QFETCH(QString, heading);
        QFETCH(QString, cell);
        QFETCH(bool, hit);
        QFETCH(bool, boldTexts);
        QFETCH(bool, layoutGoverns);

        QWidget window;
        TextGridModel model({heading, QStringLiteral("x")});
        model.setRowHeadings({QStringLiteral("1R"), QStringLiteral("12R")});
        model.setRows({{{cell, hit}, {}}});
        FixedGridSizing sizing;
        sizing.columnTwips = {twips};
        sizing.widest = {widest};
        sizing.boldTexts = boldTexts;
        // No more room than the check asks for, so that a text measured too narrow shows.
        sizing.textMargin = 4;
        QTableView* grid = makeFixedGrid(&window, QStringLiteral("grid"), &model, sizing);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const int layout = twipsToPixels(grid, twips);
        if (layoutGoverns) {
            QCOMPARE(grid->columnWidth(0), layout);
        } else {
            QVERIFY(grid->columnWidth(0) > layout);
        }
        QFont font = grid->font();
        font.setBold(boldTexts);
        QVERIFY(grid->columnWidth(0) >= QFontMetrics(font).horizontalAdvance(widest) + 4);
        checkShowsEverything(*grid);
        // The grid is as wide as its columns: no empty band on the right.
        QCOMPARE(grid->horizontalHeader()->length(), grid->viewport()->width());
        QCOMPARE(grid->minimumWidth(), grid->maximumWidth());
    }

    void rowsAreAsHighAsTheFontAndAllOnShow_data() {
        QTest::addColumn<bool>("columnHeadings");
        QTest::addColumn<bool>("rowHeadings");
        QTest::addColumn<int>("rowMargin");
        QTest::newRow("both headings") << true << true << 7;
        QTest::newRow("no column headings") << false << true << 7;
        QTest::newRow("no row headings, roomier rows") << true << false << 12;
    }

    void rowsAreAsHighAsTheFontAndAllOnShow() {
        QFETCH(bool, columnHeadings);
        QFETCH(bool, rowHeadings);
        QFETCH(int, rowMargin);

        QWidget window;
        TextGridModel model({QStringLiteral("単的中"), QStringLiteral("単回収")});
        model.setRowHeadings(
            {QStringLiteral("翠嶺"), QStringLiteral("碧渦"), QStringLiteral("とても長い行見出し")});
        FixedGridSizing sizing;
        sizing.columnHeadings = columnHeadings;
        sizing.rowHeadings = rowHeadings;
        sizing.rowMargin = rowMargin;
        QTableView* grid = makeFixedGrid(&window, QStringLiteral("grid"), &model, sizing);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const int rowHeight = grid->fontMetrics().height() + rowMargin;
        for (int r = 0; r < model.rowCount(); ++r) QCOMPARE(grid->rowHeight(r), rowHeight);
        QCOMPARE(grid->horizontalHeader()->isVisible(), columnHeadings);
        QCOMPARE(grid->verticalHeader()->isVisible(), rowHeadings);
        if (columnHeadings) QVERIFY(grid->horizontalHeader()->height() >= rowHeight);
        // Exactly the rows: no empty band underneath.
        const int headings = columnHeadings ? grid->horizontalHeader()->height() : 0;
        QCOMPARE(grid->height(), 2 * grid->frameWidth() + headings + model.rowCount() * rowHeight);
        checkShowsEverything(*grid);
    }

    void aStretchingGridSharesItsWidthButNeverCutsAColumn() {
        QWidget window;
        auto* layout = new QHBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        TextGridModel model(
            {QStringLiteral("単勝"), QStringLiteral("複勝"), QStringLiteral("枠連の的中と回収")});
        model.setRowHeadings({QStringLiteral("User")});
        FixedGridSizing sizing;
        sizing.widest = {QStringLiteral("0000%")};
        sizing.stretch = true;
        QTableView* grid = makeFixedGrid(&window, QStringLiteral("grid"), &model, sizing);
        layout->addWidget(grid);

        // At its least width every column still takes the widest one's room.
        window.resize(grid->minimumWidth(), 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        checkShowsEverything(*grid);

        // Given more, the columns share it alike.
        window.resize(grid->minimumWidth() + 300, 200);
        QTRY_VERIFY(grid->width() >= grid->minimumWidth() + 300);
        QTRY_COMPARE(grid->horizontalHeader()->length(), grid->viewport()->width());
        QVERIFY(qAbs(grid->columnWidth(0) - grid->columnWidth(2)) <= 1);
        checkShowsEverything(*grid);
    }

    void theGridOnlyShows() {
        QWidget window;
        TextGridModel model({QStringLiteral("a")});
        model.setRowHeadings({QStringLiteral("1")});
        QTableView* grid = makeFixedGrid(&window, QStringLiteral("resultsGrid"), &model, {});
        QCOMPARE(grid->objectName(), QStringLiteral("resultsGrid"));
        QCOMPARE(grid->selectionMode(), QAbstractItemView::NoSelection);
        QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(grid->focusPolicy(), Qt::NoFocus);
        QCOMPARE(grid->textElideMode(), Qt::ElideNone);
        QCOMPARE(grid->horizontalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
        QCOMPARE(grid->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    }

    void modelRowsAreTheHeadingsOrTheTextsWhicheverAreMore_data() {
        QTest::addColumn<QStringList>("headings");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("rowCount");
        QTest::newRow("a heading for every row") << QStringList{"1R", "2R"} << 2 << 2;
        QTest::newRow("headings without texts yet") << QStringList{"1R", "2R", "3R"} << 0 << 3;
        QTest::newRow("fewer texts than headings") << QStringList{"1R", "2R", "3R"} << 1 << 3;
        QTest::newRow("texts without headings") << QStringList{} << 4 << 4;
    }

    void modelRowsAreTheHeadingsOrTheTextsWhicheverAreMore() {
        QFETCH(QStringList, headings);
        QFETCH(int, rows);
        QFETCH(int, rowCount);

        TextGridModel model({QStringLiteral("１ 着"), QStringLiteral("連 率")});
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setRowHeadings(headings);
        std::vector<TextGridModel::Row> texts;
        for (int r = 0; r < rows; ++r) texts.push_back({{QString::number(r)}});
        model.setRows(texts);
        QCOMPARE(model.rowCount(), rowCount);
        for (int r = 0; r < rowCount; ++r) {
            QCOMPARE(model.headerData(r, Qt::Vertical).toString(), headings.value(r));
            QCOMPARE(model.index(r, 0).data().toString(),
                     r < rows ? QString::number(r) : QString());
            // A row cut short is blank past its end.
            QCOMPARE(model.index(r, 1).data().toString(), QString());
        }
    }

    void modelDrawsHitsGroupsAndAlignmentsAsTold() {
        TextGridModel model(
            {QStringLiteral("着"), QStringLiteral("買い目"), QStringLiteral("印"),
             QStringLiteral("着"), QStringLiteral("買い目"), QStringLiteral("印")},
            std::vector<Qt::Alignment>{Qt::AlignRight, Qt::AlignHCenter, Qt::AlignLeft,
                                       Qt::AlignRight, Qt::AlignHCenter, Qt::AlignLeft});
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setGroupWidth(3);
        model.setRows({{{"1"}, {"3 - 11", true}, {"的中2", true}, {"2"}, {"5 - 6"}, {""}}});

        const QColor hit(0xFF, 0xC0, 0xC0);
        const struct {
            int column;
            bool hit;
            bool shaded;
            Qt::Alignment alignment;
        } cases[] = {
            {0, false, true, Qt::AlignRight},    {1, true, false, Qt::AlignHCenter},
            {2, true, false, Qt::AlignLeft},     {3, false, true, Qt::AlignRight},
            {4, false, false, Qt::AlignHCenter}, {5, false, false, Qt::AlignLeft},
        };
        for (const auto& c : cases) {
            const QModelIndex i = model.index(0, c.column);
            QCOMPARE(i.data(TextGridModel::HitRole).toBool(), c.hit);
            QCOMPARE(i.data(Qt::FontRole).value<QFont>().bold(), c.hit);
            QCOMPARE(i.data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
                     c.alignment | Qt::AlignVCenter);
            const QVariant background = i.data(Qt::BackgroundRole);
            if (c.hit) {
                QCOMPARE(background.value<QBrush>().color(), hit);
            } else {
                QCOMPARE(background.isValid(), c.shaded);
                if (c.shaded) QVERIFY(background.value<QBrush>().color() != hit);
            }
        }
    }

    void modelKeepsItsShapeWhenOnlyTheTextsChange() {
        TextGridModel model({QStringLiteral("a"), QStringLiteral("b")});
        model.setGrid(TextGrid{{"本年", "前年"}, {{"1", "2"}, {"3", "4"}}});
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);

        model.setGrid(TextGrid{{"本年", "前年"}, {{"5", "6"}, {}}});
        QCOMPARE(resets.count(), 0);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("6"));
        QCOMPARE(model.index(1, 0).data().toString(), QString());

        // Other row headings or another number of rows are a new shape.
        model.setGrid(TextGrid{{"-1600", "1601-"}, {{"1"}, {"2"}}});
        QCOMPARE(resets.count(), 1);
        model.setGrid(TextGrid{{"-1600", "1601-", "合 計"}, {}});
        QCOMPARE(resets.count(), 2);
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.index(0, 0).data().toString(), QString());
    }
};

QTEST_MAIN(FixedGridTest)
#include "fixed_grid_test.moc"
