// Pictures of the race-day selection, the going dialog and their message boxes, for people to
// look at: written under the build's screenshots folder.

#include <QCheckBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include <sqlite3.h>

#include <functional>

#include "core/shell/data_session.hpp"
#include "core/store/store.hpp"
#include "core/tables/race_tables.hpp"
#include "gui/going/going_dialog.hpp"
#include "gui/race_day/race_day_selection.hpp"
#include "gui/shell/main_window.hpp"
#include "sample_weekend.hpp"
#include "widget_testing.hpp"

using namespace zelvanor;
using namespace zelvanor::gui;
using namespace zelvanor::testing;

class RaceDayRenderTest : public QObject {
    Q_OBJECT

    QTranslator qtJapanese_;
    QTemporaryDir dir_;
    AppPaths paths_{dir_.path().toStdString()};

  private slots:
    void initTestCase() {
        QApplication::setFont(QFont(QStringLiteral("IPAPGothic"), 9));
        // The standard buttons of the message boxes in Japanese, as the program shows them.
        if (qtJapanese_.load(QStringLiteral("qtbase_ja"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QApplication::installTranslator(&qtJapanese_);
        }
        fixture::importSampleWeekend(paths_, {.seed = 7, .imported = fixture::Imported::RaceCards});
    }

    void raceDaySelectionAndItsBoxes() {
        MainWindow main(paths_);
        main.show();
        RaceDaySelection w(main);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        auto* tokyo = w.findChild<QListWidget*>("meetingList4");
        QTest::mouseClick(tokyo->viewport(), Qt::LeftButton, {},
                          tokyo->visualItemRect(tokyo->item(1)).center());
        w.findChild<QCheckBox*>("courseCheck3")->setChecked(true);
        w.findChild<QCheckBox*>("courseCheck4")->setChecked(true);
        QTest::mouseClick(w.findChild<QPushButton*>("recomputeAllButton"), Qt::LeftButton);
        QCOMPARE(w.findChild<QLabel*>("counter")->text(), QStringLiteral("4/4"));
        saveScreenshot(w, QStringLiteral("race_day_selection.png"));

        {
            const BoxCatcher question(QStringLiteral("race_day_delete_question.png"),
                                      QMessageBox::No);
            QTest::mouseClick(w.findChild<QPushButton*>("deleteButton"), Qt::LeftButton);
            QVERIFY(question.text().startsWith(QStringLiteral("東京 98/10/04の\n\n")));
        }
        {
            const BoxCatcher done(QStringLiteral("race_day_recomputed.png"), QMessageBox::Ok);
            QTest::mouseClick(w.findChild<QPushButton*>("recomputeButton"), Qt::LeftButton);
            QVERIFY(done.text().contains(QLatin1Char('\n')));
        }
        QCOMPARE(tokyo->count(), 2);  // the question was answered No
    }

    // The start's read of a large race database not yet ended: the window stands empty under the
    // busy pointer. Another program holding the file makes the read wait here.
    void raceDaySelectionWhileTheSchemaIsRead() {
        sqlite3* holder = nullptr;
        QCOMPARE(sqlite3_open(paths_.tranPath().c_str(), &holder), SQLITE_OK);
        QCOMPARE(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        MainWindow main(paths_);
        main.show();
        RaceDaySelection w(main);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.findChild<QListWidget*>("meetingList4")->count(), 0);
        saveScreenshot(w, QStringLiteral("race_day_selection_waiting.png"));
        sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(holder);
        QTRY_COMPARE_WITH_TIMEOUT(w.findChild<QListWidget*>("meetingList4")->count(), 2, 10000);
    }

    // A season's worth of meetings: the lists scroll, and the dates must still fit beside the
    // scroll bar.
    void raceDaySelectionOfASeason() {
        QTemporaryDir dir;
        const AppPaths paths(dir.path().toStdString());
        {
            Database tran(paths.tranPath());
            Transaction tx(tran);
            for (const char* course : {"04", "05", "08"}) {
                for (int day = 0; day < 40; ++day) {
                    const std::string date = QStringLiteral("98%1%2")
                                                 .arg(day / 8 + 3, 2, 10, QLatin1Char('0'))
                                                 .arg(day % 8 + 10, 2, 10, QLatin1Char('0'))
                                                 .toStdString();
                    createRaceTable(tran, std::string("D") + course + date);
                }
            }
            tx.commit();
        }
        MainWindow main(paths);
        RaceDaySelection w(main);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* tokyo = w.findChild<QListWidget*>("meetingList4");
        QCOMPARE(tokyo->count(), 40);
        tokyo->setCurrentRow(39);
        saveScreenshot(w, QStringLiteral("race_day_selection_season.png"));
    }

    void goingDialogAndItsBoxes() {
        DataSession session(paths_);
        const struct {
            const char* dialog;
            const char* box;
            const char* choice;
        } cases[] = {{"going_dialog", "going_set_good", "goodOption"},
                     {"going_dialog_heavy", "going_set_heavy", "heavyOption"}};
        for (const auto& c : cases) {
            GoingDialog dialog(session, meetingOf("D05981003"));
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            dialog.findChild<QRadioButton*>(QString::fromLatin1(c.choice))->setChecked(true);
            saveScreenshot(dialog, QString::fromLatin1(c.dialog) + ".png");
            const BoxCatcher box(QString::fromLatin1(c.box) + ".png");
            QTest::mouseClick(dialog.findChild<QPushButton*>("updateButton"), Qt::LeftButton);
            QVERIFY(!box.text().isEmpty());
        }
    }
};

QTEST_MAIN(RaceDayRenderTest)
#include "race_day_render_test.moc"
