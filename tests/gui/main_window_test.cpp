#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <new>
#include <stdexcept>
#include <QtTest>

#include "recording_dialogs.hpp"
#include "core/shell/constants.hpp"
#include "gui/shell/main_window.hpp"
#include "gui/shell/help_window.hpp"
#include "core/shell/instance_lock.hpp"
#include "gui/shell/startup.hpp"
#include "core/store/store.hpp"

using namespace zelvanor;
using namespace zelvanor::gui;

class MainWindowTest : public QObject {
    Q_OBJECT

  private:
    static QStringList captions(const QMenu* menu) {
        QStringList out;
        for (QAction* a : menu->actions()) {
            out << (a->isSeparator() ? QStringLiteral("-") : a->objectName() + "=" + a->text());
        }
        return out;
    }

  private slots:
    void titleMenusAndButtons() {
        QTemporaryDir dir;
        MainWindow w{AppPaths(dir.path().toStdString())};
        QCOMPARE(w.windowTitle(), QStringLiteral("ＪＲＡ－ＶＡＮ 情報検索"));

        QStringList top;
        for (QAction* a : w.menuBar()->actions()) top << a->menu()->objectName() + "=" + a->text();
        QCOMPARE(top,
                 (QStringList{"fileMenu=ﾌｧｲﾙ(&F)", "optionsMenu=ｵﾌﾟｼｮﾝ(&O)", "helpMenu=ﾍﾙﾌﾟ(&H)"}));

        auto* file = w.findChild<QMenu*>("fileMenu");
        QCOMPARE(captions(file),
                 (QStringList{"raceDayAction=出馬情報の照会", "jockeyInfoAction=騎手情報の照会",
                              "trainerInfoAction=調教師情報の照会", "verifyAction=予想の検証", "-",
                              "=ＪＲＡデータの取り込み", "-", "backupAction=バックアップ…", "-",
                              "quitAction=終了"}));
        QCOMPARE(captions(w.findChild<QMenu*>("importMenu")),
                 (QStringList{"horseImportAction=競走馬データの取り込み", "-",
                              "resultsImportAction=成績データの取り込み", "-",
                              "jockeyImportAction=騎手データの取り込み",
                              "trainerImportAction=調教師データの取り込み", "-",
                              "batchImportAction=一括データ取込"}));
        QCOMPARE(captions(w.findChild<QMenu*>("optionsMenu")),
                 (QStringList{"optionsAction=予想定数の設定"}));
        QCOMPARE(captions(w.findChild<QMenu*>("helpMenu")), (QStringList{"helpAction=ﾍﾙﾌﾟ"}));

        const QStringList buttons{"jockeyButton=騎手情報", "trainerButton=厩舎情報",
                                  "raceDayButton=出馬情報", "verifyButton=予想検証"};
        for (const QString& b : buttons) {
            const auto parts = b.split('=');
            auto* button = w.findChild<QPushButton*>(parts[0]);
            QVERIFY2(button, qPrintable(parts[0]));
            QCOMPARE(button->text(), parts[1]);
        }
        QCOMPARE(w.findChild<QLabel*>("forPanel")->text(), QStringLiteral("for"));
        QCOMPARE(w.findChild<QLabel*>("platformPanel")->text(),
                 QStringLiteral("Windows95･98/NT4.0"));

        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* bar = w.findChild<QProgressBar*>("progressBar");
        QVERIFY(!bar->isVisible());
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 100);
    }

    void helpOpensTheManualAndClosesWithTheMainWindow() {
        QTemporaryDir dir;
        MainWindow w{AppPaths(dir.path().toStdString())};
        w.show();
        w.findChild<QAction*>("helpAction")->trigger();
        QPointer<HelpWindow> help = w.helpWindow();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QVERIFY(help->toPlainText().contains(QStringLiteral("データの取り込み")));
        QVERIFY(help->toPlainText().contains(QStringLiteral("出馬表")));
        w.findChild<QAction*>("helpAction")->trigger();
        QCOMPARE(w.helpWindow(), help.data());  // the same window, raised again
        w.findChild<QAction*>("quitAction")->trigger();
        QVERIFY(!w.isVisible());
        QVERIFY(!help || !help->isVisible());
    }

    void windowsOpenedFromTheMainWindowOpenOnceAndCloseWithIt() {
        QTemporaryDir dir;
        RecordingDialogs answers;
        MainWindow w{AppPaths(dir.path().toStdString())};
        w.show();
        // Asked for twice, the selection opens once.
        w.findChild<QPushButton*>("raceDayButton")->click();
        w.findChild<QPushButton*>("raceDayButton")->click();
        QPointer<QWidget> selection;
        int selections = 0;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == QLatin1String("RaceDaySelection") && top->isVisible()) {
                selection = top;
                ++selections;
            }
        }
        QVERIFY(selection);
        QCOMPARE(selections, 1);
        w.findChild<QAction*>("quitAction")->trigger();
        QVERIFY(!selection || !selection->isVisible());
    }

    void startCreatesTheConstantsRecordOnce() {
        QTemporaryDir dir;
        const AppPaths paths(dir.path().toStdString());
        RecordingDialogs answers;
        {
            InstanceLock lock(paths.dataFolder());
            auto w = startProgram(paths, lock);
            QVERIFY(w);
        }
        {
            Database mast(paths.mastPath());
            saveConstants(mast, {1, 1, 1, 1, 1, 1, 1}, "AB");
        }
        {
            InstanceLock lock(paths.dataFolder());
            auto w = startProgram(paths, lock);
            QVERIFY(w);
        }
        Database mast(paths.mastPath());
        QCOMPARE(QString::fromStdString(readConstants(mast)->userName), QStringLiteral("AB"));
        QVERIFY(answers.shown.empty());
    }

    void secondInstanceIsRefusedWithItsMessage() {
        QTemporaryDir dir;
        const AppPaths paths(dir.path().toStdString());
        RecordingDialogs answers;
        InstanceLock first(paths.dataFolder());
        QVERIFY(first.acquired());
        InstanceLock second(paths.dataFolder());
        QVERIFY(!second.acquired());
        QVERIFY(!startProgram(paths, second));
        QCOMPARE(answers.shown.size(), size_t{1});
        QCOMPARE(answers.shown[0].text,
                 QStringLiteral("「Zelvanor」は、既に起動しています。二重に起動はできません。"));
        QCOMPARE(answers.shown[0].title, QStringLiteral("「Zelvanor」エラー"));
        QVERIFY(answers.shown[0].icon == UserDialogs::Icon::Exclamation);
        QVERIFY(!QFile::exists(dir.filePath("mast.mdb")));  // refused before touching anything
    }

    void lockOfAnEndedInstanceDoesNotBlock() {
        QTemporaryDir dir;
        const AppPaths paths(dir.path().toStdString());
        { InstanceLock ended(paths.dataFolder()); }
        QVERIFY(QFile::exists(dir.filePath(".zelvanor.lock")));  // the file stays behind
        InstanceLock next(paths.dataFolder());
        QVERIFY(next.acquired());
    }

    void failuresAreToldInJapaneseWithTheProgressBarGone() {
        QTemporaryDir dir;
        MainWindow w{AppPaths(dir.path().toStdString())};
        w.show();
        // Remembers whether the progress bar still stood when the box came up.
        struct Watching : RecordingDialogs {
            QProgressBar* bar = nullptr;
            std::vector<bool> barShown;
            void message(QWidget* parent, const QString& text, const QString& title,
                         Icon icon) override {
                barShown.push_back(bar->isVisible());
                RecordingDialogs::message(parent, text, title, icon);
            }
        } answers;
        answers.bar = w.progressBar();
        const std::string missing = dir.filePath("JRA#KISI.DAT").toStdString();
        const struct {
            std::function<void()> fail;
            QString starts;
        } cases[] = {
            {[&] {
                 throw std::filesystem::filesystem_error(
                     "cannot open", missing, std::make_error_code(std::errc::no_such_file_or_directory));
             },
             QString::fromStdString(missing) + " がありません。"},
            {[] { throw StoreError("tran.mdb の表 D05981003 がありません。"); },
             QStringLiteral("tran.mdb の表 D05981003 がありません。")},
            {[] { throw std::bad_alloc(); },
             QStringLiteral("メモリが足りないため、処理を続けられませんでした。")},
            {[] { throw std::out_of_range("no field kyori in JRA#DEN1.DAT"); },
             QStringLiteral("プログラム内部のエラーのため、処理を続けられませんでした。\n"
                            "(no field kyori in JRA#DEN1.DAT)")},
        };
        for (const auto& c : cases) {
            w.progressBar()->setVisible(true);
            QVERIFY(!w.guarded(c.fail));
            QVERIFY(!answers.barShown.back());
            const auto& shown = answers.shown.back();
            QVERIFY2(shown.text.startsWith(c.starts), qPrintable(shown.text));
            QVERIFY(shown.text.endsWith(QStringLiteral("\n\nこの操作は取り消されました。")));
            QCOMPARE(shown.title, QStringLiteral("Zelvanor"));
            QVERIFY(shown.icon == UserDialogs::Icon::Critical);
        }
        QCOMPARE(answers.shown.size(), std::size(cases));
        QVERIFY(!QApplication::overrideCursor());
    }

    void unusableDatabaseIsReportedAndTheWindowStillOpens() {
        QTemporaryDir dir;
        const AppPaths paths(dir.path().toStdString());
        QFile junk(dir.filePath("mast.mdb"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a database at all, but long enough to have a header of sorts....");
        junk.close();
        RecordingDialogs answers;
        InstanceLock lock(paths.dataFolder());
        auto w = startProgram(paths, lock);
        QVERIFY(w);
        QCOMPARE(answers.shown.size(), size_t{1});
        QVERIFY2(answers.shown[0].text.startsWith(QStringLiteral("mast.mdb が壊れています")),
                 qPrintable(answers.shown[0].text));
        QVERIFY(answers.shown[0].text.contains(QStringLiteral("mast.bak")));
        QVERIFY(answers.shown[0].icon == UserDialogs::Icon::Critical);
    }

    void backupCopiesBothDatabasesIntoTheChosenFolder() {
        QTemporaryDir dir;
        QTemporaryDir elsewhere;
        const AppPaths paths(dir.path().toStdString());
        {
            Database mast(paths.mastPath());
            ensureConstantsTable(mast);
        }
        { Database tran(paths.tranPath()); tran.exec("CREATE TABLE t (x INTEGER)"); }
        MainWindow w{paths};
        w.show();
        RecordingDialogs answers;
        auto* backup = w.findChild<QAction*>("backupAction");

        backup->trigger();  // the folder dialog cancelled: nothing happens
        QCOMPARE(answers.fileDialogTitles,
                 QStringList{QStringLiteral("バックアップを保存するフォルダの選択")});
        QVERIFY(answers.shown.empty());

        const QString target = elsewhere.filePath("copies");
        answers.folders << target;
        backup->trigger();
        QCOMPARE(answers.shown.size(), size_t{1});
        QCOMPARE(answers.shown[0].title, QStringLiteral("バックアップ"));
        QVERIFY(answers.shown[0].icon == UserDialogs::Icon::Information);
        QVERIFY2(answers.shown[0].text.startsWith(QStringLiteral("mast.mdb を ") + target +
                                                  QStringLiteral("/mast.mdb に保存しました")),
                 qPrintable(answers.shown[0].text));
        QVERIFY(Database(std::filesystem::path(target.toStdString()) / "tran.mdb").hasTable("t"));
        QVERIFY(!w.progressBar()->isVisible());
        QVERIFY(!QApplication::overrideCursor());

        // The data folder itself is refused, with nothing written.
        answers.folders << dir.path();
        backup->trigger();
        QCOMPARE(answers.shown.size(), size_t{2});
        QVERIFY(answers.shown[1].icon == UserDialogs::Icon::Critical);
        QVERIFY2(answers.shown[1].text.startsWith(QStringLiteral("バックアップ先にデータフォルダ")),
                 qPrintable(answers.shown[1].text));
    }

    void messageBoxesOpenOverTheirWindow() {
        QTemporaryDir dir;
        MainWindow w{AppPaths(dir.path().toStdString())};
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.move(w.screen()->availableGeometry().topLeft() + QPoint(300, 200));
        QPoint boxCentre;
        for (const bool question : {false, true}) {
            QTimer::singleShot(0, [&] {
                QWidget* box = QApplication::activeModalWidget();
                QVERIFY(box);
                boxCentre = box->frameGeometry().center();
                box->close();
            });
            if (question) {
                dialogs().confirm(&w, QStringLiteral("削除しますか？"), QStringLiteral("確認"));
            } else {
                dialogs().message(&w, QStringLiteral("成績データの取込が終了しました。"),
                                  QString(), UserDialogs::Icon::None);
            }
            const QPoint off = boxCentre - w.frameGeometry().center();
            QVERIFY2(off.manhattanLength() <= 8,
                     qPrintable(QStringLiteral("%1,%2").arg(off.x()).arg(off.y())));
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
