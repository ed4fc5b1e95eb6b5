// The payback window driven as a person does: opened from the race-day selection, its options
// clicked, 戻る; what it shows is compared with the core's figures for the same meeting.

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "core/shell/constants.hpp"
#include "core/store/store.hpp"
#include "core/views/payback.hpp"
#include "gui/common/text_grid_model.hpp"
#include "gui/payback/payback_window.hpp"
#include "gui/race_day/race_day_selection.hpp"
#include "gui/shell/main_window.hpp"
#include "recording_dialogs.hpp"
#include "sample_weekend.hpp"

using namespace zelvanor;
using namespace zelvanor::gui;

namespace {

// A race-day selection open over a copy of the imported weekend, dialogs answered by the test.
struct Opened {
    explicit Opened(const QString& sample) {
        for (const char* file : {"mast.mdb", "tran.mdb"}) {
            QFile::copy(sample + "/" + file, dir.filePath(QString::fromLatin1(file)));
        }
        main = std::make_unique<MainWindow>(paths);
        selection = std::make_unique<RaceDaySelection>(*main);
        selection->show();
    }
    ~Opened() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String("PaybackWindow")) w->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QTemporaryDir dir;
    AppPaths paths{dir.path().toStdString()};
    RecordingDialogs answers;
    std::unique_ptr<MainWindow> main;
    std::unique_ptr<RaceDaySelection> selection;
};

// 東京 (list 4), its first meeting.
void selectTokyo(RaceDaySelection& w) {
    auto* list = w.findChild<QListWidget*>(QStringLiteral("meetingList4"));
    QVERIFY(list && list->count() > 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(0)).center());
}

Meeting tokyo(const Opened& o) {
    auto* list = o.selection->findChild<QListWidget*>(QStringLiteral("meetingList4"));
    return meetingOf("D05" + list->item(0)->text().toStdString());
}

PaybackWindow* openWindow() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("PaybackWindow") && w->isVisible()) {
            return qobject_cast<PaybackWindow*>(w);
        }
    }
    return nullptr;
}

template <typename W>
W* child(QWidget* w, const char* name) {
    W* found = w->findChild<W*>(QString::fromLatin1(name));
    if (!found) qWarning("no %s", name);
    return found;
}

// 東京's first meeting selected and 払い戻し pressed: the window it opened, if any.
PaybackWindow* openFromTheButton(Opened& o) {
    selectTokyo(*o.selection);
    QTest::mouseClick(child<QPushButton>(o.selection.get(), "paybackButton"), Qt::LeftButton);
    return openWindow();
}

QString cellText(QWidget* w, const char* grid, int row, int column) {
    const QAbstractItemModel* m = child<QTableView>(w, grid)->model();
    return m->data(m->index(row, column)).toString();
}

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

PaybackSheet coreSheet(const AppPaths& paths, const Meeting& meeting) {
    Database tran(paths.tranPath());
    Database mast(paths.mastPath());
    return *readPayback(tran, meeting, personaName(readConstants(mast)));
}

// Every data cell of the three grids against the core's texts for the options.
void compareWithCore(QWidget* w, const PaybackSheet& sheet, const PaybackOptions& options) {
    const PaybackMarkCells marks = paybackMarks(sheet, options);
    const PaybackTotalCells totals = paybackTotals(sheet, options);
    for (int r = 0; r < kPaybackRaces; ++r) {
        const PaybackRace& race = sheet.races[static_cast<std::size_t>(r)];
        for (int c = 0; c < kPaybackResultColumns; ++c) {
            QCOMPARE(cellText(w, "resultsGrid", r, c),
                     q(race.results[static_cast<std::size_t>(c)]));
        }
        for (int p = 0; p < kPersonaCount; ++p) {
            QCOMPARE(cellText(w, "resultsGrid", r, kPaybackResultColumns + p),
                     q(marks[static_cast<std::size_t>(r)][static_cast<std::size_t>(p)]));
            for (int k = 0; k < kPaybackPickColumns; ++k) {
                QCOMPARE(cellText(w, "picksGrid", r, p * kPaybackPickColumns + k),
                         q(race.picks[static_cast<std::size_t>(p)][static_cast<std::size_t>(k)]));
            }
        }
    }
    for (int row = 0; row < 4; ++row) {
        for (int p = 0; p < kPersonaCount; ++p) {
            QCOMPARE(cellText(w, "totalsGrid", row, p),
                     q(totals[static_cast<std::size_t>(row)][static_cast<std::size_t>(p)]));
        }
    }
}

}  // namespace

class PaybackTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir sample_;

  private slots:
    void initTestCase() {
        QVERIFY(sample_.isValid());
        const AppPaths paths(sample_.path().toStdString());
        fixture::importSampleWeekend(paths,
                                     {.seed = 1998,
                                      .imported = fixture::Imported::WithResults,
                                      .archives = sample_.filePath("archives").toStdString()});
    }

    void opensFromThePaybackButtonWithTheCoresTexts() {
        Opened o(sample_.path());
        PaybackWindow* w = openFromTheButton(o);
        QVERIFY(w);
        QVERIFY(o.answers.shown.empty());
        QCOMPARE(w->windowTitle(), QStringLiteral("開催日別払戻情報（予想成績）"));
        QCOMPARE(w->windowModality(), Qt::ApplicationModal);
        // The selection stays open behind it.
        QVERIFY(o.selection->isVisible());

        const PaybackSheet sheet = coreSheet(o.paths, tokyo(o));
        QCOMPARE(child<QLabel>(w, "heading")->text(), q(sheet.heading));
        QVERIFY(!sheet.heading.empty());
        // The defaults: 均等買い, ６点買い, 全レース対象, 連勝.
        for (const char* on :
             {"stakeOption0", "ticketOption2", "rangeOption0", "markKindOption1"}) {
            QVERIFY2(child<QRadioButton>(w, on)->isChecked(), on);
        }
        compareWithCore(w, sheet, PaybackOptions{});

        const QAbstractItemModel* results = child<QTableView>(w, "resultsGrid")->model();
        QCOMPARE(results->headerData(0, Qt::Horizontal).toString(), QStringLiteral("１着"));
        QCOMPARE(results->headerData(11, Qt::Horizontal).toString(), QStringLiteral(" 翠嶺"));
        QCOMPARE(results->headerData(0, Qt::Vertical).toString(), QStringLiteral("　１Ｒ"));
        QCOMPARE(results->headerData(11, Qt::Vertical).toString(), QStringLiteral("１２Ｒ"));
        const QAbstractItemModel* totals = child<QTableView>(w, "totalsGrid")->model();
        QCOMPARE(totals->headerData(3, Qt::Vertical).toString(), QStringLiteral("連回収"));
    }

    void theContextMenuOpensItAndNothingSelectedIsTold() {
        Opened o(sample_.path());
        auto* item = child<QMenu>(o.selection.get(), "meetingMenu")
                         ->findChild<QAction*>(QStringLiteral("paybackAction"));
        QVERIFY(item);
        item->trigger();
        QVERIFY(!openWindow());
        QCOMPARE(o.answers.shown.size(), std::size_t{1});
        QCOMPARE(o.answers.shown[0].text, QStringLiteral("なんか選択してね！"));

        selectTokyo(*o.selection);
        item->trigger();
        QVERIFY(openWindow());
    }

    // Each click recomputes from what was read on opening: the meeting is deleted underneath
    // first, and the figures still follow the options.
    void optionClicksChangeTheTotalsToTheCoresFigures() {
        Opened o(sample_.path());
        PaybackWindow* w = openFromTheButton(o);
        QVERIFY(w);
        const Meeting meeting = tokyo(o);
        const PaybackSheet sheet = coreSheet(o.paths, meeting);
        {
            Database tran(o.paths.tranPath());
            deleteMeeting(tran, meeting);
        }

        struct Step {
            const char* click;
            PaybackOptions expected;
        };
        using S = PaybackStakes;
        using R = PaybackRange;
        using M = PaybackMarks;
        const Step steps[] = {
            {"stakeOption1", {S::Weighted, 6, R::All, M::Pair}},
            {"ticketOption1", {S::Weighted, 3, R::All, M::Pair}},
            {"rangeOption2", {S::Weighted, 3, R::Main, M::Pair}},
            {"markKindOption0", {S::Weighted, 3, R::Main, M::Win}},
            {"ticketOption0", {S::Weighted, 1, R::Main, M::Win}},
            {"rangeOption1", {S::Weighted, 1, R::Afternoon, M::Win}},
            {"stakeOption0", {S::Equal, 1, R::Afternoon, M::Win}},
            {"markKindOption1", {S::Equal, 1, R::Afternoon, M::Pair}},
            {"ticketOption2", {S::Equal, 6, R::Afternoon, M::Pair}},
        };
        QStringList seen;
        for (const Step& s : steps) {
            // On the button's circle: its caption ends well before the frame does.
            QRadioButton* b = child<QRadioButton>(w, s.click);
            QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
            const PaybackOptions o2 = w->options();
            QVERIFY2(o2.stakes == s.expected.stakes && o2.tickets == s.expected.tickets &&
                         o2.range == s.expected.range && o2.marks == s.expected.marks,
                     s.click);
            compareWithCore(w, sheet, s.expected);
            seen << cellText(w, "totalsGrid", 3, 0) + cellText(w, "totalsGrid", 1, 1);
        }
        // The options do change what is shown.
        seen.removeDuplicates();
        QVERIFY(seen.size() > 2);
    }

    void hitsStandOut() {
        Opened o(sample_.path());
        PaybackWindow* w = openFromTheButton(o);
        QVERIFY(w);
        const QAbstractItemModel* results = child<QTableView>(w, "resultsGrid")->model();
        const QAbstractItemModel* picks = child<QTableView>(w, "picksGrid")->model();
        int hits = 0;
        for (int r = 0; r < kPaybackRaces; ++r) {
            for (int p = 0; p < kPersonaCount; ++p) {
                const QModelIndex mark = results->index(r, kPaybackResultColumns + p);
                const QString text = mark.data().toString();
                QCOMPARE(mark.data(TextGridModel::HitRole).toBool(), text.startsWith("的中"));
                if (!text.startsWith("的中")) continue;
                ++hits;
                QVERIFY(mark.data(Qt::BackgroundRole).isValid());
                // The ticket that hit, in the picks grid.
                const int k = text.mid(2).toInt();
                QVERIFY(picks->index(r, p * kPaybackPickColumns + k)
                            .data(TextGridModel::HitRole)
                            .toBool());
            }
        }
        QVERIFY(hits > 0);
    }

    void backRestoresTheMainWindow() {
        Opened o(sample_.path());
        o.main->show();
        o.main->setRaceCardOpen(true);
        o.main->showMinimized();
        PaybackWindow* w = openFromTheButton(o);
        QVERIFY(w);
        QTest::mouseClick(child<QPushButton>(w, "backButton"), Qt::LeftButton);
        QVERIFY(!openWindow());
        QVERIFY(!o.main->isMinimized());
        QVERIFY(o.main->findChild<QAction*>("raceDayAction")->isEnabled());
        QVERIFY(o.main->findChild<QAction*>("horseImportAction")->isEnabled());
        QVERIFY(o.main->findChild<QPushButton*>("raceDayButton")->isEnabled());
        QVERIFY(o.selection->isVisible());
    }

    void aMeetingGoneMeanwhileIsTold() {
        Opened o(sample_.path());
        selectTokyo(*o.selection);
        {
            Database tran(o.paths.tranPath());
            deleteMeeting(tran, tokyo(o));
        }
        QTest::mouseClick(child<QPushButton>(o.selection.get(), "paybackButton"), Qt::LeftButton);
        QVERIFY(!openWindow());
        QCOMPARE(o.answers.shown.size(), std::size_t{1});
        QCOMPARE(o.answers.shown[0].text, q(paybackMissingText(tokyo(o))));
    }
};

QTEST_MAIN(PaybackTest)
#include "payback_test.moc"
