#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QtTest>

#include "../core/race_card_fixture.hpp"
#include "core/store/store.hpp"
#include "core/views/meetings.hpp"
#include "gui/race_card/persona_frame.hpp"
#include "gui/race_card/race_card_window.hpp"
#include "gui/race_card/runner_grid_model.hpp"
#include "gui/shell/main_window.hpp"
#include "recording_dialogs.hpp"
#include "sample_weekend.hpp"

using namespace zelvanor;
using namespace zelvanor::gui;
using Grid = RunnerGridModel;

namespace {

// Two meetings of one day, made by hand. Tokyo: race 1 has 12 runners, race 2 counts 5 runners
// but holds 3 entries, race 3 is a field of five that no verdict rule fits. Nakayama: 2 races.
const MeetingTables kTokyo = meetingTables("05", "90", "01", "06");
const MeetingTables kNakayama = meetingTables("06", "90", "01", "06");

// The bracket of horse k (1-based) in a field of 12.
constexpr int kBrackets12[] = {1, 2, 3, 4, 5, 5, 6, 6, 7, 7, 8, 8};

std::string code(int race, int k) {
    return "90" + std::to_string(race) + "000" + (k < 10 ? "0" : "") + std::to_string(k);
}

void makeHandMadeMeetings(Database& tran) {
    using namespace fixture;
    makeMeeting(tran, "05", "90", "01", "06");
    makeMeeting(tran, "06", "90", "01", "06");

    std::vector<std::string> twelve;
    for (int k = 1; k <= 12; ++k) {
        addRunner(tran, kTokyo, code(1, k), 90 - 2.5 * k, 70 - k, 50 + k,
                  {{"NameKisi", "騎手" + std::to_string(k)},
                   {"NameChok", "師" + std::to_string(k)},
                   {"touzaiChok", std::string("東")},
                   {"TokuseiShisuu", 11.0},
                   {"OmoTokuseiShisuu", 7.0}});
        twelve.push_back(runnerEntry(kBrackets12[k - 1], code(1, k)));
    }
    addRace(tran, kTokyo, 1, twelve);

    std::vector<std::string> fewer;
    for (int k = 1; k <= 3; ++k) {
        addRunner(tran, kTokyo, code(2, k), 60 + k, 60, 60);
        fewer.push_back(runnerEntry(k, code(2, k)));
    }
    fewer.push_back("");
    addRace(tran, kTokyo, 2, fewer, {{"tousuu", std::string("05")}});

    std::vector<std::string> five;
    for (int k = 1; k <= 5; ++k) {
        addRunner(tran, kTokyo, code(3, k), 82 - 2 * k, 60, 60);
        five.push_back(runnerEntry(k, code(3, k)));
    }
    addRace(tran, kTokyo, 3, five);

    for (int race = 1; race <= 2; ++race) {
        std::vector<std::string> three;
        for (int k = 1; k <= 3; ++k) {
            addRunner(tran, kNakayama, code(race + 4, k), 70 - k, 60, 60);
            three.push_back(runnerEntry(k, code(race + 4, k)));
        }
        addRace(tran, kNakayama, race, three);
    }
}

void clickHeading(QTableView* grid, int section) {
    QHeaderView* header = grid->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace

class RaceCardTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<fixture::ArchivedWeekend> weekend_;
    const AppPaths* paths_ = nullptr;

    template <typename T>
    static T* child(QWidget& w, const char* name) {
        auto* found = w.findChild<T*>(QString::fromLatin1(name));
        if (!found) qFatal("no widget %s", name);
        return found;
    }

    static QString cell(RaceCardWindow& card, int row, int column, int role = Qt::DisplayRole) {
        const Grid* m = card.gridModel();
        return m->data(m->index(row, column), role).toString();
    }

    std::int64_t storedGoing(MainWindow& main, const MeetingTables& m, int race) {
        auto st = main.session().tran().prepare("SELECT RyoOmo FROM " + quoteIdentifier(m.race) +
                                                " WHERE bango = ?1");
        st.bind(1, std::int64_t{race});
        return st.step() ? st.int64(0) : -1;
    }

  private slots:
    void initTestCase() {
        weekend_ = std::make_unique<fixture::ArchivedWeekend>();
        paths_ = &weekend_->paths();
        Database tran(paths_->tranPath());
        makeHandMadeMeetings(tran);
    }

    void opensOnTheFirstRaceWithTabsAndCourses() {
        RecordingDialogs dialogs;
        MainWindow main(*paths_);
        RaceCardWindow card(main, meetingOf(kTokyo.race));
        QCOMPARE(card.windowTitle(), QStringLiteral("出馬表"));
        auto* tabs = child<QTabBar>(card, "raceTabs");
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabText(0), QStringLiteral(" 1R"));
        QCOMPARE(tabs->tabText(2), QStringLiteral(" 3R"));
        QCOMPARE(tabs->tabToolTip(0),
                 QStringLiteral("   1Ｒ  テスト特別\n　　　　　サラ系 ４歳上・ 1000万下（ハンデ）"));
        QCOMPARE(card.raceNo(), 1);
        QCOMPARE(child<QLabel>(card, "dayLine")->text(),
                 QStringLiteral("4 回 1 日目   90 年 1 月 6 日 （土曜日）"));
        QCOMPARE(child<QLabel>(card, "raceTitle")->text(), tabs->tabToolTip(0));
        QCOMPARE(child<QLabel>(card, "postTime")->text(), QStringLiteral("15:25"));
        QCOMPARE(child<QLabel>(card, "distance")->text(), QStringLiteral("1600m芝・右 "));
        QCOMPARE(child<QPushButton>(card, "goingButton")->text(), QStringLiteral("良"));
        QCOMPARE(child<QPushButton>(card, "backButton")->text(), QStringLiteral("戻る"));
        auto* courses = child<QComboBox>(card, "courseBox");
        QCOMPARE(courses->count(), 2);
        QCOMPARE(courses->itemText(0), QStringLiteral("東京"));
        QCOMPARE(courses->itemText(1), QStringLiteral("中山"));
        QCOMPARE(courses->currentIndex(), 0);
        QVERIFY(dialogs.shown.empty());
    }

    void twelveRunnersHideRowsThirteenToEighteenInBracketColours() {
        MainWindow main(*paths_);
        RaceCardWindow card(main, meetingOf(kTokyo.race));
        auto* grid = child<QTableView>(card, "runnerGrid");
        QCOMPARE(card.gridModel()->rowCount(), 18);
        for (int row = 0; row < 18; ++row) QCOMPARE(grid->isRowHidden(row), row >= 12);

        const auto colours = [&](int row) {
            const Grid* m = card.gridModel();
            const QModelIndex i = m->index(row, Grid::Bracket);
            return std::pair{m->data(i, Qt::BackgroundRole).value<QBrush>().color(),
                             m->data(i, Qt::ForegroundRole).value<QBrush>().color()};
        };
        QCOMPARE(cell(card, 1, Grid::Bracket), QStringLiteral("2"));
        QCOMPARE(colours(1), (std::pair{QColor("#000000"), QColor("#FFFFFF")}));
        QCOMPARE(cell(card, 3, Grid::Bracket), QStringLiteral("4"));
        QCOMPARE(colours(3), (std::pair{QColor("#0000FF"), QColor("#FFFFFF")}));
        QCOMPARE(colours(2), (std::pair{QColor("#FF0000"), QColor("#000000")}));
        const Grid* m = card.gridModel();
        for (int column : {Grid::Corner, Grid::SIndex, Grid::AnaIndex}) {
            QCOMPARE(m->data(m->index(0, column), Qt::BackgroundRole).value<QBrush>().color(),
                     QColor("#FFFFC0"));
        }
        // 翠嶺 ranks horse 1 first; the user persona horse 12.
        QCOMPARE(cell(card, 0, Grid::FirstMark), QStringLiteral("◎"));
        QCOMPARE(cell(card, 11, Grid::FirstMark + 2), QStringLiteral("◎"));
        QCOMPARE(cell(card, 0, Grid::Name, Grid::UnderlyingDataRole), QString::fromStdString(code(1, 1)));
    }

    void headingsAndPersonaFramesCarryTheUsersName() {
        {
            Database mast(paths_->mastPath());
            mast.prepare("UPDATE \"定数\" SET UserName = 'まさ' WHERE ID = 1").run();
        }
        MainWindow main(*paths_);
        RaceCardWindow card(main, meetingOf(kTokyo.race));
        const Grid* m = card.gridModel();
        QStringList headings;
        for (int c = 0; c < Grid::ColumnCount; ++c) {
            headings << m->headerData(c, Qt::Horizontal).toString();
        }
        QCOMPARE(headings, (QStringList{"枠", "馬", "馬      名", "重量", "性", "齢", "騎手", "見",
                                        "クラス", "脚質", "指数", "翠嶺", "碧渦", "まさ", "3角",
                                        "Ｓ指数", "穴指数"}));
        const auto tip = [&](int c) { return m->headerData(c, Qt::Horizontal, Qt::ToolTipRole).toString(); };
        QCOMPARE(tip(Grid::FirstMark), QStringLiteral("本誌の翠嶺君は、本命党です。"));
        QCOMPARE(tip(Grid::FirstMark + 1),
                 QStringLiteral("碧渦です。能力値を重視していますので、経験の浅い馬たちが出走すると苦手です。"));
        QCOMPARE(tip(Grid::FirstMark + 2),
                 QStringLiteral("本誌代表の まさ です。的中率はよくないですが、たまに万馬券を的中します。"
                                "回収率Ｎｏ１！（？）"));
        QCOMPARE(tip(Grid::Allowance), QStringLiteral("見習い騎手の減量値で、Ｋｇを表します。"));
        QCOMPARE(tip(Grid::Index),
                 QStringLiteral("ＳＰ指数です。過去５走のＳＰ指数から、成長率と期待値を考慮しています。"));
        QCOMPARE(child<QLabel>(card, "personaCaption0")->text(), QStringLiteral("翠嶺（総合評価）"));
        QCOMPARE(child<QLabel>(card, "personaCaption1")->text(), QStringLiteral("碧渦（能力値重視）"));
        QCOMPARE(child<QLabel>(card, "personaCaption2")->text(), QStringLiteral("まさ（特性重視）"));
        // 翠嶺's top: horses 1, 2, … at 87.5, 85.0, …; 2.5 apart, no clear favourite.
        QCOMPARE(child<QLabel>(card, "personaNumber0_0")->text(), QStringLiteral("1"));
        QCOMPARE(child<QLabel>(card, "personaValue0_1")->text(), QStringLiteral("85.0"));
        QCOMPARE(child<QLabel>(card, "personaPick0_3")->text(), QStringLiteral("2 - 3"));
        {
            Database mast(paths_->mastPath());
            mast.prepare("UPDATE \"定数\" SET UserName = '' WHERE ID = 1").run();
        }
        RaceCardWindow unnamed(main, meetingOf(kTokyo.race));
        QCOMPARE(unnamed.gridModel()->headerData(Grid::FirstMark + 2, Qt::Horizontal).toString(),
                 QStringLiteral("User"));
    }

    void heavyGoingSwitchesTheIndicesAndTogglesBack() {
        MainWindow main(*paths_);
        RaceCardWindow card(main, meetingOf(kTokyo.race));
        auto* going = child<QPushButton>(card, "goingButton");
        QCOMPARE(cell(card, 0, Grid::Index), QStringLiteral("87.5"));
        QCOMPARE(cell(card, 0, Grid::SIndex), QStringLiteral("69.0"));
        QCOMPARE(cell(card, 0, Grid::AnaIndex), QStringLiteral("51.0"));
        QVERIFY(cell(card, 0, Grid::Index, Qt::ToolTipRole).startsWith(QStringLiteral(" 特性指数： 11  成長率： ")));

        going->click();
        QCOMPARE(going->text(), QStringLiteral("重"));
        QCOMPARE(storedGoing(main, kTokyo, 1), 2);
        QCOMPARE(card.raceNo(), 1);
        QCOMPARE(cell(card, 0, Grid::Index), QStringLiteral("77.5"));
        QCOMPARE(cell(card, 0, Grid::SIndex), QStringLiteral("59.0"));
        QCOMPARE(cell(card, 0, Grid::AnaIndex), QStringLiteral("41.0"));
        QVERIFY(cell(card, 0, Grid::Index, Qt::ToolTipRole).startsWith(QStringLiteral(" 特性指数： 7  成長率： ")));
        QCOMPARE(child<QLabel>(card, "personaValue0_0")->text(), QStringLiteral("77.5"));
        QCOMPARE(storedGoing(main, kTokyo, 2), 1);  // only the race on show

        going->click();
        QCOMPARE(going->text(), QStringLiteral("良"));
        QCOMPARE(storedGoing(main, kTokyo, 1), 1);
        QCOMPARE(cell(card, 0, Grid::Index), QStringLiteral("87.5"));
    }

    void switchableHeadingsChangeOnlyTheirColumn() {
        MainWindow main(*paths_);
        RaceCardWindow card(main, meetingOf(kTokyo.race));
        card.show();
        QVERIFY(QTest::qWaitForWindowExposed(&card));
        auto* grid = child<QTableView>(card, "runnerGrid");
        const Grid* m = card.gridModel();
        const auto heading = [&](int c) { return m->headerData(c, Qt::Horizontal).toString(); };
        const QString mark = cell(card, 0, Grid::FirstMark);

        clickHeading(grid, Grid::Person);
        QCOMPARE(heading(Grid::Person), QStringLiteral("調教師"));
        QCOMPARE(heading(Grid::Allowance), QStringLiteral("場"));
        QCOMPARE(cell(card, 0, Grid::Person), QStringLiteral("師1"));
        QCOMPARE(cell(card, 0, Grid::Allowance), QStringLiteral("東"));
        QCOMPARE(cell(card, 0, Grid::FirstMark), mark);
        clickHeading(grid, Grid::Person);
        QCOMPARE(heading(Grid::Person), QStringLiteral("騎手"));
        QCOMPARE(heading(Grid::Allowance), QStringLiteral("見"));
        QCOMPARE(cell(card, 0, Grid::Person), QStringLiteral("騎手1"));

        clickHeading(grid, Grid::Class);
        QCOMPARE(heading(Grid::Class), QStringLiteral("ﾛｰﾃｰｼｮﾝ"));
        QCOMPARE(cell(card, 0, Grid::Class), QStringLiteral("初戦"));
        clickHeading(grid, Grid::Class);
        QCOMPARE(heading(Grid::Class), QStringLiteral("クラス"));

        // Another race shows jockeys and class changes again.
        clickHeading(grid, Grid::Person);
        clickHeading(grid, Grid::Class);
        child<QTabBar>(card, "raceTabs")->setCurrentIndex(1);
        QCOMPARE(heading(Grid::Person), QStringLiteral("騎手"));
        QCOMPARE(heading(Grid::Class), QStringLiteral("クラス"));
        // Other headings do nothing.
        clickHeading(grid, Grid::Name);
        QCOMPARE(heading(Grid::Name), QStringLiteral("馬      名"));
    }

    void courseSelectorRebuildsTheTabs() {
        MainWindow main(*paths_);
        RaceCardWindow card(main, meetingOf(kTokyo.race));
        auto* tabs = child<QTabBar>(card, "raceTabs");
        tabs->setCurrentIndex(2);
        QCOMPARE(card.raceNo(), 3);
        child<QComboBox>(card, "courseBox")->setCurrentIndex(1);
        QCOMPARE(card.meeting().raceTable, kNakayama.race);
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(card.raceNo(), 1);
        QCOMPARE(cell(card, 0, Grid::Name, Grid::UnderlyingDataRole), QString::fromStdString(code(5, 1)));
    }

    void racesAndCoursesFromTheKeyboard() {
        RecordingDialogs dialogs;
        MainWindow main(*paths_);
        RaceCardWindow card(main, meetingOf(kTokyo.race));
        card.show();
        QVERIFY(QTest::qWaitForWindowActive(&card));
        auto* courses = child<QComboBox>(card, "courseBox");
        QCOMPARE(QApplication::focusWidget(), courses);

        const struct {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            int race;  // shown after the key
        } keys[] = {
            {Qt::Key_Tab, Qt::ControlModifier, 2},
            {Qt::Key_PageDown, Qt::ControlModifier, 3},
            {Qt::Key_Tab, Qt::ControlModifier, 1},  // round from the last to the first
            {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 3},
            {Qt::Key_PageUp, Qt::ControlModifier, 2},
        };
        for (const auto& k : keys) {
            QTest::keyClick(QApplication::focusWidget(), k.key, k.modifiers);
            QCOMPARE(card.raceNo(), k.race);
        }
        // The course selector takes the arrow keys at once.
        QTest::keyClick(courses, Qt::Key_Down);
        QCOMPARE(card.meeting().raceTable, kNakayama.race);
        QCOMPARE(card.raceNo(), 1);
    }

    void keepsItsSizeAndOffersNoMaximise() {
        MainWindow main(*paths_);
        RaceCardWindow card(main, meetingOf(kTokyo.race));
        card.show();
        QVERIFY(QTest::qWaitForWindowExposed(&card));
        const QSize normal = card.size();
        QCOMPARE(card.minimumSize(), normal);
        QCOMPARE(card.maximumSize(), normal);
        QVERIFY(!(card.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(card.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(card.windowFlags() & Qt::WindowCloseButtonHint);
    }

    void fieldsWithoutEntriesOrVerdictShowCleanly() {
        RecordingDialogs dialogs;
        MainWindow main(*paths_);
        RaceCardWindow card(main, meetingOf(kTokyo.race));
        auto* tabs = child<QTabBar>(card, "raceTabs");
        auto* verdict = child<QLabel>(card, "verdict");
        QVERIFY(!verdict->text().isEmpty());

        // Five runners counted, three entered: the places without a runner are hidden.
        tabs->setCurrentIndex(1);
        QCOMPARE(card.raceNo(), 2);
        auto* grid = child<QTableView>(card, "runnerGrid");
        for (int row = 0; row < 18; ++row) QCOMPARE(grid->isRowHidden(row), row >= 3);
        QVERIFY(dialogs.shown.empty());

        // No rule fits this field of five: the verdict goes, not the previous race's.
        tabs->setCurrentIndex(2);
        QCOMPARE(card.raceNo(), 3);
        QCOMPARE(verdict->text(), QString());
        QCOMPARE(child<QLabel>(card, "pace")->text(), QStringLiteral("ペースＭ"));
    }

    void modelPassesTheItemModelTester() {
        MainWindow main(*paths_);
        RaceCardWindow card(main, meetingOf(kTokyo.race));
        QAbstractItemModelTester tester(card.gridModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        auto* grid = child<QTableView>(card, "runnerGrid");
        child<QTabBar>(card, "raceTabs")->setCurrentIndex(1);
        clickHeading(grid, Grid::Person);
        clickHeading(grid, Grid::Class);
        child<QPushButton>(card, "goingButton")->click();
        child<QPushButton>(card, "goingButton")->click();
        child<QComboBox>(card, "courseBox")->setCurrentIndex(1);
    }

    void closingReenablesTheMainWindowsCommands() {
        for (const bool byBackButton : {false, true}) {
            MainWindow main(*paths_);
            auto* den = main.findChild<QAction*>("raceDayAction");
            auto* button = main.findChild<QPushButton*>("raceDayButton");
            auto* results = main.findChild<QAction*>("resultsImportAction");
            auto* batch = main.findChild<QAction*>("batchImportAction");
            main.openRaceCard(meetingOf(kTokyo.race));
            RaceCardWindow* card = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* c = qobject_cast<RaceCardWindow*>(w)) card = c;
            }
            QVERIFY(card);
            QVERIFY(!den->isEnabled());
            QVERIFY(!button->isEnabled());
            QVERIFY(!results->isEnabled());
            QVERIFY(!batch->isEnabled());  // it imports race cards and results as well
            QPointer<RaceCardWindow> watch(card);
            if (byBackButton) {
                child<QPushButton>(*card, "backButton")->click();
            } else {
                card->close();
            }
            QTRY_VERIFY(watch.isNull());
            QVERIFY(den->isEnabled());
            QVERIFY(button->isEnabled());
            QVERIFY(results->isEnabled());
            QVERIFY(batch->isEnabled());
        }
    }

    void everySampleRaceShows() {
        RecordingDialogs dialogs;
        MainWindow main(*paths_);
        const auto byCourse = meetingsByCourse(main.session().tran());
        int meetings = 0;
        int fullFields = 0;
        for (const auto& course : byCourse) {
            for (const Meeting& m : course) {
                if (m.date == "900106") continue;
                ++meetings;
                RaceCardWindow card(main, m);
                auto* tabs = child<QTabBar>(card, "raceTabs");
                QCOMPARE(tabs->count(), 12);
                QCOMPARE(tabs->tabText(11), QStringLiteral(" 12R"));
                // A weekend races at three courses a day.
                QCOMPARE(child<QComboBox>(card, "courseBox")->count(), 3);
                for (int t = 0; t < tabs->count(); ++t) {
                    tabs->setCurrentIndex(t);
                    QCOMPARE(card.raceNo(), t + 1);
                    int shown = 0;
                    for (int row = 0; row < 18; ++row) {
                        shown += child<QTableView>(card, "runnerGrid")->isRowHidden(row) ? 0 : 1;
                    }
                    QVERIFY(shown >= 5);
                    if (shown >= 16) ++fullFields;
                }
            }
        }
        QCOMPARE(meetings, 6);
        QVERIFY(fullFields > 0);
        QVERIFY(dialogs.shown.empty());
    }
};

QTEST_MAIN(RaceCardTest)
#include "race_card_test.moc"
