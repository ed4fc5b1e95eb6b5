#include "core/import/people_import.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "people_fixture.hpp"
#include "core/records/cp932.hpp"
#include "core/records/layouts.hpp"
#include "core/records/people_layout.hpp"
#include "temp_folder.hpp"

using namespace zelvanor;
using fixture::PeopleRecord;

namespace {

// What the tests need to know of each of the two imports.
struct Kind {
    const char* label;
    const RecordLayout* layout;
    std::string_view table;
    std::string_view codeField;
    std::string_view nameField;
    PeopleImportResult (*importFn)(const AppPaths&, const ProgressFn&, MastCompaction);
    std::vector<ColumnDef> (*columns)();
    const char* missingMessage;
    const char* doneMessage;
    const char* dataName;

    PeopleImportResult import(const AppPaths& paths, const ProgressFn& progress,
                              MastCompaction compaction = MastCompaction::AfterImport) const {
        return importFn(paths, progress, compaction);
    }
};

const Kind kJockey{"Jockey",
                   &kKisiLayout,
                   kJockeyTable,
                   "KISCODE",
                   "KISKANJI",
                   importJockeys,
                   jockeyTableColumns,
                   "JRA#KISI.DAT がありません.",
                   "JRA#KISI.DAT のデータコンバートが終了しました。",
                   "騎手データ"};
const Kind kTrainer{"Trainer",
                    &kChokLayout,
                    kTrainerTable,
                    "chocode",
                    "CHOKANJI",
                    importTrainers,
                    trainerTableColumns,
                    "JRA#CHOK.DAT がありません.",
                    "JRA#CHOK.DAT のデータコンバートが終了しました。",
                    "調教師データ"};

bool isJockey(const Kind& kind) {
    return kind.layout == &kKisiLayout;
}

class PeopleImportTest : public ::testing::Test {
  protected:
    PeopleRecord person(const Kind& kind, const std::string& code) {
        PeopleRecord r(*kind.layout);
        r.text(kind.codeField, code);
        r.text(kind.nameField, "試験　　　　　　騎乗　　　　　　");
        return r;
    }
    std::filesystem::path file(const Kind& kind) const {
        return dir.path() / std::string(kind.layout->fileName);
    }
    void write(const Kind& kind, const std::vector<PeopleRecord>& records,
               std::string_view tail = {}) {
        fixture::writeRecordFile(file(kind), records, tail);
    }
    void importCodes(const Kind& kind, const std::vector<std::string>& codes) {
        std::vector<PeopleRecord> records;
        for (const auto& c : codes) records.push_back(person(kind, c));
        write(kind, records);
        kind.import(paths, {});
    }
    // The codes in the table, sorted.
    std::vector<std::string> codes(const Kind& kind) {
        Database mast(paths.mastPath());
        const std::string code = quoteIdentifier(kind.codeField);
        auto st = mast.prepare("SELECT " + code + " FROM " + quoteIdentifier(kind.table) +
                               " ORDER BY " + code);
        std::vector<std::string> out;
        while (st.step()) out.push_back(st.text(0));
        return out;
    }
    Value cell(const Kind& kind, const std::string& code, std::string_view column) {
        Database mast(paths.mastPath());
        auto st = mast.prepare("SELECT " + quoteIdentifier(column) + " FROM " +
                               quoteIdentifier(kind.table) + " WHERE " +
                               quoteIdentifier(kind.codeField) + " = ?1");
        st.bind(1, code);
        if (!st.step()) throw std::runtime_error("no row " + code);
        return st.value(0);
    }

    TempFolder dir;
    AppPaths paths{dir.path()};
};

class EachPeopleFile : public PeopleImportTest, public ::testing::WithParamInterface<Kind> {};

INSTANTIATE_TEST_SUITE_P(People, EachPeopleFile, ::testing::Values(kJockey, kTrainer),
                         [](const auto& info) { return std::string(info.param.label); });

// ---- layouts ----

TEST(PeopleLayout, WholeFieldsTileTheRecordAndPartsLieInTheirGroups) {
    for (const RecordLayout* layout : {&kKisiLayout, &kChokLayout}) {
        SCOPED_TRACE(layout->fileName);
        std::size_t at = 0;
        for (const FieldSpec& f : layout->fields) {
            if (!isWholeField(f)) continue;
            EXPECT_EQ(f.offset, at) << f.name;
            at = f.offset + f.length;
        }
        EXPECT_EQ(at + 2, layout->recordLength);
    }
    const struct {
        const RecordLayout* layout;
        const char* name;
        std::size_t offset;
        std::size_t length;
    } cases[] = {
        {&kKisiLayout, "RUIKEI.8", 453, 4},         {&kKisiLayout, "HSAP.4", 538, 3},
        {&kKisiLayout, "HTOK.3", 607, 3},           {&kKisiLayout, "ZKOK.8", 1060, 3},
        {&kKisiLayout, "KACHIKU2.hondai", 253, 20}, {&kKisiLayout, "KACHIKU3.grade", 374, 1},
        {&kChokLayout, "KACHIKU1.basho", 70, 2},    {&kChokLayout, "KACHIKU2.bamei", 163, 36},
        {&kChokLayout, "ZHAK.1", 605, 3},           {&kChokLayout, "ZKOK.8", 806, 3},
    };
    for (const auto& c : cases) {
        const FieldSpec& f = c.layout->field(c.name);
        EXPECT_EQ(f.offset, c.offset) << c.name;
        EXPECT_EQ(f.length, c.length) << c.name;
    }
}

// ---- tables ----

TEST(PeopleTables, ColumnsAndIndexes) {
    std::vector<std::string> jockey = {
        "KISCODE",  "delflg",   "DELDATE",  "KISKANJI", "KISKANJI2", "KISKANA",  "seinen",
        "HATSUMEN", "HATSUSHO", "HATSUKI",  "TOUZAI",   "SHOZOKU",   "SHIKAKU",  "minarai",
        "KACHIKU1", "KACHIKU2", "KACHIKU3", "HHONSHOU", "HFUKASHO",  "SHONSHOU", "SFUKASHO",
        "HONNEN",   "RUIKEI",   "H1600",    "H2200",    "H2201",     "HSAP",     "HHAK",
        "HFUK",     "HNIG",     "HTOK",     "HNAK",     "HCHU",      "HKYO",     "HHAN",
        "HKOK",     "mkdate",   "ZENNEN",   "Z1600",    "Z2200",     "Z2201",    "ZSAP",
        "ZHAK",     "ZFUK",     "ZNIG",     "ZTOK",     "ZNAK",      "ZCHU",     "ZKYO",
        "ZHAN",     "ZKOK"};
    const std::size_t jockeyTexts = jockey.size();
    for (const char* r :
         {"KSougouRen", "KShibaSougouRen", "KDertSougouRen", "KShiba1600Ren", "KShiba2200Ren",
          "KShiba2201Ren", "KDert1600Ren", "KDert2200Ren", "KDert2201Ren", "K01Ren", "K02Ren",
          "K03Ren", "K04Ren", "K05Ren", "K06Ren", "K07Ren", "K08Ren", "K09Ren", "K10Ren"}) {
        jockey.push_back(r);
    }
    std::vector<std::string> trainer = {
        "chocode",  "delflg",   "DELDATE",  "CHOKANJI", "CHOKANA",  "seinen",   "HATSUMEN",
        "TOUZAI",   "KACHIKU1", "KACHIKU2", "KACHIKU3", "HHONSHOU", "HFUKASHO", "SHONSHOU",
        "SFUKASHO", "HONNEN",   "RUIKEI",   "HSAP",     "HHAK",     "HFUK",     "HNIG",
        "HTOK",     "HNAK",     "HCHU",     "HKYO",     "HHAN",     "HKOK",     "mkdate",
        "ZENNEN",   "ZSAP",     "ZHAK",     "ZFUK",     "ZNIG",     "ZTOK",     "ZNAK",
        "ZCHU",     "ZKYO",     "ZHAN",     "ZKOK"};
    const std::size_t trainerTexts = trainer.size();
    trainer.push_back("CSougouRen");
    for (int i = 1; i <= 10; ++i)
        trainer.push_back((i < 10 ? "C0" : "C") + std::to_string(i) + "Ren");

    TempFolder dir;
    Database mast(dir / "mast.mdb");
    createJockeyTable(mast);
    createTrainerTable(mast);

    const struct {
        std::string_view table;
        const std::vector<std::string>& names;
        std::size_t texts;
    } tables[] = {{kJockeyTable, jockey, jockeyTexts}, {kTrainerTable, trainer, trainerTexts}};
    for (const auto& t : tables) {
        SCOPED_TRACE(t.table);
        const auto& cols = mast.columns(t.table);
        ASSERT_EQ(cols.size(), t.names.size());
        for (std::size_t i = 0; i < cols.size(); ++i) {
            EXPECT_EQ(cols[i].name, t.names[i]);
            if (i < t.texts) {
                EXPECT_EQ(cols[i].type, ColumnType::Text) << cols[i].name;
                EXPECT_EQ(cols[i].size, cols[i].name == "KISKANJI2" ? 16 : 255) << cols[i].name;
            } else {
                // Rates are kept unrounded, in double precision.
                EXPECT_EQ(cols[i].type, ColumnType::Double) << cols[i].name;
            }
        }
    }

    EXPECT_EQ(mast.indexColumn(kJockeyTable, "KISCODE"), "KISCODE");
    EXPECT_EQ(mast.indexColumn(kJockeyTable, "KISKANJI2"), "KISKANJI2");
    EXPECT_EQ(mast.indexColumn(kJockeyTable, "KISKANA"), "KISKANA");
    EXPECT_EQ(mast.indexColumn(kTrainerTable, "chocode"), "chocode");

    // Codes are unique; short names and kana may repeat.
    auto add = [&](const char* code) {
        mast.prepare(
                "INSERT INTO \"騎手マスタ\" (KISCODE, KISKANJI2, KISKANA) "
                "VALUES (?1, '同名', 'ﾄﾞｳﾒｲ')")
            .bind(1, code)
            .run();
    };
    add("0001");
    EXPECT_NO_THROW(add("0002"));
    EXPECT_THROW(add("0001"), StoreError);
}

// ---- fields and rates ----

// Text padded with half-width blanks to 8 characters: one half of a decoded name.
std::string fit(const std::string& s) {
    return s + std::string(8 - std::min<std::size_t>(8, charCount(s)), ' ');
}

TEST(JockeyShortName, FamilyNameRule) {
    const struct {
        std::string name;  // as decoded from the 32-byte field
        std::string shortName;
    } cases[] = {
        // Full-width padding is no blank to strip: the family part is 8 characters.
        {fit("武　　　　　　　") + fit("豊　　　　　　　"), "武　　　　　　　"},
        // Half-width padding: characters 1-8 are 武 and 7 blanks, 9-16 are 7 blanks and 豊.
        {"武" + std::string(14, ' ') + "豊" + std::string(14, ' '), "武　豊"},
        {fit("ＡＢＣＤＥＦＧＨ") + fit("ＩＪ"), "ＡＢＣＤＥＦＧＨ"},
        {fit(" 横山") + fit("  典弘"), "横山　典弘"},
        {fit("ＡＢＣＤＥＦ") + fit("ＧＨＩＪ"), "ＡＢＣＤＥＦ　Ｇ"},
        // Full-width blanks at either end stay; a half-width blank inside stays.
        {fit("　岡部　") + fit("幸雄"), "　岡部　　幸雄"},
        {fit("ミ ルコ") + fit("デム"), "ミ ルコ　デム"},
        // A blank name still gives a short name the index accepts.
        {std::string(32, ' '), "　"},
    };
    for (const auto& c : cases) EXPECT_EQ(jockeyShortName(c.name), c.shortName) << c.name;
}

TEST_P(EachPeopleFile, EveryColumnHoldsTheTextOfItsField) {
    const Kind& kind = GetParam();
    const RecordLayout& layout = *kind.layout;
    PeopleRecord r(layout);
    // A different run of characters in every field, so a column fed from the wrong field shows.
    const std::string_view alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::size_t j = 0;
    for (const FieldSpec& f : layout.fields) {
        if (!isWholeField(f)) continue;
        std::string text;
        for (std::size_t i = 0; i < f.length; ++i) text += alphabet[(j + i) % alphabet.size()];
        r.text(f.name, text);
        ++j;
    }
    const std::string name = "武" + std::string(14, ' ') + "豊";  // half-width padding
    r.text(kind.nameField, name);
    r.text(isJockey(kind) ? "KISKANA" : "CHOKANA", "ﾀｹ ﾕﾀｶ");
    r.text("KACHIKU1.basho", "05").text("KACHIKU1.year", "98").text("KACHIKU1.kaiji", "4");
    r.text("KACHIKU1.hiji", "8")
        .text("KACHIKU1.bango", "11")
        .text("KACHIKU1.hondai", "天皇賞（秋）");
    r.text("KACHIKU1.bamei", "サンプルホース").text("KACHIKU1.grade", "A");
    r.text("KACHIKU2", "");                     // an empty win is stored as its blanks
    if (isJockey(kind)) r.text("SHOZOKU", "");  // a freelance jockey
    write(kind, {r});

    const auto result = kind.import(paths, {});
    EXPECT_EQ(result.recordCount, 1u);
    EXPECT_EQ(result.message, kind.doneMessage);

    const std::string code = decodeField(r.bytes(), layout.field(kind.codeField));
    for (const FieldSpec& f : layout.fields) {
        if (!isWholeField(f)) continue;
        // A group's column is its parts decoded and joined; a plain field's is the field.
        std::string expected;
        bool grouped = false;
        for (const FieldSpec& p : layout.fields) {
            if (p.name.starts_with(std::string(f.name) + ".")) {
                expected += decodeField(r.bytes(), p);
                grouped = true;
            }
        }
        if (!grouped) expected = decodeField(r.bytes(), f);
        EXPECT_EQ(cell(kind, code, f.name), Value(expected)) << f.name;
    }
    EXPECT_EQ(cell(kind, code, kind.nameField), Value(name + std::string(14, ' ')));
    EXPECT_EQ(cell(kind, code, "KACHIKU1"), Value("05984811天皇賞（秋）" + std::string(8, ' ') +
                                                  "サンプルホース" + std::string(22, ' ') + "A"));
    EXPECT_EQ(cell(kind, code, "KACHIKU2"), Value(std::string(65, ' ')));
    if (isJockey(kind)) {
        EXPECT_EQ(cell(kind, code, "SHOZOKU"), Value(std::string("    ")));
        EXPECT_EQ(cell(kind, code, "KISKANJI2"), Value(std::string("武　豊")));
    }
}

struct RateCase {
    const char* what;
    std::vector<std::pair<std::string, std::vector<std::int64_t>>> counts;
    std::vector<std::pair<std::string, std::string>> rawCounts;  // count field → its text
    std::map<std::string, double> rates;                         // every other rate is 0
};

class PeopleRates : public PeopleImportTest {
  protected:
    void check(const Kind& kind, const std::vector<RateCase>& cases) {
        std::vector<std::string> rateColumns;
        for (const ColumnDef& c : kind.columns()) {
            if (c.type == ColumnType::Double) rateColumns.push_back(c.name);
        }
        std::vector<PeopleRecord> records;
        for (std::size_t i = 0; i < cases.size(); ++i) {
            PeopleRecord r = person(kind, std::to_string(1000 + i));
            for (const auto& [group, values] : cases[i].counts) r.counts(group, values);
            for (const auto& [field, text] : cases[i].rawCounts) r.text(field, text);
            records.push_back(r);
            for (const auto& [column, rate] : cases[i].rates) {
                ASSERT_NE(std::find(rateColumns.begin(), rateColumns.end(), column),
                          rateColumns.end())
                    << column;
            }
        }
        write(kind, records);
        kind.import(paths, {});
        for (std::size_t i = 0; i < cases.size(); ++i) {
            SCOPED_TRACE(cases[i].what);
            for (const auto& column : rateColumns) {
                const auto it = cases[i].rates.find(column);
                const double expected = it == cases[i].rates.end() ? 0.0 : it->second;
                const Value got = cell(kind, std::to_string(1000 + i), column);
                ASSERT_TRUE(std::holds_alternative<double>(got)) << column;
                EXPECT_DOUBLE_EQ(std::get<double>(got), expected) << column;
            }
        }
    }
};

TEST_F(PeopleRates, Jockey) {
    check(kJockey,
          {
              {"jump runs only, and career counts: no rate",
               {{"HFUK", {0, 0, 0, 0, 3, 1, 0, 2}},
                {"ZFUK", {0, 0, 0, 0, 2, 0, 0, 1}},
                {"HONNEN", {0, 0, 0, 0, 3, 1, 0, 2}},
                {"ZENNEN", {0, 0, 0, 0, 2, 0, 0, 1}},
                {"RUIKEI", {50, 40, 30, 200, 3, 1, 0, 2}}},
               {},
               {}},
              {"dirt only: the overall rate is the dirt rate",
               {{"H1600", {0, 0, 0, 0, 1, 1, 0, 2}}, {"Z2200", {0, 0, 0, 0, 0, 1, 0, 3}}},
               {},
               {{"KSougouRen", 37.5},
                {"KDertSougouRen", 37.5},
                {"KDert1600Ren", 50},
                {"KDert2200Ren", 25}}},
              {"turf and dirt over both years and all bands",
               {{"H1600", {1, 0, 1, 2, 0, 1, 0, 1}},
                {"H2201", {0, 1, 0, 0}},
                {"Z2200", {2, 0, 0, 2, 1, 0, 0, 3}}},
               {},
               {{"KSougouRen", 40},
                {"KShibaSougouRen", 400.0 / 9},
                {"KDertSougouRen", 100.0 / 3},
                {"KShiba1600Ren", 25},
                {"KShiba2200Ren", 50},
                {"KShiba2201Ren", 100},
                {"KDert1600Ren", 50},
                {"KDert2200Ren", 25}}},
              {"東京 2-1-0-7 this year: 30, its jump counts ignored",
               {{"HTOK", {2, 1, 0, 7, 4, 4, 0, 0}}},
               {},
               {{"K05Ren", 30}}},
              {"札幌 and 函館 hold four counts; 小倉 is the tenth course",
               {{"HSAP", {1, 0, 0, 3}}, {"ZHAK", {0, 0, 1, 0}}, {"ZKOK", {0, 2, 0, 1}}},
               {},
               {{"K01Ren", 25}, {"K10Ren", 200.0 / 3}}},
              {"blank and non-digit counts read 0",
               {},
               {{"HNAK.1", "001"}, {"HNAK.2", "x02"}, {"HNAK.3", "   "}, {"HNAK.4", "003"}},
               {{"K06Ren", 25}}},
          });
}

TEST_F(PeopleRates, Trainer) {
    check(kTrainer, {
                        {"東京 1-1-0-8 only: overall and 東京 20; jump and year totals ignored",
                         {{"HTOK", {1, 1, 0, 8, 3, 3, 3, 3}},
                          {"HONNEN", {9, 9, 9, 9, 9, 9, 9, 9}},
                          {"RUIKEI", {9, 9, 9, 9, 9, 9, 9, 9}},
                          {"ZENNEN", {9, 9, 9, 9, 9, 9, 9, 9}}},
                         {},
                         {{"CSougouRen", 20}, {"C05Ren", 20}}},
                        {"jump runs only: no rate",
                         {{"HFUK", {0, 0, 0, 0, 2, 1, 0, 1}}, {"ZKOK", {0, 0, 0, 0, 1, 0, 0, 0}}},
                         {},
                         {}},
                        {"the overall rate spans all twenty course groups",
                         {{"HSAP", {1, 0, 0, 1}},
                          {"ZHAK", {0, 0, 0, 2}},
                          {"HKOK", {0, 1, 0, 0}},
                          {"ZKOK", {1, 0, 0, 2}}},
                         {},
                         {{"CSougouRen", 37.5}, {"C01Ren", 50}, {"C10Ren", 50}}},
                    });
}

// ---- the run ----

TEST_P(EachPeopleFile, ReplacesTheTableReportsProgressAndCompacts) {
    const Kind& kind = GetParam();
    ASSERT_FALSE(std::filesystem::exists(paths.mastPath()));
    importCodes(kind, {"0001", "0002", "0003"});  // creates mast.mdb and the table
    EXPECT_EQ(codes(kind), (std::vector<std::string>{"0001", "0002", "0003"}));

    write(kind, {person(kind, "0002"), person(kind, "0004")});
    std::vector<int> progress;
    const auto result = kind.import(paths, [&](int p) { progress.push_back(p); });
    EXPECT_EQ(result.recordCount, 2u);
    EXPECT_EQ(result.message, kind.doneMessage);
    EXPECT_EQ(codes(kind), (std::vector<std::string>{"0002", "0004"}));

    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front(), 0);
    EXPECT_EQ(progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    // Deleting the three old rows moves the bar to 40; adding the two records to 70 and 100.
    EXPECT_NE(std::find(progress.begin(), progress.end(), 40), progress.end());
    EXPECT_NE(std::find(progress.begin(), progress.end(), 70), progress.end());
    EXPECT_TRUE(std::all_of(progress.begin(), progress.end(), [](int p) { return p <= 100; }));

    EXPECT_TRUE(std::filesystem::exists(dir / "mast.bak"));
    EXPECT_FALSE(std::filesystem::exists(dir / "mast.new"));
}

// The rows are committed before the compaction: its failure must not read as a failed import.
TEST_P(EachPeopleFile, AFailingCompactionKeepsTheImportAndSaysSo) {
    const Kind& kind = GetParam();
    importCodes(kind, {"0001"});
    std::filesystem::create_directory(dir / "mast.bak.part");
    std::ofstream(dir / "mast.bak.part" / "x") << "x";  // cannot be removed as a file

    write(kind, {person(kind, "0002")});
    const auto result = kind.import(paths, {});
    EXPECT_EQ(codes(kind), (std::vector<std::string>{"0002"}));
    ASSERT_FALSE(result.report.notes.empty());
    EXPECT_NE(result.report.notes.back().find("mast.mdb の最適化に失敗しました"),
              std::string::npos);
}

TEST_P(EachPeopleFile, MissingFileChangesNothing) {
    const Kind& kind = GetParam();
    try {
        kind.import(paths, {});
        FAIL() << "no error";
    } catch (const ImportError& e) {
        EXPECT_STREQ(e.what(), kind.missingMessage);
    }
    EXPECT_FALSE(std::filesystem::exists(paths.mastPath()));

    importCodes(kind, {"0001", "0002"});
    std::filesystem::remove(file(kind));
    EXPECT_THROW(kind.import(paths, {}), ImportError);
    EXPECT_EQ(codes(kind), (std::vector<std::string>{"0001", "0002"}));
}

// The service never ships an empty list: a file without a whole record, or ending in part of
// one, is a broken download and must not cost the master.
TEST_P(EachPeopleFile, AFileThatIsNotAWholeDeliveryChangesNothing) {
    const Kind& kind = GetParam();
    const std::string fileName(kind.layout->fileName);
    const std::size_t length = kind.layout->recordLength;
    const std::string kept = std::string(kind.dataName) + "は取り込む前のままです。";
    const std::string none = fileName + " にはレコードがありません。" + kept;
    const std::string cut = person(kind, "0009").bytes();
    const struct {
        const char* what;
        std::size_t records;  // whole records before the tail
        std::size_t tail;     // bytes of a cut-off record
        std::string message;
    } cases[] = {
        {"0 bytes", 0, 0, none},
        {"shorter than a record", 0, length - 1, none},
        {"a cut-off last record", 2, length - 3,
         fileName + " は最後のレコードが途中で切れています（" + std::to_string(length) +
             " バイトのレコード 2 件の後に " + std::to_string(length - 3) +
             " バイト）。ダウンロードが途中で終わった可能性があります。" + kept},
    };
    importCodes(kind, {"0001", "0002"});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<PeopleRecord> records;
        for (std::size_t i = 0; i < c.records; ++i) {
            records.push_back(person(kind, "000" + std::to_string(5 + i)));
        }
        write(kind, records, std::string_view(cut).substr(0, c.tail));
        try {
            kind.import(paths, {});
            ADD_FAILURE() << "no error";
        } catch (const ImportError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
        EXPECT_EQ(codes(kind), (std::vector<std::string>{"0001", "0002"}));
    }
}

// Predictions stored in tran.mdb were computed from the master as it was: the report says how
// many meetings that covers and how to bring them up to date.
TEST_P(EachPeopleFile, TheReportSaysStoredMeetingsWerePredictedFromTheOldMaster) {
    const Kind& kind = GetParam();
    write(kind, {person(kind, "0001"), person(kind, "0002")});
    PeopleImportResult result = kind.import(paths, {});
    EXPECT_EQ(result.report.file, kind.layout->fileName);
    EXPECT_EQ(result.report.read, 2u);
    EXPECT_EQ(result.report.stored, 2u);
    EXPECT_EQ(result.report.replaced, 0u);
    EXPECT_EQ(result.report.refused, 0u);
    EXPECT_TRUE(result.report.notes.empty());
    EXPECT_FALSE(std::filesystem::exists(paths.tranPath()));

    {
        Database tran(paths.tranPath());
        for (const char* table : {"D05981003", "U05981003", "D08981004", "U08981004"}) {
            tran.exec("CREATE TABLE " + std::string(table) + " (x)");
        }
    }
    result = kind.import(paths, {});
    const std::string data(kind.dataName);
    EXPECT_EQ(result.report.notes,
              std::vector<std::string>{"取り込み済みの出馬表 2 開催分の予想は、取り込む前の" +
                                       data + "で計算されたままです。新しい" + data +
                                       "で計算し直すには再計算（recompute）を実行してください。"});
    EXPECT_EQ(result.message, kind.doneMessage);

    // A tran.mdb that is no database holds up nothing: the master is replaced, without the note.
    {
        std::ofstream out(paths.tranPath(), std::ios::binary | std::ios::trunc);
        out << "SQLite format 3" << std::string(4000, '\0');
    }
    write(kind, {person(kind, "0003")});
    result = kind.import(paths, {});
    EXPECT_TRUE(result.report.notes.empty());
    EXPECT_EQ(codes(kind), std::vector<std::string>{"0003"});
}

TEST_P(EachPeopleFile, DuplicateCodeChangesNothing) {
    const Kind& kind = GetParam();
    importCodes(kind, {"0001", "0002"});
    write(kind, {person(kind, "0005"), person(kind, "0006"), person(kind, "0005")});
    try {
        kind.import(paths, {});
        FAIL() << "no error";
    } catch (const ImportError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("\"0005\" が重複しています（1 件目と 3 件目）"), std::string::npos)
            << message;
    }
    EXPECT_EQ(codes(kind), (std::vector<std::string>{"0001", "0002"}));
}

}  // namespace
