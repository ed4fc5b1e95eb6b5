#pragma once

#include <QString>
#include <string_view>

namespace zelvanor::gui {

// A core text as a Qt widget shows it. The core keeps the program's texts with the line breaks
// they were written with (a bare carriage return, or carriage return and line feed); Qt breaks
// lines only at a line feed, so every break becomes one.
inline QString displayText(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

inline QString displayText(std::string_view text) {
    return displayText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

inline QString displayText(const char* text) { return displayText(std::string_view(text)); }

}  // namespace zelvanor::gui
