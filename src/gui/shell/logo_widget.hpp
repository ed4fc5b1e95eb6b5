#pragma once

#include <QWidget>

namespace zelvanor::gui {

// The product logo, drawn rather than loaded so the program needs no picture files.
class LogoWidget : public QWidget {
    Q_OBJECT
  public:
    explicit LogoWidget(QWidget* parent = nullptr);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace zelvanor::gui
