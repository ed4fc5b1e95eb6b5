#include "shell/dialog_notifier.hpp"

#include "shell/user_dialogs.hpp"

namespace zelvanor::gui {

void DialogNotifier::notify(const std::string& text, const std::string& title, Icon icon) {
    if (beforeShow_) beforeShow_();
    UserDialogs::Icon shown = UserDialogs::Icon::None;
    switch (icon) {
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
    dialogs().message(parent_, QString::fromStdString(text), QString::fromStdString(title), shown);
}

}  // namespace zelvanor::gui
