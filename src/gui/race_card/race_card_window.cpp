#include "gui/race_card/race_card_window.hpp"

#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTabBar>
#include <QTableView>
#include <QVBoxLayout>

#include "core/shell/constants.hpp"
#include "core/shell/data_session.hpp"
#include "core/store/store.hpp"
#include "gui/common/display_text.hpp"
#include "gui/common/fixed_window.hpp"
#include "gui/common/window_services.hpp"
#include "gui/horse/horse_detail_window.hpp"
#include "gui/race_card/persona_frame.hpp"
#include "gui/race_card/runner_grid_model.hpp"

namespace zelvanor::gui {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// A sunken panel holding one text of the header.
QLabel* panel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// The widest of the texts a column shows, and its heading's.
int columnWidth(const QFontMetrics& fm, const QFontMetrics& bold, std::initializer_list<QString> texts) {
    int width = 0;
    for (const QString& t : texts) {
        width = std::max({width, fm.horizontalAdvance(t), bold.horizontalAdvance(t)});
    }
    return width + 10;
}

}  // namespace

RaceCardWindow::RaceCardWindow(WindowServices& main, Meeting meeting, QWidget* parent)
    : QWidget(parent), main_(main), mainAlive_(main.lifetime()), meeting_(std::move(meeting)) {
    setObjectName(QStringLiteral("RaceCardWindow"));
    setWindowTitle(QStringLiteral("出馬表"));
    main_.setRaceCardOpen(true);
    buildWindow();

    main_.guarded([&] {
        Database& mast = main_.session().mast();
        if (!mast.hasTable(kConstantsTable)) createConstantsTable(mast);
        userName_ = personaName(readConstants(mast));
    });
    // The headings and captions that carry the user's name, before any race is shown.
    const RaceForecast none = forecastRace({}, true, userName_);
    model_->setPersonas(none.personas);
    for (std::size_t p = 0; p < personaFrames_.size(); ++p) {
        personaFrames_[p]->setCaption(q(none.personas[p].caption));
    }

    fillCourses();

    const struct {
        QKeySequence keys;
        int step;
    } raceKeys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
        // Shift turns Tab into Backtab on the way in; both spellings are caught.
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1},
    };
    for (const auto& k : raceKeys) {
        auto* shortcut = new QShortcut(k.keys, this);
        const int step = k.step;
        connect(shortcut, &QShortcut::activated, this, [this, step] { stepRace(step); });
    }
    // The course selector first: the arrow keys go through the day's courses at once.
    courseBox_->setFocus(Qt::OtherFocusReason);

    adjustSize();
    // The grid is always eighteen rows of fixed columns: room beyond this would only stretch the
    // header's panels into empty boxes.
    keepWindowSize(this);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void RaceCardWindow::stepRace(int step) {
    const int count = raceTabs_->count();
    if (count == 0) return;
    raceTabs_->setCurrentIndex((raceTabs_->currentIndex() + step + count) % count);
}

void RaceCardWindow::buildWindow() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(buildHeader());

    raceTabs_ = new QTabBar(this);
    raceTabs_->setObjectName(QStringLiteral("raceTabs"));
    raceTabs_->setExpanding(false);
    raceTabs_->setDrawBase(true);
    connect(raceTabs_, &QTabBar::currentChanged, this, &RaceCardWindow::setRace);
    layout->addWidget(raceTabs_);

    layout->addWidget(buildTitleRow());
    buildGrid();
    layout->addWidget(grid_, 0, Qt::AlignLeft);

    bottomRow_ = new QHBoxLayout;
    bottomRow_->setSpacing(6);
    for (int p = 0; p < kPersonaCount; ++p) {
        personaFrames_[static_cast<std::size_t>(p)] = new PersonaFrame(p, this);
        bottomRow_->addWidget(personaFrames_[static_cast<std::size_t>(p)], 0, Qt::AlignTop);
    }
    buildResultFrame();
    bottomRow_->addStretch(1);
    layout->addLayout(bottomRow_);
}

QWidget* RaceCardWindow::buildHeader() {
    auto* header = new QWidget(this);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);

    courseBox_ = new QComboBox(header);
    courseBox_->setObjectName(QStringLiteral("courseBox"));
    courseBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(courseBox_, &QComboBox::currentIndexChanged, this, &RaceCardWindow::courseChanged);
    row->addWidget(courseBox_);

    dayLine_ = panel(header, "dayLine");
    dayLine_->setMinimumWidth(dayLine_->fontMetrics().horizontalAdvance(
                                  QStringLiteral("4 回 12 日目   98 年 10 月 30 日 （土曜日）")) +
                              16);
    row->addWidget(dayLine_);

    goingButton_ = new QPushButton(QStringLiteral("良"), header);
    goingButton_->setObjectName(QStringLiteral("goingButton"));
    goingButton_->setStyleSheet(QStringLiteral("font-weight: bold;"));
    goingButton_->setFixedWidth(goingButton_->fontMetrics().horizontalAdvance(QStringLiteral("重")) + 28);
    connect(goingButton_, &QPushButton::clicked, this, &RaceCardWindow::toggleGoing);
    row->addWidget(goingButton_);

    distance_ = panel(header, "distance");
    distance_->setMinimumWidth(
        distance_->fontMetrics().horizontalAdvance(QStringLiteral("3200mダート・右 ")) + 12);
    row->addWidget(distance_);

    pace_ = new QLabel(header);
    pace_->setObjectName(QStringLiteral("pace"));
    verdict_ = new QLabel(header);
    verdict_->setObjectName(QStringLiteral("verdict"));
    for (QLabel* l : {pace_, verdict_}) {
        l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("ペースＭ")) + 12);
        l->setAlignment(Qt::AlignCenter);
    }
    pace_->setStyleSheet(QStringLiteral("font-weight: bold; color: #004080;"));
    verdict_->setStyleSheet(QStringLiteral("font-weight: bold; color: #C00000;"));
    row->addWidget(pace_);
    row->addWidget(verdict_);
    row->addStretch(1);

    backButton_ = new QPushButton(QStringLiteral("戻る"), header);
    backButton_->setObjectName(QStringLiteral("backButton"));
    connect(backButton_, &QPushButton::clicked, this, [this] {
        close();
        main_.restoreMainWindow();
    });
    row->addWidget(backButton_);
    return header;
}

QWidget* RaceCardWindow::buildTitleRow() {
    auto* titleRow = new QWidget(this);
    auto* row = new QHBoxLayout(titleRow);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);

    auto* caption = new QLabel(QStringLiteral("発走"), titleRow);
    caption->setObjectName(QStringLiteral("postTimeCaption"));
    caption->setAlignment(Qt::AlignCenter);
    caption->setStyleSheet(QStringLiteral(
        "background: #804000; color: #FFFFFF; font-weight: bold; padding: 2px 6px;"));
    postTime_ = panel(titleRow, "postTime");
    postTime_->setStyleSheet(QStringLiteral("font-weight: bold;"));
    postTime_->setFixedWidth(postTime_->fontMetrics().horizontalAdvance(QStringLiteral("15:25")) + 20);
    caption->setFixedHeight(postTime_->sizeHint().height());
    row->addWidget(caption, 0, Qt::AlignVCenter);
    row->addWidget(postTime_, 0, Qt::AlignVCenter);

    title_ = panel(titleRow, "raceTitle");
    title_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    title_->setStyleSheet(
        QStringLiteral("QLabel#raceTitle { font-weight: bold; color: #000060; background: #F4F0E4;"
                       " padding: 2px 8px; }"));
    title_->setMinimumHeight(2 * title_->fontMetrics().lineSpacing() + 10);
    row->addWidget(title_, 1);
    return titleRow;
}

void RaceCardWindow::buildGrid() {
    model_ = new RunnerGridModel(this);
    grid_ = new QTableView(this);
    grid_->setObjectName(QStringLiteral("runnerGrid"));
    grid_->setModel(model_);
    grid_->setSelectionMode(QAbstractItemView::NoSelection);
    grid_->setFocusPolicy(Qt::NoFocus);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setWordWrap(false);
    grid_->setTextElideMode(Qt::ElideNone);
    grid_->setCornerButtonEnabled(false);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setStyleSheet(QStringLiteral(
        "QTableView { gridline-color: #B8B0A0; background: #FFFFFF; }"
        "QHeaderView::section { background: #E8E0D0; border: 0px; border-right: 1px solid #B8B0A0;"
        " border-bottom: 1px solid #B8B0A0; padding: 1px 2px; }"));
    grid_->verticalHeader()->hide();
    connect(grid_, &QTableView::pressed, this, &RaceCardWindow::horseNamePressed);

    QFont boldFont = grid_->font();
    boldFont.setBold(true);
    const QFontMetrics fm(grid_->font());
    const QFontMetrics bold(boldFont);
    const int rowHeight = fm.height() + 6;
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->verticalHeader()->setDefaultSectionSize(rowHeight);
    grid_->verticalHeader()->setMinimumSectionSize(rowHeight);

    QHeaderView* header = grid_->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setFixedHeight(fm.height() + 8);
    connect(header, &QHeaderView::sectionClicked, this, &RaceCardWindow::headingClicked);

    using C = RunnerGridModel;
    const QString wideName = QStringLiteral(" ") + QString(10, QChar(0x30B5));  // サ × 10
    std::array<int, C::ColumnCount> widths{};
    widths[C::Bracket] = columnWidth(fm, bold, {QStringLiteral("枠"), QStringLiteral("8")}) + 4;
    widths[C::Number] = columnWidth(fm, bold, {QStringLiteral("馬"), QStringLiteral("18")}) + 4;
    widths[C::Name] = columnWidth(fm, bold, {QStringLiteral("馬      名"), wideName});
    widths[C::Weight] = columnWidth(fm, bold, {QStringLiteral("重量"), QStringLiteral("58.0")});
    widths[C::Sex] = columnWidth(fm, bold, {QStringLiteral("性"), QStringLiteral("ｾﾝ")});
    widths[C::Age] = columnWidth(fm, bold, {QStringLiteral("齢"), QStringLiteral(" 10")});
    widths[C::Person] = columnWidth(fm, bold, {QStringLiteral("調教師"), QStringLiteral("藤沢和雄")});
    widths[C::Allowance] = columnWidth(fm, bold, {QStringLiteral("見"), QStringLiteral("西")});
    widths[C::Class] = columnWidth(
        fm, bold, {QStringLiteral("ﾛｰﾃｰｼｮﾝ"), QStringLiteral("１ヶ月半"), QStringLiteral("格上初戦")});
    widths[C::Style] = columnWidth(fm, bold, {QStringLiteral("脚質"), QStringLiteral("先行")});
    widths[C::Index] = columnWidth(fm, bold, {QStringLiteral("指数"), QStringLiteral("100.0")});
    for (int p = C::FirstMark; p <= C::LastMark; ++p) {
        widths[static_cast<std::size_t>(p)] =
            columnWidth(fm, bold, {QStringLiteral("翠嶺"), QStringLiteral("User")});
    }
    widths[C::Corner] = columnWidth(fm, bold, {QStringLiteral("3角"), QStringLiteral("10")});
    widths[C::SIndex] = columnWidth(fm, bold, {QStringLiteral("Ｓ指数"), QStringLiteral("100.0")});
    widths[C::AnaIndex] = columnWidth(fm, bold, {QStringLiteral("穴指数"), QStringLiteral("100.0")});
    int total = 0;
    for (int c = 0; c < C::ColumnCount; ++c) {
        header->resizeSection(c, widths[static_cast<std::size_t>(c)]);
        total += widths[static_cast<std::size_t>(c)];
    }
    const int frame = 2 * grid_->frameWidth();
    // Always eighteen rows high, so that the window keeps its shape from race to race.
    grid_->setFixedSize(total + frame, header->height() + kRaceCardLines * rowHeight + frame);
}

void RaceCardWindow::fillCourses() {
    main_.guarded([&] { courses_ = sameDayCourses(main_.session().tran(), meeting_); });
    int current = -1;
    {
        const QSignalBlocker block(courseBox_);
        courseBox_->clear();
        for (std::size_t k = 0; k < courses_.size(); ++k) {
            courseBox_->addItem(q(courses_[k].label));
            if (courses_[k].meeting.raceTable == meeting_.raceTable) current = static_cast<int>(k);
        }
        courseBox_->setCurrentIndex(current);
    }
    if (current >= 0) courseChanged(current);
}

void RaceCardWindow::courseChanged(int index) {
    if (index < 0 || index >= static_cast<int>(courses_.size())) return;
    meeting_ = courses_[static_cast<std::size_t>(index)].meeting;
    setRaceTabs();
}

void RaceCardWindow::setRaceTabs() {
    MeetingRaces races;
    if (!main_.guarded([&] { races = meetingRaces(main_.session().tran(), meeting_); })) return;
    tabs_ = std::move(races.tabs);
    dayLine_->setText(q(races.dayLine));
    {
        const QSignalBlocker block(raceTabs_);
        while (raceTabs_->count() > 0) raceTabs_->removeTab(0);
        for (std::size_t k = 0; k < tabs_.size(); ++k) {
            raceTabs_->addTab(q(tabs_[k].caption));
            raceTabs_->setTabToolTip(static_cast<int>(k), displayText(tabs_[k].tooltip));
        }
        raceTabs_->setCurrentIndex(0);
    }
    setRace(raceTabs_->currentIndex());
}

void RaceCardWindow::setRace(int index) {
    if (index < 0 || index >= static_cast<int>(tabs_.size())) return;
    std::optional<RaceCard> card;
    main_.guarded([&] {
        card = readRaceCard(main_.session().tran(), meeting_,
                            tabs_[static_cast<std::size_t>(index)].raceNumber, userName_);
    });
    if (card) showCard(*card);
}

void RaceCardWindow::showCard(const RaceCard& card) {
    raceNo_ = card.race.bango;
    goingButton_->setText(q(card.going));
    postTime_->setText(q(card.postTime));
    distance_->setText(q(card.distanceAndTrack));
    title_->setText(displayText(card.title));

    model_->setLines(card.lines);
    model_->setPersonas(card.forecast.personas);
    for (int row = 0; row < kRaceCardLines; ++row) {
        grid_->setRowHidden(row, !card.lines[static_cast<std::size_t>(row)].shown);
    }
    showResult(card);
    for (std::size_t p = 0; p < personaFrames_.size(); ++p) {
        personaFrames_[p]->showForecast(card.forecast.personas[p]);
    }
    showResultPairs(0);
    pace_->setText(q(card.forecast.pace));
    verdict_->setText(q(card.forecast.verdict));
}

void RaceCardWindow::toggleGoing() {
    if (raceNo_ == 0) return;
    // The button shows the going of the race on show; the other one is stored.
    const bool good = goingButton_->text() != QStringLiteral("良");
    bool stored = false;
    main_.guarded(
        [&] { stored = storeRaceGoing(main_.session().tran(), meeting_, raceNo_, good); });
    if (stored) setRace(raceTabs_->currentIndex());
}

void RaceCardWindow::headingClicked(int section) {
    if (section == RunnerGridModel::Person) model_->setShowsTrainers(!model_->showsTrainers());
    if (section == RunnerGridModel::Class) model_->setShowsRotation(!model_->showsRotation());
}

void RaceCardWindow::horseNamePressed(const QModelIndex& index) {
    if (index.column() != RunnerGridModel::Name ||
        !(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
        return;
    }
    const RunnerLine& line = model_->line(index.row());
    if (line.hasEntry) openHorseDetail(main_, meeting_, raceNo_, line.umacode, this);
}

void RaceCardWindow::closeEvent(QCloseEvent* event) {
    if (!mainAlive_.expired()) main_.setRaceCardOpen(false);
    QWidget::closeEvent(event);
}

}  // namespace zelvanor::gui
