#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/shell/notifier.hpp"

class QWidget;

namespace zelvanor::gui {

// Shows the core's notices as message boxes over a window.
class DialogNotifier final : public Notifier {
  public:
    // `beforeShow` runs before each message, e.g. to take a finished progress bar away. With
    // `holdLast`, each message waits for the next one or for finish(), so that the last message
    // of an import can carry the import's report in the same box.
    explicit DialogNotifier(QWidget* parent, std::function<void()> beforeShow = {},
                            bool holdLast = false)
        : parent_(parent), beforeShow_(std::move(beforeShow)), holdLast_(holdLast) {}
    void notify(const std::string& text, const std::string& title, Icon icon) override;

    // Shows the message held back, with `report` as a paragraph under it when there is one.
    void finish(const std::string& report = {});

  private:
    struct Message {
        std::string text;
        std::string title;
        Icon icon;
    };
    void show(const Message& message);

    QWidget* parent_;
    std::function<void()> beforeShow_;
    bool holdLast_;
    std::optional<Message> held_;
};

}  // namespace zelvanor::gui
