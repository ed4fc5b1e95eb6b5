#pragma once

#include <QDialog>

#include "core/views/meetings.hpp"

class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace zelvanor {
class DataSession;
}

namespace zelvanor::gui {

// Sets the going of every race of one meeting at once, to good or to heavy ground. Only the
// stored going flag changes; no prediction is recomputed.
class GoingDialog : public QDialog {
    Q_OBJECT
  public:
    GoingDialog(DataSession& session, Meeting meeting, QWidget* parent = nullptr);

  private:
    // 更新する: writes the chosen going, confirms it and closes.
    void update();

    DataSession& session_;
    Meeting meeting_;
    QPlainTextEdit* information_ = nullptr;
    QRadioButton* good_ = nullptr;
    QRadioButton* heavy_ = nullptr;
    QPushButton* updateButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace zelvanor::gui
