#pragma once

// Tables for the terminal: cells padded by their display width, so that full-width characters
// line up with half-width ones.

#include <algorithm>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/records/display_width.hpp"

namespace zelvanor::cli {

inline std::string pad(std::string_view s, std::size_t width, bool right = false) {
    const std::size_t w = displayWidth(s);
    const std::string fill(w < width ? width - w : 0, ' ');
    return right ? fill + std::string(s) : std::string(s) + fill;
}

// Rows of cells laid out in columns as wide as their widest cell, so that every line of the
// table has the same width however the terminal draws the characters in it.
class Columns {
  public:
    void add(std::vector<std::string> row) { rows_.push_back(std::move(row)); }

    // `rightAligned[i]` for column i; `gapBefore[i]` blanks before it (none before the first).
    void print(std::ostream& out, const std::vector<bool>& rightAligned,
               const std::vector<std::size_t>& gapBefore) const {
        std::vector<std::size_t> widths(rightAligned.size(), 0);
        for (const auto& row : rows_) {
            for (std::size_t i = 0; i < row.size(); ++i)
                widths[i] = std::max(widths[i], displayWidth(row[i]));
        }
        for (const auto& row : rows_) {
            std::string line;
            for (std::size_t i = 0; i < row.size(); ++i) {
                if (i > 0) line += std::string(gapBefore[i], ' ');
                line += pad(row[i], widths[i], rightAligned[i]);
            }
            out << line << "\n";
        }
    }

  private:
    std::vector<std::vector<std::string>> rows_;
};

}  // namespace zelvanor::cli
