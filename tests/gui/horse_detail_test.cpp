// Mouse presses go through the window system, as a user's do, so that the application knows
// which button is down while the press is handled.
#define QTEST_QPA_MOUSE_HANDLING

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "../core/race_card_fixture.hpp"
#include "core/shell/constants.hpp"
#include "core/store/store.hpp"
#include "core/views/meetings.hpp"
#include "gui/common/twips.hpp"
#include "gui/horse/horse_detail_window.hpp"
#include "gui/race_card/race_card_window.hpp"
#include "gui/race_card/runner_grid_model.hpp"
#include "gui/shell/main_window.hpp"
#include "recording_dialogs.hpp"

using namespace zelvanor;
using namespace zelvanor::gui;

namespace {

const MeetingTables kMeeting = meetingTables("05", "00", "01", "08");

// A past race on heavy going ("3") with the abnormal result "4", as the import decodes it.
std::string heavyGoingPull() {
    std::string inf(107, ' ');
    inf.replace(0, 2, "05");
    inf.replace(4, 1, "3");
    inf.replace(10, 4, "1003");
    inf.replace(14, 3, "009");
    inf.replace(28, 1, "3");
    inf.replace(58, 1, "4");
    return inf;
}

void makeMeeting(Database& tran) {
    using namespace fixture;
    fixture::makeMeeting(tran, "05", "00", "01", "08");
    addRunner(tran, kMeeting, "00000101", 70, 70, 70,
              {{"bamei", std::string("アサヒ")},
               {"WakuNo", std::int64_t{1}},
               {"WakuUmaNo", std::int64_t{1}},
               {"honshou", std::string("0012345")},
               {"inf1", heavyGoingPull()}});
    addRunner(tran, kMeeting, "00000102", 60, 60, 60,
              {{"bamei", std::string("ユウヒ")},
               {"WakuNo", std::int64_t{2}},
               {"WakuUmaNo", std::int64_t{2}}});
    // Horse 3 has no entries row.
    addRace(tran, kMeeting, 1,
            {runnerEntry(1, "00000101"), runnerEntry(2, "00000102"), runnerEntry(3, "00000103")});
}

template <typename T>
T* child(QWidget& w, const QString& name) {
    auto* found = w.findChild<T*>(name);
    if (!found) qFatal("no widget %s", qPrintable(name));
    return found;
}

void pressCell(QTableView* grid, int row, int column, Qt::MouseButton button = Qt::LeftButton) {
    const QRect r = grid->visualRect(grid->model()->index(row, column));
    QTest::mousePress(grid->viewport(), button, {}, r.center());
    QTest::mouseRelease(grid->viewport(), button, {}, r.center());
}

}  // namespace

class HorseDetailTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    std::unique_ptr<AppPaths> paths_;

    ConstantsRow constants(MainWindow& main) {
        auto row = readConstants(main.session().mast());
        if (!row) qFatal("no constants record");
        return *row;
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        paths_ = std::make_unique<AppPaths>(dir_.filePath("data").toStdString());
        std::filesystem::create_directories(paths_->dataFolder());
        {
            Database mast(paths_->mastPath());
            ensureConstantsTable(mast);
        }
        Database tran(paths_->tranPath());
        makeMeeting(tran);
    }

    void aNamePressOpensThatHorse() {
        RecordingDialogs dialogs;
        MainWindow main(*paths_);
        RaceCardWindow card(main, meetingOf(kMeeting.race));
        card.show();
        QVERIFY(QTest::qWaitForWindowExposed(&card));
        auto* grid = child<QTableView>(card, QStringLiteral("runnerGrid"));

        // Other cells, other buttons and a runner without a row open nothing.
        pressCell(grid, 1, RunnerGridModel::Weight);
        pressCell(grid, 1, RunnerGridModel::Name, Qt::RightButton);
        pressCell(grid, 2, RunnerGridModel::Name);
        QVERIFY(card.findChildren<HorseDetailWindow*>().isEmpty());

        pressCell(grid, 1, RunnerGridModel::Name);
        const auto windows = card.findChildren<HorseDetailWindow*>();
        QCOMPARE(windows.size(), 1);
        HorseDetailWindow* horse = windows.front();
        QVERIFY(horse->isVisible());
        QVERIFY(!horse->isModal());
        QCOMPARE(horse->windowTitle(), QStringLiteral("競走馬の詳細"));
        QCOMPARE(horse->umacode(), std::string("00000102"));
        QCOMPARE(child<QLabel>(*horse, QStringLiteral("horseName"))->text(),
                 QStringLiteral("ユウヒ"));
        QCOMPARE(child<QLabel>(*horse, QStringLiteral("numberBox"))->text(), QStringLiteral("2"));
        // The horse is handed over in the constants record too.
        QCOMPARE(constants(main).userWork6, 102);
        QVERIFY(dialogs.shown.empty());
    }

    void showsMoneyAbnormalResultsGoingAndEmptyPanels() {
        MainWindow main(*paths_);
        const auto detail =
            readHorseDetail(main.session().tran(), meetingOf(kMeeting.race), 1, "00000101");
        QVERIFY(detail);
        HorseDetailWindow horse(main);
        horse.showHorse(*detail);
        QCOMPARE(child<QLabel>(horse, QStringLiteral("prizeMoney"))->text(),
                 QStringLiteral("1,235万"));
        QCOMPARE(child<QLabel>(horse, QStringLiteral("moneyHeading1"))->text(),
                 QStringLiteral("本賞金"));
        QCOMPARE(child<QLabel>(horse, QStringLiteral("bracketBox"))->text(), QStringLiteral("1"));
        auto* line2 = child<QLabel>(horse, QStringLiteral("pastRace1Line2"));
        QCOMPARE(line2->text(), QStringLiteral("     競走中止"));
        QVERIFY(line2->styleSheet().contains(QStringLiteral("#ffff00")));
        QCOMPARE(line2->toolTip(), QStringLiteral("ﾚｰｽ名着順ﾀｲﾑﾀｲﾑ差"));
        QCOMPARE(child<QGroupBox>(horse, QStringLiteral("pastRace2"))->title(),
                 QStringLiteral("前々走（0）"));
        for (int line = 1; line <= 6; ++line) {
            QCOMPARE(child<QLabel>(horse, QStringLiteral("pastRace2Line%1").arg(line))->text(),
                     QString());
        }
        QVERIFY(child<QLabel>(horse, QStringLiteral("pastRace2Line2"))->styleSheet().isEmpty());
    }

    void closesOnDeactivationAndOpensWhereItWas() {
        MainWindow main(*paths_);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        const Meeting meeting = meetingOf(kMeeting.race);

        QPointer<HorseDetailWindow> first = openHorseDetail(main, meeting, 1, "00000101", nullptr);
        QVERIFY(first);
        QVERIFY(QTest::qWaitForWindowActive(first));
        first->move(230, 140);
        const QPoint moved = first->pos();
        // The user turns to another window: the pop-up closes and keeps its place.
        QApplication::setActiveWindow(&main);
        QTRY_VERIFY(first.isNull());
        const ConstantsRow row = constants(main);
        QCOMPARE(twipsToPixels(&main, static_cast<int>(row.pos1Left)), moved.x());
        QCOMPARE(twipsToPixels(&main, static_cast<int>(row.pos1Top)), moved.y());

        QPointer<HorseDetailWindow> second = openHorseDetail(main, meeting, 1, "00000102", nullptr);
        QVERIFY(second);
        QCOMPARE(second->pos(), moved);
        second->close();
        QTRY_VERIFY(second.isNull());

        // A horse the meeting does not hold opens nothing.
        QVERIFY(!openHorseDetail(main, meeting, 1, "00000103", nullptr));
    }

    void keepsItsSizeAndOffersNoMaximise() {
        MainWindow main(*paths_);
        QPointer<HorseDetailWindow> horse =
            openHorseDetail(main, meetingOf(kMeeting.race), 1, "00000101", nullptr);
        QVERIFY(horse);
        QVERIFY(QTest::qWaitForWindowExposed(horse));
        const QSize normal = horse->size();
        QCOMPARE(horse->minimumSize(), normal);
        QCOMPARE(horse->maximumSize(), normal);
        QVERIFY(!(horse->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(horse->windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(horse->windowFlags() & Qt::WindowCloseButtonHint);
        horse->close();
        QTRY_VERIFY(horse.isNull());
    }

    void withoutTheRecordOpensCentredAndKeepsNothing() {
        {
            Database mast(paths_->mastPath());
            mast.exec("DELETE FROM \"定数\"");
        }
        RecordingDialogs dialogs;
        MainWindow main(*paths_);
        QPointer<HorseDetailWindow> horse =
            openHorseDetail(main, meetingOf(kMeeting.race), 1, "00000101", nullptr);
        QVERIFY(horse);
        QCOMPARE(horse->umacode(), std::string("00000101"));
        horse->close();
        QTRY_VERIFY(horse.isNull());
        QVERIFY(!readConstants(main.session().mast()));
        QVERIFY(dialogs.shown.empty());
    }
};

QTEST_MAIN(HorseDetailTest)
#include "horse_detail_test.moc"
