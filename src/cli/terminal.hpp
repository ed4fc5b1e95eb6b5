#pragma once

#include <nlohmann/json_fwd.hpp>
#include <ostream>
#include <string>

#include "core/import/progress.hpp"
#include "core/shell/notifier.hpp"

namespace zelvanor::cli {

// Notices as lines: what the windows show in a box goes to the terminal, warnings to stderr.
class TerminalNotifier final : public Notifier {
  public:
    void notify(const std::string& text, const std::string& title, Icon icon) override;
};

// A progress line on stderr when it is a terminal; nothing otherwise.
ProgressFn terminalProgress(const std::string& label);
// Removes a progress line, if one is shown, before anything else is printed.
void clearProgress();

// Message texts use a carriage return for their line breaks, as the windows show them; a
// terminal wants new lines.
std::string forTerminal(std::string text);

// Writes the value indented, with a new line. Text read from the databases may hold bytes that
// are not UTF-8; they are written as U+FFFD rather than failing the command.
void printJson(std::ostream& out, const nlohmann::json& value);

}  // namespace zelvanor::cli
