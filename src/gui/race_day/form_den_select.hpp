#pragma once

#include <QWidget>

namespace zelvanor::gui {

class FormStart;

// The race-day selection: every stored meeting by course; opens a meeting's race card.
class FormDenSelect : public QWidget {
    Q_OBJECT
  public:
    explicit FormDenSelect(FormStart& main, QWidget* parent = nullptr);

  private:
    FormStart& main_;
};

}  // namespace zelvanor::gui
