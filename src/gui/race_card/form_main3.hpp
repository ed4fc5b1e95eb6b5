#pragma once

#include <QWidget>

#include "core/views/meetings.hpp"

namespace zelvanor::gui {

class FormStart;

// The race card of one meeting: a tab per race, the runner grid and the personas' forecast.
class FormMain3 : public QWidget {
    Q_OBJECT
  public:
    FormMain3(FormStart& main, Meeting meeting, QWidget* parent = nullptr);

  private:
    FormStart& main_;
    Meeting meeting_;
};

}  // namespace zelvanor::gui
