// The jockey and trainer information windows as the main window opens them: the commands they
// disable while they exist, stepping through the list with wrap-around, and the message when
// there is no one to show.

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QAbstractItemModelTester>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/views/people_info.hpp"
#include "gui/common/text_grid_model.hpp"
#include "gui/people/people_window.hpp"
#include "gui/shell/main_window.hpp"
#include "recording_dialogs.hpp"
#include "sample_weekend.hpp"
#include "widget_testing.hpp"

using namespace zelvanor;
using namespace zelvanor::gui;
using namespace zelvanor::testing;

Q_DECLARE_METATYPE(zelvanor::PersonKind)

namespace {

// Everything a kind of window is told apart by in these tests.
struct KindNames {
    const char* window;
    const char* button;
    const char* menuItem;
    const char* importItem;
    const char* otherButton;
    const char* title;
    const char* hint;
};

KindNames namesOf(PersonKind kind) {
    if (kind == PersonKind::Jockey) {
        return {"JockeyWindow", "jockeyButton", "jockeyInfoAction", "jockeyImportAction",
                "trainerButton", "ＪＲＡ騎手情報検索", "←  のりストから騎手を選んでね。  (^○^)"};
    }
    return {"TrainerWindow", "trainerButton", "trainerInfoAction", "trainerImportAction",
            "jockeyButton", "ＪＲＡ調教師情報検索", "←  のりストから調教師を選んでね。  (^○^)"};
}

// The commands the open window turns off, as one state: "on", "off", or "mixed" when they
// disagree.
QString commands(MainWindow& w, const KindNames& n) {
    const bool states[] = {
        w.findChild<QPushButton*>(n.button)->isEnabled(),
        w.findChild<QAction*>(n.menuItem)->isEnabled(),
        w.findChild<QAction*>(n.importItem)->isEnabled(),
        // The batch import holds this kind's import.
        w.findChild<QAction*>("batchImportAction")->isEnabled(),
    };
    if (std::all_of(std::begin(states), std::end(states), [](bool b) { return b; })) return "on";
    if (std::none_of(std::begin(states), std::end(states), [](bool b) { return b; })) return "off";
    return "mixed";
}

// The code the window shows, as the list item begins.
QString shownCode(QWidget& window) {
    return window.findChild<QLabel*>("code")->text().trimmed();
}

}  // namespace

class PeopleWindowTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    std::unique_ptr<AppPaths> paths_;

  private slots:
    void initTestCase() {
        paths_ = std::make_unique<AppPaths>(dir_.path().toStdString());
        fixture::importSampleWeekend(*paths_, {.seed = 7, .imported = fixture::Imported::Nothing});
    }

    void openAndClose_data() {
        QTest::addColumn<PersonKind>("kind");
        QTest::addColumn<bool>("byMenu");
        QTest::newRow("jockey by button, closed by メニューに戻る") << PersonKind::Jockey << false;
        QTest::newRow("jockey by menu, closed by its close box") << PersonKind::Jockey << true;
        QTest::newRow("trainer by button, closed by メニューに戻る") << PersonKind::Trainer << false;
        QTest::newRow("trainer by menu, closed by its close box") << PersonKind::Trainer << true;
    }
    void openAndClose() {
        QFETCH(PersonKind, kind);
        QFETCH(bool, byMenu);
        const KindNames n = namesOf(kind);
        MainWindow w(*paths_);
        w.show();
        QCOMPARE(commands(w, n), QStringLiteral("on"));
        if (byMenu) {
            w.findChild<QAction*>(n.menuItem)->trigger();
        } else {
            clickButton(w, n.button);
        }
        QWidget* window = openWindow(n.window);
        QVERIFY(window);
        QCOMPARE(commands(w, n), QStringLiteral("off"));
        // The other kind's commands stay as they were.
        QVERIFY(w.findChild<QPushButton*>(n.otherButton)->isEnabled());
        QCOMPARE(window->windowTitle(), QString::fromUtf8(n.title));
        QCOMPARE(window->findChild<QLabel*>("hint")->text(), QString::fromUtf8(n.hint));
        QCOMPARE(window->findChild<QPushButton*>("previousButton")->text(), QStringLiteral("＜"));
        QCOMPARE(window->findChild<QPushButton*>("nextButton")->text(), QStringLiteral("＞"));
        QCOMPARE(window->findChild<QPushButton*>("backButton")->text(),
                 QStringLiteral("メニューに戻る"));
        auto* people = qobject_cast<PeopleWindow*>(window);
        QVERIFY(people->recordCount() > 0);
        QCOMPARE(people->currentRecord(), 0);
        QCOMPARE(window->findChild<QComboBox*>("personBox")->currentIndex(), -1);
        QCOMPARE(window->findChild<QTabWidget*>("tabs")->count(),
                 kind == PersonKind::Jockey ? 5 : 4);
        // An import run meanwhile turns the main window's buttons off and on again: not this one.
        {
            RecordingDialogs dialogs;
            w.batchImport();
            QCOMPARE(dialogs.shown.size(), std::size_t{1});
        }
        QVERIFY(!w.findChild<QPushButton*>(n.button)->isEnabled());
        QCOMPARE(commands(w, n), QStringLiteral("off"));
        QVERIFY(w.findChild<QPushButton*>(n.otherButton)->isEnabled());

        if (byMenu) {
            window->close();
        } else {
            clickButton(*window, "backButton");
        }
        QCOMPARE(commands(w, n), QStringLiteral("on"));
        QTRY_VERIFY(!openWindow(n.window));
    }

    void steppingWrapsAround_data() {
        QTest::addColumn<PersonKind>("kind");
        QTest::newRow("jockeys") << PersonKind::Jockey;
        QTest::newRow("trainers") << PersonKind::Trainer;
    }
    void steppingWrapsAround() {
        QFETCH(PersonKind, kind);
        const KindNames n = namesOf(kind);
        MainWindow w(*paths_);
        w.show();
        clickButton(w, n.button);
        QWidget* window = openWindow(n.window);
        QVERIFY(window);
        auto* people = qobject_cast<PeopleWindow*>(window);
        auto* combo = window->findChild<QComboBox*>("personBox");
        const int count = people->recordCount();
        QVERIFY(count > 2);

        // ＜ before any selection shows the last.
        clickButton(*window, "previousButton");
        QCOMPARE(people->currentRecord(), count);
        QCOMPARE(combo->currentIndex(), count - 1);
        QVERIFY(combo->currentText().startsWith(shownCode(*window) + "  :  "));
        // ＞ from the last shows the first.
        clickButton(*window, "nextButton");
        QCOMPARE(people->currentRecord(), 1);
        QCOMPARE(combo->currentIndex(), 0);
        QVERIFY(combo->currentText().startsWith(shownCode(*window) + "  :  "));
        // ＜ from the first shows the last again.
        clickButton(*window, "previousButton");
        QCOMPARE(people->currentRecord(), count);

        // Choosing from the list shows that one; stepping goes on from there.
        combo->setCurrentIndex(1);
        emit combo->activated(1);
        QCOMPARE(people->currentRecord(), 2);
        QVERIFY(combo->currentText().startsWith(shownCode(*window) + "  :  "));
        clickButton(*window, "nextButton");
        QCOMPARE(people->currentRecord(), 3);
        QCOMPARE(combo->currentIndex(), 2);
        window->close();
    }

    void noDataMessage_data() {
        QTest::addColumn<PersonKind>("kind");
        QTest::addColumn<bool>("emptyFile");
        QTest::addColumn<QString>("message");
        const QString jockey = QStringLiteral(
            "現役騎手のデータがありません。\nＪＲＡ－ＶＡＮより現役騎手のデータを取得して"
            "Ｚｅｌｖａｎｏｒに取込んでください。");
        const QString trainer = QStringLiteral(
            "現役調教師のデータがありません。\nＪＲＡ－ＶＡＮより現役調教師のデータを取得して"
            "Ｚｅｌｖａｎｏｒに取込んでください。");
        QTest::newRow("no jockey file") << PersonKind::Jockey << false << jockey;
        QTest::newRow("jockey file of 0 bytes") << PersonKind::Jockey << true << jockey;
        QTest::newRow("no trainer file") << PersonKind::Trainer << false << trainer;
        QTest::newRow("trainer file of 0 bytes") << PersonKind::Trainer << true << trainer;
    }
    void noDataMessage() {
        QFETCH(PersonKind, kind);
        QFETCH(bool, emptyFile);
        QFETCH(QString, message);
        const KindNames n = namesOf(kind);
        QTemporaryDir empty;
        const AppPaths paths(empty.path().toStdString());
        if (emptyFile) std::ofstream(personFilePath(paths, kind), std::ios::binary).close();
        RecordingDialogs dialogs;
        MainWindow w(paths);
        w.show();
        clickButton(w, n.button);
        QCOMPARE(dialogs.shown.size(), std::size_t{1});
        QCOMPARE(dialogs.shown[0].text, message);
        QCOMPARE(dialogs.shown[0].title, QString());
        QCOMPARE(dialogs.shown[0].icon, UserDialogs::Icon::Critical);
        QVERIFY(!openWindow(n.window));
        QCOMPARE(commands(w, n), QStringLiteral("on"));
    }

    // The window reads the file for each record: when it has gone, what is shown stays.
    void missingFileKeepsWhatIsShown() {
        QTemporaryDir dir;
        const AppPaths paths(dir.path().toStdString());
        fixture::importSampleWeekend(paths, {.seed = 7, .imported = fixture::Imported::Nothing});
        MainWindow w(paths);
        w.show();
        clickButton(w, "jockeyButton");
        QWidget* window = openWindow("JockeyWindow");
        QVERIFY(window);
        clickButton(*window, "nextButton");
        const QString code = shownCode(*window);
        QVERIFY(!code.isEmpty());
        std::filesystem::remove(personFilePath(paths, PersonKind::Jockey));
        clickButton(*window, "nextButton");
        QCOMPARE(qobject_cast<PeopleWindow*>(window)->currentRecord(), 2);
        QCOMPARE(shownCode(*window), code);
        window->close();
    }

    void gridModelKeepsItsContract() {
        TextGridModel model(QStringList{"１ 着", "連 率"});
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setGrid(TextGrid{{"本年", "前年"}, {{"3", "50"}, {"", ""}}});
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("50"));
        QCOMPARE(model.headerData(1, Qt::Vertical).toString(), QStringLiteral("前年"));
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("１ 着"));
        QCOMPARE(model.index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
                 Qt::AlignRight | Qt::AlignVCenter);
        // A row cut short shows blanks, never reads past its end.
        model.setGrid(TextGrid{{"本年", "前年", "累計"}, {{"1"}, {}, {"2", "100"}}});
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.index(0, 1).data().toString(), QString());
        QCOMPARE(model.index(2, 1).data().toString(), QStringLiteral("100"));
    }

    void closingTheMainWindowClosesThem() {
        MainWindow w(*paths_);
        w.show();
        clickButton(w, "jockeyButton");
        clickButton(w, "trainerButton");
        QVERIFY(openWindow("JockeyWindow"));
        QVERIFY(openWindow("TrainerWindow"));
        w.close();
        QTRY_VERIFY(!openWindow("JockeyWindow"));
        QTRY_VERIFY(!openWindow("TrainerWindow"));
    }
};

QTEST_MAIN(PeopleWindowTest)
#include "people_window_test.moc"
