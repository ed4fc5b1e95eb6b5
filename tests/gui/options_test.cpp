#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "core/shell/constants.hpp"
#include "core/store/store.hpp"
#include "gui/options/options_dialog.hpp"
#include "gui/shell/main_window.hpp"
#include "recording_dialogs.hpp"

using namespace zelvanor;
using namespace zelvanor::gui;

namespace {

using Sliders = std::array<int, 7>;

const QString kSaved = QStringLiteral(
    "予想処理時の定数が設定されました! 新しい設定での予想は次回の取込時より反映されます。\n"
    "既存の予想結果を新しい指数で予想し直す場合は「競走馬」データを再度取込んでください。");
const QString kReset =
    QStringLiteral("設定をデフォルトに戻しました。\n反映するには更新ボタンを押してください。");

// A data folder, the main window over it, and the dialog as the menu opens it.
struct OptionsFixture {
    explicit OptionsFixture(bool withRow = true) {
        {
            Database mast(paths.mastPath());
            ensureConstantsTable(mast);
        }
        if (!withRow) {
            Database mast(paths.mastPath());
            mast.exec("DELETE FROM 定数");
        }
        main.show();
    }
    OptionsDialog* open() {
        main.findChild<QAction*>("optionsAction")->trigger();
        auto* dialog = main.findChild<OptionsDialog*>("OptionsDialog");
        if (dialog && !QTest::qWaitForWindowExposed(dialog)) return nullptr;
        return dialog;
    }
    void store(const Sliders& sliders, const char* name) {
        Database mast(paths.mastPath());
        saveConstants(mast, sliders, name);
    }
    // The stored row as "weights|name", or "none".
    QString stored() {
        Database mast(paths.mastPath());
        const auto row = readConstants(mast);
        if (!row) return QStringLiteral("none");
        QString out;
        for (double w : row->weights) out += QString::number(w);
        return out + "|" + QString::fromStdString(row->userName);
    }

    QTemporaryDir dir;
    AppPaths paths{dir.path().toStdString()};
    RecordingDialogs answers;
    MainWindow main{paths};
};

QSlider* slider(QWidget* w, int i) {
    return w->findChild<QSlider*>(QStringLiteral("weightSlider%1").arg(i));
}

Sliders shownSliders(QWidget* w) {
    Sliders out{};
    for (int i = 0; i < 7; ++i) out[static_cast<std::size_t>(i)] = slider(w, i)->value();
    return out;
}

QLineEdit* nameBox(QWidget* w) {
    return w->findChild<QLineEdit*>("nameBox");
}

// Text as an input method hands it over on conversion, the way kanji arrive.
void commit(QLineEdit* box, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(box, &event);
}

void press(QWidget* w, const char* button) {
    QTest::mouseClick(w->findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
}

}  // namespace

class OptionsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QApplication::setFont(QFont(QStringLiteral("IPAPGothic"), 9)); }

    void opensWithItsTabsCaptionsAndTexts() {
        OptionsFixture data;
        QVERIFY(data.main.findChild<QAction*>("optionsAction")->isEnabled());
        OptionsDialog* w = data.open();
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("ｵﾌﾟｼｮﾝ"));
        QVERIFY(!w->isModal());

        auto* tabs = w->findChild<QTabWidget*>("tabs");
        const QStringList expected[] = {
            {"馬の特性", "horseTraits", "競走馬の特性計算時の各種指数の重み設定", "weightPage0"},
            {"騎手の特性", "jockeyTraits", "騎手の連帯率を予想に取り込む重みの設定", "weightPage1"},
            {"調教師の特性", "trainerTraits", "調教師の連帯率を予想に取り込む重みの設定",
             "weightPage2"},
            {"名前", "userName", "３人目のＺｅｌｖａｎｏｒの名前です。", "namePage"},
        };
        QCOMPARE(tabs->count(), 4);
        for (int i = 0; i < 4; ++i) {
            const QStringList& e = expected[i];
            QCOMPARE(tabs->tabText(i), e[0]);
            QCOMPARE(tabs->tabBar()->tabData(i).toString(), e[1]);
            QCOMPARE(tabs->tabToolTip(i), e[2]);
            QCOMPARE(tabs->widget(i)->objectName(), e[3]);
        }
        QCOMPARE(tabs->currentIndex(), 0);

        // Each slider on its page, beside its caption, running 0 to 3.
        const char* captions[] = {"左右の得意・不得意",  "芝・ダートの適正", "距離の適正",
                                  "良・重の適正",        "成長率の重み",     "騎手のコース連帯率",
                                  "調教師のコース連帯率"};
        const int pageOf[] = {0, 0, 0, 0, 0, 1, 2};
        for (int i = 0; i < 7; ++i) {
            QSlider* s = slider(w, i);
            QVERIFY(s);
            QCOMPARE(s->parentWidget(), tabs->widget(pageOf[i]));
            QCOMPARE(s->orientation(), Qt::Horizontal);
            QCOMPARE(s->minimum(), 0);
            QCOMPARE(s->maximum(), 3);
            QStringList texts;
            for (auto* l : s->parentWidget()->findChildren<QLabel*>()) texts << l->text();
            QVERIFY2(texts.contains(QString::fromUtf8(captions[i])), captions[i]);
            QCOMPARE(texts.count(QStringLiteral("小")), 1);
            QCOMPARE(texts.count(QStringLiteral("大")), 1);
        }

        QCOMPARE(nameBox(w)->parentWidget(), tabs->widget(3));
        QVERIFY(tabs->widget(3)->findChild<QLabel*>()->text() == QStringLiteral("あなたの名前"));
        QCOMPARE(w->findChild<QPlainTextEdit*>("nameExplanation")->toPlainText(),
                 QStringLiteral("この名前は３人目のＺｅｌｖａｎｏｒの名\n前になります。\n"
                                "あなたの名前を入れて予想に参加して\nください。（漢字で２文字ま"
                                "でです）\n"));
        QCOMPARE(w->findChild<QPushButton*>("cancelButton")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
        QCOMPARE(w->findChild<QPushButton*>("defaultButton")->text(), QStringLiteral("デフォルト"));
        QCOMPARE(w->findChild<QPushButton*>("applyButton")->text(), QStringLiteral("更新"));
        // Left to right along the bottom.
        QVERIFY(w->findChild<QPushButton*>("cancelButton")->x() <
                w->findChild<QPushButton*>("defaultButton")->x());
        QVERIFY(w->findChild<QPushButton*>("defaultButton")->x() <
                w->findChild<QPushButton*>("applyButton")->x());
    }

    // Without a row the dialog shows the defaults, and 更新 adds row ID 1 with them.
    void defaultsWithoutARowAndApplyAddsIt() {
        OptionsFixture data(false);
        QCOMPARE(data.stored(), QStringLiteral("none"));
        OptionsDialog* w = data.open();
        QVERIFY(w);
        QCOMPARE(shownSliders(w), (Sliders{2, 2, 2, 2, 1, 1, 1}));
        QCOMPARE(nameBox(w)->text(), QStringLiteral("User"));
        // Not modal: the main window stays usable.
        QVERIFY(QApplication::activeModalWidget() == nullptr);

        QPointer<OptionsDialog> guard(w);
        press(w, "applyButton");
        QCOMPARE(data.stored(), QStringLiteral("2222111|User"));
        QCOMPARE(data.answers.shown.size(), std::size_t{1});
        QCOMPARE(data.answers.shown[0].text, kSaved);
        QCOMPARE(data.answers.shown[0].title, QString());
        QCOMPARE(data.answers.shown[0].icon, UserDialogs::Icon::None);
        QVERIFY(!guard || !guard->isVisible());
        Database mast(data.paths.mastPath());
        Table t(mast, kConstantsTable);
        t.setIndex("ID");
        QVERIFY(t.seek(std::int64_t{1}));
        QCOMPARE(QString::fromStdString(t.text("UserWork1")), QStringLiteral(" "));
    }

    void applyStoresWhatIsShown() {
        OptionsFixture data;
        OptionsDialog* w = data.open();
        QVERIFY(w);
        const Sliders chosen{0, 3, 1, 0, 0, 3, 2};
        for (int i = 0; i < 7; ++i) slider(w, i)->setValue(chosen[static_cast<std::size_t>(i)]);
        // By keyboard too: one step right on the first slider.
        slider(w, 0)->setFocus();
        QTest::keyClick(slider(w, 0), Qt::Key_Right);
        nameBox(w)->clear();
        commit(nameBox(w), QStringLiteral("翠嶺"));
        press(w, "applyButton");
        QCOMPARE(data.stored(), QStringLiteral("1310032|翠嶺"));
        QCOMPARE(data.answers.shown.back().text, kSaved);
    }

    // Two characters that the store cannot keep: said so, the name tab shown, nothing stored,
    // the dialog still open with what the user set.
    void aNameTheStoreCannotKeepIsRefused() {
        OptionsFixture data;
        OptionsDialog* w = data.open();
        QVERIFY(w);
        slider(w, 6)->setValue(3);
        nameBox(w)->setText(QString::fromUtf8("\xF0\x9F\x90\x8E"));  // not in Shift-JIS
        press(w, "applyButton");
        QCOMPARE(data.stored(), QStringLiteral("2222111|User"));
        QVERIFY(w->isVisible());
        QCOMPARE(w->findChild<QTabWidget*>("tabs")->currentIndex(), 3);
        QCOMPARE(data.answers.shown.size(), std::size_t{1});
        QCOMPARE(data.answers.shown[0].icon, UserDialogs::Icon::Exclamation);
        QVERIFY(data.answers.shown[0].text.contains(QStringLiteral("使えない文字")));
        QCOMPARE(slider(w, 6)->value(), 3);
    }

    // デフォルト resets the weights but keeps the typed name; leaving without 更新 stores nothing,
    // whichever way the dialog is left.
    void defaultsThenLeavingStoresNothing() {
        const char* ways[] = {"cancelButton", "close box", "Escape"};
        for (const char* way : ways) {
            OptionsFixture data;
            data.store({0, 3, 0, 3, 0, 3, 0}, "翠");
            OptionsDialog* w = data.open();
            QVERIFY(w);
            QPointer<OptionsDialog> guard(w);
            QCOMPARE(shownSliders(w), (Sliders{0, 3, 0, 3, 0, 3, 0}));
            nameBox(w)->clear();
            QTest::keyClicks(nameBox(w), QStringLiteral("AB"));
            press(w, "defaultButton");
            QCOMPARE(shownSliders(w), (Sliders{2, 2, 2, 2, 1, 1, 1}));
            QCOMPARE(nameBox(w)->text(), QStringLiteral("AB"));
            QCOMPARE(data.answers.shown.size(), std::size_t{1});
            QCOMPARE(data.answers.shown[0].text, kReset);
            QCOMPARE(data.answers.shown[0].title, QString());
            QVERIFY(w->isVisible());
            QCOMPARE(data.stored(), QStringLiteral("0303030|翠"));

            if (QLatin1String(way) == QLatin1String("cancelButton")) {
                press(w, "cancelButton");
            } else if (QLatin1String(way) == QLatin1String("Escape")) {
                QTest::keyClick(slider(w, 0), Qt::Key_Escape);
            } else {
                w->close();
            }
            QVERIFY2(!guard || !guard->isVisible(), way);
            QCOMPARE(data.stored(), QStringLiteral("0303030|翠"));
            QCOMPARE(data.answers.shown.size(), std::size_t{1});
        }
    }

    // Ctrl+Tab selects the next tab, the first after the last, wherever the focus is.
    void ctrlTabWraps() {
        OptionsFixture data;
        OptionsDialog* w = data.open();
        QVERIFY(w);
        auto* tabs = w->findChild<QTabWidget*>("tabs");
        QWidget* focus[] = {slider(w, 0), slider(w, 5), slider(w, 6), nameBox(w)};
        const int after[] = {1, 2, 3, 0};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(tabs->currentIndex(), i);
            focus[i]->setFocus();
            QTest::keyClick(focus[i], Qt::Key_Tab, Qt::ControlModifier);
            QCOMPARE(tabs->currentIndex(), after[i]);
            // Exactly one page can be seen and used.
            for (int p = 0; p < 4; ++p) QCOMPARE(tabs->widget(p)->isVisible(), p == after[i]);
        }
        // From a button below the tabs as well.
        QWidget* cancel = w->findChild<QPushButton*>("cancelButton");
        cancel->setFocus();
        QTest::keyClick(cancel, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 1);
        QVERIFY(w->isVisible());
    }

    // The box takes no third character; a longer stored name (the default) is shown whole and
    // can be shortened.
    void theNameBoxTakesTwoCharacters() {
        OptionsFixture data;
        OptionsDialog* w = data.open();
        QVERIFY(w);
        QLineEdit* box = nameBox(w);
        QCOMPARE(box->text(), QStringLiteral("User"));
        box->setFocus();
        box->end(false);
        QTest::keyClicks(box, QStringLiteral("X"));
        QCOMPARE(box->text(), QStringLiteral("User"));
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text(), QStringLiteral("Use"));
        QTest::keyClicks(box, QStringLiteral("X"));
        QCOMPARE(box->text(), QStringLiteral("Use"));

        box->clear();
        QTest::keyClicks(box, QStringLiteral("ABC"));
        QCOMPARE(box->text(), QStringLiteral("AB"));
        // A conversion longer than the room left: what fits is kept, where it was typed.
        box->selectAll();
        commit(box, QStringLiteral("翠嶺碧"));
        QCOMPARE(box->text(), QStringLiteral("翠嶺"));
        box->setCursorPosition(1);
        commit(box, QStringLiteral("碧"));
        QCOMPARE(box->text(), QStringLiteral("翠嶺"));
        box->setCursorPosition(0);
        QTest::keyClick(box, Qt::Key_Delete);
        commit(box, QStringLiteral("碧渦"));
        QCOMPARE(box->text(), QStringLiteral("碧嶺"));
        QCOMPARE(box->cursorPosition(), 1);
        box->selectAll();
        QTest::keyClicks(box, QStringLiteral("ABC"));
        QCOMPARE(box->text(), QStringLiteral("AB"));
        press(w, "applyButton");
        QCOMPARE(data.stored(), QStringLiteral("2222111|AB"));
    }

    // The menu item again: the same dialog, its unsaved changes replaced by the stored values;
    // after it closed, a new one.
    void reopeningReloadsTheOpenDialog() {
        OptionsFixture data;
        OptionsDialog* w = data.open();
        QVERIFY(w);
        QPointer<OptionsDialog> first(w);
        slider(w, 0)->setValue(0);
        nameBox(w)->setText(QStringLiteral("XY"));
        data.store({1, 1, 1, 1, 3, 3, 3}, "碧");
        data.main.activateWindow();

        QCOMPARE(data.open(), w);
        QCOMPARE(data.main.findChildren<OptionsDialog*>().size(), 1);
        QCOMPARE(shownSliders(w), (Sliders{1, 1, 1, 1, 3, 3, 3}));
        QCOMPARE(nameBox(w)->text(), QStringLiteral("碧"));
        QVERIFY(w->isVisible());

        press(w, "cancelButton");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!first);
        OptionsDialog* second = data.open();
        QVERIFY(second);
        QVERIFY(second->isVisible());
        QCOMPARE(shownSliders(second), (Sliders{1, 1, 1, 1, 3, 3, 3}));
    }
};

QTEST_MAIN(OptionsTest)
#include "options_test.moc"
