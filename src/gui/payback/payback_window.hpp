#pragma once

#include <QDialog>
#include <array>

#include "core/views/meetings.hpp"
#include "core/views/payback.hpp"

class QLabel;
class QPushButton;
class QRadioButton;
class QTableView;

namespace zelvanor::gui {

class WindowServices;
class TextGridModel;

// One meeting's results and payouts beside the three personas' picks, with the hits marked and
// the hit and return rates of the chosen way of betting. The meeting is read once; every option
// change works from what was read.
class PaybackWindow : public QDialog {
    Q_OBJECT
  public:
    PaybackWindow(WindowServices& main, PaybackSheet sheet, QWidget* parent = nullptr);

    // The options as the buttons are set.
    PaybackOptions options() const;

  private:
    QWidget* buildOptions();
    QWidget* buildPickCaptions();
    // The kind of marks shown changes the marks only; the other options the totals too.
    void showHitMarks();
    void setTotals();
    void goBack();

    WindowServices& main_;
    PaybackSheet sheet_;
    PaybackMarkCells marks_{};
    QLabel* heading_ = nullptr;
    TextGridModel* results_ = nullptr;
    TextGridModel* picks_ = nullptr;
    TextGridModel* totals_ = nullptr;
    QTableView* resultsGrid_ = nullptr;
    QTableView* totalsGrid_ = nullptr;
    QTableView* picksGrid_ = nullptr;
    std::array<QRadioButton*, 2> stakes_{};
    std::array<QRadioButton*, 3> tickets_{};
    std::array<QRadioButton*, 3> ranges_{};
    std::array<QRadioButton*, 2> markKinds_{};
    QPushButton* backButton_ = nullptr;
};

// The payback window of the meeting, modal over `parent`: read from the main window's session;
// a meeting no longer stored is told in a message box and opens nothing.
void openPayback(WindowServices& main, const Meeting& meeting, QWidget* parent);

}  // namespace zelvanor::gui
