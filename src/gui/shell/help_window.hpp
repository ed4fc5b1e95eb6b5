#pragma once

#include <QTextBrowser>

namespace zelvanor::gui {

// The manual bundled with the program, shown in a window of its own.
class HelpWindow : public QTextBrowser {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* parent = nullptr);
};

}  // namespace zelvanor::gui
