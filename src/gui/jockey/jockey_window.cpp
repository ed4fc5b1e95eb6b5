#include "gui/jockey/jockey_window.hpp"

namespace zelvanor::gui {

namespace {

const PeopleWindowTraits kJockeyWindow{
    .kind = PersonKind::Jockey,
    .objectName = "JockeyWindow",
    .title = "ＪＲＡ騎手情報検索",
    .hint = "←  のりストから騎手を選んでね。  (^○^)",
    .codeCaption = "騎手コード",
    // Right of and below the centre, so it does not cover a trainer window opened beside it.
    .offsetTwips = 200,
};

}  // namespace

JockeyWindow::JockeyWindow(WindowServices& main, QWidget* parent) : PeopleWindow(main, kJockeyWindow, parent) {}

}  // namespace zelvanor::gui
