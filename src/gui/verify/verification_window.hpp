#pragma once

#include <QWidget>
#include <array>
#include <string>

#include "core/views/verification.hpp"

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableView;

namespace zelvanor::gui {

class WindowServices;
class TextGridModel;

// The prediction verification: the user ticks courses and picks a race condition; a run over the
// stored meetings shows each persona's hit and return rates for win, place, bracket quinella and
// quinella. Not modal.
class VerificationWindow : public QWidget {
    Q_OBJECT
  public:
    explicit VerificationWindow(WindowServices& main, QWidget* parent = nullptr);

    // The run of 上記条件で検証する: empties the rate cells, counts on a worker thread while the
    // window stays painted and the main window's progress bar moves, then shows the result (or
    // that no race matched).
    void setVerify();

  private:
    QWidget* buildCourses();
    QWidget* buildConditions();
    QWidget* buildRaceNumbers();
    QWidget* buildResults();
    QTableView* buildGrid(int index);
    VerificationConditions conditionsShown() const;
    void clearRates();
    void showRates(const Verification& result);

    WindowServices& main_;
    std::string userName_;
    std::array<QCheckBox*, kVerifyCourses> courseChecks_{};
    std::array<QRadioButton*, kRaceSelectionCaptions.size()> options_{};
    std::array<QCheckBox*, kVerifyRaceNumbers> raceChecks_{};
    std::array<QLabel*, 2> counts_{};
    std::array<TextGridModel*, 2> rates_{};
    QPushButton* runButton_ = nullptr;
};

}  // namespace zelvanor::gui
