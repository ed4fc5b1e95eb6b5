#include "terminal.hpp"

#include <unistd.h>

#include <iostream>
#include <nlohmann/json.hpp>

#include "core/records/display_width.hpp"

namespace zelvanor::cli {

namespace {
bool progressShown = false;
}

std::string forTerminal(std::string text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

void printJson(std::ostream& out, const nlohmann::json& value) {
    out << value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
}

void TerminalNotifier::notify(const std::string& text, const std::string& title, Icon icon) {
    clearProgress();
    const bool problem = icon == Icon::Exclamation || icon == Icon::Critical;
    std::ostream& out = problem ? std::cerr : std::cout;
    if (!title.empty() && title != kApplicationTitle) out << "[" << title << "] ";
    out << forTerminal(text) << "\n";
}

ProgressFn terminalProgress(const std::string& label) {
    if (!::isatty(STDERR_FILENO)) return {};
    return [label, last = -1](int percent) mutable {
        if (percent == last) return;
        last = percent;
        std::cerr << "\r" << label << " " << percent << "%" << std::flush;
        progressShown = true;
    };
}

void clearProgress() {
    if (progressShown) std::cerr << "\r\033[K" << std::flush;
    progressShown = false;
}

}  // namespace zelvanor::cli
