#pragma once

#include <functional>

#include "shell/notifier.hpp"

class QWidget;

namespace zelvanor::gui {

// Shows the core's notices as message boxes over a window.
class DialogNotifier final : public Notifier {
  public:
    // `beforeShow` runs before each message, e.g. to take a finished progress bar away.
    explicit DialogNotifier(QWidget* parent, std::function<void()> beforeShow = {})
        : parent_(parent), beforeShow_(std::move(beforeShow)) {}
    void notify(const std::string& text, const std::string& title, Icon icon) override;

  private:
    QWidget* parent_;
    std::function<void()> beforeShow_;
};

}  // namespace zelvanor::gui
