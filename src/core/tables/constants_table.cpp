#include "core/tables/constants_table.hpp"

#include <vector>

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

// One transaction over row ID 1, which must exist.
template <typename Write>
bool editRowOne(Database& mast, Write&& write) {
    if (!mast.hasTable(kConstantsTable)) return false;
    Transaction tx(mast);
    Table t(mast, kConstantsTable);
    t.setIndex("ID");
    if (!t.seek(std::int64_t{1})) return false;
    t.edit();
    write(t);
    t.update();
    tx.commit();
    return true;
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

bool writeHandedHorse(Database& mast, std::int64_t code) {
    return editRowOne(mast, [&](Table& t) { t.set("UserWork6", code); });
}

bool writeHorseWindowPosition(Database& mast, double left, double top) {
    return editRowOne(mast, [&](Table& t) {
        t.set("Pos1Left", left);
        t.set("Pos1Top", top);
    });
}

void writeWeightsAndName(Database& mast, const std::array<int, 7>& weights,
                         std::string_view userName) {
    Transaction tx(mast);
    if (!mast.hasTable(kConstantsTable)) createConstantsTable(mast);
    Table t(mast, kConstantsTable);
    beginRowOne(t);
    for (std::size_t i = 0; i < kWeightColumns.size(); ++i) {
        t.set(kWeightColumns[i], std::int64_t{weights[i]});
    }
    t.set("UserName", std::string(userName));
    t.update();
    tx.commit();
}

}  // namespace zelvanor
