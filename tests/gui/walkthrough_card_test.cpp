// On the race card, as a person works through it: a race's result typed in and its hits seen,
// recorded and read back as the command line reads it; a horse's detail opened from its name; the
// weights and the user's name changed in the options, the meeting recomputed, and the third
// persona seen changed on the card. Every step is pictured under the build folder's screenshots.

// Presses reach the grid through the window system, as a user's do (the grid asks which button is
// down).
#define QTEST_QPA_MOUSE_HANDLING

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "core/store/store.hpp"
#include "core/views/race_card.hpp"
#include "gui/shell/main_window.hpp"
#include "gui/shell/startup.hpp"
#include "recording_dialogs.hpp"
#include "sample_weekend.hpp"
#include "widget_testing.hpp"

using namespace zelvanor;
using namespace zelvanor::gui;
using namespace zelvanor::testing;

namespace {

void type(QWidget* window, const char* box, const QString& text) {
    auto* edit = window->findChild<QLineEdit*>(QLatin1String(box));
    QVERIFY2(edit, box);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

int hitLabels(QWidget* card) {
    int hits = 0;
    for (QLabel* l : card->findChildren<QLabel*>()) hits += l->property("hit").toBool() ? 1 : 0;
    return hits;
}

// The race card of 東京 98/10/03 opened from the race-day selection, 11R on show.
QWidget* openTokyoCard(MainWindow& main) {
    main.openRaceDaySelection();
    QWidget* selection = openWindow("RaceDaySelection");
    if (!selection) return nullptr;
    auto* list = selection->findChild<QListWidget*>("meetingList4");
    const auto items = list->findItems(QStringLiteral("981003"), Qt::MatchExactly);
    if (items.isEmpty()) return nullptr;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(items.first()).center());
    QTest::mouseClick(selection->findChild<QPushButton*>("predictButton"), Qt::LeftButton);
    QWidget* card = openWindow("RaceCardWindow");
    if (card) card->findChild<QTabBar*>("raceTabs")->setCurrentIndex(10);
    return card;
}

}  // namespace

class WalkthroughCardTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { setUpJapaneseUi(); }

    void resultHorseDetailAndOptions() {
        QTemporaryDir dir;
        const AppPaths paths(dir.path().toStdString());
        fixture::importSampleWeekend(paths, {.seed = 7, .imported = fixture::Imported::RaceCards});
        RecordingDialogs answers;
        MainWindow main(paths);
        main.show();
        const Meeting tokyo = meetingOf("D05981003");

        QWidget* card = openTokyoCard(main);
        QVERIFY(card);
        const auto before = readRaceCard(main.session().tran(), tokyo, 11, "User");
        QVERIFY(before);

        // 翠嶺's first two finish first and second: its quinella pick and top line hit.
        const auto& ranking = before->forecast.personas[0].ranking;
        QVERIFY(ranking.size() >= 3);
        const int first = ranking[0].horseNumber;
        const int second = ranking[1].horseNumber;
        const int third = ranking[2].horseNumber;
        type(card, "placeBox0", QString::number(first));
        type(card, "placeBox1", QString::number(second));
        type(card, "placeBox2", QString::number(third));
        const char* payouts[] = {"350", "150", "210", "320", "1120", "2450"};
        for (int k = 0; k < 6; ++k) {
            type(card, qPrintable(QStringLiteral("payoutBox%1").arg(k)),
                 QString::fromLatin1(payouts[k]));
        }
        const QString pair =
            QStringLiteral("%1 - %2").arg(std::min(first, second)).arg(std::max(first, second));
        QCOMPARE(card->findChild<QLineEdit*>("quinellaPairBox")->text(), pair);
        QVERIFY(hitLabels(card) >= 2);
        saveScreenshot(*card, "walkthrough_10_result_typed.png");

        clickButton(*card, "recordButton");
        QCOMPARE(answers.shown.back().text, QStringLiteral("更新を受け付けました。"));
        // Read back as `zelvanor-cli card` reads it.
        const auto stored = readRaceCard(main.session().tran(), tokyo, 11, "User");
        QCOMPARE(stored->placed, (std::array<int, 3>{first, second, third}));
        QCOMPARE(QString::fromStdString(stored->quinellaPair), pair);
        QCOMPARE(stored->payouts[5], std::int64_t{2450});

        // A press on the first horse's name opens its detail with five past-race panels.
        auto* grid = card->findChild<QTableView*>("runnerGrid");
        int nameColumn = -1;
        for (int c = 0; c < grid->model()->columnCount(); ++c) {
            if (grid->model()->headerData(c, Qt::Horizontal).toString().startsWith("馬 ")) {
                nameColumn = c;
            }
        }
        QVERIFY(nameColumn >= 0);
        const QRect cell = grid->visualRect(grid->model()->index(0, nameColumn));
        QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QWidget* horse = card->findChild<QWidget*>("HorseDetailWindow");
        QVERIFY(horse);
        QVERIFY(QTest::qWaitForWindowExposed(horse));
        saveScreenshot(*horse, "walkthrough_11_horse_detail.png");
        horse->close();

        // New weights and name in the options; the meeting recomputed from the race-day
        // selection; the card shows the third persona under its new name with new figures.
        QTest::mouseClick(card->findChild<QPushButton*>("backButton"), Qt::LeftButton);
        main.findChild<QAction*>("optionsAction")->trigger();
        QWidget* options = nullptr;
        for (QWidget* w : main.findChildren<QWidget*>("OptionsDialog")) options = w;
        QVERIFY(options && options->isVisible());
        for (int i = 0; i < 7; ++i) {
            options->findChild<QSlider*>(QStringLiteral("weightSlider%1").arg(i))
                ->setValue(i % 2 ? 0 : 3);
        }
        auto* name = options->findChild<QLineEdit*>("nameBox");
        name->clear();
        name->insert(QStringLiteral("太郎"));
        saveScreenshot(*options, "walkthrough_12_options.png");
        clickButton(*options, "applyButton");

        main.openRaceDaySelection();
        QWidget* selection = openWindow("RaceDaySelection");
        QVERIFY(selection);
        auto* list = selection->findChild<QListWidget*>("meetingList4");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(0)).center());
        clickButton(*selection, "recomputeButton");
        QVERIFY(answers.shown.back().text.startsWith(
            QStringLiteral("設定されている予想定数の内容で再計算が終了しました。")));
        selection->close();

        card = openTokyoCard(main);
        QVERIFY(card);
        const auto after = readRaceCard(main.session().tran(), tokyo, 11, "太郎");
        QCOMPARE(QString::fromStdString(after->forecast.personas[2].caption),
                 QStringLiteral("太郎（特性重視）"));
        bool captionShown = false;
        for (QLabel* l : card->findChildren<QLabel*>()) {
            captionShown |= l->text() == QStringLiteral("太郎（特性重視）");
        }
        QVERIFY(captionShown);
        std::vector<std::string> valuesBefore, valuesAfter;
        for (const auto& line : before->forecast.personas[2].top)
            valuesBefore.push_back(line.value);
        for (const auto& line : after->forecast.personas[2].top) valuesAfter.push_back(line.value);
        QVERIFY(valuesBefore != valuesAfter);
        saveScreenshot(*card, "walkthrough_13_recomputed_card.png");
        card->close();
    }
};

QTEST_MAIN(WalkthroughCardTest)
#include "walkthrough_card_test.moc"
