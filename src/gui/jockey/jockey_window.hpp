#pragma once

#include "gui/people/people_window.hpp"

namespace zelvanor::gui {

// ＪＲＡ騎手情報検索: the jockeys of JRA#KISI.DAT, with their distance results.
class JockeyWindow : public PeopleWindow {
    Q_OBJECT
  public:
    explicit JockeyWindow(WindowServices& main, QWidget* parent = nullptr);

    void showJockey(int n) { showRecord(n); }
};

}  // namespace zelvanor::gui
