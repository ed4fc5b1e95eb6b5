#pragma once

#include <QColor>
#include <array>
#include <optional>

namespace zelvanor::gui {

struct BracketColours {
    QColor background;
    QColor text;
};

// The colours of brackets 1 … 8 (the race card's grid, the horse detail); nothing for any other
// value, which keeps the colours it had.
inline std::optional<BracketColours> bracketColours(int bracket) {
    static const std::array<BracketColours, 8> kColours = {{
        {QColor(0xFF, 0xFF, 0xFF), QColor(0x00, 0x00, 0x00)},
        {QColor(0x00, 0x00, 0x00), QColor(0xFF, 0xFF, 0xFF)},
        {QColor(0xFF, 0x00, 0x00), QColor(0x00, 0x00, 0x00)},
        {QColor(0x00, 0x00, 0xFF), QColor(0xFF, 0xFF, 0xFF)},
        {QColor(0xFF, 0xFF, 0x00), QColor(0x00, 0x00, 0x00)},
        {QColor(0x00, 0xC0, 0x00), QColor(0x00, 0x00, 0x00)},
        {QColor(0xFF, 0x80, 0x00), QColor(0x00, 0x00, 0x00)},
        {QColor(0xFF, 0x80, 0xFF), QColor(0x00, 0x00, 0x00)},
    }};
    if (bracket < 1 || bracket > 8) return std::nullopt;
    return kColours[static_cast<std::size_t>(bracket - 1)];
}

}  // namespace zelvanor::gui
