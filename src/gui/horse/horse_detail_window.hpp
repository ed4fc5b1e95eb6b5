#pragma once

#include <QWidget>
#include <array>
#include <string>

#include "core/views/horse_detail.hpp"
#include "core/views/meetings.hpp"

class QGroupBox;
class QLabel;

namespace zelvanor::gui {

class WindowServices;

// The detail of one runner of the race on show: a small pop-up that closes as soon as the user
// turns to another window, and opens again where it was last.
class HorseDetailWindow : public QWidget {
    Q_OBJECT
  public:
    explicit HorseDetailWindow(WindowServices& main, QWidget* parent = nullptr);

    // Fills every field from the view.
    void showHorse(const HorseDetail& detail);
    const std::string& umacode() const { return umacode_; }

    // Centred on the screen, or at the remembered place when there is one on a screen.
    void placeWindow();

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildWindow();
    QWidget* buildIdentity();
    QWidget* buildConnections();
    QWidget* buildFigures();
    QGroupBox* buildPastRace(int k);

    WindowServices& main_;
    std::string umacode_;

    QLabel* bracket_ = nullptr;
    QLabel* number_ = nullptr;
    QLabel* blinker_ = nullptr;
    QLabel* name_ = nullptr;
    QLabel* sire_ = nullptr;
    QLabel* dam_ = nullptr;
    QLabel* damSire_ = nullptr;
    QLabel* sex_ = nullptr;
    QLabel* age_ = nullptr;
    QLabel* coat_ = nullptr;
    QLabel* style_ = nullptr;
    QLabel* distanceType_ = nullptr;
    QLabel* wetTrack_ = nullptr;
    QLabel* jockey_ = nullptr;
    QLabel* trainer_ = nullptr;
    QLabel* owner_ = nullptr;
    std::array<QLabel*, 3> money_{};
    std::array<QLabel*, 3> figures_{};
    std::array<QGroupBox*, kPastRacePanels> pastRaces_{};
    std::array<std::array<QLabel*, kPastRaceLines>, kPastRacePanels> pastRaceLines_{};
};

// Opens the detail window of a runner of the race on show, not modal: hands the horse over in the
// constants record, reads it and shows it. Nothing opens when the horse has no entries row (the
// window would have nothing to show). The window deletes itself when it closes.
HorseDetailWindow* openHorseDetail(WindowServices& main, const Meeting& meeting, int raceNo,
                           const std::string& umacode, QWidget* parent);

}  // namespace zelvanor::gui
