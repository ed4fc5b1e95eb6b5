#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "core/tables/racing.hpp"
#include "core/views/meetings.hpp"
#include "core/views/recompute.hpp"

class QCheckBox;
class QGridLayout;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;

namespace zelvanor::gui {

class WindowServices;

// The race-day selection: every stored meeting, one list per course; from the chosen meeting it
// opens the race card, the payback window or the going dialog, recomputes the predictions or
// deletes the meeting, and recomputes every meeting of the ticked courses.
class RaceDaySelection : public QWidget {
    Q_OBJECT
  public:
    explicit RaceDaySelection(WindowServices& main, QWidget* parent = nullptr);

    // The selected meeting; empty when no entry of any list is selected.
    std::optional<Meeting> selectedMeeting() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildLists(QGridLayout* grid);
    QWidget* buildButtons();
    QWidget* buildRecomputeOptions();
    void buildMenu();
    void fillLists();
    // The keyboard to the first course that holds meetings, so that the arrows choose at once.
    void focusFirstMeetings();
    // Keeps at most one entry of the whole window selected.
    void clearOtherLists(const QListWidget* keep);

    // The selected meeting, or the message that nothing is selected.
    std::optional<Meeting> lookup();
    void openRaceCard(const Meeting& meeting);
    void openFromList(const QListWidgetItem* item);
    void predict();
    void goBack();
    void deleteSelected();
    void recomputeSelected();
    void setGoing();
    // 払い戻し: the payback window of the selected meeting, modal; this window stays open.
    void openPaybackWindow();
    void recomputeTicked();
    // Recomputes the meetings on a worker thread; `shown` runs on this thread for each step.
    // False when the store failed, which the user was told.
    bool recompute(const std::vector<Meeting>& meetings,
                   const std::function<void(const RecomputeStep&)>& shown);
    // Runs a store operation; a failure is told in a message box and abandons only that action.
    bool attempt(const std::function<void()>& operation);
    // The five buttons switched off while one meeting is recomputed.
    void setMeetingButtonsEnabled(bool enabled);
    void showProgress(int percent);
    void endProgress();

    WindowServices& main_;
    std::array<QListWidget*, kCourseCount> lists_{};
    std::array<QCheckBox*, kCourseCount> courseChecks_{};
    QPushButton* predictButton_ = nullptr;
    QPushButton* backButton_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    QPushButton* paybackButton_ = nullptr;
    QPushButton* recomputeButton_ = nullptr;
    QPushButton* goingButton_ = nullptr;
    QPushButton* recomputeAllButton_ = nullptr;
    QLabel* counter_ = nullptr;
    QMenu* meetingMenu_ = nullptr;
};

}  // namespace zelvanor::gui
