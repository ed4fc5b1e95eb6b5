#include "core/tables/people_tables.hpp"

#include <string>

#include "core/records/layouts.hpp"
#include "core/records/people_layout.hpp"
#include "core/tables/racing.hpp"

namespace zelvanor {

namespace {

// A set of counts of a group, bit k-1 standing for count k. In a group of eight the first four
// counts are flat (or turf) and the last four jump (or dirt).
constexpr unsigned kFirstTop = 0b0000'0011;   // counts 1, 2
constexpr unsigned kFirstAll = 0b0000'1111;   // counts 1 to 4
constexpr unsigned kSecondTop = 0b0011'0000;  // counts 5, 6
constexpr unsigned kSecondAll = 0b1111'0000;  // counts 5 to 8
constexpr unsigned kBothTop = 0b0011'0011;    // counts 1, 2, 5, 6
constexpr unsigned kBothAll = 0b1111'1111;    // counts 1 to 8

// ---- jockeys ----

constexpr std::string_view kDistanceGroups[] = {"H1600", "H2200", "H2201",
                                                "Z1600", "Z2200", "Z2201"};
constexpr std::string_view kUpTo1600[] = {"H1600", "Z1600"};
constexpr std::string_view kUpTo2200[] = {"H2200", "Z2200"};
constexpr std::string_view kFrom2201[] = {"H2201", "Z2201"};

// The course groups of this year and last year, by racecourse code "01" to "10".
constexpr std::string_view kSapporo[] = {"HSAP", "ZSAP"};
constexpr std::string_view kHakodate[] = {"HHAK", "ZHAK"};
constexpr std::string_view kFukushima[] = {"HFUK", "ZFUK"};
constexpr std::string_view kNiigata[] = {"HNIG", "ZNIG"};
constexpr std::string_view kTokyo[] = {"HTOK", "ZTOK"};
constexpr std::string_view kNakayama[] = {"HNAK", "ZNAK"};
constexpr std::string_view kChukyo[] = {"HCHU", "ZCHU"};
constexpr std::string_view kKyoto[] = {"HKYO", "ZKYO"};
constexpr std::string_view kHanshin[] = {"HHAN", "ZHAN"};
constexpr std::string_view kKokura[] = {"HKOK", "ZKOK"};

constexpr PeopleRate kJockeyRates[] = {
    {"KSougouRen", kDistanceGroups, kBothTop, kBothAll},
    {"KShibaSougouRen", kDistanceGroups, kFirstTop, kFirstAll},
    {"KDertSougouRen", kDistanceGroups, kSecondTop, kSecondAll},
    {"KShiba1600Ren", kUpTo1600, kFirstTop, kFirstAll},
    {"KShiba2200Ren", kUpTo2200, kFirstTop, kFirstAll},
    {"KShiba2201Ren", kFrom2201, kFirstTop, kFirstAll},
    {"KDert1600Ren", kUpTo1600, kSecondTop, kSecondAll},
    {"KDert2200Ren", kUpTo2200, kSecondTop, kSecondAll},
    {"KDert2201Ren", kFrom2201, kSecondTop, kSecondAll},
    {"K01Ren", kSapporo, kFirstTop, kFirstAll},
    {"K02Ren", kHakodate, kFirstTop, kFirstAll},
    {"K03Ren", kFukushima, kFirstTop, kFirstAll},
    {"K04Ren", kNiigata, kFirstTop, kFirstAll},
    {"K05Ren", kTokyo, kFirstTop, kFirstAll},
    {"K06Ren", kNakayama, kFirstTop, kFirstAll},
    {"K07Ren", kChukyo, kFirstTop, kFirstAll},
    {"K08Ren", kKyoto, kFirstTop, kFirstAll},
    {"K09Ren", kHanshin, kFirstTop, kFirstAll},
    {"K10Ren", kKokura, kFirstTop, kFirstAll},
};

constexpr IndexSpec kJockeyIndexes[] = {
    {"KISCODE", "KISCODE", true},
    {"KISKANJI2", "KISKANJI2", false},
    {"KISKANA", "KISKANA", false},
};

}  // namespace

const PeopleTable kJockeyMaster{
    .table = kJockeyTable,
    .layout = kKisiLayout,
    .codeField = "KISCODE",
    .nameField = "KISKANJI",
    .shortNameColumn = "KISKANJI2",
    .indexes = kJockeyIndexes,
    .rates = kJockeyRates,
};

namespace {

// ---- trainers ----

constexpr std::string_view kCourseGroups[] = {
    "HSAP", "HHAK", "HFUK", "HNIG", "HTOK", "HNAK", "HCHU", "HKYO", "HHAN", "HKOK",
    "ZSAP", "ZHAK", "ZFUK", "ZNIG", "ZTOK", "ZNAK", "ZCHU", "ZKYO", "ZHAN", "ZKOK",
};

constexpr PeopleRate kTrainerRates[] = {
    {"CSougouRen", kCourseGroups, kFirstTop, kFirstAll},
    {"C01Ren", kSapporo, kFirstTop, kFirstAll},
    {"C02Ren", kHakodate, kFirstTop, kFirstAll},
    {"C03Ren", kFukushima, kFirstTop, kFirstAll},
    {"C04Ren", kNiigata, kFirstTop, kFirstAll},
    {"C05Ren", kTokyo, kFirstTop, kFirstAll},
    {"C06Ren", kNakayama, kFirstTop, kFirstAll},
    {"C07Ren", kChukyo, kFirstTop, kFirstAll},
    {"C08Ren", kKyoto, kFirstTop, kFirstAll},
    {"C09Ren", kHanshin, kFirstTop, kFirstAll},
    {"C10Ren", kKokura, kFirstTop, kFirstAll},
};

constexpr IndexSpec kTrainerIndexes[] = {{"chocode", "chocode", true}};

}  // namespace

const PeopleTable kTrainerMaster{
    .table = kTrainerTable,
    .layout = kChokLayout,
    .codeField = "chocode",
    .nameField = "CHOKANJI",
    .shortNameColumn = "",
    .indexes = kTrainerIndexes,
    .rates = kTrainerRates,
};

namespace {

constexpr int kText = 255;
constexpr int kShortNameSize = 16;

}  // namespace

std::vector<ColumnDef> peopleTableColumns(const PeopleTable& kind) {
    std::vector<ColumnDef> cols;
    for (const FieldSpec& f : kind.layout.fields) {
        if (!isWholeField(f)) continue;
        cols.push_back({std::string(f.name), ColumnType::Text, kText});
        if (f.name == kind.nameField && !kind.shortNameColumn.empty()) {
            cols.push_back({std::string(kind.shortNameColumn), ColumnType::Text, kShortNameSize});
        }
    }
    for (const PeopleRate& r : kind.rates)
        cols.push_back({std::string(r.column), ColumnType::Double});
    return cols;
}

void createPeopleTable(Database& mast, const PeopleTable& kind) {
    const auto cols = peopleTableColumns(kind);
    Transaction tx(mast);
    mast.createTable(kind.table, cols, kind.indexes);
    tx.commit();
}

std::vector<ColumnDef> jockeyTableColumns() {
    return peopleTableColumns(kJockeyMaster);
}
std::vector<ColumnDef> trainerTableColumns() {
    return peopleTableColumns(kTrainerMaster);
}

void createJockeyTable(Database& mast) {
    createPeopleTable(mast, kJockeyMaster);
}
void createTrainerTable(Database& mast) {
    createPeopleTable(mast, kTrainerMaster);
}

namespace {

// "k01ren, …, k10ren" and the like, each after a comma.
std::string courseRateColumns(std::string_view letter) {
    std::string out;
    for (int i = 1; i <= kCourseCount; ++i) {
        std::string name(letter);
        if (i < 10) name += '0';
        name += std::to_string(i);
        name += "ren";
        out += ", ";
        out += quoteIdentifier(name);
    }
    return out;
}

// The name, TOUZAI, minarai, overall rate and course rates of a jockey or trainer, found by one
// key column.
std::string personSql(std::string_view table, std::string_view name, std::string_view minarai,
                      std::string_view overall, std::string_view rateLetter, std::string_view key) {
    return "SELECT " + quoteIdentifier(name) + ", " + quoteIdentifier("TOUZAI") + ", " +
           std::string(minarai) + ", " + quoteIdentifier(overall) + courseRateColumns(rateLetter) +
           " FROM " + quoteIdentifier(table) + " WHERE " + quoteIdentifier(key) +
           " = ?1 ORDER BY rowid LIMIT 1";
}

std::string masterSql(MasterRows::Key key) {
    switch (key) {
        case MasterRows::Key::JockeyCode:
            return personSql(kJockeyTable, "KISKANJI", quoteIdentifier("minarai"), "KSougouRen",
                             "k", "KISCODE");
        case MasterRows::Key::JockeyShortName:
            return personSql(kJockeyTable, "KISKANJI", quoteIdentifier("minarai"), "KSougouRen",
                             "k", "KISKANJI2");
        case MasterRows::Key::TrainerCode:
            break;
    }
    // A trainer has no minarai.
    return personSql(kTrainerTable, "CHOKANJI", "''", "CSougouRen", "c", "chocode");
}

}  // namespace

MasterRows::MasterRows(Database& mast, Key key) : st_(mast.prepare(masterSql(key))) {}

std::optional<MasterPerson> MasterRows::find(std::string_view key) {
    StatementReset reset(st_, StatementReset::Bindings::Keep);
    st_.bind(1, key);
    if (!st_.step()) return std::nullopt;
    MasterPerson p;
    p.kanji = st_.text(0);
    p.touzai = st_.text(1);
    p.minarai = st_.text(2);
    p.sougouRen = st_.real(3);
    for (std::size_t i = 0; i < p.courseRates.size(); ++i) {
        p.courseRates[i] = st_.real(4 + static_cast<int>(i));
    }
    return p;
}

}  // namespace zelvanor
