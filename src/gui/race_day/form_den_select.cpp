#include "gui/race_day/form_den_select.hpp"

#include "gui/shell/form_start.hpp"

namespace zelvanor::gui {

FormDenSelect::FormDenSelect(FormStart& main, QWidget* parent) : QWidget(parent), main_(main) {
    setObjectName(QStringLiteral("FormDenSelect"));
    setWindowTitle(QStringLiteral("予想する開催の選択"));
}

}  // namespace zelvanor::gui
