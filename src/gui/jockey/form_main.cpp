#include "gui/jockey/form_main.hpp"

namespace zelvanor::gui {

namespace {

const PeopleWindowTraits kJockeyWindow{
    .kind = PersonKind::Jockey,
    .objectName = "FormMain",
    .title = "ＪＲＡ騎手情報検索",
    .hint = "←  のりストから騎手を選んでね。  (^○^)",
    .previousButton = "SSCommand2",
    .codeCaption = "騎手コード",
    // Right of and below the centre, so it does not cover a trainer window opened beside it.
    .offsetTwips = 200,
};

}  // namespace

FormMain::FormMain(FormStart& main, QWidget* parent) : PeopleWindow(main, kJockeyWindow, parent) {}

}  // namespace zelvanor::gui
