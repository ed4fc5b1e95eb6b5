// Pictures of the verification window as it opens, after a run over a sample weekend, and with
// races chosen by number, for people to look at: written under the build's screenshots folder.

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "gui/shell/main_window.hpp"
#include "gui/verify/verification_window.hpp"
#include "recording_dialogs.hpp"
#include "sample_weekend.hpp"

using namespace zelvanor;
using namespace zelvanor::gui;

namespace {

void save(QWidget& w, const char* name) {
    QDir().mkpath(QStringLiteral(ZELVANOR_SCREENSHOTS));
    const QString file =
        QStringLiteral(ZELVANOR_SCREENSHOTS "/") + QString::fromLatin1(name) + ".png";
    QVERIFY2(w.grab().save(file), qPrintable(file));
}

}  // namespace

class VerifyRenderTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QApplication::setFont(QFont(QStringLiteral("IPAPGothic"), 9)); }

    void pictures() {
        QTemporaryDir data, archives;
        const AppPaths paths(data.path().toStdString());
        fixture::importSampleWeekend(paths, {.seed = 1998,
                                             .imported = fixture::Imported::WithResults,
                                             .archives = archives.path().toStdString()});
        MainWindow main(paths);
        RecordingDialogs answers;
        VerificationWindow w(main);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        save(w, "verify_open");

        w.findChild<QPushButton*>("runButton")->click();
        QVERIFY(answers.shown.empty());
        QVERIFY(!w.findChild<QLabel*>("countValue1")->text().isEmpty());
        save(w, "verify_after_run");

        w.findChild<QRadioButton*>("selectionOption5")->click();
        for (const char* name : {"raceCheck8", "raceCheck10"})
            w.findChild<QCheckBox*>(name)->click();
        w.findChild<QPushButton*>("runButton")->click();
        save(w, "verify_by_race_number");
    }
};

QTEST_MAIN(VerifyRenderTest)
#include "verify_render_test.moc"
