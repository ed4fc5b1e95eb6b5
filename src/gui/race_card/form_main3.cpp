#include "gui/race_card/form_main3.hpp"

#include "gui/shell/form_start.hpp"

namespace zelvanor::gui {

FormMain3::FormMain3(FormStart& main, Meeting meeting, QWidget* parent)
    : QWidget(parent), main_(main), meeting_(std::move(meeting)) {
    setObjectName(QStringLiteral("FormMain3"));
    setWindowTitle(QStringLiteral("出馬表"));
}

}  // namespace zelvanor::gui
