#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "core/shell/data_session.hpp"
#include "core/store/store.hpp"
#include "core/tables/race_tables.hpp"
#include "gui/going/going_dialog.hpp"
#include "recording_dialogs.hpp"

using namespace zelvanor;
using namespace zelvanor::gui;

namespace {

// 中山 98/10/03 with races 1 to 11, two of them already set to heavy ground one by one;
// 98/10/04 with twelve races on good ground; 98/10/05 with no race stored.
struct GoingFolder {
    GoingFolder() {
        Database tran(paths.tranPath());
        add(tran, "D06981003", 11);
        tran.exec("UPDATE D06981003 SET RyoOmo = 2 WHERE bango IN (3, 7)");
        add(tran, "D06981004", 12);
        add(tran, "D06981005", 0);
    }
    static void add(Database& tran, const std::string& raceTable, int races) {
        const Meeting m = meetingOf(raceTable);
        createEntryTable(tran, m.entriesTable);
        createRaceTable(tran, m.raceTable);
        auto st = tran.prepare("INSERT INTO " + m.raceTable + " (bango, RyoOmo) VALUES (?1, 1)");
        for (int n = 1; n <= races; ++n) {
            st.bind(1, n).run();
            st.reset();
        }
    }
    // RyoOmo of races 1, 2, … in order, e.g. "11211121111".
    QString going(const std::string& raceTable) {
        Database tran(paths.tranPath());
        auto st = tran.prepare("SELECT RyoOmo FROM " + raceTable + " ORDER BY bango");
        QString out;
        while (st.step()) out += QString::number(st.int64(0));
        return out;
    }

    QTemporaryDir dir;
    AppPaths paths{dir.path().toStdString()};
    DataSession session{paths};
};

void clickChoice(GoingDialog& dialog, const char* name) {
    auto* choice = dialog.findChild<QRadioButton*>(QString::fromLatin1(name));
    // Near the indicator: the button may be wider than its clickable text.
    QTest::mouseClick(choice, Qt::LeftButton, {}, QPoint(8, choice->height() / 2));
}

void clickButton(GoingDialog& dialog, const char* name) {
    QTest::mouseClick(dialog.findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
}

}  // namespace

class GoingTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QApplication::setFont(QFont(QStringLiteral("IPAPGothic"), 9)); }

    void opensWithItsTextAndGoodGroundChosen() {
        GoingFolder data;
        GoingDialog dialog(data.session, meetingOf("D06981003"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("馬場の状態を設定する"));
        auto* text = dialog.findChild<QPlainTextEdit*>("information");
        QCOMPARE(text->toPlainText(),
                 QStringLiteral("デフォルトでは全て良馬場で設定されています。\n"
                                "  下記の設定は選択された開催のレースを全て（１Ｒから１２Ｒまで）"
                                "更新しますので、個別の設定が必要な場合は、予想画面で変更してくだ"
                                "さい。"));
        QVERIFY(text->isReadOnly());
        QCOMPARE(text->palette().color(QPalette::Base), text->palette().color(QPalette::Button));
        auto* good = dialog.findChild<QRadioButton*>("goodOption");
        auto* heavy = dialog.findChild<QRadioButton*>("heavyOption");
        QCOMPARE(good->text(), QStringLiteral("すべて良馬場に設定する"));
        QCOMPARE(heavy->text(), QStringLiteral("すべて重馬場に設定する"));
        QVERIFY(good->isChecked());
        QVERIFY(!heavy->isChecked());
        QCOMPARE(dialog.findChild<QPushButton*>("updateButton")->text(),
                 QStringLiteral("更新する"));
        QCOMPARE(dialog.findChild<QPushButton*>("cancelButton")->text(),
                 QStringLiteral("キャンセル"));

        // Focus order: the two choices, the text, 更新する, キャンセル. (Tab enters the choices at
        // the chosen one, the arrow keys move between them, as option buttons do.)
        QStringList order;
        QWidget* w = good;
        for (int i = 0; i < 5; ++i, w = w->nextInFocusChain()) {
            while (w->focusPolicy() == Qt::NoFocus) w = w->nextInFocusChain();
            order << w->objectName();
        }
        QCOMPARE(order, (QStringList{"goodOption", "heavyOption", "information", "updateButton",
                                     "cancelButton"}));
        QCOMPARE(QApplication::focusWidget(), good);
    }

    void updateSetsEveryStoredRaceAndConfirms() {
        const struct {
            const char* choice;
            const char* expected;
            const char* message;
            UserDialogs::Icon icon;
        } cases[] = {
            {"goodOption", "11111111111",
             "選択された開催の全てのレースを良馬場に設定しました\n"
             "個別の（レースごと）設定が必要な場合は、予想画面から設定してください。",
             UserDialogs::Icon::Information},
            {"heavyOption", "22222222222",
             "選択された開催の全てのレースを重馬場に設定しました\n"
             "個別の（レースごと）設定が必要な場合は、予想画面から設定してください。",
             UserDialogs::Icon::None},
        };
        for (const auto& c : cases) {
            GoingFolder data;
            RecordingDialogs answers;
            GoingDialog dialog(data.session, meetingOf("D06981003"));
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            clickChoice(dialog, c.choice);
            clickButton(dialog, "updateButton");
            QCOMPARE(data.going("D06981003"), QString::fromLatin1(c.expected));
            QCOMPARE(data.going("D06981004"), QStringLiteral("111111111111"));
            QCOMPARE(answers.shown.size(), size_t{1});
            QCOMPARE(answers.shown[0].text, QString::fromUtf8(c.message));
            QCOMPARE(answers.shown[0].title, QString());
            QVERIFY(answers.shown[0].icon == c.icon);
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
    }

    void aMeetingWithoutRacesIsStillConfirmed() {
        GoingFolder data;
        RecordingDialogs answers;
        GoingDialog dialog(data.session, meetingOf("D06981005"));
        dialog.show();
        clickButton(dialog, "updateButton");
        QCOMPARE(answers.shown.size(), size_t{1});
        QVERIFY(answers.shown[0].icon == UserDialogs::Icon::Information);
    }

    void closingAnyOtherWayWritesNothing() {
        enum class Way { Cancel, CloseBox, Escape };
        for (const Way way : {Way::Cancel, Way::CloseBox, Way::Escape}) {
            GoingFolder data;
            RecordingDialogs answers;
            GoingDialog dialog(data.session, meetingOf("D06981004"));
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            clickChoice(dialog, "heavyOption");
            switch (way) {
                case Way::Cancel:
                    clickButton(dialog, "cancelButton");
                    break;
                case Way::CloseBox:
                    dialog.close();
                    break;
                case Way::Escape:
                    QTest::keyClick(&dialog, Qt::Key_Escape);
                    break;
            }
            QVERIFY(!dialog.isVisible());
            QVERIFY(answers.shown.empty());
            QCOMPARE(data.going("D06981004"), QStringLiteral("111111111111"));
        }
    }

    void aStoreFailureIsToldAndTheDialogStays() {
        GoingFolder data;
        RecordingDialogs answers;
        GoingDialog dialog(data.session, meetingOf("D06981004"));
        dialog.show();
        data.session.tran().dropTable("D06981004");
        clickButton(dialog, "updateButton");
        QCOMPARE(answers.shown.size(), size_t{1});
        QVERIFY(answers.shown[0].icon == UserDialogs::Icon::Critical);
        QVERIFY2(answers.shown[0].text.endsWith(QStringLiteral("この操作は取り消されました。")),
                 qPrintable(answers.shown[0].text));
        QVERIFY(dialog.isVisible());
    }
};

QTEST_MAIN(GoingTest)
#include "going_test.moc"
