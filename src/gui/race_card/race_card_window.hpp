#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/views/meetings.hpp"
#include "core/views/race_card.hpp"

class QComboBox;
class QHBoxLayout;
class QLabel;
class QModelIndex;
class QPushButton;
class QTabBar;
class QTableView;

namespace zelvanor::gui {

class WindowServices;
class PersonaFrame;
class ResultFrame;
class RunnerGridModel;

// The race card of one meeting: a tab per race, the runner grid and the personas' forecast. The
// race-day selection opens it; while it is open the main window's race-data commands are off.
class RaceCardWindow : public QWidget {
    Q_OBJECT
  public:
    RaceCardWindow(WindowServices& main, Meeting meeting, QWidget* parent = nullptr);

    const Meeting& meeting() const { return meeting_; }
    // The race on show, 0 before any.
    int raceNo() const { return raceNo_; }
    RunnerGridModel* gridModel() const { return model_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildWindow();
    QWidget* buildHeader();
    QWidget* buildTitleRow();
    void buildGrid();
    // Fills the course selector with the day's meetings; the current one selected.
    void fillCourses();
    // Course selector: another meeting of the same day.
    void courseChanged(int index);
    // Rebuilds the tabs and the day line for the current meeting and shows the first race.
    void setRaceTabs();
    // Shows the race of tab `index` (0-based). A race that has gone leaves the screen as it was.
    void setRace(int index);
    // Ctrl+Tab / Ctrl+PageDown (+1) and Ctrl+Shift+Tab / Ctrl+PageUp (-1): the next or the
    // previous race's tab, round from the last to the first.
    void stepRace(int step);
    void showCard(const RaceCard& card);
    // Toggles and stores the going of the race on show, then shows it again.
    void toggleGoing();
    // A click on the person or the class heading switches that column.
    void headingClicked(int section);
    // A left press on a horse name opens that horse's detail window.
    void horseNamePressed(const QModelIndex& index);

    // The result frame (race_card_window_result.cpp).
    void buildResultFrame();
    // Fills the result frame from the race's stored result.
    void showResult(const RaceCard& card);
    // Derives the pairs from place boxes 0 and 1 and highlights the forecast lines that hit;
    // nothing for box 2.
    void showResultPairs(int box);
    // A place box changed: derive again, or empty the pairs when a first two place is missing.
    void placeChanged(int box);
    // 記録: stores the frame into the race row.
    void recordResult();

    WindowServices& main_;
    // The main window normally outlives the card; should it not, closing the card leaves it be.
    std::weak_ptr<const bool> mainAlive_;
    Meeting meeting_;
    std::string userName_;
    std::vector<SameDayCourse> courses_;
    std::vector<RaceTab> tabs_;
    int raceNo_ = 0;

    QComboBox* courseBox_ = nullptr;
    QPushButton* backButton_ = nullptr;
    QLabel* dayLine_ = nullptr;
    QPushButton* goingButton_ = nullptr;
    QLabel* distance_ = nullptr;
    QLabel* pace_ = nullptr;
    QLabel* verdict_ = nullptr;
    QTabBar* raceTabs_ = nullptr;
    QLabel* postTime_ = nullptr;
    QLabel* title_ = nullptr;
    QTableView* grid_ = nullptr;
    RunnerGridModel* model_ = nullptr;
    std::array<PersonaFrame*, kPersonaCount> personaFrames_{};
    ResultFrame* resultFrame_ = nullptr;
    // The race on show, whose brackets and forecast the result frame reads.
    RaceCard shownCard_;
    // The row under the grid: the persona frames, then room for the result frame.
    QHBoxLayout* bottomRow_ = nullptr;
};

}  // namespace zelvanor::gui
