// Renders the race card with sample data into PNGs under the build's screenshots folder, for
// people to look at: a full field, a race on heavy going, trainers and rotations shown.

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QtTest>

#include "core/store/store.hpp"
#include "core/views/meetings.hpp"
#include "core/views/race_card.hpp"
#include "gui/race_card/race_card_window.hpp"
#include "gui/race_card/runner_grid_model.hpp"
#include "gui/shell/main_window.hpp"
#include "sample_weekend.hpp"
#include "widget_testing.hpp"

using namespace zelvanor;
using namespace zelvanor::gui;
using namespace zelvanor::testing;

class RaceCardRenderTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<fixture::ArchivedWeekend> weekend_;
    const AppPaths* paths_ = nullptr;

    // Nothing shown is cut off: every label's lines and every grid cell and heading fit.
    static void checkNothingClipped(RaceCardWindow& card) {
        for (const QLabel* label : card.findChildren<QLabel*>()) {
            if (!label->isVisible()) continue;
            const QFontMetrics fm(label->font());
            const int room = label->contentsRect().width() - 2 * label->margin() -
                             (label->indent() > 0 ? label->indent() : 0);
            for (const QString& line : label->text().split(QLatin1Char('\n'))) {
                QVERIFY2(fm.horizontalAdvance(line) <= room,
                         qPrintable(label->objectName() + ": " + line));
            }
        }
        auto* grid = card.findChild<QTableView*>(QStringLiteral("runnerGrid"));
        const QAbstractItemModel* m = grid->model();
        for (int c = 0; c < m->columnCount(); ++c) {
            const int room = grid->columnWidth(c) - 4;
            const QString heading = m->headerData(c, Qt::Horizontal).toString();
            QVERIFY2(grid->horizontalHeader()->fontMetrics().horizontalAdvance(heading) <= room,
                     qPrintable(heading));
            for (int r = 0; r < m->rowCount(); ++r) {
                if (grid->isRowHidden(r)) continue;
                const QModelIndex i = m->index(r, c);
                QFont font = grid->font();
                if (const QVariant f = m->data(i, Qt::FontRole); f.isValid())
                    font = f.value<QFont>();
                const QString text = m->data(i).toString();
                QVERIFY2(QFontMetrics(font).horizontalAdvance(text) <= room,
                         qPrintable(QStringLiteral("row %1: ").arg(r + 1) + text));
            }
        }
    }

    static void clickHeading(QTableView* grid, int section) {
        QHeaderView* header = grid->horizontalHeader();
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(section) + 4, header->height() / 2));
    }

    // The first meeting of the sample and, in it, the race of the largest field.
    std::pair<Meeting, int> fullestRace(MainWindow& main) {
        Database& tran = main.session().tran();
        Meeting meeting;
        for (const auto& course : meetingsByCourse(tran)) {
            if (!course.empty()) {
                meeting = course.front();
                break;
            }
        }
        int best = 0;
        int bestCount = 0;
        for (int race : storedRaces(tran, meeting)) {
            const auto card = readRaceCard(tran, meeting, race, "User");
            int shown = 0;
            for (const auto& line : card->lines) shown += line.shown ? 1 : 0;
            if (shown > bestCount) {
                best = race;
                bestCount = shown;
            }
        }
        return {meeting, best};
    }

  private slots:
    void initTestCase() {
        QApplication::setFont(QFont(QStringLiteral("IPAPGothic"), 9));
        weekend_ = std::make_unique<fixture::ArchivedWeekend>();
        paths_ = &weekend_->paths();
    }

    void rendersTheRaceCard() {
        MainWindow main(*paths_);
        const auto [meeting, race] = fullestRace(main);
        QVERIFY(race > 0);
        RaceCardWindow card(main, meeting);
        auto* tabs = card.findChild<QTabBar*>(QStringLiteral("raceTabs"));
        for (int t = 0; t < tabs->count(); ++t) {
            if (tabs->tabText(t) == QStringLiteral(" %1R").arg(race)) tabs->setCurrentIndex(t);
        }
        QCOMPARE(card.raceNo(), race);
        card.show();
        QVERIFY(QTest::qWaitForWindowExposed(&card));
        saveScreenshot(card, QStringLiteral("race_card_full.png"));
        checkNothingClipped(card);

        auto* grid = card.findChild<QTableView*>(QStringLiteral("runnerGrid"));
        clickHeading(grid, RunnerGridModel::Person);
        clickHeading(grid, RunnerGridModel::Class);
        QCOMPARE(card.gridModel()->headerData(RunnerGridModel::Person, Qt::Horizontal).toString(),
                 QStringLiteral("調教師"));
        saveScreenshot(card, QStringLiteral("race_card_trainers_rotation.png"));
        checkNothingClipped(card);

        auto* going = card.findChild<QPushButton*>(QStringLiteral("goingButton"));
        going->click();
        QCOMPARE(going->text(), QStringLiteral("重"));
        saveScreenshot(card, QStringLiteral("race_card_heavy.png"));
        checkNothingClipped(card);
        going->click();
    }

    // Every race of every sample meeting, with its title of two lines, fits its window.
    void everyRaceFits() {
        MainWindow main(*paths_);
        for (const auto& course : meetingsByCourse(main.session().tran())) {
            for (const Meeting& meeting : course) {
                RaceCardWindow card(main, meeting);
                card.show();
                QVERIFY(QTest::qWaitForWindowExposed(&card));
                auto* tabs = card.findChild<QTabBar*>(QStringLiteral("raceTabs"));
                for (int t = 0; t < tabs->count(); ++t) {
                    tabs->setCurrentIndex(t);
                    checkNothingClipped(card);
                    if (meeting.raceTable == course.front().raceTable && t == 10) {
                        saveScreenshot(card, QStringLiteral("race_card_named.png"));
                    }
                }
            }
        }
    }
};

QTEST_MAIN(RaceCardRenderTest)
#include "race_card_render_test.moc"
