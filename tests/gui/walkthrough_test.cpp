// A user's race day from the main window, step by step as a person clicks through it, with a
// picture of every step under the build folder's screenshots: main window → race-day selection →
// race card → another course, another race, the going, the switchable columns → back → the whole
// meeting set to heavy → a meeting deleted → every race of two courses recomputed.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "core/store/store.hpp"
#include "gui/shell/main_window.hpp"
#include "gui/shell/startup.hpp"
#include "recording_dialogs.hpp"
#include "sample_weekend.hpp"
#include "widget_testing.hpp"

using namespace zelvanor;
using namespace zelvanor::gui;
using namespace zelvanor::testing;

namespace {

void selectMeeting(QWidget* selection, int course, const QString& date) {
    auto* list = selection->findChild<QListWidget*>(QStringLiteral("meetingList%1").arg(course));
    const auto items = list->findItems(date, Qt::MatchExactly);
    QVERIFY(!items.isEmpty());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(items.first()).center());
}

std::int64_t scalar(const AppPaths& paths, const std::string& sql) {
    Database tran(paths.tranPath());
    auto st = tran.prepare(sql);
    return st.step() ? st.int64(0) : -1;
}

}  // namespace

class WalkthroughTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { setUpJapaneseUi(); }

    void aRaceDayFromTheMainWindow() {
        QTemporaryDir dir;
        const AppPaths paths(dir.path().toStdString());
        fixture::importSampleWeekend(paths, {.seed = 7, .imported = fixture::Imported::RaceCards});
        RecordingDialogs answers;
        MainWindow main(paths);
        main.show();
        saveScreenshot(main, "walkthrough_01_main.png");

        // 出馬情報 → the race-day selection.
        clickButton(main, "raceDayButton");
        QWidget* selection = openWindow("RaceDaySelection");
        QVERIFY(selection);
        selectMeeting(selection, 4, "981003");
        saveScreenshot(*selection, "walkthrough_02_selection.png");

        // 予想する → the race card of 東京 98/10/03; the main window's race commands are off.
        clickButton(*selection, "predictButton");
        QWidget* card = openWindow("RaceCardWindow");
        QVERIFY(card);
        QVERIFY(!openWindow("RaceDaySelection"));
        QVERIFY(!main.findChild<QPushButton*>("raceDayButton")->isEnabled());
        QVERIFY(!main.findChild<QAction*>("raceDayAction")->isEnabled());
        auto* courses = card->findChild<QComboBox*>("courseBox");
        auto* tabs = card->findChild<QTabBar*>("raceTabs");
        QCOMPARE(courses->currentText(), QStringLiteral("東京"));
        QCOMPARE(courses->count(), 3);  // the three courses of that day
        QCOMPARE(tabs->count(), 12);
        saveScreenshot(*card, "walkthrough_03_card.png");

        // Another course of the same day, then its 11R.
        courses->setCurrentIndex(courses->findText(QStringLiteral("京都")));
        QCOMPARE(tabs->count(), 12);
        QCOMPARE(tabs->currentIndex(), 0);
        tabs->setCurrentIndex(10);
        QVERIFY(card->findChild<QLabel*>("raceTitle")->text().contains(QStringLiteral("11Ｒ")));
        saveScreenshot(*card, "walkthrough_04_kyoto_11r.png");

        // The going of this race: 良 → 重, stored.
        auto* going = card->findChild<QPushButton*>("goingButton");
        QCOMPARE(going->text(), QStringLiteral("良"));
        QTest::mouseClick(going, Qt::LeftButton);
        QCOMPARE(going->text(), QStringLiteral("重"));
        QCOMPARE(scalar(paths, "SELECT RyoOmo FROM D08981003 WHERE bango = 11"), 2);
        saveScreenshot(*card, "walkthrough_05_heavy.png");

        // The person and class headings switch to trainers and rotation.
        auto* grid = card->findChild<QTableView*>("runnerGrid");
        QHeaderView* heading = grid->horizontalHeader();
        const auto section = [&](const QString& caption) {
            for (int c = 0; c < heading->count(); ++c) {
                if (grid->model()->headerData(c, Qt::Horizontal).toString() == caption) return c;
            }
            return -1;
        };
        const int person = section(QStringLiteral("騎手"));
        const int klass = section(QStringLiteral("クラス"));
        QVERIFY(person >= 0 && klass >= 0);
        QTest::mouseClick(heading->viewport(), Qt::LeftButton, {},
                          QPoint(heading->sectionViewportPosition(person) + 4, 4));
        QTest::mouseClick(heading->viewport(), Qt::LeftButton, {},
                          QPoint(heading->sectionViewportPosition(klass) + 4, 4));
        QCOMPARE(grid->model()->headerData(person, Qt::Horizontal).toString(),
                 QStringLiteral("調教師"));
        QCOMPARE(grid->model()->headerData(klass, Qt::Horizontal).toString(),
                 QStringLiteral("ﾛｰﾃｰｼｮﾝ"));
        saveScreenshot(*card, "walkthrough_06_trainers_rotation.png");

        // 戻る: the card closes and the main window's commands are back.
        clickButton(*card, "backButton");
        QVERIFY(!openWindow("RaceCardWindow"));
        QVERIFY(main.findChild<QPushButton*>("raceDayButton")->isEnabled());

        // The whole of 新潟 98/10/04 to heavy through 馬場設定.
        clickButton(main, "raceDayButton");
        selection = openWindow("RaceDaySelection");
        QVERIFY(selection);
        selectMeeting(selection, 3, "981004");
        clickButton(*selection, "goingButton");
        QWidget* dialog = selection->findChild<QWidget*>("GoingDialog");
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        auto* heavy = dialog->findChild<QRadioButton*>("heavyOption");
        QTest::mouseClick(heavy, Qt::LeftButton, {}, QPoint(8, heavy->height() / 2));
        saveScreenshot(*dialog, "walkthrough_07_going_dialog.png");
        clickButton(*dialog, "updateButton");
        QCOMPARE(scalar(paths, "SELECT count(*) FROM D04981004 WHERE RyoOmo <> 2"), 0);
        QCOMPARE(answers.shown.back().text.section('\n', 0, 0),
                 QStringLiteral("選択された開催の全てのレースを重馬場に設定しました"));

        // Delete 京都 98/10/04 after the question.
        selectMeeting(selection, 7, "981004");
        answers.confirmAnswer = true;
        clickButton(*selection, "deleteButton");
        QVERIFY(!Database(paths.tranPath()).hasTable("D08981004"));
        QVERIFY(selection->findChild<QListWidget*>("meetingList7")
                    ->findItems(QStringLiteral("981004"), Qt::MatchExactly)
                    .isEmpty());

        // Every race of 新潟 and 東京 recomputed: four meetings.
        selection->findChild<QCheckBox*>("courseCheck3")->setChecked(true);
        selection->findChild<QCheckBox*>("courseCheck4")->setChecked(true);
        clickButton(*selection, "recomputeAllButton");
        QCOMPARE(selection->findChild<QLabel*>("counter")->text(), QStringLiteral("4/4"));
        saveScreenshot(*selection, "walkthrough_08_recomputed.png");

        // The heavy meeting's card shows 重 on every race.
        selectMeeting(selection, 3, "981004");
        clickButton(*selection, "predictButton");
        card = openWindow("RaceCardWindow");
        QVERIFY(card);
        tabs = card->findChild<QTabBar*>("raceTabs");
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QCOMPARE(card->findChild<QPushButton*>("goingButton")->text(), QStringLiteral("重"));
        }
        saveScreenshot(*card, "walkthrough_09_niigata_heavy.png");
        card->close();
        QVERIFY(main.findChild<QAction*>("raceDayAction")->isEnabled());
    }
};

QTEST_MAIN(WalkthroughTest)
#include "walkthrough_test.moc"
