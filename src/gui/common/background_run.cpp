#include "gui/common/background_run.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include <atomic>
#include <exception>
#include <memory>

namespace zelvanor::gui {

namespace {

// Drops user input to every object while it exists. Input is dropped rather than deferred
// (QEventLoop::ExcludeUserInputEvents would hold it back and deliver it afterwards, so a click
// made during the work would run a command once it ended).
class InputBlocker final : public QObject {
  public:
    InputBlocker() : modalBefore_(QApplication::activeModalWidget()) {
        qApp->installEventFilter(this);
    }
    ~InputBlocker() override { qApp->removeEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (isForNewModal(watched)) return false;
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::Wheel:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
            case QEvent::Shortcut:
            case QEvent::ContextMenu:
            case QEvent::TouchBegin:
            case QEvent::TouchUpdate:
            case QEvent::TouchEnd:
            case QEvent::TabletPress:
            case QEvent::TabletRelease:
                return true;
            case QEvent::Close:
                // A close event counts as accepted unless ignored; only the window system's
                // (the close box) is refused, the program's own closes go through.
                if (!event->spontaneous()) return false;
                event->ignore();
                return true;
            default:
                return false;
        }
    }

  private:
    // A message box the work asked for while it ran (WindowThreadNotifier) must be answered.
    bool isForNewModal(QObject* watched) const {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == modalBefore_) return false;
        if (auto* widget = qobject_cast<QWidget*>(watched)) {
            return widget == modal || modal->isAncestorOf(widget);
        }
        if (auto* window = qobject_cast<QWindow*>(watched)) return window == modal->windowHandle();
        return false;
    }

    QPointer<QWidget> modalBefore_;
};

}  // namespace

void WindowThreadNotifier::notify(const std::string& text, const std::string& title, Icon icon) {
    if (QThread::currentThread() == context_->thread()) {
        inner_.notify(text, title, icon);
        return;
    }
    QMetaObject::invokeMethod(
        context_, [&] { inner_.notify(text, title, icon); }, Qt::BlockingQueuedConnection);
}

ProgressFn postedProgress(QObject* windowThreadObject, std::function<void(int)> show) {
    auto shown = std::make_shared<std::atomic<int>>(-1);
    auto target = std::make_shared<std::function<void(int)>>(std::move(show));
    return [windowThreadObject, shown, target](int percent) {
        // One post per step of the bar, however often the work reports.
        if (shown->exchange(percent) == percent) return;
        QMetaObject::invokeMethod(
            windowThreadObject, [target, percent] { (*target)(percent); }, Qt::QueuedConnection);
    };
}

void runInBackground(const std::function<void()>& work) {
    const InputBlocker blocker;
    std::exception_ptr failure;
    QEventLoop loop;
    std::unique_ptr<QThread> thread(QThread::create([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    // Queued to this thread, after everything the work posted before it ended.
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit,
                     Qt::QueuedConnection);
    thread->start();
    loop.exec();
    thread->wait();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace zelvanor::gui
