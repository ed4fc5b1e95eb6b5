#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include <sqlite3.h>

#include <future>
#include <memory>

#include "core/store/store.hpp"
#include "core/views/recompute.hpp"
#include "gui/common/background_run.hpp"
#include "gui/going/going_dialog.hpp"
#include "gui/race_day/race_day_selection.hpp"
#include "gui/shell/main_window.hpp"
#include "recording_dialogs.hpp"
#include "sample_weekend.hpp"

using namespace zelvanor;
using namespace zelvanor::gui;

namespace {

// A copy of the sample weekend's databases, so that each case may change them.
struct DataFolder {
    explicit DataFolder(const QString& from) {
        for (const char* file : {"mast.mdb", "tran.mdb"}) {
            QFile::copy(from + "/" + file, dir.filePath(QString::fromLatin1(file)));
        }
    }
    QTemporaryDir dir;
    AppPaths paths{dir.path().toStdString()};
};

// A race-day selection open over a copy of the sample weekend, dialogs answered by the test.
struct Opened {
    explicit Opened(const QString& sample) : data(sample), main(data.paths), w(main) { w.show(); }
    DataFolder data;
    MainWindow main;
    RecordingDialogs answers;
    RaceDaySelection w;
};

QListWidget* list(QWidget& w, int course) {
    return w.findChild<QListWidget*>(QStringLiteral("meetingList%1").arg(course));
}

QStringList entries(const QListWidget* l) {
    QStringList out;
    for (int i = 0; i < l->count(); ++i) out << l->item(i)->text();
    return out;
}

QStringList selectedEverywhere(QWidget& w) {
    QStringList out;
    for (int i = 0; i < 10; ++i) {
        for (const QListWidgetItem* item : list(w, i)->selectedItems()) {
            out << QStringLiteral("%1:%2").arg(i).arg(item->text());
        }
    }
    return out;
}

QPoint centreOf(QListWidget* l, int row) {
    return l->visualItemRect(l->item(row)).center();
}

void select(QWidget& w, int course, int row) {
    QListWidget* l = list(w, course);
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, centreOf(l, row));
}

void click(QWidget& w, const char* name) {
    QPushButton* b = w.findChild<QPushButton*>(QString::fromLatin1(name));
    QVERIFY2(b, name);
    QTest::mouseClick(b, Qt::LeftButton);
}

// Engine columns of every runner set to a value the engine never writes, to see which meetings a
// recomputation reached.
void markEngineColumns(const AppPaths& paths) {
    Database tran(paths.tranPath());
    for (const auto& t : tran.userTables()) {
        if (t.front() == 'U') tran.exec("UPDATE " + quoteIdentifier(t) + " SET Nouryoku1 = -999");
    }
}

std::int64_t count(Database& db, const std::string& sql) {
    auto st = db.prepare(sql);
    return st.step() ? st.int64(0) : -1;
}

std::int64_t markedRunners(Database& tran, const std::string& entriesTable) {
    return count(tran, "SELECT count(*) FROM " + entriesTable + " WHERE Nouryoku1 = -999");
}

std::vector<QWidget*> visibleTopLevels(const char* name) {
    std::vector<QWidget*> out;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String(name) && w->isVisible()) out.push_back(w);
    }
    return out;
}

void closeTopLevels(const char* name) {
    for (QWidget* w : visibleTopLevels(name)) w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

const QString kNothingSelected = QStringLiteral("なんか選択してね！");

}  // namespace

class RaceDayTest : public QObject {
    Q_OBJECT

    QTemporaryDir sample_;

  private slots:
    void initTestCase() {
        QApplication::setFont(QFont(QStringLiteral("IPAPGothic"), 9));
        fixture::importSampleWeekend(AppPaths(sample_.path().toStdString()),
                                     {.seed = 7, .imported = fixture::Imported::RaceCards});
    }

    void listsHeadingsAndControls() {
        DataFolder data(sample_.path());
        MainWindow main(data.paths);
        main.findChild<QPushButton*>("raceDayButton")->click();
        const auto windows = visibleTopLevels("RaceDaySelection");
        QCOMPARE(windows.size(), size_t{1});
        QWidget& w = *windows.front();
        QCOMPARE(w.windowTitle(), QStringLiteral("予想する開催の選択"));
        // Centred before the window system adds its frame, so off by the frame's width at most.
        const QPoint offCentre =
            w.frameGeometry().center() - w.screen()->availableGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 8,
                 qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));

        const QStringList courses{"札幌", "函館", "福島", "新潟", "東京",
                                  "中山", "中京", "京都", "阪神", "小倉"};
        const QStringList weekend{"981003", "981004"};
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(w.findChild<QLabel*>(QStringLiteral("courseHeading%1").arg(i))->text(),
                     courses[i]);
            auto* check = w.findChild<QCheckBox*>(QStringLiteral("courseCheck%1").arg(i));
            QCOMPARE(check->text(), courses[i]);
            QVERIFY(!check->isChecked());
            // 新潟, 東京 and 京都 hold the weekend; the other courses stand empty.
            QCOMPARE(entries(list(w, i)), (i == 3 || i == 4 || i == 7) ? weekend : QStringList{});
        }
        QStringList buttons;
        for (const char* name : {"predictButton", "backButton", "deleteButton", "paybackButton",
                                 "recomputeButton", "goingButton"}) {
            buttons << w.findChild<QPushButton*>(name)->text();
        }
        QCOMPARE(buttons, (QStringList{"予想する", "戻る", "削除する", "払い戻し", "再計算する",
                                       "馬場設定"}));
        QVERIFY(w.findChild<QPushButton*>("paybackButton")->isEnabled());
        QCOMPARE(w.findChild<QGroupBox*>("recomputeFrame")->title(),
                 QStringLiteral("再計算Ｏｐｔｉｏｎ"));
        QCOMPARE(w.findChild<QPushButton*>("recomputeAllButton")->text(),
                 QStringLiteral("全レースの再計算"));
        QCOMPARE(w.findChild<QLabel*>("counter")->text(), QStringLiteral("処理件数"));

        QStringList menu;
        for (QAction* a : w.findChild<QMenu*>("meetingMenu")->actions()) {
            menu << (a->isSeparator() ? QStringLiteral("-") : a->text());
        }
        QCOMPARE(menu, (QStringList{"払い戻し", "-", "再計算する", "馬場設定", "予想する", "-",
                                    "削除する", "-", "キャンセル"}));
        QVERIFY(w.findChild<QAction*>("paybackAction")->isEnabled());
        closeTopLevels("RaceDaySelection");
    }

    void anUnreadableStoreIsToldAndOpensNothing() {
        QTemporaryDir dir;
        QFile tran(dir.filePath("tran.mdb"));
        QVERIFY(tran.open(QIODevice::WriteOnly));
        tran.write(QByteArray(4096, 'x'));
        tran.close();
        MainWindow main(AppPaths(dir.path().toStdString()));
        RecordingDialogs answers;
        main.findChild<QPushButton*>("raceDayButton")->click();
        // Told once the start's read of the file ends, which may come after the click.
        QTRY_COMPARE(answers.shown.size(), size_t{1});
        QVERIFY(answers.shown[0].icon == UserDialogs::Icon::Critical);
        QVERIFY2(answers.shown[0].text.startsWith(QStringLiteral("tran.mdb が壊れています")),
                 qPrintable(answers.shown[0].text));
        QTRY_VERIFY(visibleTopLevels("RaceDaySelection").empty());
    }

    void oneEntrySelectedInTheWholeWindow() {
        Opened opened(sample_.path());
        auto& w = opened.w;
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        select(w, 4, 1);
        QCOMPARE(selectedEverywhere(w), QStringList{"4:981004"});
        QCOMPARE(QString::fromStdString(w.selectedMeeting()->raceTable),
                 QStringLiteral("D05981004"));
        select(w, 7, 0);
        QCOMPARE(selectedEverywhere(w), QStringList{"7:981003"});

        // A right click in another list opens the menu and leaves the selection alone.
        QListWidget* niigata = list(w, 3);
        QTest::mouseClick(niigata->viewport(), Qt::RightButton, {}, centreOf(niigata, 1));
        auto* menu = w.findChild<QMenu*>("meetingMenu");
        QTRY_VERIFY(menu->isVisible());
        menu->close();
        QCOMPARE(selectedEverywhere(w), QStringList{"7:981003"});

        // Moving into a list, even an empty one, clears the others.
        list(w, 0)->setFocus(Qt::TabFocusReason);
        QCOMPARE(selectedEverywhere(w), QStringList{});
        QVERIFY(!w.selectedMeeting());
    }

    void theFirstArrowSelectsTheFirstEntry() {
        Opened opened(sample_.path());
        auto& w = opened.w;
        QVERIFY(QTest::qWaitForWindowActive(&w));
        // The keyboard starts in the first course holding meetings.
        QCOMPARE(QApplication::focusWidget(), list(w, 3));
        QTest::keyClick(list(w, 3), Qt::Key_Down);
        QCOMPARE(selectedEverywhere(w), QStringList{"3:981003"});
        QListWidget* tokyo = list(w, 4);
        tokyo->setFocus(Qt::TabFocusReason);
        QTest::keyClick(tokyo, Qt::Key_Down);
        QCOMPARE(selectedEverywhere(w), QStringList{"4:981003"});
        QTest::keyClick(tokyo, Qt::Key_Down);
        QCOMPARE(selectedEverywhere(w), QStringList{"4:981004"});
        // Another list takes the selection; back here, the first arrow selects the entry that
        // was current rather than moving past it.
        select(w, 7, 0);
        tokyo->setFocus(Qt::TabFocusReason);
        QTest::keyClick(tokyo, Qt::Key_Up);
        QCOMPARE(selectedEverywhere(w), QStringList{"4:981004"});
    }

    // With many seasons stored, the start's read of the race database's schema takes seconds:
    // the window shows at once, empty under the busy pointer, and fills its lists when the read
    // ends. Another program holding the file makes the read wait here.
    void aSlowSchemaReadShowsTheWindowAtOnce() {
        DataFolder data(sample_.path());
        sqlite3* holder = nullptr;
        QCOMPARE(sqlite3_open(data.paths.tranPath().c_str(), &holder), SQLITE_OK);
        QCOMPARE(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        MainWindow main(data.paths);
        main.findChild<QPushButton*>("raceDayButton")->click();
        const auto windows = visibleTopLevels("RaceDaySelection");
        QCOMPARE(windows.size(), size_t{1});
        QWidget& w = *windows.front();
        QCOMPARE(w.cursor().shape(), Qt::BusyCursor);
        QVERIFY(entries(list(w, 4)).isEmpty());
        QVERIFY(!main.session().schemaRead());

        sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(holder);
        QTRY_COMPARE_WITH_TIMEOUT(entries(list(w, 4)), (QStringList{"981003", "981004"}), 10000);
        QCOMPARE(w.cursor().shape(), Qt::ArrowCursor);
        closeTopLevels("RaceDaySelection");
    }

    void actionsWithoutASelectionSayNothingIsSelected() {
        Opened opened(sample_.path());
        auto& [data, main, answers, w] = opened;
        for (const char* button :
             {"predictButton", "deleteButton", "recomputeButton", "goingButton"}) {
            answers.shown.clear();
            click(w, button);
            QCOMPARE(answers.shown.size(), size_t{1});
            QCOMPARE(answers.shown[0].text, kNothingSelected);
            QVERIFY(answers.shown[0].icon == UserDialogs::Icon::Critical);
        }
        for (const char* item :
             {"recomputeAction", "goingAction", "predictAction", "deleteAction"}) {
            answers.shown.clear();
            w.findChild<QAction*>(item)->trigger();
            QCOMPARE(answers.shown.size(), size_t{1});
            QCOMPARE(answers.shown[0].text, kNothingSelected);
        }
        QVERIFY(!main.progressBar()->isVisible());

        // A double click on an empty part of a list, or Enter without a selection, does nothing.
        answers.shown.clear();
        QListWidget* tokyo = list(w, 4);
        QTest::mouseDClick(tokyo->viewport(), Qt::LeftButton, {},
                           QPoint(10, tokyo->viewport()->height() - 5));
        tokyo->setFocus();
        QTest::keyClick(tokyo, Qt::Key_Return);
        QVERIFY(answers.shown.empty());
        QVERIFY(w.isVisible());
        QVERIFY(visibleTopLevels("RaceCardWindow").empty());
    }

    void deleteAsksAndDropsBothTablesUnlessNo() {
        Opened opened(sample_.path());
        auto& [data, main, answers, w] = opened;
        select(w, 4, 0);

        answers.confirmAnswer = false;
        click(w, "deleteButton");
        QCOMPARE(answers.shown.size(), size_t{1});
        QCOMPARE(
            answers.shown[0].text,
            QStringLiteral("東京 98/10/03の\n\n出馬表・競走馬データを削除します。宜しいですか？"));
        QCOMPARE(answers.confirmTitles, QStringList{"置き換えの確認"});
        QCOMPARE(answers.shown[0].icon, UserDialogs::Icon::None);
        {
            Database tran(data.paths.tranPath());
            QVERIFY(tran.hasTable("D05981003"));
            QVERIFY(tran.hasTable("U05981003"));
        }
        QCOMPARE(entries(list(w, 4)), (QStringList{"981003", "981004"}));

        answers.confirmAnswer = true;
        w.findChild<QAction*>("deleteAction")->trigger();
        QCOMPARE(answers.shown.size(), size_t{2});
        {
            Database tran(data.paths.tranPath());
            QVERIFY(!tran.hasTable("D05981003"));
            QVERIFY(!tran.hasTable("U05981003"));
            QVERIFY(tran.hasTable("D05981004"));
        }
        QCOMPARE(entries(list(w, 4)), QStringList{"981004"});
        QVERIFY(w.isVisible());
    }

    void deletingAMeetingAlreadyGoneSaysNothing() {
        Opened opened(sample_.path());
        auto& [data, main, answers, w] = opened;
        select(w, 7, 1);
        {
            Database other(data.paths.tranPath());
            other.dropTable("D08981004");
        }
        click(w, "deleteButton");
        QVERIFY(answers.shown.empty());
        Database tran(data.paths.tranPath());
        QVERIFY(tran.hasTable("U08981004"));
    }

    void predictDoubleClickAndEnterOpenTheRaceCard() {
        enum class Way { Button, MenuItem, DoubleClick, Enter };
        for (const Way way : {Way::Button, Way::MenuItem, Way::DoubleClick, Way::Enter}) {
            DataFolder data(sample_.path());
            MainWindow main(data.paths);
            RecordingDialogs answers;
            QPointer<RaceDaySelection> w = new RaceDaySelection(main);
            w->setAttribute(Qt::WA_DeleteOnClose);
            w->show();
            QListWidget* niigata = list(*w, 3);
            select(*w, 3, 1);
            switch (way) {
                case Way::Button:
                    click(*w, "predictButton");
                    break;
                case Way::MenuItem:
                    w->findChild<QAction*>("predictAction")->trigger();
                    break;
                case Way::DoubleClick:
                    QTest::mouseDClick(niigata->viewport(), Qt::LeftButton, {},
                                       centreOf(niigata, 1));
                    break;
                case Way::Enter:
                    niigata->setFocus();
                    QTest::keyClick(niigata, Qt::Key_Enter);
                    break;
            }
            QVERIFY(answers.shown.empty());
            QCOMPARE(visibleTopLevels("RaceCardWindow").size(), size_t{1});
            QVERIFY(!w || !w->isVisible());
            closeTopLevels("RaceCardWindow");
        }
    }

    void backTurnsTheMainCommandsOnAndCloses() {
        Opened opened(sample_.path());
        auto& [data, main, answers, w] = opened;
        main.setRaceCardOpen(true);
        click(w, "backButton");
        QVERIFY(!w.isVisible());
        QVERIFY(main.findChild<QAction*>("raceDayAction")->isEnabled());
        QVERIFY(main.findChild<QAction*>("horseImportAction")->isEnabled());
        QVERIFY(main.findChild<QPushButton*>("raceDayButton")->isEnabled());
    }

    void recomputeOneMeeting() {
        Opened opened(sample_.path());
        auto& [data, main, answers, w] = opened;
        markEngineColumns(data.paths);
        main.show();
        select(w, 3, 1);
        QList<int> progress;
        connect(main.progressBar(), &QProgressBar::valueChanged, this,
                [&](int v) { progress << v; });
        w.findChild<QAction*>("recomputeAction")->trigger();

        QCOMPARE(answers.shown.size(), size_t{1});
        QCOMPARE(answers.shown[0].text,
                 QStringLiteral("設定されている予想定数の内容で再計算が終了しました。\n"
                                "再計算された内容は予想画面又は予想検証画面で確認できます。"));
        QVERIFY(answers.shown[0].icon == UserDialogs::Icon::None);
        // r/12 of the way before race r, then back to 0 once hidden.
        QCOMPARE(progress, (QList<int>{8, 17, 25, 33, 42, 50, 58, 67, 75, 83, 92, 100, 0}));
        QVERIFY(!main.progressBar()->isVisible());
        for (const char* b : {"predictButton", "backButton", "deleteButton", "paybackButton",
                              "recomputeButton", "goingButton"}) {
            QVERIFY2(w.findChild<QPushButton*>(b)->isEnabled(), b);
        }
        Database tran(data.paths.tranPath());
        QCOMPARE(markedRunners(tran, "U04981004"), std::int64_t{0});
        QVERIFY(markedRunners(tran, "U04981003") > 0);
        QVERIFY(markedRunners(tran, "U05981004") > 0);
    }

    void recomputeEveryMeetingOfTheTickedCourses() {
        Opened opened(sample_.path());
        auto& [data, main, answers, w] = opened;
        markEngineColumns(data.paths);
        main.show();
        auto* counter = w.findChild<QLabel*>("counter");

        // Nothing ticked: nothing computed, the counter keeps its text.
        click(w, "recomputeAllButton");
        QCOMPARE(counter->text(), QStringLiteral("処理件数"));

        w.findChild<QCheckBox*>("courseCheck3")->setChecked(true);
        w.findChild<QCheckBox*>("courseCheck4")->setChecked(true);
        QStringList counts;
        QList<int> progress;
        connect(main.progressBar(), &QProgressBar::valueChanged, this, [&](int v) {
            progress << v;
            counts << counter->text();
        });
        click(w, "recomputeAllButton");

        QVERIFY(answers.shown.empty());
        QCOMPARE(counter->text(), QStringLiteral("4/4"));
        // Each meeting's share is shown as it starts; the counter follows the bar.
        QCOMPARE(progress, (QList<int>{25, 50, 75, 100, 0}));
        QCOMPARE(counts, (QStringList{"1/4", "2/4", "3/4", "4/4", "4/4"}));
        QVERIFY(!main.progressBar()->isVisible());
        Database tran(data.paths.tranPath());
        for (const char* done : {"U04981003", "U04981004", "U05981003", "U05981004"}) {
            QVERIFY2(markedRunners(tran, done) == 0, done);
        }
        for (const char* untouched : {"U08981003", "U08981004"}) {
            QVERIFY2(markedRunners(tran, untouched) > 0, untouched);
        }
        QVERIFY(w.isVisible());
    }

    void aFailingRecomputationIsToldAndChangesNothing() {
        Opened opened(sample_.path());
        auto& [data, main, answers, w] = opened;
        markEngineColumns(data.paths);
        // The recomputation opens its own connections; a mast.mdb that cannot be opened fails it.
        QFile::remove(QString::fromStdString(data.paths.mastPath().string()));
        QDir(data.dir.path()).mkdir("mast.mdb");

        select(w, 4, 0);
        click(w, "recomputeButton");
        QCOMPARE(answers.shown.size(), size_t{1});
        QVERIFY(answers.shown[0].icon == UserDialogs::Icon::Critical);
        QVERIFY2(answers.shown[0].text.endsWith(QStringLiteral("この操作は取り消されました。")),
                 qPrintable(answers.shown[0].text));
        QVERIFY(w.findChild<QPushButton*>("predictButton")->isEnabled());

        w.findChild<QCheckBox*>("courseCheck7")->setChecked(true);
        click(w, "recomputeAllButton");
        QCOMPARE(answers.shown.size(), size_t{2});
        QVERIFY(answers.shown[1].icon == UserDialogs::Icon::Critical);
        QVERIFY(!main.progressBar()->isVisible());
        Database tran(data.paths.tranPath());
        QVERIFY(markedRunners(tran, "U05981003") > 0);
        QVERIFY(markedRunners(tran, "U08981003") > 0);
    }

    void goingOpensModalOverTheSelection() {
        Opened opened(sample_.path());
        auto& [data, main, answers, w] = opened;
        select(w, 7, 0);
        click(w, "goingButton");
        auto* dialog = w.findChild<GoingDialog*>("GoingDialog");
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        auto* heavy = dialog->findChild<QRadioButton*>("heavyOption");
        QTest::mouseClick(heavy, Qt::LeftButton, {}, QPoint(8, heavy->height() / 2));
        QTest::mouseClick(dialog->findChild<QPushButton*>("updateButton"), Qt::LeftButton);
        QCOMPARE(answers.shown.size(), size_t{1});
        Database tran(data.paths.tranPath());
        QCOMPARE(count(tran, "SELECT count(*) FROM D08981003 WHERE RyoOmo <> 2"), std::int64_t{0});
        QCOMPARE(count(tran, "SELECT count(*) FROM D08981004 WHERE RyoOmo = 2"), std::int64_t{0});
    }

    // The recomputation's wait: windows keep running their events, while the user's clicks, keys
    // and close box are dropped (not held back until the end) and a failure comes back to the
    // caller.
    void backgroundWorkDropsInputAndRethrows() {
        QWidget window;
        auto* button = new QPushButton(QStringLiteral("x"), &window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        int clicks = 0;
        connect(button, &QPushButton::clicked, this, [&] { ++clicks; });
        bool posted = false;

        std::promise<void> clicked;
        runInBackground([&] {
            QMetaObject::invokeMethod(
                button,
                [&] {
                    QTest::mouseClick(button, Qt::LeftButton);
                    button->setFocus();
                    QTest::keyClick(button, Qt::Key_Space);
                    window.windowHandle()->close();  // as the close box does
                    clicked.set_value();
                },
                Qt::QueuedConnection);
            clicked.get_future().wait();
            QMetaObject::invokeMethod(
                button, [&] { posted = true; }, Qt::QueuedConnection);
        });
        QVERIFY(posted);
        QCOMPARE(clicks, 0);
        QCoreApplication::processEvents();
        QCOMPARE(clicks, 0);
        QVERIFY(window.isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicks, 1);
        window.windowHandle()->close();
        QVERIFY(!window.isVisible());

        QVERIFY_THROWS_EXCEPTION(StoreError, runInBackground([] { throw StoreError("x"); }));
    }

    // A notice of the work is a real message box on the window thread: the work waits for the
    // user's answer, and the box, alone among the windows, takes the keyboard meanwhile.
    void aNoticeOfBackgroundWorkIsAnsweredWhileTheWorkWaits() {
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        struct BoxNotifier final : Notifier {
            QWidget* parent = nullptr;
            void notify(const std::string& text, const std::string&, Icon) override {
                dialogs().message(parent, QString::fromStdString(text), QString(),
                                  UserDialogs::Icon::None);
            }
        } boxes;
        boxes.parent = &window;
        WindowThreadNotifier fromWork(boxes, &window);
        QString answered;
        QTimer::singleShot(50, [&] {
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box);
            answered = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
        bool after = false;
        runInBackground([&] {
            fromWork.notify("成績データの取込が終了しました。", "", Notifier::Icon::None);
            after = true;
        });
        QCOMPARE(answered, QStringLiteral("成績データの取込が終了しました。"));
        QVERIFY(after);
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(RaceDayTest)
#include "race_day_test.moc"
