// Renders the payback window with an imported weekend (results included) into PNGs under the
// build's screenshots folder, for people to look at, in several option settings; and checks that
// no text of its grids and labels is cut off.

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QTableView>
#include <QtTest>

#include "core/shell/constants.hpp"
#include "core/store/store.hpp"
#include "core/views/meetings.hpp"
#include "core/views/payback.hpp"
#include "gui/payback/payback_window.hpp"
#include "gui/shell/main_window.hpp"
#include "sample_weekend.hpp"

using namespace zelvanor;
using namespace zelvanor::gui;

class PaybackRenderTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<fixture::ArchivedWeekend> weekend_;
    const AppPaths* paths_ = nullptr;

    static void save(QWidget& w, const QString& name) {
        QDir().mkpath(QStringLiteral(ZELVANOR_SCREENSHOTS));
        const QString file = QStringLiteral(ZELVANOR_SCREENSHOTS "/") + name;
        QVERIFY(w.grab().save(file));
        qInfo("%s", qPrintable(file));
    }

    static void checkNothingClipped(QWidget& w) {
        for (const QLabel* label : w.findChildren<QLabel*>()) {
            if (!label->isVisible()) continue;
            const QFontMetrics fm(label->font());
            QVERIFY2(fm.horizontalAdvance(label->text()) <= label->contentsRect().width(),
                     qPrintable(label->objectName() + ": " + label->text()));
        }
        for (const QTableView* grid : w.findChildren<QTableView*>()) {
            const QAbstractItemModel* m = grid->model();
            for (int c = 0; c < m->columnCount(); ++c) {
                const int room = grid->columnWidth(c) - 4;
                const QString heading = m->headerData(c, Qt::Horizontal).toString();
                QVERIFY2(grid->horizontalHeader()->fontMetrics().horizontalAdvance(heading) <= room,
                         qPrintable(grid->objectName() + ": " + heading));
                for (int r = 0; r < m->rowCount(); ++r) {
                    const QModelIndex i = m->index(r, c);
                    QFont font = grid->font();
                    if (const QVariant f = m->data(i, Qt::FontRole); f.isValid()) {
                        font = f.value<QFont>();
                    }
                    const QString text = m->data(i).toString();
                    QVERIFY2(
                        QFontMetrics(font).horizontalAdvance(text) <= room,
                        qPrintable(grid->objectName() + QStringLiteral(" row %1: ").arg(r) + text));
                }
            }
            // Every row and column on show without scrolling.
            QVERIFY2(grid->horizontalHeader()->length() + grid->verticalHeader()->width() <=
                         grid->viewport()->width() + grid->verticalHeader()->width(),
                     qPrintable(grid->objectName()));
            QVERIFY2(grid->verticalHeader()->length() <= grid->viewport()->height(),
                     qPrintable(grid->objectName()));
        }
    }

    static void click(QWidget& w, const char* option) {
        auto* b = w.findChild<QRadioButton*>(QString::fromLatin1(option));
        QVERIFY2(b, option);
        // On the button's circle: its caption ends well before the frame does.
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }

  private slots:
    void initTestCase() {
        QApplication::setFont(QFont(QStringLiteral("IPAPGothic"), 9));
        weekend_ = std::make_unique<fixture::ArchivedWeekend>();
        paths_ = &weekend_->paths();
    }

    void rendersEveryMeeting() {
        MainWindow main(*paths_);
        int shot = 0;
        for (const auto& course : meetingsByCourse(main.session().tran())) {
            for (const Meeting& meeting : course) {
                auto sheet = readPayback(main.session().tran(), meeting,
                                         personaName(readConstants(main.session().mast())));
                QVERIFY(sheet);
                PaybackWindow w(main, std::move(*sheet));
                w.show();
                QVERIFY(QTest::qWaitForWindowExposed(&w));
                checkNothingClipped(w);
                if (shot++ > 0) continue;
                save(w, QStringLiteral("payback_default.png"));
                click(w, "stakeOption1");
                click(w, "rangeOption2");
                save(w, QStringLiteral("payback_weighted_main.png"));
                click(w, "markKindOption0");
                click(w, "ticketOption1");
                save(w, QStringLiteral("payback_win_marks_three.png"));
                checkNothingClipped(w);
            }
        }
        QVERIFY(shot > 0);
    }
};

QTEST_MAIN(PaybackRenderTest)
#include "payback_render_test.moc"
