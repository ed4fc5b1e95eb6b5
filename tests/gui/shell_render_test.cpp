#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "gui/common/user_dialogs.hpp"
#include "gui/shell/help_window.hpp"
#include "gui/shell/main_window.hpp"
#include "gui/shell/startup.hpp"

using namespace zelvanor;
using namespace zelvanor::gui;

// What the user sees of the shell: Japanese standard dialogs, the UI font, line breaks in message
// boxes, and pictures of the main and help windows in the screenshots folder.
class ShellRenderTest : public QObject {
    Q_OBJECT

  private:
    static QString screenshot(const QString& name) {
        QDir().mkpath(QStringLiteral(ZELVANOR_SCREENSHOTS));
        return QStringLiteral(ZELVANOR_SCREENSHOTS "/") + name;
    }

  private slots:
    void initTestCase() { setUpJapaneseUi(); }

    void standardButtonsAndDialogsSpeakJapanese() {
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QVERIFY2(box.button(QMessageBox::Yes)->text().startsWith(QStringLiteral("はい")),
                 qPrintable(box.button(QMessageBox::Yes)->text()));
        QVERIFY(box.button(QMessageBox::No)->text().startsWith(QStringLiteral("いいえ")));
        QVERIFY(box.button(QMessageBox::Cancel)->text().startsWith(QStringLiteral("キャンセル")));

        // The file dialog's own labels (Qt's dialog, as the offscreen platform has no native one).
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        QStringList labels;
        for (const QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
        QVERIFY2(labels.join(' ').contains(QStringLiteral("ファイル")),
                 qPrintable(labels.join('|')));
        dialog.setWindowTitle(QStringLiteral("！騎手データの圧縮されたファイルを指定してください"));
        dialog.setNameFilter(QStringLiteral("LZH (*.lzh *.LZH)"));
        dialog.resize(560, 360);
        QVERIFY(dialog.grab().save(screenshot("file_dialog.png")));

        QCOMPARE(QLocale().language(), QLocale::Japanese);
        QCOMPARE(QLocale().toString(1234567), QStringLiteral("1,234,567"));
    }

    void theUiFontIsProportionalJapaneseWithEvenDigits() {
        const QFont font = QApplication::font();
        const QFontInfo info(font);
        QCOMPARE(info.family(), QString::fromLatin1(kUiFontFamily));
        QVERIFY(!info.fixedPitch());
        const QFontMetrics metrics(font);
        // Kana and ideographs are set proportionally, but digits must line up in columns.
        QVERIFY(metrics.horizontalAdvance(QStringLiteral("ー")) !=
                metrics.horizontalAdvance(QStringLiteral("ｰ")));
        const int width = metrics.horizontalAdvance(QStringLiteral("1111"));
        for (const char* digits : {"0000", "2222", "4444", "7777", "8888", "9999"}) {
            QCOMPARE(metrics.horizontalAdvance(QString::fromLatin1(digits)), width);
        }
    }

    void messageBoxBreaksTheCoresLinesAndShowsThem() {
        // The real dialogs: the box is grabbed and closed once it is up.
        setDialogs(nullptr);
        const QString coreText = QStringLiteral(
            "東京 1998年10月 3日の\r\r出馬表・競走馬データを削除します。\r\n"
            "宜しいですか？");
        QString shownText;
        bool grabbed = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            shownText = box->text();
            grabbed = box->grab().save(screenshot("message_box_two_lines.png"));
            box->accept();
        });
        dialogs().message(nullptr, coreText, QString::fromLatin1(kAppTitle),
                          UserDialogs::Icon::Exclamation);
        QVERIFY(grabbed);
        QCOMPARE(shownText,
                 QStringLiteral("東京 1998年10月 3日の\n\n出馬表・競走馬データを削除します。\n"
                                "宜しいですか？"));
    }

    void mainAndHelpWindowsAreRendered() {
        QTemporaryDir dir;
        MainWindow w{AppPaths(dir.path().toStdString())};
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.grab().save(screenshot("main_window.png")));

        // Every caption of the head fits inside its frame's margins, the long platform line
        // included.
        for (const char* name : {"forPanel", "platformPanel", "copyrightPanel"}) {
            auto* label = w.findChild<QLabel*>(name);
            QVERIFY(label);
            const int needed = label->fontMetrics().horizontalAdvance(label->text());
            QVERIFY2(label->contentsRect().width() >= needed,
                     qPrintable(QStringLiteral("%1: %2 < %3")
                                    .arg(name)
                                    .arg(label->contentsRect().width())
                                    .arg(needed)));
        }
        for (const char* name :
             {"jockeyButton", "trainerButton", "raceDayButton", "verifyButton"}) {
            auto* button = w.findChild<QPushButton*>(name);
            QVERIFY(button->width() >= button->sizeHint().width());
        }

        // While a batch runs: its archive beside the progress bar, the window's size unchanged.
        const QSize idle = w.size();
        auto* batchArchive = w.findChild<QLineEdit*>("batchArchive");
        // The progress bar first, as a batch shows them.
        w.progressBar()->setValue(40);
        w.progressBar()->setVisible(true);
        const QString archive = dir.filePath("batch/some/long/folder/names/umaj.lzh");
        w.showBatchArchive(archive);
        QVERIFY2(batchArchive->text().startsWith(QChar(0x2026)) &&
                     batchArchive->text().endsWith(QStringLiteral("/umaj.lzh")),
                 qPrintable(batchArchive->text()));
        QVERIFY(batchArchive->fontMetrics().horizontalAdvance(batchArchive->text()) <=
                batchArchive->contentsRect().width());
        QCOMPARE(batchArchive->toolTip(), archive);
        QVERIFY(w.grab().save(screenshot("main_window_batch.png")));
        QCOMPARE(w.size(), idle);
        batchArchive->setVisible(false);
        w.progressBar()->setVisible(false);

        w.showHelp();
        HelpWindow* help = w.helpWindow();
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QVERIFY(help->grab().save(screenshot("help_window.png")));
        // A line break inside Japanese text in the HTML source shows as a stray space.
        const QRegularExpression stray(
            QStringLiteral("[\\x{3000}-\\x{9FFF}] [\\x{3000}-\\x{9FFF}]"));
        const QRegularExpressionMatch found = stray.match(help->toPlainText());
        QVERIFY2(!found.hasMatch(), qPrintable(found.captured()));
    }
};

QTEST_MAIN(ShellRenderTest)
#include "shell_render_test.moc"
