// Renders the race card of a sample race with a result typed in, so that the result frame and the
// highlighted hits can be looked at: race_card_result.png under the build's screenshots folder.

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QtTest>

#include "core/store/store.hpp"
#include "core/views/meetings.hpp"
#include "core/views/race_card.hpp"
#include "gui/race_card/persona_frame.hpp"
#include "gui/race_card/race_card_window.hpp"
#include "gui/shell/main_window.hpp"
#include "sample_weekend.hpp"
#include "widget_testing.hpp"

using namespace zelvanor;
using namespace zelvanor::gui;
using namespace zelvanor::testing;

class RaceResultRenderTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<fixture::ArchivedWeekend> weekend_;
    const AppPaths* paths_ = nullptr;
    int smallestRace_ = 0;

    static void type(QWidget& card, const QString& box, const QString& text) {
        auto* edit = card.findChild<QLineEdit*>(box);
        QVERIFY(edit);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

  private slots:
    void initTestCase() {
        QApplication::setFont(QFont(QStringLiteral("IPAPGothic"), 9));
        weekend_ = std::make_unique<fixture::ArchivedWeekend>();
        paths_ = &weekend_->paths();
    }

    // The largest field of the first meeting, won by 翠嶺's top horse ahead of its second.
    void rendersAResultWithItsHits() {
        MainWindow main(*paths_);
        Meeting meeting;
        for (const auto& course : meetingsByCourse(main.session().tran())) {
            if (!course.empty()) {
                meeting = course.front();
                break;
            }
        }
        int race = 0;
        std::optional<RaceCard> best;
        smallestRace_ = 0;
        int smallest = 99;
        for (int r : storedRaces(main.session().tran(), meeting)) {
            auto card = readRaceCard(main.session().tran(), meeting, r, "User");
            if (card && card->runnerCount < smallest) {
                smallest = card->runnerCount;
                smallestRace_ = r;
            }
            if (card && (!best || card->runnerCount > best->runnerCount)) {
                best = std::move(card);
                race = r;
            }
        }
        QVERIFY(best && best->runnerCount >= 9);
        const auto& ranking = best->forecast.personas[0].ranking;

        RaceCardWindow card(main, meeting);
        auto* tabs = card.findChild<QTabBar*>(QStringLiteral("raceTabs"));
        for (int t = 0; t < tabs->count(); ++t) {
            if (tabs->tabText(t) == QStringLiteral(" %1R").arg(race)) tabs->setCurrentIndex(t);
        }
        QCOMPARE(card.raceNo(), race);
        card.show();
        QVERIFY(QTest::qWaitForWindowExposed(&card));

        type(card, QStringLiteral("placeBox0"), QString::number(ranking[0].horseNumber));
        type(card, QStringLiteral("placeBox1"), QString::number(ranking[1].horseNumber));
        type(card, QStringLiteral("placeBox2"), QString::number(ranking[2].horseNumber));
        const char* payouts[] = {"230", "120", "180", "310", "960", "1450"};
        for (int k = 0; k < 6; ++k) {
            type(card, QStringLiteral("payoutBox%1").arg(k), QString::fromLatin1(payouts[k]));
        }
        card.findChild<QLineEdit*>(QStringLiteral("payoutBox5"))->clearFocus();

        auto* suirei = card.findChild<PersonaFrame*>(QStringLiteral("personaFrame0"));
        QVERIFY(PersonaFrame::isHit(suirei->numberLabel(0)));
        QVERIFY(PersonaFrame::isHit(suirei->pickLabel(0)));
        saveScreenshot(card, QStringLiteral("race_card_result.png"));

        // Every caption of the frame fits its room.
        const auto* frame = card.findChild<QWidget*>(QStringLiteral("resultFrame"));
        for (const QLabel* label : frame->findChildren<QLabel*>()) {
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <=
                         label->contentsRect().width(),
                     qPrintable(label->text()));
        }
        for (const QLineEdit* box : frame->findChildren<QLineEdit*>()) {
            QVERIFY2(box->fontMetrics().horizontalAdvance(box->text()) + 8 <= box->width(),
                     qPrintable(box->objectName()));
        }
        saveScreenshot(*card.findChild<QWidget*>(QStringLiteral("resultFrame")),
                       QStringLiteral("race_card_result_frame.png"));

        // Another race cut to seven runners: the third place and quinella rows are left out.
        const int other = smallestRace_ == race
                              ? storedRaces(main.session().tran(), meeting).front()
                              : smallestRace_;
        QVERIFY(other != race);
        main.session().tran().exec("UPDATE " + quoteIdentifier(meeting.raceTable) +
                                   " SET tousuu = '07' WHERE bango = " + std::to_string(other));
        for (int t = 0; t < tabs->count(); ++t) {
            if (tabs->tabText(t) == QStringLiteral(" %1R").arg(other)) tabs->setCurrentIndex(t);
        }
        QCOMPARE(card.raceNo(), other);
        QVERIFY(!card.findChild<QLineEdit*>(QStringLiteral("placeBox2"))->isVisible());
        QVERIFY(!card.findChild<QLineEdit*>(QStringLiteral("quinellaPairBox"))->isVisible());
        saveScreenshot(*card.findChild<QWidget*>(QStringLiteral("resultFrame")),
                       QStringLiteral("race_card_result_frame_7_runners.png"));
    }
};

QTEST_MAIN(RaceResultRenderTest)
#include "race_result_render_test.moc"
