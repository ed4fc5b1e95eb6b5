// Pictures of the prediction constants dialog, one per tab, and its two message boxes, for
// people to look at: written under the build's screenshots folder.

#include <QAction>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include "core/shell/constants.hpp"
#include "gui/options/options_dialog.hpp"
#include "gui/shell/main_window.hpp"
#include "widget_testing.hpp"

using namespace zelvanor;
using namespace zelvanor::gui;
using namespace zelvanor::testing;

class OptionsRenderTest : public QObject {
    Q_OBJECT

    QTranslator qtJapanese_;

  private slots:
    void initTestCase() {
        QApplication::setFont(QFont(QStringLiteral("IPAPGothic"), 9));
        if (qtJapanese_.load(QStringLiteral("qtbase_ja"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QApplication::installTranslator(&qtJapanese_);
        }
    }

    void everyTabAndBothMessages() {
        QTemporaryDir dir;
        const AppPaths paths(dir.path().toStdString());
        {
            Database mast(paths.mastPath());
            saveConstants(mast, {3, 2, 1, 0, 1, 2, 3}, "翠嶺");
        }
        MainWindow main(paths);
        main.show();
        main.findChild<QAction*>("optionsAction")->trigger();
        auto* w = main.findChild<OptionsDialog*>("OptionsDialog");
        QVERIFY(w);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        auto* tabs = w->findChild<QTabWidget*>("tabs");
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            saveScreenshot(*w, QStringLiteral("options_tab%1").arg(i + 1) + ".png");
        }
        // The default name, four half-width characters, must show whole too.
        w->findChild<QLineEdit*>("nameBox")->setText(QStringLiteral("User"));
        saveScreenshot(*w, QStringLiteral("options_tab4_default_name.png"));
        {
            const BoxCatcher box(QStringLiteral("options_default_box.png"));
            QTest::mouseClick(w->findChild<QPushButton*>("defaultButton"), Qt::LeftButton);
            QVERIFY(box.text().contains(QLatin1Char('\n')));
        }
        {
            const BoxCatcher box(QStringLiteral("options_saved_box.png"));
            QTest::mouseClick(w->findChild<QPushButton*>("applyButton"), Qt::LeftButton);
            QVERIFY(box.text().contains(QLatin1Char('\n')));
        }
    }
};

QTEST_MAIN(OptionsRenderTest)
#include "options_render_test.moc"
