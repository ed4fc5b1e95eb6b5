// Renders every tab of the jockey and trainer windows with sample data into PNGs under the
// build's screenshots folder, for people to look at, and checks that no figure is cut off.

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "core/views/people_info.hpp"
#include "gui/people/people_window.hpp"
#include "gui/shell/main_window.hpp"
#include "sample_weekend.hpp"
#include "widget_testing.hpp"

using namespace zelvanor;
using namespace zelvanor::gui;
using namespace zelvanor::testing;

Q_DECLARE_METATYPE(zelvanor::PersonKind)

namespace {

// The first cell or heading whose text does not fit its column, or nothing.
QString clippedCell(QWidget& window) {
    QApplication::processEvents();
    for (QTableView* view : window.findChildren<QTableView*>()) {
        const QFontMetrics fm(view->font());
        const QAbstractItemModel* model = view->model();
        for (int c = 0; c < model->columnCount(); ++c) {
            const int room = view->columnWidth(c) - 4;
            QStringList texts{model->headerData(c, Qt::Horizontal).toString()};
            for (int r = 0; r < model->rowCount(); ++r) {
                texts << model->index(r, c).data().toString().trimmed();
            }
            for (const QString& t : texts) {
                // Names are padded to their field with blanks, which show nothing.
                QString shown = t;
                while (shown.endsWith(QChar(0x3000)) || shown.endsWith(QLatin1Char(' ')))
                    shown.chop(1);
                if (fm.horizontalAdvance(shown) > room) {
                    return view->objectName() + QStringLiteral(" column %1: ").arg(c) + t;
                }
            }
        }
        if (view->verticalHeader()->isVisible() &&
            view->verticalHeader()->width() < view->verticalHeader()->sizeHint().width()) {
            return view->objectName() + QStringLiteral(" row headings");
        }
    }
    return {};
}

}  // namespace

class PeopleRenderTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    std::unique_ptr<AppPaths> paths_;

  private slots:
    void initTestCase() {
        paths_ = std::make_unique<AppPaths>(dir_.path().toStdString());
        fixture::importSampleWeekend(*paths_, {.seed = 7, .imported = fixture::Imported::Nothing});
    }

    void everyTab_data() {
        QTest::addColumn<PersonKind>("kind");
        QTest::newRow("jockey") << PersonKind::Jockey;
        QTest::newRow("trainer") << PersonKind::Trainer;
    }
    void everyTab() {
        QFETCH(PersonKind, kind);
        const bool jockey = kind == PersonKind::Jockey;
        MainWindow w(*paths_);
        w.show();
        clickButton(w, jockey ? "jockeyButton" : "trainerButton");
        auto* window = qobject_cast<PeopleWindow*>(openWindow(jockey ? "JockeyWindow" : "TrainerWindow"));
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QString prefix = jockey ? QStringLiteral("people_jockey")
                                      : QStringLiteral("people_trainer");
        saveScreenshot(*window, prefix + QStringLiteral("_empty.png"));

        // The busiest person of the sample: the most graded wins, then the most prize money.
        int best = 1;
        std::size_t bestWins = 0;
        for (int n = 1; n <= window->recordCount(); ++n) {
            const auto info = readPersonInfo(*paths_, kind, static_cast<std::size_t>(n));
            QVERIFY(info);
            std::size_t wins = 0;
            for (const auto& e : info->gradedWins) wins += e[0].empty() ? 0 : 1;
            if (wins > bestWins) {
                best = n;
                bestWins = wins;
            }
        }
        window->showRecord(best);
        QCOMPARE(clippedCell(*window), QString());

        auto* tabs = window->findChild<QTabWidget*>("tabs");
        QStringList captions;
        for (int t = 0; t < tabs->count(); ++t) captions << tabs->tabText(t);
        const QStringList expected =
            jockey ? QStringList{"基本情報", "馬場別平地成績", "距離別平地成績", "馬場別障害成績",
                                 "主な重賞勝鞍"}
                   : QStringList{"基本情報", "馬場別平地成績", "馬場別障害成績", "主な重賞勝鞍"};
        QCOMPARE(captions, expected);
        for (int t = 0; t < tabs->count(); ++t) {
            tabs->setCurrentIndex(t);
            saveScreenshot(*window, prefix + QStringLiteral("_tab%1.png").arg(t + 1));
            if (t > 0) {
                auto* heading = window->findChild<QLabel*>(QStringLiteral("nameHeading%1").arg(t));
                QVERIFY(heading);
                QCOMPARE(heading->text(), window->findChild<QLabel*>("name")->text());
            }
        }
        window->close();
    }
};

QTEST_MAIN(PeopleRenderTest)
#include "people_render_test.moc"
