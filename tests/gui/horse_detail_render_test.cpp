// Renders the horse detail window with sample data into PNGs under the build's screenshots folder,
// for people to look at: a horse with five past races and the one with the fewest.

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QtTest>

#include "core/store/store.hpp"
#include "core/views/horse_detail.hpp"
#include "core/views/meetings.hpp"
#include "core/views/race_card.hpp"
#include "gui/horse/horse_detail_window.hpp"
#include "gui/shell/main_window.hpp"
#include "sample_weekend.hpp"
#include "widget_testing.hpp"

using namespace zelvanor;
using namespace zelvanor::gui;
using namespace zelvanor::testing;

class HorseDetailRenderTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<fixture::ArchivedWeekend> weekend_;
    const AppPaths* paths_ = nullptr;

    // The first text that does not fit its room, or nothing: every label's lines, and every
    // panel caption.
    static QString clipped(QWidget& w) {
        // Texts just set lay out when their layout requests are handled.
        QApplication::processEvents();
        for (const QLabel* label : w.findChildren<QLabel*>()) {
            const QFontMetrics fm(label->font());
            for (const QString& line : label->text().split(QLatin1Char('\n'))) {
                // Trailing blanks pad a stored name; they show nothing.
                QString shown = line;
                while (shown.endsWith(QChar(0x3000)) || shown.endsWith(QLatin1Char(' ')))
                    shown.chop(1);
                if (fm.horizontalAdvance(shown) > label->contentsRect().width()) {
                    return label->objectName() + QStringLiteral(": ") + line +
                           QStringLiteral(" %1 %2 %3x%4 min %5")
                               .arg(label->width())
                               .arg(label->minimumSizeHint().width())
                               .arg(w.width())
                               .arg(w.height())
                               .arg(w.minimumSize().width());
                }
            }
        }
        for (const QGroupBox* panel : w.findChildren<QGroupBox*>()) {
            if (panel->fontMetrics().horizontalAdvance(panel->title()) + 12 > panel->width()) {
                return panel->title();
            }
        }
        return {};
    }

  private slots:
    void initTestCase() {
        QApplication::setFont(QFont(QStringLiteral("IPAPGothic"), 9));
        weekend_ = std::make_unique<fixture::ArchivedWeekend>();
        paths_ = &weekend_->paths();
    }

    void rendersHorses() {
        MainWindow main(*paths_);
        Database& tran = main.session().tran();
        // Of every runner of every sample race: one with five past races, and the one with the
        // fewest.
        struct Pick {
            Meeting meeting;
            int race = 0;
            std::string code;
            int races = -1;
        };
        Pick full, fewest;
        HorseDetailWindow every(main);
        every.show();
        QVERIFY(QTest::qWaitForWindowExposed(&every));
        for (const auto& course : meetingsByCourse(tran)) {
            for (const Meeting& meeting : course) {
                for (int race : storedRaces(tran, meeting)) {
                    for (int number = 1; number <= 18; ++number) {
                        const auto code = runnerCode(tran, meeting, race, number);
                        if (!code) continue;
                        const auto d = readHorseDetail(tran, meeting, race, *code);
                        if (!d) continue;
                        int races = 0;
                        for (const auto& p : d->pastRaces) races += p.hasRace ? 1 : 0;
                        if (races == 5 && full.races < 0) full = {meeting, race, *code, races};
                        if (fewest.races < 0 || races < fewest.races) {
                            fewest = {meeting, race, *code, races};
                        }
                        // Every horse of the sample fits the window.
                        every.showHorse(*d);
                        QApplication::processEvents();
                        every.adjustSize();
                        const QString problem = clipped(every);
                        QVERIFY2(problem.isEmpty(), qPrintable(problem));
                    }
                }
            }
        }
        every.close();
        QVERIFY(full.races == 5);
        QVERIFY(fewest.races >= 0);
        int n = 0;
        for (const Pick* pick : {&full, &fewest}) {
            HorseDetailWindow* w = openHorseDetail(main, pick->meeting, pick->race, pick->code, nullptr);
            QVERIFY(w);
            QVERIFY(QTest::qWaitForWindowExposed(w));
            QVERIFY2(clipped(*w).isEmpty(), qPrintable(clipped(*w)));
            saveScreenshot(*w, n++ == 0 ? QStringLiteral("horse_detail.png")
                                        : QStringLiteral("horse_detail_few_races.png"));
            w->close();
        }
    }
};

QTEST_MAIN(HorseDetailRenderTest)
#include "horse_detail_render_test.moc"
