#pragma once

#include "shell/notifier.hpp"

class QWidget;

namespace zelvanor::gui {

// Shows the core's notices as message boxes over a window.
class DialogNotifier final : public Notifier {
public:
    explicit DialogNotifier(QWidget* parent) : parent_(parent) {}
    void notify(const std::string& text, const std::string& title, Icon icon) override;

private:
    QWidget* parent_;
};

}  // namespace zelvanor::gui
