#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>

#include "../core/race_result_fixture.hpp"
#include "core/store/store.hpp"
#include "core/views/meetings.hpp"
#include "core/views/race_result.hpp"
#include "gui/race_card/race_card_window.hpp"
#include "gui/race_card/persona_frame.hpp"
#include "gui/race_card/result_frame.hpp"
#include "gui/shell/main_window.hpp"
#include "recording_dialogs.hpp"

using namespace zelvanor;
using namespace zelvanor::gui;

namespace {

const MeetingTables kMeeting = meetingTables("05", "98", "10", "03");

// Race 1 has 10 runners, race 2 eight, race 3 seven (race_result_fixture.hpp).
void makeMeeting(Database& tran) {
    fixture::makeMeeting(tran, "05", "98", "10", "03");
    const int fields[] = {10, 8, 7};
    for (int race = 1; race <= 3; ++race)
        fixture::addResultField(tran, kMeeting, race, fields[race - 1]);
}

}  // namespace

class RaceResultTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    std::unique_ptr<AppPaths> paths_;

    template <typename T = QLineEdit>
    static T* child(QWidget& w, const QString& name) {
        auto* found = w.findChild<T*>(name);
        if (!found) qFatal("no widget %s", qPrintable(name));
        return found;
    }
    static QLineEdit* place(QWidget& w, int k) {
        return child(w, QStringLiteral("placeBox%1").arg(k));
    }
    static QLineEdit* payout(QWidget& w, int k) {
        return child(w, QStringLiteral("payoutBox%1").arg(k));
    }

    // Replaces a box's text by typing, as the user does after the box selected its text.
    static void type(QLineEdit* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }

    static void showRace(RaceCardWindow& card, int race) {
        child<QTabBar>(card, QStringLiteral("raceTabs"))->setCurrentIndex(race - 1);
        QCOMPARE(card.raceNo(), race);
    }

    // Which pick lines of each persona frame are highlighted, as "p:k" items, and the top lines.
    static QStringList hits(RaceCardWindow& card) {
        QStringList out;
        for (int p = 0; p < 3; ++p) {
            auto* frame = child<PersonaFrame>(card, QStringLiteral("personaFrame%1").arg(p));
            if (PersonaFrame::isHit(frame->numberLabel(0))) out << QStringLiteral("top%1").arg(p);
            for (int k = 0; k < PersonaFrame::kLines; ++k) {
                if (PersonaFrame::isHit(frame->pickLabel(k)))
                    out << QStringLiteral("%1:%2").arg(p).arg(k);
            }
        }
        return out;
    }

    static Value stored(MainWindow& main, int race, const char* column) {
        auto st =
            main.session().tran().prepare(std::string("SELECT ") + column + " FROM " +
                                          quoteIdentifier(kMeeting.race) + " WHERE bango = ?1");
        st.bind(1, std::int64_t{race});
        return st.step() ? st.value(0) : Value{};
    }

    static void showAndActivate(QWidget& w) {
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        paths_ = std::make_unique<AppPaths>(dir_.filePath("data").toStdString());
        std::filesystem::create_directories(paths_->dataFolder());
        Database tran(paths_->tranPath());
        makeMeeting(tran);
    }

    void firstTwoPlacesGiveThePairsAndHighlightTheHits() {
        RecordingDialogs dialogs;
        MainWindow main(*paths_);
        RaceCardWindow card(main, meetingOf(kMeeting.race));
        showAndActivate(card);
        QVERIFY(hits(card).isEmpty());

        type(place(card, 0), QStringLiteral("5"));
        type(place(card, 1), QStringLiteral("3"));
        QCOMPARE(child(card, QStringLiteral("bracketPairBox"))->text(), QStringLiteral("2 - 3"));
        QCOMPARE(child(card, QStringLiteral("quinellaPairBox"))->text(), QStringLiteral("3 - 5"));
        // 翠嶺 and 碧渦 had horse 5 on top and 3 - 5 as their first pick; the user persona neither.
        QCOMPARE(hits(card), (QStringList{"top0", "0:0", "top1", "1:0"}));
        // The colour itself, inside the cell's border.
        auto* frame = child<PersonaFrame>(card, QStringLiteral("personaFrame0"));
        QCOMPARE(frame->pickLabel(0)->grab().toImage().pixelColor(2, 2), QColor("#FFC0C0"));
        QCOMPARE(frame->pickLabel(1)->grab().toImage().pixelColor(2, 2), QColor("#FFFFFF"));

        // The second place set back to 0: no pairs, no pick hits; the winner still hits.
        type(place(card, 1), QStringLiteral("0"));
        QCOMPARE(child(card, QStringLiteral("bracketPairBox"))->text(), QString());
        QCOMPARE(child(card, QStringLiteral("quinellaPairBox"))->text(), QString());
        QCOMPARE(hits(card), (QStringList{"top0", "top1"}));
        QVERIFY(dialogs.shown.empty());
    }

    void numberBoxesTakeTwoDigitsAndNoHorseBeyondTheField() {
        MainWindow main(*paths_);
        RaceCardWindow card(main, meetingOf(kMeeting.race));
        showAndActivate(card);
        auto* frame = child<ResultFrame>(card, QStringLiteral("resultFrame"));
        QSignalSpy beeps(frame, &ResultFrame::refused);

        QLineEdit* third = place(card, 2);
        type(third, QStringLiteral("10"));
        QTest::keyClicks(third, QStringLiteral("5"));
        QCOMPARE(third->text(), QStringLiteral("10"));
        QCOMPARE(beeps.count(), 1);
        QTest::keyClicks(third, QStringLiteral("a"));
        QCOMPARE(third->text(), QStringLiteral("10"));
        QCOMPARE(beeps.count(), 2);
        // Selected text is replaced, so a digit then fits.
        type(third, QStringLiteral("7"));
        QCOMPARE(third->text(), QStringLiteral("7"));

        // Payout boxes ignore other keys without a beep and have no length limit.
        QLineEdit* win = payout(card, 0);
        type(win, QStringLiteral("12a34567890"));
        QCOMPARE(win->text(), QStringLiteral("1234567890"));
        QCOMPARE(beeps.count(), 2);

        // Horse 12 of a field of ten cannot be left, by Enter or by Tab.
        QLineEdit* first = place(card, 0);
        type(first, QStringLiteral("12"));
        QTest::keyClick(first, Qt::Key_Return);
        QVERIFY(first->hasFocus());
        QCOMPARE(first->selectedText(), QStringLiteral("12"));
        QCOMPARE(beeps.count(), 3);
        QTest::keyClick(first, Qt::Key_Tab);
        QTRY_VERIFY(first->hasFocus());
        QCOMPARE(first->selectedText(), QStringLiteral("12"));
        QCOMPARE(beeps.count(), 4);
        // Nor stored by 記録: the user is told and taken back to the box.
        RecordingDialogs dialogs;
        child<QPushButton>(card, QStringLiteral("recordButton"))->click();
        QCOMPARE(dialogs.shown.size(), std::size_t{1});
        QCOMPARE(
            dialogs.shown[0].text,
            QStringLiteral(
                "１着の馬番 12 は出走頭数 (10 頭) を超えています。正しい馬番を入力してください。"));
        QCOMPARE(stored(main, 1, "Kekka1No"), Value{});
        QTRY_VERIFY(first->hasFocus());
    }

    void enterMovesOnThroughTheShownBoxes_data() {
        QTest::addColumn<int>("race");
        QTest::addColumn<QStringList>("order");
        const QStringList all = {"placeBox0",  "placeBox1",   "placeBox2",  "payoutBox0",
                                 "payoutBox1", "payoutBox2",  "payoutBox3", "payoutBox4",
                                 "payoutBox5", "recordButton"};
        QTest::newRow("10 runners") << 1 << all;
        QStringList eight = all;
        eight.removeAll(QStringLiteral("payoutBox5"));
        QTest::newRow("8 runners: no quinella") << 2 << eight;
        QStringList seven = eight;
        seven.removeAll(QStringLiteral("placeBox2"));
        seven.removeAll(QStringLiteral("payoutBox3"));
        QTest::newRow("7 runners: no third place") << 3 << seven;
    }

    void enterMovesOnThroughTheShownBoxes() {
        QFETCH(int, race);
        QFETCH(QStringList, order);
        MainWindow main(*paths_);
        RaceCardWindow card(main, meetingOf(kMeeting.race));
        showAndActivate(card);
        showRace(card, race);
        QCOMPARE(place(card, 2)->isVisible(), race != 3);
        QCOMPARE(child(card, QStringLiteral("quinellaPairBox"))->isVisible(), race == 1);

        place(card, 0)->setFocus();
        QStringList visited;
        for (int k = 0; k < order.size(); ++k) {
            QWidget* focus = QApplication::focusWidget();
            QVERIFY(focus);
            visited << focus->objectName();
            if (focus->objectName() == QStringLiteral("recordButton")) break;
            QTest::keyClick(focus, Qt::Key_Return);
        }
        QCOMPARE(visited, order);
    }

    void recordStoresTheBoxesAndShowingTheRaceReadsThemBack() {
        RecordingDialogs dialogs;
        MainWindow main(*paths_);
        RaceCardWindow card(main, meetingOf(kMeeting.race));
        showAndActivate(card);
        showRace(card, 2);  // eight runners: the quinella row is hidden
        type(place(card, 0), QStringLiteral("5"));
        type(place(card, 1), QStringLiteral("3"));
        type(place(card, 2), QStringLiteral("1"));
        const QString payouts[] = {"450", "150", "320", "", "1230", "990"};
        for (int k = 0; k < 6; ++k) type(payout(card, k), payouts[k]);
        QCOMPARE(child(card, QStringLiteral("quinellaPairBox"))->text(), QStringLiteral("3 - 5"));

        QTest::keyClick(child<QPushButton>(card, QStringLiteral("recordButton")), Qt::Key_Return);
        QCOMPARE(dialogs.shown.size(), std::size_t{1});
        QCOMPARE(dialogs.shown[0].text, QStringLiteral("更新を受け付けました。"));
        QCOMPARE(dialogs.shown[0].icon, UserDialogs::Icon::None);
        // The empty payout shows and stores 0; the quinella of eight runners stores a blank.
        QCOMPARE(payout(card, 3)->text(), QStringLiteral("0"));
        QCOMPARE(stored(main, 2, "Kekka1No"), Value{std::int64_t{5}});
        QCOMPARE(stored(main, 2, "Kekka2No"), Value{std::int64_t{3}});
        QCOMPARE(stored(main, 2, "Kekka3No"), Value{std::int64_t{1}});
        QCOMPARE(stored(main, 2, "KekkaWakNo"), Value{std::string("2 - 3")});
        QCOMPARE(stored(main, 2, "KekkaUmaNo"), Value{std::string(" ")});
        QCOMPARE(stored(main, 2, "Kekka3FukAm"), Value{std::int64_t{0}});
        QCOMPARE(stored(main, 2, "KekkaWakAm"), Value{std::int64_t{1230}});
        QCOMPARE(stored(main, 2, "KekkaUmaAm"), Value{std::int64_t{990}});

        // Another race overwrites the boxes; coming back reads the stored row.
        showRace(card, 1);
        QCOMPARE(place(card, 0)->text(), QString());
        QCOMPARE(payout(card, 4)->text(), QString());
        QVERIFY(hits(card).isEmpty());
        showRace(card, 2);
        QCOMPARE(place(card, 0)->text(), QStringLiteral("5"));
        QCOMPARE(payout(card, 4)->text(), QStringLiteral("1,230"));
        QCOMPARE(payout(card, 3)->text(), QString());
        QCOMPARE(child(card, QStringLiteral("bracketPairBox"))->text(), QStringLiteral("2 - 3"));
        QCOMPARE(hits(card), (QStringList{"top0", "0:0", "top1", "1:0"}));
    }

    void aRaceRowThatVanishedIsNotReportedAsStored() {
        RecordingDialogs dialogs;
        MainWindow main(*paths_);
        RaceCardWindow card(main, meetingOf(kMeeting.race));
        showAndActivate(card);
        showRace(card, 3);
        type(place(card, 0), QStringLiteral("5"));
        main.session().tran().exec("DELETE FROM " + quoteIdentifier(kMeeting.race) +
                                   " WHERE bango = 3");
        child<QPushButton>(card, QStringLiteral("recordButton"))->click();
        QCOMPARE(dialogs.shown.size(), std::size_t{1});
        QCOMPARE(dialogs.shown[0].text,
                 QString::fromUtf8(kResultRaceGoneText.data(), kResultRaceGoneText.size()));
        QCOMPARE(dialogs.shown[0].icon, UserDialogs::Icon::Exclamation);
    }
};

QTEST_MAIN(RaceResultTest)
#include "race_result_test.moc"
