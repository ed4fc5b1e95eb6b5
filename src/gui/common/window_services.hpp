#pragma once

// What a window asks of the program around it: the shared databases, the telling of a failure,
// the progress bar, and the commands that must wait while it is open. The main window provides
// it; windows never reach the main window itself, so each can be built and tested on its own.

#include <exception>
#include <memory>

namespace zelvanor {
class AppPaths;
class DataSession;
struct Meeting;
enum class PersonKind;
}  // namespace zelvanor

class QProgressBar;

namespace zelvanor::gui {

class WindowServices {
  public:
    WindowServices() = default;
    virtual ~WindowServices() = default;
    WindowServices(const WindowServices&) = delete;
    WindowServices& operator=(const WindowServices&) = delete;

    // The databases the windows share for the program's life.
    virtual DataSession& session() = 0;
    virtual const AppPaths& paths() const = 0;
    // Tells a failure of a store or file operation in the user's words, the progress bar taken
    // away first.
    virtual void reportFailure(const std::exception& failure) = 0;
    // Runs a store or file operation; a failure is told (reportFailure) and abandons only that
    // operation, never the program. True when it ran through.
    template <typename F>
    bool guarded(F&& operation) {
        try {
            operation();
            return true;
        } catch (const std::exception& e) {
            reportFailure(e);
            return false;
        }
    }
    // The program's progress bar, lent to a long operation.
    virtual QProgressBar* progressBar() = 0;

    // The main window back to its normal size, as a window that minimised it closes.
    virtual void restoreMainWindow() = 0;
    // The race card of a meeting, opened beside the other windows.
    virtual void openRaceCard(const Meeting& meeting) = 0;
    // While a race card is open, the commands that could change or reopen the race data are off.
    virtual void setRaceCardOpen(bool open) = 0;
    // The race-day selection closed by 戻る or by opening a payback window: its commands on again.
    virtual void enableRaceDayCommands() = 0;
    // While an information window exists, its button, its 照会 item and its import are off.
    virtual void setPeopleWindowOpen(PersonKind kind, bool open) = 0;

    // Expires when the services go: a window that may outlive them (closed after the main window)
    // checks it before telling them anything.
    std::weak_ptr<const bool> lifetime() const { return alive_; }

  private:
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

}  // namespace zelvanor::gui
