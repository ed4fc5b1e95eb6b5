#include "gui/common/background_run.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QThread>

#include <exception>
#include <memory>

namespace zelvanor::gui {

namespace {

// Drops user input to every object while it exists. Input is dropped rather than deferred
// (QEventLoop::ExcludeUserInputEvents would hold it back and deliver it afterwards, so a click
// made during the work would run a command once it ended).
class InputBlocker final : public QObject {
  public:
    InputBlocker() { qApp->installEventFilter(this); }
    ~InputBlocker() override { qApp->removeEventFilter(this); }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
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
};

}  // namespace

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
