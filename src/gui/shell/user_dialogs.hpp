#pragma once

#include <QString>

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
    virtual bool confirm(QWidget* parent, const QString& text, const QString& title) = 0;
};

// The dialogs in use: real ones unless a test installed its own.
UserDialogs& dialogs();
// Installs a replacement (nullptr restores the real dialogs); the caller keeps ownership.
void setDialogs(UserDialogs* replacement);

// The application title used on message boxes.
inline const char* const kAppTitle = "Zelvanor";

}  // namespace zelvanor::gui
