#pragma once

#include <functional>

#include "core/import/progress.hpp"
#include "core/shell/notifier.hpp"

class QObject;

namespace zelvanor::gui {

// Runs `work` on a thread of its own and waits for it in a local event loop, so the windows keep
// painting and a progress bar keeps moving; meanwhile every window of the program ignores the
// user's mouse, keyboard and close box. Rethrows on this thread what `work` threw.
//
// `work` must not touch widgets: it runs beside this thread. It may use a connection of the
// session handed to it, which no window uses meanwhile since none takes the user's input. It
// reports back by posting to an object of this thread (QMetaObject::invokeMethod with a queued
// call); what it posted is delivered before this returns. A message box it has shown on this
// thread meanwhile (WindowThreadNotifier) takes the user's input, the only window that does.
void runInBackground(const std::function<void()>& work);

// Passes the notices of work running in runInBackground to `inner` on the window thread, the
// work waiting until the user has answered each; called on the window thread, it passes them
// straight on.
class WindowThreadNotifier final : public Notifier {
  public:
    WindowThreadNotifier(Notifier& inner, QObject* windowThreadObject)
        : inner_(inner), context_(windowThreadObject) {}
    void notify(const std::string& text, const std::string& title, Icon icon) override;

  private:
    Notifier& inner_;
    QObject* context_;
};

// A progress callback for work running in runInBackground: each change of the percentage is
// posted to `show`, which runs on the thread of `windowThreadObject`.
ProgressFn postedProgress(QObject* windowThreadObject, std::function<void(int percent)> show);

}  // namespace zelvanor::gui
