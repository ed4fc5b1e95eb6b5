#pragma once

#include "gui/people/people_window.hpp"

namespace zelvanor::gui {

// ＪＲＡ調教師情報検索: the trainers of JRA#CHOK.DAT; no riding data and no distance tab.
class TrainerWindow : public PeopleWindow {
    Q_OBJECT
  public:
    explicit TrainerWindow(WindowServices& main, QWidget* parent = nullptr);

    void showTrainer(int n) { showRecord(n); }
};

}  // namespace zelvanor::gui
