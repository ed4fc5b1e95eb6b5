#pragma once

// The jockey master 騎手マスタ and the trainer master 調教師マスタ in mast.mdb: every whole field
// of their record file as a text column (the jockeys with the short name KISKANJI2 after
// KISKANJI), then the top-two rates the import works out, and their indexes.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/records/layout.hpp"
#include "core/store/store.hpp"

namespace zelvanor {

inline constexpr std::string_view kJockeyTable = "騎手マスタ";
inline constexpr std::string_view kTrainerTable = "調教師マスタ";

// A top-two rate column: top / total × 100 over the named count groups of the record, 0 without
// runs. Bit k-1 of top and total stands for count k of a group.
struct PeopleRate {
    std::string_view column;
    std::span<const std::string_view> groups;
    unsigned top;
    unsigned total;
};

// One master and the record file it is made from.
struct PeopleTable {
    std::string_view table;
    const RecordLayout& layout;
    std::string_view codeField;
    std::string_view nameField;
    std::string_view shortNameColumn;  // empty when the table has none
    std::span<const IndexSpec> indexes;
    std::span<const PeopleRate> rates;
};

extern const PeopleTable kJockeyMaster;
extern const PeopleTable kTrainerMaster;

// The columns in creation order.
std::vector<ColumnDef> peopleTableColumns(const PeopleTable& master);
std::vector<ColumnDef> jockeyTableColumns();
std::vector<ColumnDef> trainerTableColumns();

// What the engine reads of a row of 騎手マスタ or 調教師マスタ (a trainer has no minarai).
struct MasterPerson {
    std::string kanji;     // KISKANJI or CHOKANJI: family name in characters 1-8, given name 9-16
    std::string touzai;    // TOUZAI
    std::string minarai;   // minarai
    double sougouRen = 0;  // KSougouRen or CSougouRen
    std::array<double, 10> courseRates{};  // k01ren … k10ren or c01ren … c10ren
};

// A jockey or trainer sought by one key column, the first row stored when two hold it.
class MasterRows {
  public:
    enum class Key { JockeyCode, JockeyShortName, TrainerCode };
    MasterRows(Database& mast, Key key);
    std::optional<MasterPerson> find(std::string_view key);

  private:
    Statement st_;
};

// Each creates its empty table with its indexes, in one transaction. The jockey table gets the
// unique index KISCODE and the indexes KISKANJI2 and KISKANA; the trainer table the unique index
// chocode. All refuse empty keys.
void createPeopleTable(Database& mast, const PeopleTable& master);
void createJockeyTable(Database& mast);
void createTrainerTable(Database& mast);

}  // namespace zelvanor
