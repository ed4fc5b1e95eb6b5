#include "core/import/race_card_import.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <span>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "core/import/archive_import.hpp"
#include "core/import/horse_import.hpp"
#include "core/records/layouts.hpp"
#include "core/tables/race_tables.hpp"
#include "den1_fixture.hpp"
#include "horse_fixture.hpp"
#include "temp_folder.hpp"

using namespace zelvanor;
using fixture::Den1Record;

namespace {

const RacePredictFn kNoPrediction;

Value cell(Database& db, std::string_view table, std::string_view column, std::int64_t race) {
    Statement st = db.prepare("SELECT " + quoteIdentifier(column) + " FROM " +
                              quoteIdentifier(table) + " WHERE bango = ?1");
    st.bind(1, race);
    if (!st.step()) throw std::runtime_error("no race " + std::to_string(race));
    return st.value(0);
}

std::int64_t rowCount(Database& db, std::string_view table) {
    Statement st = db.prepare("SELECT count(*) FROM " + quoteIdentifier(table));
    st.step();
    return st.int64(0);
}

std::vector<std::string> horseCodes(Database& db, std::string_view entries) {
    Statement st =
        db.prepare("SELECT umacode FROM " + quoteIdentifier(entries) + " ORDER BY umacode");
    std::vector<std::string> codes;
    while (st.step()) codes.push_back(st.text(0));
    return codes;
}

// The statement with which an earlier version made a meeting table: every name quoted.
std::string earlierCreate(std::string_view table, std::span<const ColumnDef> columns,
                          const std::string& key) {
    std::string sql = "CREATE TABLE \"" + std::string(table) + "\" (";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const ColumnDef& c = columns[i];
        const std::string type = c.type == ColumnType::Text ? "TEXT(" + std::to_string(c.size) + ")"
                                 : c.type == ColumnType::Integer ? "SMALLINT"
                                 : c.type == ColumnType::Long    ? "INTEGER"
                                 : c.type == ColumnType::Single  ? "FLOAT"
                                                                 : "DOUBLE";
        sql += (i ? ", \"" : "\"") + c.name + "\" " + type;
        if (c.name == key) sql += " NOT NULL CHECK (\"" + key + "\" <> '')";
    }
    return sql + ", UNIQUE (\"" + key + "\"))";
}

std::vector<std::vector<Value>> allRows(Database& db, std::string_view table,
                                        std::string_view key) {
    Statement st = db.prepare("SELECT * FROM " + quoteIdentifier(table) + " ORDER BY " +
                              quoteIdentifier(key));
    std::vector<std::vector<Value>> rows;
    while (st.step()) {
        auto& row = rows.emplace_back();
        for (int i = 0; i < st.columnCount(); ++i) row.push_back(st.value(i));
    }
    return rows;
}

class RaceCardImportTest : public ::testing::Test {
  protected:
    // 競走馬 holding these horses, each named after its code.
    void horses(const std::vector<std::string>& codes) {
        std::vector<UmajRecord> records;
        for (const auto& code : codes) {
            records.push_back(UmajRecord(code).text("bamei", "馬" + code));
        }
        writeUmajFile(folder / "JRA#UMAJ.DAT", records);
        importHorses(paths, {});
    }
    void cards(const std::vector<Den1Record>& records, std::string_view tail = {}) {
        fixture::writeDen1File(folder / "JRA#DEN1.DAT", records, tail);
    }

    TempFolder folder;
    AppPaths paths{folder.path()};
};

TEST_F(RaceCardImportTest, TwoCoursesOnOneDayGiveTwoTablePairsWithOneRowPerRace) {
    cards({Den1Record("05", "98", "10", "03", 1), Den1Record("05", "98", "10", "03", 2),
           Den1Record("08", "98", "10", "03", 11)});
    const auto result = importRaceCards(paths, {}, kNoPrediction);

    EXPECT_EQ(result.recordCount, 3u);
    EXPECT_EQ(result.currentRaceTable, "D08981003");
    EXPECT_EQ(result.currentEntryTable, "U08981003");
    Database tran(paths.tranPath());
    EXPECT_EQ(tran.userTables(),
              (std::vector<std::string>{"D05981003", "D08981003", "U05981003", "U08981003"}));
    EXPECT_EQ(rowCount(tran, "D05981003"), 2);
    EXPECT_EQ(rowCount(tran, "D08981003"), 1);
    EXPECT_EQ(std::get<std::int64_t>(cell(tran, "D08981003", "bango", 11)), 11);
}

TEST_F(RaceCardImportTest, EveryFieldLandsInItsColumnAndTheGoingIsGood) {
    Den1Record race("06", "99", "12", "26", 10);
    // Each field gets a text of its own, so that a field stored in a neighbour's column shows.
    char mark = 'A';
    for (const FieldSpec& f : kDen1Layout.fields) {
        const std::string_view name = f.name;
        if (name == "basho" || name == "year" || name == "month" || name == "day" ||
            name == "bango" || name == "lineEnd" || name.starts_with("uma")) {
            continue;
        }
        race.text(name, std::string(f.length, mark));
        mark = mark == 'Z' ? 'A' : static_cast<char>(mark + 1);
    }
    race.text("hondai", "有馬記念（ＧＩ）").runner(1, "96100001", 1).runner(18, "96100018", 8);
    cards({race});
    importRaceCards(paths, {}, kNoPrediction);

    Database tran(paths.tranPath());
    for (const FieldSpec& f : kDen1Layout.fields) {
        if (f.name == "lineEnd" || f.name == "bango") continue;
        EXPECT_EQ(std::get<std::string>(cell(tran, "D06991226", f.name, 10)), race.decoded(f.name))
            << f.name;
    }
    EXPECT_EQ(std::get<std::string>(cell(tran, "D06991226", "uma1", 10)).substr(0, 9), "196100001");
    EXPECT_EQ(std::get<std::string>(cell(tran, "D06991226", "hondai", 10)).substr(0, 24),
              "有馬記念（ＧＩ）");
    EXPECT_EQ(std::get<std::int64_t>(cell(tran, "D06991226", "RyoOmo", 10)), 1);
    for (const char* result : {"Kekka1No", "KekkaWakNo", "KekkaUmaAm"}) {
        EXPECT_TRUE(std::holds_alternative<std::monostate>(cell(tran, "D06991226", result, 10)))
            << result;
    }
}

TEST_F(RaceCardImportTest, ImportingAgainReplacesTheRaceAndKeepsItsResults) {
    cards({Den1Record("05", "98", "10", "03", 1).text("hondai", "旧名").text("kyori", "1600"),
           Den1Record("05", "98", "10", "03", 2)});
    importRaceCards(paths, {}, kNoPrediction);
    {
        // Results entered in between, and the going changed to heavy.
        Database tran(paths.tranPath());
        tran.exec(
            "UPDATE D05981003 SET RyoOmo = 2, Kekka1No = 7, KekkaUmaNo = '3 - 12', "
            "KekkaUmaAm = 4560 WHERE bango = 1");
    }
    cards({Den1Record("05", "98", "10", "03", 1).text("hondai", "新名").text("kyori", "2000"),
           Den1Record("05", "98", "10", "03", 2), Den1Record("05", "98", "10", "03", 3),
           Den1Record("05", "98", "10", "03", 3)});
    const auto result = importRaceCards(paths, {}, kNoPrediction);
    // Races 1 and 2 were there before, race 3 is given twice.
    EXPECT_EQ(result.report.file, "JRA#DEN1.DAT");
    EXPECT_EQ(result.report.read, 4u);
    EXPECT_EQ(result.report.stored, 4u);
    EXPECT_EQ(result.report.replaced, 3u);
    EXPECT_EQ(result.report.refused, 0u);
    EXPECT_FALSE(result.horses.has_value());

    Database tran(paths.tranPath());
    EXPECT_EQ(rowCount(tran, "D05981003"), 3);
    EXPECT_EQ(std::get<std::string>(cell(tran, "D05981003", "hondai", 1)).substr(0, 6), "新名");
    EXPECT_EQ(std::get<std::string>(cell(tran, "D05981003", "kyori", 1)), "2000");
    EXPECT_EQ(std::get<std::int64_t>(cell(tran, "D05981003", "RyoOmo", 1)), 1);
    EXPECT_EQ(std::get<std::int64_t>(cell(tran, "D05981003", "Kekka1No", 1)), 7);
    EXPECT_EQ(std::get<std::string>(cell(tran, "D05981003", "KekkaUmaNo", 1)), "3 - 12");
    EXPECT_EQ(std::get<std::int64_t>(cell(tran, "D05981003", "KekkaUmaAm", 1)), 4560);
}

TEST_F(RaceCardImportTest, RunnersFoundInTheHorseMasterAreCopiedIntoTheEntriesTable) {
    horses({"96100001", "96100002", "96100003"});
    // 96100009 is not in 競走馬; places 4 to 18 of race 1 are blank. 96100001 runs twice.
    cards({Den1Record("05", "98", "10", "03", 1)
               .runner(1, "96100001")
               .runner(2, "96100002")
               .runner(3, "96100009"),
           Den1Record("05", "98", "10", "03", 2).runner(1, "96100003").runner(2, "96100001")});
    importRaceCards(paths, {}, kNoPrediction);

    Database tran(paths.tranPath());
    EXPECT_EQ(horseCodes(tran, "U05981003"),
              (std::vector<std::string>{"96100001", "96100002", "96100003"}));
    Statement name = tran.prepare("SELECT bamei FROM U05981003 WHERE umacode = '96100002'");
    ASSERT_TRUE(name.step());
    EXPECT_EQ(name.text(0).substr(0, 3 + 8), "馬96100002");
}

TEST_F(RaceCardImportTest, EngineRunsOncePerRaceAfterTheRaceAndItsRunnersAreStored) {
    horses({"96100001", "96100002"});
    cards({Den1Record("05", "98", "10", "03", 1).runner(1, "96100001"),
           Den1Record("08", "98", "10", "03", 12).runner(1, "96100001").runner(2, "96100002")});

    struct Call {
        std::string race, entries;
        int number;
        std::int64_t entryRows;
        bool operator==(const Call&) const = default;
    };
    std::vector<Call> calls;
    const RacePredictorFactory factory = [&calls](Database&, Database& importTran) {
        Database* db = &importTran;
        return RacePredictFn(
            [&calls, db](std::string_view race, std::string_view entries, int number) {
                Database& tran = *db;
                // What the engine reads is there, on the connection it was given.
                EXPECT_EQ(std::get<std::int64_t>(cell(tran, race, "bango", number)), number);
                calls.push_back(
                    {std::string(race), std::string(entries), number, rowCount(tran, entries)});
                // What it writes is kept with the import.
                tran.exec("UPDATE " + quoteIdentifier(entries) + " SET Nouryoku1 = 51.5");
            });
    };
    importRaceCards(paths, {}, factory);

    EXPECT_EQ(calls, (std::vector<Call>{{"D05981003", "U05981003", 1, 1},
                                        {"D08981003", "U08981003", 12, 2}}));
    Database tran(paths.tranPath());
    Statement st = tran.prepare("SELECT Nouryoku1 FROM U08981003 WHERE umacode = '96100002'");
    ASSERT_TRUE(st.step());
    EXPECT_DOUBLE_EQ(st.real(0), 51.5);
}

TEST_F(RaceCardImportTest, ProgressGoesFrom10To100InWholeSteps) {
    cards({Den1Record("05", "98", "10", "03", 1), Den1Record("05", "98", "10", "03", 2),
           Den1Record("05", "98", "10", "03", 3)});
    std::vector<int> seen;
    const ProgressFn progress = [&](int p) { seen.push_back(p); };
    importRaceCards(paths, progress, kNoPrediction);
    EXPECT_EQ(seen, (std::vector<int>{10, 40, 70, 100}));
}

TEST_F(RaceCardImportTest, AnEmptyFileStoresNothingAndAnEndOfFileMarkIsNoRecord) {
    cards({});
    EXPECT_EQ(importRaceCards(paths, {}, kNoPrediction).recordCount, 0u);
    cards({Den1Record("05", "98", "10", "03", 1)}, "\x1A");
    EXPECT_EQ(importRaceCards(paths, {}, kNoPrediction).recordCount, 1u);
    Database tran(paths.tranPath());
    EXPECT_EQ(rowCount(tran, "D05981003"), 1);
}

TEST_F(RaceCardImportTest, AnEntriesTableLeftWithoutItsRaceTableIsTakenOver) {
    horses({"96100001"});
    {
        Database tran(paths.tranPath());
        createEntryTable(tran, "U05981003");
    }
    cards({Den1Record("05", "98", "10", "03", 1).runner(1, "96100001")});
    importRaceCards(paths, {}, kNoPrediction);
    Database tran(paths.tranPath());
    EXPECT_TRUE(tran.hasTable("D05981003"));
    EXPECT_EQ(horseCodes(tran, "U05981003"), std::vector<std::string>{"96100001"});
}

// A file that is refused, or an import that fails half way, leaves the meetings as they were.
class RaceCardRefusalTest : public RaceCardImportTest {
  protected:
    void SetUp() override {
        cards({Den1Record("05", "98", "10", "03", 1).text("hondai", "前回")});
        importRaceCards(paths, {}, kNoPrediction);
    }
    void expectUnchanged() {
        Database tran(paths.tranPath());
        EXPECT_EQ(tran.userTables(), (std::vector<std::string>{"D05981003", "U05981003"}));
        EXPECT_EQ(rowCount(tran, "D05981003"), 1);
        EXPECT_EQ(std::get<std::string>(cell(tran, "D05981003", "hondai", 1)).substr(0, 6), "前回");
    }
};

TEST_F(RaceCardRefusalTest, ARecordNamingNoMeetingOrRaceIsRefusedNamingTheRecord) {
    const struct {
        const char* field;
        const char* value;
    } cases[] = {{"basho", "5 "}, {"year", "9A"},  {"month", "  "}, {"day", "\"3"},
                 {"month", "13"}, {"month", "00"}, {"day", "99"},   {"day", "32"},
                 {"day", "00"},   {"bango", "13"}, {"bango", "00"}, {"bango", "1 "}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.value);
        cards({Den1Record("05", "98", "10", "03", 1).text("hondai", "今回"),
               Den1Record("06", "98", "10", "03", 1), Den1Record("05", "98", "10", "03", 2),
               Den1Record("06", "98", "10", "03", 2).text(c.field, c.value)});
        int predictions = 0;
        try {
            importRaceCards(paths, {},
                            [&](std::string_view, std::string_view, int) { ++predictions; });
            ADD_FAILURE() << "no error";
        } catch (const ImportError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("JRA#DEN1.DAT の 4 件目"), std::string::npos) << message;
        }
        EXPECT_EQ(predictions, 0);
        expectUnchanged();
    }
}

TEST_F(RaceCardRefusalTest, AFileCutShortIsRefusedWithNothingChanged) {
    const Den1Record broken("05", "98", "10", "03", 2);
    cards({Den1Record("05", "98", "10", "03", 1).text("hondai", "今回")},
          std::string_view(broken.bytes()).substr(0, 300));
    try {
        importRaceCards(paths, {}, kNoPrediction);
        ADD_FAILURE() << "no error";
    } catch (const ImportError& e) {
        EXPECT_STREQ(e.what(),
                     "JRA#DEN1.DAT は最後のレコードが途中で切れています（584 バイトのレコード 1 "
                     "件の後に 300 バイト）。ダウンロードが途中で終わった可能性があります。"
                     "データは取り込む前のままです。");
    }
    expectUnchanged();
}

TEST_F(RaceCardRefusalTest, AFailureHalfWayKeepsNothingOfTheImport) {
    cards({Den1Record("05", "98", "10", "03", 1).text("hondai", "今回"),
           Den1Record("06", "98", "10", "03", 1), Den1Record("06", "98", "10", "03", 2)});
    int predictions = 0;
    EXPECT_THROW(importRaceCards(paths, {},
                                 [&](std::string_view, std::string_view, int) {
                                     if (++predictions == 3) throw std::runtime_error("engine");
                                 }),
                 std::runtime_error);
    expectUnchanged();
}

TEST_F(RaceCardRefusalTest, AFailureHalfWayWithTheEngineKeepsNothingEither) {
    writeUmajFile(folder / "JRA#UMAJ.DAT", {UmajRecord("96100001")});
    importHorses(paths, {});
    // The first race, its runner and the new meeting's tables are written before the failure.
    cards({Den1Record("05", "98", "10", "03", 1).text("hondai", "今回").runner(1, "96100001"),
           Den1Record("06", "98", "10", "03", 1), Den1Record("06", "98", "10", "03", 2)});
    const ProgressFn progress = [](int p) {
        if (p > 50) throw std::runtime_error("stopped");
    };
    EXPECT_THROW(importRaceCards(paths, progress), std::runtime_error);
    expectUnchanged();
    Database tran(paths.tranPath());
    EXPECT_EQ(rowCount(tran, "U05981003"), 0);
}

TEST_F(RaceCardRefusalTest, AMissingFileIsReportedWithItsName) {
    std::filesystem::remove(folder / "JRA#DEN1.DAT");
    try {
        importRaceCards(paths, {}, kNoPrediction);
        ADD_FAILURE() << "no error";
    } catch (const ImportError& e) {
        EXPECT_STREQ(e.what(), "JRA#DEN1.DAT がありません.");
    }
    expectUnchanged();
}

TEST_F(RaceCardImportTest, CombinedImportRunsOnlyWhenTheRaceCardFileIsThere) {
    writeUmajFile(folder / "JRA#UMAJ.DAT", {UmajRecord("96100001")});
    std::vector<int> seen;
    const ProgressFn progress = [&](int p) { seen.push_back(p); };

    EXPECT_FALSE(importRaceCardsIfPresent(paths, progress, kNoPrediction).has_value());
    EXPECT_TRUE(seen.empty());
    EXPECT_FALSE(tableExists(paths.mastPath(), kHorseTable));

    cards({Den1Record("05", "98", "10", "03", 1).runner(1, "96100001")});
    const auto result = importRaceCardsIfPresent(paths, progress, kNoPrediction);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->currentRaceTable, "D05981003");
    ASSERT_TRUE(result->horses.has_value());
    EXPECT_EQ(result->horses->file, "JRA#UMAJ.DAT");
    EXPECT_EQ(result->horses->read, 1u);
    EXPECT_EQ(result->horses->stored, 1u);
    EXPECT_EQ(result->report.read, 1u);
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen.back(), 100);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    Database tran(paths.tranPath());
    EXPECT_EQ(horseCodes(tran, "U05981003"), std::vector<std::string>{"96100001"});
}

}  // namespace

namespace {

// The combined import refuses a bad race card file before it touches the horses, then stores the
// horses while the race card import makes its tables: whichever fails, the outcome is that of the
// horses first, then the race cards.
TEST_F(RaceCardRefusalTest, CombinedImportFailsAsHorsesFirstThenRaceCardsWould) {
    horses({"96100001"});
    const auto storedHorses = [&] {
        Database mast(paths.mastPath());
        Statement st = mast.prepare("SELECT umacode FROM " + quoteIdentifier(kHorseTable) +
                                    " ORDER BY umacode");
        std::vector<std::string> codes;
        while (st.step()) codes.push_back(st.text(0));
        return codes;
    };
    const struct {
        const char* name;
        bool horsesFail;
        bool cardRefused;    // a meeting field that is not two digits
        bool tablesBlocked;  // a view where the meeting's race table would go
        const char* error;   // part of what is thrown
        const char* horsesAfter;
    } cases[] = {
        {"horses fail", true, false, false, "horses refused", "96100001"},
        {"race card refused", false, true, false, "JRA#DEN1.DAT の 1 件目", "96100001"},
        {"race card refused, horses would fail", true, true, false, "JRA#DEN1.DAT の 1 件目",
         "96100001"},
        {"tables cannot be made", false, false, true, "D06981003", "96100002"},
        {"tables cannot be made, horses fail", true, false, true, "horses refused", "96100001"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeUmajFile(folder / "JRA#UMAJ.DAT", {UmajRecord("96100002")});
        if (c.horsesFail) {
            Database(paths.mastPath())
                .exec("CREATE TRIGGER refuse BEFORE INSERT ON " + quoteIdentifier(kHorseTable) +
                      " BEGIN SELECT RAISE(ABORT, 'horses refused'); END");
        }
        if (c.tablesBlocked) Database(paths.tranPath()).exec("CREATE VIEW D06981003 AS SELECT 1");
        cards({Den1Record(c.cardRefused ? "6 " : "06", "98", "10", "03", 1).runner(1, "96100002")});
        try {
            importRaceCardsIfPresent(paths, {}, kNoPrediction);
            ADD_FAILURE() << "no error";
        } catch (const std::exception& e) {
            EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
        }
        if (c.tablesBlocked) Database(paths.tranPath()).exec("DROP VIEW D06981003");
        expectUnchanged();
        EXPECT_EQ(storedHorses(), std::vector<std::string>{c.horsesAfter});
        Database(paths.mastPath()).exec("DROP TRIGGER IF EXISTS refuse");
        horses({"96100001"});
    }
}

}  // namespace

namespace {

// A horse file without a record is a broken download: the combined import changes nothing.
TEST_F(RaceCardRefusalTest, CombinedImportRefusesAnEmptyHorseFileChangingNothing) {
    horses({"96100001"});
    writeUmajFile(folder / "JRA#UMAJ.DAT", {});
    cards({Den1Record("06", "98", "10", "03", 1).runner(1, "96100001")});
    try {
        importRaceCardsIfPresent(paths, {}, kNoPrediction);
        ADD_FAILURE() << "no error";
    } catch (const ImportError& e) {
        EXPECT_STREQ(e.what(),
                     "JRA#UMAJ.DAT にはレコードがありません。競走馬データは取り込む前のままです。");
    }
    expectUnchanged();
    Database mast(paths.mastPath());
    Statement st = mast.prepare("SELECT umacode FROM " + quoteIdentifier(kHorseTable));
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.text(0), "96100001");
}

// A tran.mdb that is no database is found before the horses are stored.
TEST_F(RaceCardImportTest, CombinedImportWithATranThatIsNoDatabaseKeepsTheHorses) {
    horses({"96100001"});
    writeUmajFile(folder / "JRA#UMAJ.DAT", {UmajRecord("96100002")});
    cards({Den1Record("05", "98", "10", "03", 1).runner(1, "96100002")});
    {
        std::ofstream out(paths.tranPath(), std::ios::binary | std::ios::trunc);
        out << "SQLite format 3" << std::string(4000, '\0');
    }
    try {
        importRaceCardsIfPresent(paths, {}, kNoPrediction);
        ADD_FAILURE() << "no error";
    } catch (const HorsesStoredError& e) {
        ADD_FAILURE() << "horses stored: " << e.what();
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("tran.mdb"), std::string::npos) << e.what();
    }
    Database mast(paths.mastPath());
    Statement st = mast.prepare("SELECT umacode FROM " + quoteIdentifier(kHorseTable));
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.text(0), "96100001");
}

// What the user is told when the race cards fail after the horses were stored: not that nothing
// changed.
TEST_F(RaceCardRefusalTest, CombinedImportFailingAfterTheHorsesSaysTheyWereStored) {
    struct Recorder : Notifier {
        std::vector<std::string> texts;
        void notify(const std::string& text, const std::string&, Icon) override {
            texts.push_back(text);
        }
    };
    horses({"96100001"});
    writeUmajFile(folder / "JRA#UMAJ.DAT", {UmajRecord("96100002")});
    Database(paths.tranPath())
        .exec(
            "CREATE TRIGGER refuse BEFORE INSERT ON U05981003"
            " BEGIN SELECT RAISE(ABORT, 'entries refused'); END");
    cards({Den1Record("05", "98", "10", "03", 1).runner(1, "96100002")});

    EXPECT_THROW(importRaceCardsIfPresent(paths, {}, kNoPrediction), HorsesStoredError);
    Recorder told;
    EXPECT_FALSE(importExtracted(ArchiveKind::Horses, paths, told, {}));
    ASSERT_EQ(told.texts.size(), 1u);
    EXPECT_NE(told.texts[0].find("entries refused"), std::string::npos) << told.texts[0];
    EXPECT_NE(
        told.texts[0].find("競走馬データは取り込みました。出馬表データは取り込む前のままです。"),
        std::string::npos)
        << told.texts[0];

    Database(paths.tranPath()).exec("DROP TRIGGER refuse");
    expectUnchanged();
    Database mast(paths.mastPath());
    Statement st = mast.prepare("SELECT umacode FROM " + quoteIdentifier(kHorseTable));
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.text(0), "96100002");
}

TEST_F(RaceCardImportTest, TablesMadeByEarlierVersionsTakeTheSameRowsAsNewOnes) {
    horses({"96100001", "96100002", "96100003"});
    cards({Den1Record("05", "98", "10", "03", 1).runner(1, "96100001").runner(2, "96100002"),
           Den1Record("05", "98", "10", "03", 2).runner(1, "96100003").runner(3, "96100001"),
           Den1Record("08", "98", "10", "03", 1).runner(2, "96100002")});
    // The same files in a data folder where earlier versions made the meetings' tables: with
    // quoted names, and with an index of its own whose triggers refuse empty keys.
    TempFolder earlier;
    const AppPaths earlierPaths{earlier.path()};
    for (const char* file : {"JRA#DEN1.DAT", "mast.mdb"}) {
        std::filesystem::copy_file(folder / file, earlier / file);
    }
    {
        Database tran(earlierPaths.tranPath());
        tran.exec(earlierCreate("U05981003", horseTableColumns(), "umacode"));
        tran.exec(earlierCreate("D05981003", raceTableColumns(), "bango"));
        tran.createTable("U08981003", horseTableColumns());
        tran.createIndex("Umacode", "U08981003", "umacode", true);
        tran.createTable("D08981003", raceTableColumns());
        tran.createIndex("bango", "D08981003", "bango", true);
    }
    // Imported twice: the second import replaces every row.
    for (int pass = 0; pass < 2; ++pass) {
        importRaceCards(paths, {});
        importRaceCards(earlierPaths, {});
    }
    Database made(paths.tranPath());
    Database old(earlierPaths.tranPath());
    for (const auto& [table, key, count] :
         std::vector<std::tuple<std::string, std::string, std::size_t>>{
             {"D05981003", "bango", 2},
             {"U05981003", "umacode", 3},
             {"D08981003", "bango", 1},
             {"U08981003", "umacode", 1}}) {
        const auto rows = allRows(made, table, key);
        EXPECT_EQ(rows.size(), count) << table;
        EXPECT_EQ(allRows(old, table, key), rows) << table;
    }
}

}  // namespace
