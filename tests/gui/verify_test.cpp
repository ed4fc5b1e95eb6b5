#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include "core/store/store.hpp"
#include "core/views/verification.hpp"
#include "gui/shell/main_window.hpp"
#include "gui/verify/verification_window.hpp"
#include "recording_dialogs.hpp"
#include "sample_weekend.hpp"

using namespace zelvanor;
using namespace zelvanor::gui;

namespace {

std::vector<QWidget*> openVerifyWindows() {
    std::vector<QWidget*> out;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("VerificationWindow") && w->isVisible()) out.push_back(w);
    }
    return out;
}

template <typename T>
T* child(QWidget& w, const QString& name) {
    T* found = w.findChild<T*>(name);
    if (!found) qFatal("no %s", qPrintable(name));
    return found;
}

QString indexed(const char* name, int index) {
    return QStringLiteral("%1%2").arg(QLatin1String(name)).arg(index);
}

// The twelve data cells of a grid, row by row.
QStringList cells(QWidget& w, int grid) {
    const QAbstractItemModel* model = child<QTableView>(w, indexed("rateGrid", grid))->model();
    QStringList out;
    for (int r = 0; r < model->rowCount(); ++r) {
        for (int c = 0; c < model->columnCount(); ++c) out << model->index(r, c).data().toString();
    }
    return out;
}

QStringList expectedCells(const std::array<std::array<std::string, kBetTypes>, kPersonaCount>& t) {
    QStringList out;
    for (const auto& row : t)
        for (const auto& cell : row) out << QString::fromStdString(cell);
    return out;
}

}  // namespace

class VerifyTest : public QObject {
    Q_OBJECT

    QTemporaryDir data_;
    QTemporaryDir archives_;
    AppPaths paths() const { return AppPaths(data_.path().toStdString()); }

  private slots:
    void initTestCase() {
        QApplication::setFont(QFont(QStringLiteral("IPAPGothic"), 9));
        fixture::importSampleWeekend(paths(), {.seed = 1998,
                                               .imported = fixture::Imported::WithResults,
                                               .archives = archives_.path().toStdString()});
    }

    void cleanup() {
        for (QWidget* w : openVerifyWindows()) w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void opensOnceFromTheMenuAndTheButton() {
        MainWindow main(paths());
        auto* menu = main.findChild<QAction*>("verifyAction");
        auto* button = main.findChild<QPushButton*>("verifyButton");
        QVERIFY(menu->isEnabled());
        QVERIFY(button->isEnabled());
        menu->trigger();
        QCOMPARE(openVerifyWindows().size(), size_t{1});
        QWidget* first = openVerifyWindows().front();
        QCOMPARE(first->windowTitle(), QStringLiteral("予想の検証をする"));
        QVERIFY(!first->isModal());
        button->click();
        QCOMPARE(openVerifyWindows().size(), size_t{1});
        QCOMPARE(openVerifyWindows().front(), first);
    }

    void showsEveryCaptionAsItOpens() {
        MainWindow main(paths());
        VerificationWindow w(main);
        const char* courses[] = {"札幌", "函館", "福島", "新潟", "東京",
                                 "中山", "中京", "京都", "阪神", "小倉"};
        for (int i = 0; i < 10; ++i) {
            auto* check = child<QCheckBox>(w, indexed("courseCheck", i));
            QCOMPARE(check->text(), QStringLiteral("　") + QString::fromUtf8(courses[i]));
            QVERIFY(check->isChecked());
        }
        for (int i = 0; i < 10; ++i) {
            auto* option = child<QRadioButton>(w, indexed("selectionOption", i));
            QCOMPARE(option->text(),
                     QString::fromUtf8(kRaceSelectionCaptions[static_cast<std::size_t>(i)].data()));
            QCOMPARE(option->isChecked(), i == 3);
        }
        const QStringList races = {"　１R", "　２R", "　３R", "　４R", "　５R", "　６R",
                                   "　７R", "　８R", "　９R", "１０R", "１１R", "１２R"};
        for (int i = 0; i < 12; ++i) {
            auto* check = child<QCheckBox>(w, indexed("raceCheck", i));
            QCOMPARE(check->text(), races[i]);
            QVERIFY(!check->isChecked());
            QVERIFY(!check->isEnabled());
        }
        QCOMPARE(child<QGroupBox>(w, "coursesFrame")->title(), QStringLiteral("場所の選択"));
        QCOMPARE(child<QGroupBox>(w, "raceNumbersFrame")->title(), QStringLiteral("レース選択"));
        QCOMPARE(child<QGroupBox>(w, "conditionsFrame")->title(), QStringLiteral("選択の条件"));
        QCOMPARE(child<QLabel>(w, "instructions")->text(),
                 QStringLiteral("検証するものにチェックをつけてください。（該当レースが多いと時間が"
                                "かかります。）"));
        QCOMPARE(child<QLabel>(w, "selectionNote")->text(),
                 QStringLiteral(
                     "（＊注）　特別＆メインは８～１１レースの固定で検索しています。ダービーや有馬"
                     "記念の時などこの条件にそぐわない開催がありますので注意してください。"));
        QCOMPARE(child<QLabel>(w, "stakesNote")->text(),
                 QStringLiteral("この検証は６点均等買いの場合の検証です。単勝・複勝については、１点"
                                "目を単勝・複勝馬券を購入した場合の検証になっています。"));
        QCOMPARE(child<QLabel>(w, "countCaption0")->text(), QStringLiteral("該当開催数"));
        QCOMPARE(child<QLabel>(w, "countCaption1")->text(), QStringLiteral("該当レース数"));
        QCOMPARE(child<QLabel>(w, "countValue0")->text(), QString());
        QCOMPARE(child<QLabel>(w, "rateCaption0")->text(), QStringLiteral("的中率"));
        QCOMPARE(child<QLabel>(w, "rateCaption1")->text(), QStringLiteral("回収率"));
        QCOMPARE(child<QPushButton>(w, "runButton")->text(), QStringLiteral("上記条件で検証する"));
        QCOMPARE(child<QPushButton>(w, "backButton")->text(), QStringLiteral("戻る"));
        for (int g = 0; g < 2; ++g) {
            const QAbstractItemModel* model = child<QTableView>(w, indexed("rateGrid", g))->model();
            QCOMPARE(model->rowCount(), 3);
            QCOMPARE(model->columnCount(), 4);
            const QStringList columns = {" 単勝", " 複勝", " 枠連", " 馬連"};
            const QStringList rows = {" 翠嶺", " 碧渦", " User"};
            for (int c = 0; c < 4; ++c)
                QCOMPARE(model->headerData(c, Qt::Horizontal).toString(), columns[c]);
            for (int r = 0; r < 3; ++r) {
                QCOMPARE(model->headerData(r, Qt::Vertical).toString(), rows[r]);
                for (int c = 0; c < 4; ++c) {
                    const auto align = model->index(r, c).data(Qt::TextAlignmentRole).toInt();
                    QVERIFY(align & Qt::AlignRight);
                }
            }
            QCOMPARE(cells(w, g), QStringList(12, QString()));
        }
    }

    void raceBoxesServeOnlyTheChoiceByRaceNumber() {
        MainWindow main(paths());
        VerificationWindow w(main);
        w.show();
        auto* race3 = child<QCheckBox>(w, "raceCheck2");
        child<QRadioButton>(w, "selectionOption5")->click();
        for (int i = 0; i < 12; ++i)
            QVERIFY(child<QCheckBox>(w, indexed("raceCheck", i))->isEnabled());
        race3->click();
        child<QRadioButton>(w, "selectionOption9")->click();
        for (int i = 0; i < 12; ++i)
            QVERIFY(!child<QCheckBox>(w, indexed("raceCheck", i))->isEnabled());
        QVERIFY(race3->isChecked());
    }

    void runFillsTheGridsWithTheCoresFigures() {
        MainWindow main(paths());
        RecordingDialogs answers;
        VerificationWindow w(main);
        w.show();
        const struct {
            int option;
            std::vector<int> unticked;
        } cases[] = {{3, {}}, {1, {}}, {2, {5}}, {4, {}}};
        for (const auto& c : cases) {
            for (int i = 0; i < 10; ++i)
                child<QCheckBox>(w, indexed("courseCheck", i))->setChecked(true);
            VerificationConditions conditions;
            conditions.selection = c.option;
            for (int code : c.unticked) {
                child<QCheckBox>(w, indexed("courseCheck", code - 1))->setChecked(false);
                conditions.courses[static_cast<std::size_t>(code - 1)] = false;
            }
            child<QRadioButton>(w, indexed("selectionOption", c.option))->setChecked(true);
            QTest::mouseClick(child<QPushButton>(w, "runButton"), Qt::LeftButton);

            Database tran(paths().tranPath());
            const Verification v = runVerification(tran, "User", conditions);
            QVERIFY2(v.totals.races > 0, "the sample weekend holds races of this kind");
            QCOMPARE(child<QLabel>(w, "countValue0")->text(), QString::number(v.totals.meetings));
            QCOMPARE(child<QLabel>(w, "countValue1")->text(), QString::number(v.totals.races));
            QCOMPARE(cells(w, 0), expectedCells(v.hitRates));
            QCOMPARE(cells(w, 1), expectedCells(v.returnRates));
        }
        QVERIFY(answers.shown.empty());
        QVERIFY(main.progressBar()->isHidden());
        QVERIFY(w.isEnabled());
    }

    void progressBarMovesWhileTheWindowWaits() {
        MainWindow main(paths());
        RecordingDialogs answers;
        VerificationWindow w(main);
        w.show();
        QProgressBar* bar = main.progressBar();
        // What the bar showed between the run's start and its end, with the window's state.
        QList<int> shown;
        bool windowEnabled = true;
        connect(bar, &QProgressBar::valueChanged, this, [&](int value) {
            if (bar->isHidden()) return;
            shown << value;
            if (value > 0 && value < 100) windowEnabled = windowEnabled && w.isEnabled();
        });
        QTest::mouseClick(child<QPushButton>(w, "runButton"), Qt::LeftButton);
        // Six meetings: a step for each after the first, then the end.
        QCOMPARE(shown, (QList<int>{16, 33, 50, 66, 83, 100}));
        QVERIFY(!windowEnabled);
        QVERIFY(bar->isHidden());
        QCOMPARE(bar->value(), 0);
    }

    void noRaceIsToldAndLeavesTheGridsBlank() {
        MainWindow main(paths());
        RecordingDialogs answers;
        VerificationWindow w(main);
        w.show();
        QTest::mouseClick(child<QPushButton>(w, "runButton"), Qt::LeftButton);
        QVERIFY(!cells(w, 0).join("").isEmpty());
        child<QRadioButton>(w, "selectionOption5")->click();
        QTest::mouseClick(child<QPushButton>(w, "runButton"), Qt::LeftButton);
        QCOMPARE(answers.shown.size(), size_t{1});
        QCOMPARE(
            answers.shown[0].text,
            QStringLiteral("該当する開催のレースがありませんでした。条件を設定し直してください。"));
        QCOMPARE(answers.shown[0].icon, UserDialogs::Icon::Critical);
        QVERIFY(child<QLabel>(w, "countValue0")->text().toInt() > 0);
        QCOMPARE(child<QLabel>(w, "countValue1")->text(), QStringLiteral("0"));
        QCOMPARE(cells(w, 0), QStringList(12, QString()));
        QCOMPARE(cells(w, 1), QStringList(12, QString()));

        // No course ticked: no meeting either.
        for (int i = 0; i < 10; ++i)
            child<QCheckBox>(w, indexed("courseCheck", i))->setChecked(false);
        child<QRadioButton>(w, "selectionOption3")->click();
        QTest::mouseClick(child<QPushButton>(w, "runButton"), Qt::LeftButton);
        QCOMPARE(answers.shown.size(), size_t{2});
        QCOMPARE(child<QLabel>(w, "countValue0")->text(), QStringLiteral("0"));
    }

    void backCloses() {
        MainWindow main(paths());
        main.findChild<QAction*>("verifyAction")->trigger();
        QWidget* w = openVerifyWindows().front();
        QTest::mouseClick(child<QPushButton>(*w, "backButton"), Qt::LeftButton);
        QVERIFY(openVerifyWindows().empty());
    }
};

QTEST_MAIN(VerifyTest)
#include "verify_test.moc"
