#pragma once

#include <QFrame>
#include <array>

#include "core/views/race_forecast.hpp"

class QLabel;

namespace zelvanor::gui {

// One persona's box under the runner grid: its caption and six lines of horse number, value and
// pick. Dark brown with white text; the number and pick cells are white boxes, so that a hit can
// be coloured in them.
class PersonaFrame : public QFrame {
    Q_OBJECT
  public:
    static constexpr int kLines = 6;

    // `index` (0 … 2) names the frame's widgets: personaFrame<index>, personaNumber<index>_<line>,
    // personaValue<index>_<line>, personaPick<index>_<line>.
    explicit PersonaFrame(int index, QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    void showForecast(const PersonaForecast& forecast);

    // Colours the top line's number and the picks that hit (#FFC0C0); the others white.
    void setHits(bool top, const std::array<bool, kLines>& picks);
    static bool isHit(const QLabel* cell);

    QLabel* numberLabel(int line) const { return numbers_[static_cast<std::size_t>(line)]; }
    QLabel* pickLabel(int line) const { return picks_[static_cast<std::size_t>(line)]; }

  private:
    QLabel* caption_ = nullptr;
    std::array<QLabel*, kLines> numbers_{};
    std::array<QLabel*, kLines> values_{};
    std::array<QLabel*, kLines> picks_{};
};

}  // namespace zelvanor::gui
