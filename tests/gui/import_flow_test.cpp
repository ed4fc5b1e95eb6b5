#include <QAction>
#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QtTest>

#include "../core/archive_fixture.hpp"
#include "../core/people_fixture.hpp"
#include "recording_dialogs.hpp"
#include "core/records/layouts.hpp"
#include "gui/shell/main_window.hpp"
#include "core/store/store.hpp"
#include "sampledata/generator.hpp"

using namespace zelvanor;
using namespace zelvanor::gui;

namespace {
const QString kLha = QStringLiteral(ZELVANOR_TEST_DATA "/lha/");
}

class ImportFlowTest : public QObject {
    Q_OBJECT

  private slots:
    void cancellingTheFileDialogChangesNothing() {
        QTemporaryDir dir;
        MainWindow w{AppPaths(dir.path().toStdString())};
        RecordingDialogs answers;
        w.findChild<QAction*>("jockeyImportAction")->trigger();
        QCOMPARE(answers.fileDialogTitles,
                 QStringList{QStringLiteral("！騎手データの圧縮されたファイルを指定してください")});
        QVERIFY(answers.shown.empty());
        QVERIFY(!w.progressBar()->isVisible());
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    }

    void wrongFilesAreReportedWithTheFlowsTexts() {
        const struct {
            const char* action;
            QString file;
            QString tail;
        } cases[] = {
            {"jockeyImportAction", kLha + "not_archive.txt",
             " は、LHA圧縮ファイルではありません。"},
            {"jockeyImportAction", kLha + "umaj_den1.lzh", " は、騎手のファイルじゃないよ！"},
            {"trainerImportAction", kLha + "kisi_lh5_h0.lzh",
             " は、調教師のファイルではありません。"},
            {"horseImportAction", kLha + "kisi_lh5_h0.lzh",
             " は、競走馬のファイルではありません。"},
        };
        for (const auto& c : cases) {
            QTemporaryDir dir;
            MainWindow w{AppPaths(dir.path().toStdString())};
            RecordingDialogs answers;
            answers.files << c.file;
            w.findChild<QAction*>(c.action)->trigger();
            QCOMPARE(answers.shown.size(), size_t{1});
            QCOMPARE(answers.shown[0].text, c.file + c.tail);
            QCOMPARE(answers.shown[0].title, QStringLiteral("Zelvanor"));
            QVERIFY(answers.shown[0].icon == UserDialogs::Icon::Exclamation);
            QVERIFY(!QFile::exists(dir.filePath("mast.mdb")));
        }
    }

    void corruptArchiveReportsItsCodeAndLeavesNoFile() {
        QTemporaryDir dir;
        MainWindow w{AppPaths(dir.path().toStdString())};
        RecordingDialogs answers;
        answers.files << kLha + "bad_crc.lzh";
        w.findChild<QAction*>("jockeyImportAction")->trigger();
        QCOMPARE(answers.shown.size(), size_t{1});
        QVERIFY2(answers.shown[0].text.startsWith(
                     QStringLiteral("#:32780\n格納ﾌｧｲﾙのﾁｪｯｸｻﾑが合っていません。\n") + kLha +
                     "bad_crc.lzh から JRA#KISI.DAT を取り出せませんでした。"),
                 qPrintable(answers.shown[0].text));
        QVERIFY(answers.shown[0].icon == UserDialogs::Icon::Critical);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
    }

    void completionMessageCarriesTheReportUnderIt() {
        QTemporaryDir inputs;
        std::string jockeys;
        for (const char* code : {"0001", "0002"}) {
            fixture::PeopleRecord r(kKisiLayout);
            r.text("KISCODE", code);
            jockeys += r.bytes();
        }
        const std::filesystem::path archive = inputs.filePath("kisi.lzh").toStdString();
        fixture::writeBytes(archive, fixture::lhaArchive({{"JRA#KISI.DAT", jockeys}}));

        QTemporaryDir dir;
        MainWindow w{AppPaths(dir.path().toStdString())};
        RecordingDialogs answers;
        answers.files << QString::fromStdString(archive.string());
        w.findChild<QAction*>("jockeyImportAction")->trigger();
        QCOMPARE(answers.shown.size(), size_t{1});
        const QStringList paragraphs = answers.shown[0].text.split(QStringLiteral("\n\n"));
        QCOMPARE(paragraphs.size(), 2);
        QCOMPARE(paragraphs[0], QStringLiteral("JRA#KISI.DAT のデータコンバートが終了しました。"));
        QVERIFY2(paragraphs[1].startsWith(
                     QStringLiteral("JRA#KISI.DAT: 読込 2件 / 登録 2件 / 置換 0件 / 除外 0件")),
                 qPrintable(paragraphs[1]));
    }

    void batchImportsEveryKindInOrderAndReportsIt() {
        QTemporaryDir dir;
        const AppPaths paths(dir.path().toStdString());
        // The service's four archives: in name order results come before the race cards they
        // belong to, and the people after them.
        const auto sample = sample::generateSample(sample::SampleSize::Meeting, 4);
        sample::writeSample(sample, paths.batchFolder(), true);
        MainWindow w{paths};
        RecordingDialogs answers;
        w.findChild<QAction*>("batchImportAction")->trigger();
        QCOMPARE(answers.shown.size(), size_t{1});
        const QString text = answers.shown[0].text;
        QVERIFY2(text.startsWith(QStringLiteral("出馬表・競走馬データの取込が終了しました。\n\n")),
                 qPrintable(text));
        int at = 0;
        for (const QString& line :
             {QStringLiteral("kisi.lzh\nJRA#KISI.DAT: 読込 60件 / 登録 60件"),
              QStringLiteral("chok.lzh\nJRA#CHOK.DAT: 読込 70件 / 登録 70件"),
              QStringLiteral("umaj.lzh\nJRA#UMAJ.DAT: 読込 %1件").arg(sample.horses),
              QStringLiteral("JRA#DEN1.DAT: 読込 12件 / 登録 12件"),
              QStringLiteral("sei1.lzh\nJRA#SEI1.DAT: 読込 12件 / 登録 12件 / 置換 0件 / 除外 0件")}) {
            const int found = text.indexOf(line, at);
            QVERIFY2(found >= at, qPrintable(line + " in\n" + text));
            at = found + line.size();
        }
        QVERIFY(!w.progressBar()->isVisible());
        QVERIFY(!w.findChild<QLineEdit*>("batchArchive")->isVisible());
    }

    void batchOverAnEmptyFolderShowsOnlyTheCompletionMessage() {
        QTemporaryDir dir;
        MainWindow w{AppPaths(dir.path().toStdString())};
        RecordingDialogs answers;
        w.findChild<QAction*>("batchImportAction")->trigger();
        QCOMPARE(answers.shown.size(), size_t{1});
        QCOMPARE(answers.shown[0].text,
                 QStringLiteral("出馬表・競走馬データの取込が終了しました。"));
        QCOMPARE(answers.shown[0].title, QString());
    }
};

QTEST_MAIN(ImportFlowTest)
#include "import_flow_test.moc"
