#include "gui/race_day/race_day_selection.hpp"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "core/shell/codes.hpp"
#include "core/shell/data_session.hpp"
#include "core/store/store.hpp"
#include "core/views/recompute.hpp"
#include "gui/common/background_run.hpp"
#include "gui/common/display_text.hpp"
#include "gui/common/user_dialogs.hpp"
#include "gui/common/window_services.hpp"
#include "gui/going/going_dialog.hpp"
#include "gui/payback/payback_window.hpp"

namespace zelvanor::gui {

namespace {

std::string courseCode(int index) {
    const int code = index + 1;
    return std::string{static_cast<char>('0' + code / 10), static_cast<char>('0' + code % 10)};
}

QString courseName(int index) {
    return QString::fromStdString(bashoLabel(courseCode(index)));
}

QString indexed(const char* name, int index) {
    return QString::fromLatin1(name) + QString::number(index);
}

// The pointer of a long action, back to normal when the action ends, by a failure too.
class OverrideCursor {
  public:
    explicit OverrideCursor(Qt::CursorShape shape) { QApplication::setOverrideCursor(shape); }
    ~OverrideCursor() { QApplication::restoreOverrideCursor(); }
    OverrideCursor(const OverrideCursor&) = delete;
    OverrideCursor& operator=(const OverrideCursor&) = delete;
};

}  // namespace

RaceDaySelection::RaceDaySelection(WindowServices& main, QWidget* parent) : QWidget(parent), main_(main) {
    setObjectName(QStringLiteral("RaceDaySelection"));
    setWindowTitle(QStringLiteral("予想する開催の選択"));

    auto* outer = new QGridLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->setHorizontalSpacing(10);
    outer->setVerticalSpacing(8);
    auto* listGrid = new QGridLayout;
    buildLists(listGrid);
    outer->addLayout(listGrid, 0, 0);
    outer->addWidget(buildButtons(), 0, 1);
    outer->addWidget(buildRecomputeOptions(), 1, 0, 1, 2);
    buildMenu();
    // A moment's wait is not seen; longer, with many seasons stored, the race database's schema
    // is still being read from the start: the window shows at once, its lists empty under the
    // busy pointer, and fills them when the read ends, the rest of the program going on.
    if (!main_.session().schemaRead(std::chrono::milliseconds(100))) {
        setCursor(Qt::BusyCursor);
        auto* wait = new QTimer(this);
        wait->setObjectName(QStringLiteral("schemaWait"));
        wait->setInterval(30);
        connect(wait, &QTimer::timeout, this, [this, wait] {
            if (!main_.session().schemaRead()) return;
            wait->stop();
            wait->deleteLater();
            unsetCursor();
            // A database that cannot be read leaves nothing to choose from.
            if (!main_.guarded([this] { fillLists(); })) {
                close();
                return;
            }
            focusFirstMeetings();
        });
        wait->start();
    } else {
        fillLists();
        focusFirstMeetings();
    }

    adjustSize();
    setFixedSize(size());
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

void RaceDaySelection::buildLists(QGridLayout* grid) {
    grid->setHorizontalSpacing(3);
    grid->setVerticalSpacing(2);
    // Wide enough for a date text beside the scroll bar a season's meetings bring.
    const int listWidth = fontMetrics().horizontalAdvance(QStringLiteral("000000")) +
                          style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 16;
    for (int i = 0; i < kCourseCount; ++i) {
        auto* heading = new QLabel(courseName(i), this);
        heading->setObjectName(indexed("courseHeading", i));
        heading->setFrameStyle(QFrame::Panel | QFrame::Raised);
        heading->setAlignment(Qt::AlignCenter);
        heading->setFixedWidth(listWidth);
        heading->setMinimumHeight(heading->sizeHint().height() + 4);

        auto* list = new QListWidget(this);
        list->setObjectName(indexed("meetingList", i));
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        // Every entry is a six-digit date: measuring one instead of each of a course's hundreds
        // of meetings keeps the window's opening quick with many seasons stored.
        list->setUniformItemSizes(true);
        list->setFixedWidth(listWidth);
        list->setMinimumHeight(190);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        list->installEventFilter(this);
        list->viewport()->installEventFilter(this);
        connect(list, &QListWidget::itemSelectionChanged, this, [this, list] {
            if (!list->selectedItems().isEmpty()) clearOtherLists(list);
        });
        connect(list, &QListWidget::itemDoubleClicked, this, &RaceDaySelection::openFromList);
        connect(list, &QWidget::customContextMenuRequested, this, [this, list](const QPoint& at) {
            meetingMenu_->popup(list->viewport()->mapToGlobal(at));
        });
        grid->addWidget(heading, 0, i);
        grid->addWidget(list, 1, i);
        lists_[static_cast<std::size_t>(i)] = list;
    }
}

QWidget* RaceDaySelection::buildButtons() {
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    const struct {
        QPushButton** slot;
        const char* name;
        const char* caption;
        void (RaceDaySelection::*action)();
    } defs[] = {
        {&predictButton_, "predictButton", "予想する", &RaceDaySelection::predict},
        {&backButton_, "backButton", "戻る", &RaceDaySelection::goBack},
        {&deleteButton_, "deleteButton", "削除する", &RaceDaySelection::deleteSelected},
        {&paybackButton_, "paybackButton", "払い戻し", &RaceDaySelection::openPaybackWindow},
        {&recomputeButton_, "recomputeButton", "再計算する", &RaceDaySelection::recomputeSelected},
        {&goingButton_, "goingButton", "馬場設定", &RaceDaySelection::setGoing},
    };
    for (const auto& d : defs) {
        auto* b = new QPushButton(QString::fromUtf8(d.caption), box);
        b->setObjectName(QString::fromLatin1(d.name));
        b->setMinimumSize(96, 30);
        if (d.action) connect(b, &QPushButton::clicked, this, d.action);
        column->addWidget(b);
        *d.slot = b;
    }
    column->addStretch(1);
    return box;
}

QWidget* RaceDaySelection::buildRecomputeOptions() {
    auto* frame = new QGroupBox(QStringLiteral("再計算Ｏｐｔｉｏｎ"), this);
    frame->setObjectName(QStringLiteral("recomputeFrame"));
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(8, 4, 8, 6);
    row->setSpacing(6);
    for (int i = 0; i < kCourseCount; ++i) {
        auto* check = new QCheckBox(courseName(i), frame);
        check->setObjectName(indexed("courseCheck", i));
        row->addWidget(check);
        courseChecks_[static_cast<std::size_t>(i)] = check;
    }
    row->addStretch(1);
    recomputeAllButton_ = new QPushButton(QStringLiteral("全レースの再計算"), frame);
    recomputeAllButton_->setObjectName(QStringLiteral("recomputeAllButton"));
    recomputeAllButton_->setMinimumSize(recomputeAllButton_->sizeHint().width() + 16, 26);
    connect(recomputeAllButton_, &QPushButton::clicked, this, &RaceDaySelection::recomputeTicked);
    row->addWidget(recomputeAllButton_);
    counter_ = new QLabel(QStringLiteral("処理件数"), frame);
    counter_->setObjectName(QStringLiteral("counter"));
    counter_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    counter_->setAlignment(Qt::AlignCenter);
    // Room for a count like 312/312 without the row moving as it grows.
    counter_->setMinimumWidth(
        counter_->fontMetrics().horizontalAdvance(QStringLiteral("0000/0000")) + 10);
    row->addWidget(counter_);
    return frame;
}

void RaceDaySelection::buildMenu() {
    meetingMenu_ = new QMenu(this);
    meetingMenu_->setObjectName(QStringLiteral("meetingMenu"));
    const auto add = [this](const char* name, const char* caption,
                            void (RaceDaySelection::*action)()) {
        QAction* a = meetingMenu_->addAction(QString::fromUtf8(caption));
        a->setObjectName(QString::fromLatin1(name));
        if (action) connect(a, &QAction::triggered, this, action);
        return a;
    };
    add("paybackAction", "払い戻し", &RaceDaySelection::openPaybackWindow);
    meetingMenu_->addSeparator();
    add("recomputeAction", "再計算する", &RaceDaySelection::recomputeSelected);
    add("goingAction", "馬場設定", &RaceDaySelection::setGoing);
    add("predictAction", "予想する", &RaceDaySelection::predict);
    meetingMenu_->addSeparator();
    add("deleteAction", "削除する", &RaceDaySelection::deleteSelected);
    meetingMenu_->addSeparator();
    add("cancelAction", "キャンセル", nullptr);  // only closes the menu
}

void RaceDaySelection::fillLists() {
    const auto meetings = meetingsByCourse(main_.session().tran());
    for (int i = 0; i < kCourseCount; ++i) {
        QListWidget* list = lists_[static_cast<std::size_t>(i)];
        list->clear();
        // One insertion per list: a season brings hundreds of meetings per course.
        QStringList dates;
        dates.reserve(static_cast<qsizetype>(meetings[static_cast<std::size_t>(i)].size()));
        for (const Meeting& m : meetings[static_cast<std::size_t>(i)]) {
            dates << QString::fromStdString(m.date);
        }
        list->addItems(dates);
    }
}

void RaceDaySelection::focusFirstMeetings() {
    for (QListWidget* list : lists_) {
        if (list->count() == 0) continue;
        list->setFocus(Qt::OtherFocusReason);
        return;
    }
}

void RaceDaySelection::clearOtherLists(const QListWidget* keep) {
    for (QListWidget* list : lists_) {
        if (list != keep) list->clearSelection();
    }
}

bool RaceDaySelection::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::FocusIn: {
            // Focus that comes back from the context menu or another window, or that a right
            // click gave on its way to the menu, leaves the selection as it is.
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            const bool rightClick = reason == Qt::MouseFocusReason &&
                                    (QGuiApplication::mouseButtons() & Qt::RightButton);
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason &&
                !rightClick) {
                if (auto* list = qobject_cast<QListWidget*>(watched)) clearOtherLists(list);
            }
            break;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick: {
            // A right click opens the menu and must not move the selection, so the list never
            // sees it.
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::RightButton) break;
            if (event->type() == QEvent::MouseButtonPress) {
                meetingMenu_->popup(mouse->globalPosition().toPoint());
            }
            return true;
        }
        case QEvent::ContextMenu:
            // The menu of a right click is already open; the keyboard's menu key still asks the
            // list for it.
            if (static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Mouse) {
                return true;
            }
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            auto* list = qobject_cast<QListWidget*>(watched);
            if (list && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
                const auto selected = list->selectedItems();
                if (!selected.isEmpty()) openFromList(selected.front());
                return true;
            }
            // A list entered by the keyboard has an entry current but none selected (the first,
            // or the one selected before another list took the selection): the first arrow
            // selects that entry rather than moving past it.
            if (list && (key == Qt::Key_Down || key == Qt::Key_Up) &&
                list->selectedItems().isEmpty() && list->count() > 0) {
                list->setCurrentRow(std::max(list->currentRow(), 0),
                                    QItemSelectionModel::ClearAndSelect);
                return true;
            }
            break;
        }
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

std::optional<Meeting> RaceDaySelection::selectedMeeting() const {
    std::optional<Meeting> found;
    for (int i = 0; i < kCourseCount; ++i) {
        const auto selected = lists_[static_cast<std::size_t>(i)]->selectedItems();
        if (selected.isEmpty()) continue;
        // A later list would win, though only one entry can be selected at a time.
        found = meetingOf("D" + courseCode(i) + selected.front()->text().toStdString());
    }
    return found;
}

std::optional<Meeting> RaceDaySelection::lookup() {
    auto meeting = selectedMeeting();
    if (!meeting) {
        dialogs().message(this, QStringLiteral("なんか選択してね！"),
                          QString::fromLatin1(kAppTitle), UserDialogs::Icon::Critical);
    }
    return meeting;
}

void RaceDaySelection::openRaceCard(const Meeting& meeting) {
    const OverrideCursor busy(Qt::BusyCursor);
    close();
    main_.openRaceCard(meeting);
}

void RaceDaySelection::openFromList(const QListWidgetItem* item) {
    if (!item) return;
    const auto at = std::find(lists_.begin(), lists_.end(), item->listWidget());
    if (at == lists_.end()) return;
    const int index = static_cast<int>(at - lists_.begin());
    openRaceCard(meetingOf("D" + courseCode(index) + item->text().toStdString()));
}

void RaceDaySelection::predict() {
    if (const auto meeting = lookup()) openRaceCard(*meeting);
}

void RaceDaySelection::goBack() {
    main_.enableRaceDayCommands();
    close();
}

bool RaceDaySelection::attempt(const std::function<void()>& operation) {
    try {
        operation();
        return true;
    } catch (const std::exception& e) {
        showOperationFailure(this, e);
        return false;
    }
}

void RaceDaySelection::deleteSelected() {
    const auto meeting = lookup();
    if (!meeting) return;
    attempt([&] {
        Database& tran = main_.session().tran();
        // Already gone (deleted from another window): nothing to ask, nothing to say.
        if (!meetingStored(tran, *meeting)) return;
        if (!dialogs().confirm(this, displayText(deleteQuestion(*meeting)),
                               QStringLiteral("置き換えの確認"), UserDialogs::Icon::None)) {
            return;
        }
        deleteMeeting(tran, *meeting);
        for (QListWidget* list : lists_) {
            for (QListWidgetItem* item : list->selectedItems()) delete item;
        }
    });
}

void RaceDaySelection::openPaybackWindow() {
    if (const auto meeting = lookup()) openPayback(main_, *meeting, this);
}

void RaceDaySelection::setGoing() {
    const auto meeting = lookup();
    if (!meeting) return;
    auto* dialog = new GoingDialog(main_.session(), *meeting, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
}

void RaceDaySelection::setMeetingButtonsEnabled(bool enabled) {
    for (QPushButton* b :
         {predictButton_, backButton_, deleteButton_, paybackButton_, goingButton_}) {
        b->setEnabled(enabled);
    }
}

void RaceDaySelection::showProgress(int percent) {
    QProgressBar* bar = main_.progressBar();
    bar->setVisible(true);
    bar->setValue(percent);
}

void RaceDaySelection::endProgress() {
    QProgressBar* bar = main_.progressBar();
    bar->setValue(100);
    bar->setVisible(false);
    bar->setValue(0);
}

// Recomputation runs on a thread of its own (with connections of its own) while
// this thread waits in a local event loop: a season of meetings takes long, and the windows must
// keep painting the progress meanwhile. Handing the work to the thread rather than processing
// events from the progress callback keeps the windows answering even while one large race is
// computed, and no window code runs in the middle of the engine's transaction.
bool RaceDaySelection::recompute(const std::vector<Meeting>& meetings,
                              const std::function<void(const RecomputeStep&)>& shown) {
    // The pointer is back to normal before any box, which would otherwise show the hourglass.
    return attempt([&] {
        const OverrideCursor busy(Qt::WaitCursor);
        const AppPaths paths = main_.paths();
        const LentConnections lent(main_.session());
        runInBackground([&] {
            WorkConnections work(paths);
            recomputeMeetings(work.mast, work.tran, meetings,
                              RecomputeStepFn([&](const RecomputeStep& s) {
                                  // Delivered before runInBackground returns, so `shown` is
                                  // still there.
                                  QMetaObject::invokeMethod(
                                      this, [&shown, s] { shown(s); }, Qt::QueuedConnection);
                              }));
        });
    });
}

void RaceDaySelection::recomputeSelected() {
    const auto meeting = lookup();
    if (!meeting) return;
    setMeetingButtonsEnabled(false);
    showProgress(0);
    const bool done = recompute({*meeting}, [this](const RecomputeStep& s) {
        showProgress(static_cast<int>(std::lround(s.race * 100.0 / 12)));
    });
    if (done) {
        dialogs().message(this, displayText(kRecomputedText), QString(), UserDialogs::Icon::None);
    }
    endProgress();
    setMeetingButtonsEnabled(true);
}

void RaceDaySelection::recomputeTicked() {
    std::vector<std::string> courses;
    for (int i = 0; i < kCourseCount; ++i) {
        if (courseChecks_[static_cast<std::size_t>(i)]->isChecked())
            courses.push_back(courseCode(i));
    }
    showProgress(0);
    std::vector<Meeting> meetings;
    if (attempt([&] { meetings = meetingsOfCourses(main_.session().tran(), courses); }) &&
        !meetings.empty()) {
        recompute(meetings, [this](const RecomputeStep& s) {
            if (s.race != 1) return;
            counter_->setText(QStringLiteral("%1/%2").arg(s.meeting).arg(s.meetings));
            showProgress(static_cast<int>(std::lround(100.0 * static_cast<double>(s.meeting) /
                                                      static_cast<double>(s.meetings))));
        });
    }
    endProgress();
}

}  // namespace zelvanor::gui
