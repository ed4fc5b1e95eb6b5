#pragma once

#include <functional>

namespace zelvanor::gui {

// Runs `work` on a thread of its own and waits for it in a local event loop, so the windows keep
// painting and a progress bar keeps moving; meanwhile every window of the program ignores the
// user's mouse, keyboard and close box. Rethrows on this thread what `work` threw.
//
// `work` must not touch widgets: it runs beside this thread. It may use a connection of the
// session handed to it, which no window uses meanwhile since none takes the user's input. It
// reports back by posting to an object of this thread (QMetaObject::invokeMethod with a queued
// call); what it posted is delivered before this returns.
void runInBackground(const std::function<void()>& work);

}  // namespace zelvanor::gui
