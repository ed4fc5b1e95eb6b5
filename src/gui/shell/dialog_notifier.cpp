#include "gui/shell/dialog_notifier.hpp"

#include "gui/common/display_text.hpp"
#include "gui/common/user_dialogs.hpp"

namespace zelvanor::gui {

void DialogNotifier::notify(const std::string& text, const std::string& title, Icon icon) {
    if (!holdLast_) {
        show({text, title, icon});
        return;
    }
    if (held_) show(*held_);
    held_ = Message{text, title, icon};
}

void DialogNotifier::finish(const std::string& report) {
    if (!held_) return;
    Message last = std::move(*held_);
    held_.reset();
    if (!report.empty()) last.text += "\n\n" + report;
    show(last);
}

void DialogNotifier::show(const Message& message) {
    if (beforeShow_) beforeShow_();
    UserDialogs::Icon shown = UserDialogs::Icon::None;
    switch (message.icon) {
        case Icon::Information:
            shown = UserDialogs::Icon::Information;
            break;
        case Icon::Exclamation:
            shown = UserDialogs::Icon::Exclamation;
            break;
        case Icon::Critical:
            shown = UserDialogs::Icon::Critical;
            break;
        case Icon::None:
            break;
    }
    dialogs().message(parent_, displayText(message.text), displayText(message.title), shown);
}

}  // namespace zelvanor::gui
