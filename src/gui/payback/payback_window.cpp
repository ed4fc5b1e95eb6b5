#include "gui/payback/payback_window.hpp"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

#include "core/shell/constants.hpp"
#include "core/shell/data_session.hpp"
#include "core/store/store.hpp"
#include "gui/common/fixed_grid.hpp"
#include "gui/common/text_grid_model.hpp"
#include "gui/common/user_dialogs.hpp"
#include "gui/common/window_services.hpp"

namespace zelvanor::gui {

namespace {

QString text(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QStringList raceLabels() {
    QStringList labels;
    for (int r = 1; r <= kPaybackRaces; ++r) labels << text(paybackRaceLabel(r));
    return labels;
}

QStringList personaHeadings(const PaybackSheet& sheet) {
    QStringList headings;
    for (const auto& p : sheet.personas) headings << text(p);
    return headings;
}

// The hit mark's ticket: 1 … 6 for "的中k", 0 for the win display's "的中", -1 for no hit.
int hitTicket(const std::string& mark) {
    static const std::string kHit = "的中";
    if (!mark.starts_with(kHit)) return -1;
    return mark.size() == kHit.size() ? 0 : std::stoi(mark.substr(kHit.size()));
}

// One radio button of an option group, named after the group with its index in it.
QRadioButton* addOption(QGroupBox* frame, const char* group, int index, const char* caption,
                        const char* tip) {
    auto* b = new QRadioButton(QString::fromUtf8(caption), frame);
    b->setObjectName(QString::fromLatin1(group) + QString::number(index));
    if (tip) b->setToolTip(QString::fromUtf8(tip));
    frame->layout()->addWidget(b);
    return b;
}

QGroupBox* optionFrame(QWidget* parent, const char* name, const char* caption) {
    auto* frame = new QGroupBox(QString::fromUtf8(caption), parent);
    frame->setObjectName(QString::fromLatin1(name));
    auto* column = new QVBoxLayout(frame);
    column->setContentsMargins(8, 2, 8, 4);
    column->setSpacing(2);
    return frame;
}

// A grid of the window: the widths of its layout in twips, widened where a text would not fit,
// a hit's bold included.
QTableView* buildGrid(QWidget* parent, const char* name, TextGridModel* model,
                      std::vector<int> twips, QStringList widest, int headerWidthTwips,
                      bool columnHeadings) {
    FixedGridSizing sizing;
    sizing.columnTwips = std::move(twips);
    sizing.widest = std::move(widest);
    sizing.rowHeadingTwips = headerWidthTwips;
    sizing.boldTexts = true;
    sizing.columnHeadings = columnHeadings;
    sizing.styleSheet = QStringLiteral(
        "QTableView { gridline-color: #B8B0A0; background: #FFFFFF; }"
        "QHeaderView::section { background: #E8E0D0; border: 0px; border-right: 1px solid #B8B0A0;"
        " border-bottom: 1px solid #B8B0A0; padding: 1px 3px; }");
    return makeFixedGrid(parent, QString::fromLatin1(name), model, sizing);
}

TextGridModel* newModel(QObject* parent, QStringList columnHeadings,
                        std::vector<Qt::Alignment> alignments, QStringList rowHeadings) {
    auto* model = new TextGridModel(std::move(columnHeadings), std::move(alignments), parent);
    model->setRowHeadings(std::move(rowHeadings));
    return model;
}

}  // namespace

PaybackWindow::PaybackWindow(WindowServices& main, PaybackSheet sheet, QWidget* parent)
    : QDialog(parent), main_(main), sheet_(std::move(sheet)) {
    setObjectName(QStringLiteral("PaybackWindow"));
    setWindowTitle(QStringLiteral("開催日別払戻情報（予想成績）"));

    heading_ = new QLabel(text(sheet_.heading), this);
    heading_->setObjectName(QStringLiteral("heading"));
    heading_->setTextFormat(Qt::PlainText);
    heading_->setStyleSheet(
        QStringLiteral("QLabel#heading { font-weight: bold; color: #000060; background: #F4F0E4;"
                       " border: 1px solid #B8B0A0; padding: 3px 8px; }"));

    // The results grid: the eleven result columns, then the personas' marks.
    QStringList resultHeadings;
    for (const auto h : kPaybackResultHeadings) resultHeadings << text(h);
    resultHeadings << personaHeadings(sheet_);
    std::vector<Qt::Alignment> resultAlign(resultHeadings.size(), Qt::AlignRight);
    resultAlign[kBracketPair] = resultAlign[kQuinellaPair] = Qt::AlignHCenter;
    for (int p = 0; p < kPersonaCount; ++p)
        resultAlign[kPaybackResultColumns + p] = Qt::AlignHCenter;
    results_ = newModel(this, resultHeadings, resultAlign, raceLabels());
    const std::vector<int> resultTwips = {400, 400, 400, 550, 550, 550, 550,
                                          600, 600, 600, 600, 600, 600, 600};
    resultsGrid_ =
        buildGrid(this, "resultsGrid", results_, resultTwips,
                  {QStringLiteral("18"), QStringLiteral("18"), QStringLiteral("18"),
                   QStringLiteral("88,888"), QStringLiteral("88,888"), QStringLiteral("88,888"),
                   QStringLiteral("88,888"), QStringLiteral("8 - 8"), QStringLiteral("88,888"),
                   QStringLiteral("18 - 18"), QStringLiteral("888,888"), QStringLiteral("的中6"),
                   QStringLiteral("的中6"), QStringLiteral("的中6")},
                  0, true);

    // The picks grid: per persona the first pick and six tickets. Its fixed row would be blank:
    // the persona captions over each group take its place, and the race labels keep the rows
    // readable so far below the results.
    picks_ =
        newModel(this, QStringList(kPersonaCount * kPaybackPickColumns, QString()),
                 std::vector<Qt::Alignment>(kPersonaCount * kPaybackPickColumns, Qt::AlignHCenter),
                 raceLabels());
    // The first pick of each persona's group is shaded, to tell the groups apart.
    picks_->setGroupWidth(kPaybackPickColumns);
    std::vector<int> pickTwips;
    QStringList pickWidest;
    for (int p = 0; p < kPersonaCount; ++p) {
        pickTwips.push_back(200);
        pickWidest << QStringLiteral("18");
        for (int k = 0; k < kPaybackTickets; ++k) {
            pickTwips.push_back(600);
            pickWidest << QStringLiteral("18 - 18");
        }
    }
    picksGrid_ = buildGrid(this, "picksGrid", picks_, pickTwips, pickWidest, 0, false);

    totals_ = newModel(this, personaHeadings(sheet_),
                       std::vector<Qt::Alignment>(kPersonaCount, Qt::AlignRight), [] {
                           QStringList labels;
                           for (const auto l : kPaybackTotalLabels) labels << text(l);
                           return labels;
                       }());
    totalsGrid_ = buildGrid(
        this, "totalsGrid", totals_, {600, 600, 600},
        {QStringLiteral("1000%"), QStringLiteral("1000%"), QStringLiteral("1000%")}, 600, true);

    backButton_ = new QPushButton(QStringLiteral("戻る"), this);
    backButton_->setObjectName(QStringLiteral("backButton"));
    backButton_->setMinimumSize(88, 28);
    connect(backButton_, &QPushButton::clicked, this, &PaybackWindow::goBack);

    // Results with the options and totals beside them, the picks underneath, race for race in
    // the same order.
    auto* side = new QVBoxLayout;
    side->setSpacing(6);
    side->addWidget(buildOptions());
    auto* totalsCaption = new QLabel(QStringLiteral("予想成績"), this);
    totalsCaption->setStyleSheet(QStringLiteral("font-weight: bold;"));
    side->addWidget(totalsCaption);
    side->addWidget(totalsGrid_, 0, Qt::AlignLeft);
    side->addStretch(1);
    side->addWidget(backButton_, 0, Qt::AlignRight);

    auto* outer = new QGridLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->setHorizontalSpacing(10);
    outer->setVerticalSpacing(6);
    outer->addWidget(heading_, 0, 0, 1, 2);
    outer->addWidget(resultsGrid_, 1, 0, Qt::AlignLeft | Qt::AlignTop);
    outer->addLayout(side, 1, 1);
    auto* picksBox = new QVBoxLayout;
    picksBox->setSpacing(0);
    picksBox->addWidget(buildPickCaptions());
    picksBox->addWidget(picksGrid_);
    outer->addLayout(picksBox, 2, 0, 1, 2, Qt::AlignLeft);

    showHitMarks();
    setTotals();

    adjustSize();
    setFixedSize(size());
    const QScreen* screen = parent ? parent->screen() : this->screen();
    if (screen) move(screen->availableGeometry().center() - rect().center());
}

QWidget* PaybackWindow::buildOptions() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(6);

    QGroupBox* stakesFrame = optionFrame(box, "stakesFrame", "連勝買い方");
    stakes_ = {addOption(stakesFrame, "stakeOption", 0, "均等買い", "買い目を全て１００円で買う"),
               addOption(stakesFrame, "stakeOption", 1, "指数比例買い", "買う金額に重みを付ける")};
    QGroupBox* ticketsFrame = optionFrame(box, "ticketsFrame", "連勝買い点数");
    tickets_ = {addOption(ticketsFrame, "ticketOption", 0, "１点買い", "指数の上位１点のみ"),
                addOption(ticketsFrame, "ticketOption", 1, "３点買い",
                          "上位３点買い：比例買いの場合　３００円・２００円・１００円で買う"),
                addOption(ticketsFrame, "ticketOption", 2, "６点買い",
                          "指数の上位６点：比例買いの場合　３００円・２００円・２００円・１００円・"
                          "１００円・１００円で買う")};
    QGroupBox* rangesFrame = optionFrame(box, "rangesFrame", "レース選択");
    ranges_ = {addOption(rangesFrame, "rangeOption", 0, "全レース対象", nullptr),
               addOption(rangesFrame, "rangeOption", 1, "午後のレース", "６Ｒ～１２Ｒまで"),
               addOption(rangesFrame, "rangeOption", 2, "特別＆メイン", "８・９・１０・１１Ｒ")};
    QGroupBox* markKindsFrame = optionFrame(box, "markKindsFrame", "的中表示");
    markKinds_ = {addOption(markKindsFrame, "markKindOption", 0, "単勝", nullptr),
                  addOption(markKindsFrame, "markKindOption", 1, "連勝", nullptr)};
    for (QGroupBox* f : {stakesFrame, markKindsFrame})
        static_cast<QVBoxLayout*>(f->layout())->addStretch(1);

    stakes_[0]->setChecked(true);
    tickets_[2]->setChecked(true);
    ranges_[0]->setChecked(true);
    markKinds_[1]->setChecked(true);

    grid->addWidget(stakesFrame, 0, 0);
    grid->addWidget(ticketsFrame, 0, 1);
    grid->addWidget(rangesFrame, 1, 0);
    grid->addWidget(markKindsFrame, 1, 1);

    // Only the button being selected acts: each click also unselects another one.
    const auto onSelect = [this](QRadioButton* b, void (PaybackWindow::*action)()) {
        connect(b, &QRadioButton::toggled, this, [this, action](bool on) {
            if (on) (this->*action)();
        });
    };
    for (QRadioButton* b : stakes_) onSelect(b, &PaybackWindow::setTotals);
    for (QRadioButton* b : tickets_) onSelect(b, &PaybackWindow::setTotals);
    for (QRadioButton* b : ranges_) onSelect(b, &PaybackWindow::setTotals);
    for (QRadioButton* b : markKinds_) onSelect(b, &PaybackWindow::showHitMarks);
    return box;
}

QWidget* PaybackWindow::buildPickCaptions() {
    // Above each persona's seven columns, whose picks they are, drawn as the grid's heading.
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(picksGrid_->frameWidth() + picksGrid_->verticalHeader()->width(), 0, 0, 0);
    layout->setSpacing(0);
    const QHeaderView* columns = picksGrid_->horizontalHeader();
    for (int p = 0; p < kPersonaCount; ++p) {
        int width = 0;
        for (int k = 0; k < kPaybackPickColumns; ++k) {
            width += columns->sectionSize(p * kPaybackPickColumns + k);
        }
        auto* caption = new QLabel(
            text(sheet_.personas[static_cast<std::size_t>(p)]) + QStringLiteral("の買い目"), row);
        caption->setObjectName(QStringLiteral("pickCaption") + QString::number(p));
        caption->setFixedWidth(width);
        caption->setAlignment(Qt::AlignCenter);
        caption->setStyleSheet(QStringLiteral(
            "background: #E8E0D0; border: 1px solid #B8B0A0; border-bottom: 0px;"
            " border-left: 0px; padding: 1px 3px; font-weight: bold; color: #000060;"));
        layout->addWidget(caption);
    }
    layout->addStretch(1);
    return row;
}

PaybackOptions PaybackWindow::options() const {
    PaybackOptions o;
    o.stakes = stakes_[1]->isChecked() ? PaybackStakes::Weighted : PaybackStakes::Equal;
    o.tickets = tickets_[0]->isChecked() ? 1 : tickets_[1]->isChecked() ? 3 : 6;
    o.range = ranges_[1]->isChecked()   ? PaybackRange::Afternoon
              : ranges_[2]->isChecked() ? PaybackRange::Main
                                        : PaybackRange::All;
    o.marks = markKinds_[0]->isChecked() ? PaybackMarks::Win : PaybackMarks::Pair;
    return o;
}

void PaybackWindow::showHitMarks() {
    marks_ = paybackMarks(sheet_, options());
    std::vector<TextGridModel::Row> resultRows, pickRows;
    for (std::size_t r = 0; r < sheet_.races.size(); ++r) {
        const PaybackRace& race = sheet_.races[r];
        TextGridModel::Row results, picks;
        for (const auto& cell : race.results) results.push_back({text(cell)});
        for (std::size_t p = 0; p < race.picks.size(); ++p) {
            const std::string& mark = marks_[r][p];
            results.push_back({text(mark), hitTicket(mark) >= 0});
            for (std::size_t k = 0; k < race.picks[p].size(); ++k) {
                picks.push_back({text(race.picks[p][k]), hitTicket(mark) == static_cast<int>(k)});
            }
        }
        resultRows.push_back(std::move(results));
        pickRows.push_back(std::move(picks));
    }
    results_->setRows(std::move(resultRows));
    picks_->setRows(std::move(pickRows));
}

void PaybackWindow::setTotals() {
    showHitMarks();
    const PaybackTotalCells totals = paybackTotals(sheet_, options());
    std::vector<TextGridModel::Row> rows;
    for (const auto& row : totals) {
        TextGridModel::Row cells;
        for (const auto& cell : row) cells.push_back({text(cell)});
        rows.push_back(std::move(cells));
    }
    totals_->setRows(std::move(rows));
}

void PaybackWindow::goBack() {
    close();
    main_.restoreMainWindow();
    main_.enableRaceDayCommands();
}

void openPayback(WindowServices& main, const Meeting& meeting, QWidget* parent) {
    std::optional<PaybackSheet> sheet;
    const bool read = main.guarded([&] {
        const std::string userName = personaName(readConstants(main.session().mast()));
        sheet = readPayback(main.session().tran(), meeting, userName);
    });
    if (!read) return;
    if (!sheet) {
        dialogs().message(parent, text(paybackMissingText(meeting)), QString::fromLatin1(kAppTitle),
                          UserDialogs::Icon::Exclamation);
        return;
    }
    auto* window = new PaybackWindow(main, std::move(*sheet), parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
}

}  // namespace zelvanor::gui
