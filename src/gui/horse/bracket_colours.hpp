#pragma once

#include <QColor>
#include <array>

namespace zelvanor::gui {

struct BracketColours {
    QColor background;
    QColor text;
};

// The colours of brackets 1 … 8 as the race card shows them; any other value gets white with
// black text.
inline BracketColours bracketColours(int bracket) {
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
    if (bracket < 1 || bracket > 8) return kColours[0];
    return kColours[static_cast<std::size_t>(bracket - 1)];
}

}  // namespace zelvanor::gui
