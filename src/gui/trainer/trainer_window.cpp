#include "gui/trainer/trainer_window.hpp"

namespace zelvanor::gui {

namespace {

const PeopleWindowTraits kTrainerWindow{
    .kind = PersonKind::Trainer,
    .objectName = "TrainerWindow",
    .title = "ＪＲＡ調教師情報検索",
    .hint = "←  のりストから調教師を選んでね。  (^○^)",
    .codeCaption = "調教師コード",
    // Left of and above the centre: the jockey window goes the other way.
    .offsetTwips = -200,
};

}  // namespace

TrainerWindow::TrainerWindow(WindowServices& main, QWidget* parent)
    : PeopleWindow(main, kTrainerWindow, parent) {}

}  // namespace zelvanor::gui
