#include "gui/trainer/form_main2.hpp"

namespace zelvanor::gui {

namespace {

const PeopleWindowTraits kTrainerWindow{
    .kind = PersonKind::Trainer,
    .objectName = "FormMain2",
    .title = "ＪＲＡ調教師情報検索",
    .hint = "←  のりストから調教師を選んでね。  (^○^)",
    .previousButton = "SSCommand7",
    .codeCaption = "調教師コード",
    // Left of and above the centre: the jockey window goes the other way.
    .offsetTwips = -200,
};

}  // namespace

FormMain2::FormMain2(FormStart& main, QWidget* parent)
    : PeopleWindow(main, kTrainerWindow, parent) {}

}  // namespace zelvanor::gui
