#pragma once

#include <QString>
#include <exception>

class QWidget;

namespace zelvanor::gui {

// Every message box and file dialog goes through here, so tests can answer them.
class UserDialogs {
  public:
    enum class Icon { None, Information, Exclamation, Critical, Question };

    virtual ~UserDialogs() = default;
    virtual void message(QWidget* parent, const QString& text, const QString& title, Icon icon) = 0;
    // Empty when the user cancels.
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& folder) = 0;
    // A folder, existing or made in the dialog; empty when the user cancels.
    virtual QString folderName(QWidget* parent, const QString& title, const QString& folder) = 0;
    // Yes and No; true for Yes.
    virtual bool confirm(QWidget* parent, const QString& text, const QString& title,
                         Icon icon = Icon::Question) = 0;
};

// The dialogs in use: real ones unless a test installed its own.
UserDialogs& dialogs();
// Installs a replacement (nullptr restores the real dialogs); the caller keeps ownership.
void setDialogs(UserDialogs* replacement);

// Tells that an operation failed and was abandoned: the failure in the user's words (a file
// system failure names its file), then that nothing of the operation was kept.
void showOperationFailure(QWidget* parent, const std::exception& failure);

// Places a dialog centred over the window of `parent` as it is shown, or over the screen without
// one, whatever the window manager would do; it stays on the screen.
void centreOver(QWidget* dialog, QWidget* parent);

// The application title used on message boxes.
inline const char* const kAppTitle = "Zelvanor";

}  // namespace zelvanor::gui
