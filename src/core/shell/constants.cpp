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

std::vector<ColumnDef> constantsColumns() {
    using T = ColumnType;
    std::vector<ColumnDef> cols = {
        {"ID", T::Single},
        // Created under its historical name with a full-width ｇ; the store matches names
        // without regard to width, so "umamigihidari" finds it.
        {"umaMi\xEF\xBD\x87iHidari", T::Single},
        {"umaShibaDart", T::Single},
        {"umaKyori", T::Single},
        {"umaRyoOmo", T::Single},
        {"umaSeichou", T::Single},
        {"KisiRen", T::Single},
        {"ChokRen", T::Single},
        {"UserName", T::Text, 4},
        {"UserWork1", T::Text, 255},
    };
    for (int i = 2; i <= 5; ++i) cols.push_back({"UserWork" + std::to_string(i), T::Text, 20});
    cols.push_back({"UserWork6", T::Long});
    cols.push_back({"UserWork7", T::Long});
    cols.push_back({"UserWork8", T::Integer});
    cols.push_back({"UserWork9", T::Integer});
    cols.push_back({"UserWork10", T::Double});
    for (int i = 1; i <= 5; ++i) {
        cols.push_back({"Pos" + std::to_string(i) + "Left", T::Single});
        cols.push_back({"Pos" + std::to_string(i) + "Top", T::Single});
    }
    return cols;
}

// Positions the cursor on row ID 1, adding it with blanks and zeros when missing; leaves the
// cursor in add or edit mode.
void beginRowOne(Table& t) {
    t.setIndex("ID");
    if (t.seek(std::int64_t{1})) {
        t.edit();
        return;
    }
    t.addNew();
    t.set("ID", std::int64_t{1});
    for (int i = 1; i <= 5; ++i) t.set("UserWork" + std::to_string(i), std::string(" "));
    for (int i = 6; i <= 10; ++i) t.set("UserWork" + std::to_string(i), std::int64_t{0});
    for (int i = 1; i <= 5; ++i) {
        t.set("Pos" + std::to_string(i) + "Left", std::int64_t{0});
        t.set("Pos" + std::to_string(i) + "Top", std::int64_t{0});
    }
}

bool isBlank(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c == ' '; });
}

}  // namespace

void createConstantsTable(Database& mast) {
    Transaction tx(mast);
    const auto cols = constantsColumns();
    const IndexSpec indexes[] = {{"ID", "ID", true}};
    mast.createTable(kConstantsTable, cols, indexes);
    Table t(mast, kConstantsTable);
    beginRowOne(t);
    for (std::size_t i = 0; i < kWeightColumns.size(); ++i) {
        t.set(kWeightColumns[i], std::int64_t{kDefaultWeights[i]});
    }
    t.set("UserName", std::string(kDefaultUserName));
    t.update();
    tx.commit();
}

void ensureConstantsTable(Database& mast) {
    if (!mast.hasTable(kConstantsTable)) createConstantsTable(mast);
}

std::optional<ConstantsRow> readConstants(Database& mast) {
    if (!mast.hasTable(kConstantsTable)) return std::nullopt;
    Table t(mast, kConstantsTable);
    t.setIndex("ID");
    if (!t.seek(std::int64_t{1})) return std::nullopt;
    ConstantsRow row;
    for (std::size_t i = 0; i < kWeightColumns.size(); ++i)
        row.weights[i] = t.real(kWeightColumns[i]);
    row.userName = t.text("UserName");
    row.userWork6 = t.integer("UserWork6");
    row.pos1Left = t.real("Pos1Left");
    row.pos1Top = t.real("Pos1Top");
    return row;
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
    Transaction tx(mast);
    if (!mast.hasTable(kConstantsTable)) createConstantsTable(mast);
    Table t(mast, kConstantsTable);
    beginRowOne(t);
    for (std::size_t i = 0; i < kWeightColumns.size(); ++i) {
        t.set(kWeightColumns[i], std::int64_t{sliders[i]});
    }
    t.set("UserName", std::string(userName));
    t.update();
    tx.commit();
}

}  // namespace zelvanor
