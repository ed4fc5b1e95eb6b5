#include "core/shell/constants.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "core/records/cp932.hpp"
#include "core/records/display_width.hpp"
#include "core/store/store.hpp"

namespace zelvanor {

namespace {

bool isBlank(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c == ' '; });
}

}  // namespace

void ensureConstantsTable(Database& mast) {
    if (!mast.hasTable(kConstantsTable)) createConstantsTable(mast);
}

std::string personaName(const std::optional<ConstantsRow>& row) {
    if (!row || isBlank(row->userName)) return std::string(kDefaultUserName);
    return row->userName;
}

OptionsValues loadConstantsIntoOptions(Database& mast) {
    if (!mast.hasTable(kConstantsTable)) createConstantsTable(mast);
    const auto row = readConstants(mast);
    OptionsValues v;
    v.sliders = kDefaultWeights;
    if (row) {
        for (std::size_t i = 0; i < v.sliders.size(); ++i) {
            // A slider has positions 0 to 3 only; a stored value outside that is shown at the
            // nearest end rather than refused.
            const double w = std::nearbyint(row->weights[i]);
            v.sliders[i] = static_cast<int>(std::clamp(w, 0.0, 3.0));
        }
    }
    v.userName = personaName(row);
    return v;
}

std::string storedUserNameProblem(std::string_view name) {
    if (!isWellFormedUtf8(name)) return "名前に文字として読めないバイトが含まれています。";
    for (std::size_t pos = 0; pos < name.size();) {
        const char32_t c = *nextCodePoint(name, pos);
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return "名前に制御文字は使えません。";
    }
    std::string bytes;
    try {
        bytes = encodeCp932(name);
    } catch (const std::invalid_argument&) {
        return "名前に使えない文字が含まれています (シフトJIS にない文字です)。";
    }
    if (bytes.size() > kUserNameColumnBytes) {
        return "名前が長すぎます (全角 2 文字、半角 4 文字まで)。";
    }
    return {};
}

std::string userNameProblem(std::string_view name) {
    if (auto problem = storedUserNameProblem(name); !problem.empty()) return problem;
    if (charCount(name) > static_cast<std::size_t>(kUserNameMaxChars)) {
        return "名前は " + std::to_string(kUserNameMaxChars) + " 文字までです。";
    }
    return {};
}

void saveConstants(Database& mast, const std::array<int, 7>& sliders, std::string_view userName) {
    for (std::size_t i = 0; i < sliders.size(); ++i) {
        // The engine turns positions 0 to 3 into multipliers; any other value has none.
        if (sliders[i] < 0 || sliders[i] > 3) {
            throw std::invalid_argument(std::string(kWeightCaptions[i]) + " の重み " +
                                        std::to_string(sliders[i]) + " は 0～3 ではありません。");
        }
    }
    if (const auto problem = storedUserNameProblem(userName); !problem.empty()) {
        throw std::invalid_argument(problem);
    }
    writeWeightsAndName(mast, sliders, userName);
}

}  // namespace zelvanor
