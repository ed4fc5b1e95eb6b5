#include "core/import/horse_import.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/records/cp932.hpp"
#include "core/tables/race_tables.hpp"
#include "horse_fixture.hpp"
#include "temp_folder.hpp"

using namespace zelvanor;

namespace {

// `length` characters of UTF-8 text from character `position` (1-based), as the readers of the
// history columns address them.
std::string chars(const std::string& utf8, std::size_t position, std::size_t length) {
    std::size_t start = std::string::npos;
    std::size_t index = 0;  // characters seen
    for (std::size_t i = 0; i <= utf8.size(); ++i) {
        const bool boundary =
            i == utf8.size() || (static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80;
        if (!boundary) continue;
        if (index == position - 1) start = i;
        if (index == position - 1 + length) return utf8.substr(start, i - start);
        ++index;
    }
    return "<out of range>";
}

std::size_t aptitudeIndex(std::string_view column) {
    for (std::size_t i = 0; i < kAptitudeColumns.size(); ++i) {
        if (kAptitudeColumns[i] == column) return i;
    }
    throw std::out_of_range(std::string(column));
}

void checkContiguous(const RecordLayout& layout) {
    std::size_t at = 0;
    for (const auto& f : layout.fields) {
        EXPECT_EQ(f.offset, at) << layout.fileName << " " << f.name;
        at = f.offset + f.length;
    }
    EXPECT_EQ(at, layout.recordLength) << layout.fileName;
}

TEST(UmajLayout, FieldsCoverEachRecordWithoutGapsAndSitWhereTheFileHasThem) {
    checkContiguous(kUmajLayout);
    checkContiguous(kUmajHistoryLayout);
    checkContiguous(kUmajFurtherEntryLayout);
    EXPECT_EQ(kUmajLayout.recordLength, 1825u);
    EXPECT_EQ(kUmajHistoryLayout.recordLength, 136u);

    EXPECT_EQ(kUmajLayout.field("shoutaiName").offset, 166u);
    EXPECT_EQ(kUmajLayout.field("keto1").offset, 190u);
    EXPECT_EQ(kUmajLayout.field("honshou").offset, 334u);
    EXPECT_EQ(kUmajLayout.field("mkdate").offset, 1317u);
    EXPECT_EQ(kUmajLayout.field("furtherEntries").offset, 1323u);
    EXPECT_EQ(umajPlacingField(1, 1).offset, 361u);
    EXPECT_EQ(umajPlacingField(2, 3).name, "placing02Third");
    EXPECT_EQ(umajPlacingField(2, 3).offset, 361u + 12 + 6);
    EXPECT_EQ(umajPlacingField(23, 4).name, "placing23Other");
    EXPECT_EQ(umajHistoryEntryField(1).offset, 637u);
    EXPECT_EQ(umajHistoryEntryField(5).offset, 637u + 4 * 136);
    const auto jockey = umajHistoryField(2, "jockeyName");
    EXPECT_EQ(jockey.offset, 637u + 136 + 104);
    EXPECT_EQ(jockey.length, 16u);

    EXPECT_THROW(umajPlacingField(0, 1), std::out_of_range);
    EXPECT_THROW(umajPlacingField(24, 1), std::out_of_range);
    EXPECT_THROW(umajPlacingField(1, 5), std::out_of_range);
    EXPECT_THROW(umajHistoryEntryField(6), std::out_of_range);
    EXPECT_THROW(umajHistoryField(1, "nothing"), std::out_of_range);
}

TEST(HorseAptitude, RatesFromPlacingCounts) {
    struct Case {
        const char* what;
        std::vector<std::pair<int, PlacingCounts>> counts;  // category, counts
        std::string_view column;
        int expected;
    };
    const std::vector<Case> cases = {
        {"one of two in the top two", {{1, {1, 0, 0, 1}}}, "BabaShibaR", 50},
        {"12.5 rounds to the even 12", {{2, {1, 0, 0, 7}}}, "BabaShibaL", 12},
        {"37.5 rounds to the even 38", {{3, {3, 0, 0, 5}}}, "BabaDertR", 38},
        {"second places count", {{4, {0, 1, 5, 0}}}, "BabaDertL", 17},
        {"overall pools the counts, not the rates",
         {{1, {1, 0, 0, 1}}, {2, {0, 1, 0, 2}}, {3, {0, 0, 0, 0}}},
         "BabaSougou",
         40},
        {"going: 33.33 and none", {{6, {1, 0, 0, 2}}}, "JotaiShibaRyo", 17},
        {"going: 50 and 12.5 (taken as 12)",
         {{8, {1, 0, 0, 1}}, {9, {1, 0, 0, 7}}},
         "JotaiShibaOmo",
         31},
        {"going: none and 50", {{11, {1, 0, 0, 1}}}, "JotaiDertRyo", 25},
        {"going: the mean 18.5 rounds to the even 18",
         {{12, {1, 0, 0, 3}}, {13, {1, 0, 0, 7}}},
         "JotaiDertOmo",
         18},
        {"going: the first rate is used unrounded",
         {{14, {1, 0, 0, 7}}, {15, {13, 0, 0, 87}}},
         "JotaiShogaiRyo",
         13},
        {"going: the second rate is rounded before the mean",
         {{16, {13, 0, 0, 87}}, {17, {1, 0, 0, 7}}},
         "JotaiShogaiOmo",
         12},
        {"distance", {{18, {1, 0, 0, 1}}}, "KyoriShiba1600", 50},
        {"distance, all in the top two", {{23, {2, 1, 0, 0}}}, "KyoriDert2201", 100},
        {"third places do not count", {{20, {1, 0, 1, 2}}}, "KyoriShiba2201", 25},
    };
    for (const auto& c : cases) {
        CategoryCounts counts{};
        for (const auto& [category, value] : c.counts) counts[category - 1] = value;
        EXPECT_EQ(aptitudeRates(counts)[aptitudeIndex(c.column)], c.expected) << c.what;
    }
    EXPECT_DOUBLE_EQ(*placingRate({1, 0, 0, 7}), 12.5);
    EXPECT_FALSE(placingRate({0, 0, 0, 0}).has_value());
}

TEST(HorseAptitude, AllZeroGivesZeroAndCategoryFiveChangesNothing) {
    const CategoryCounts none{};
    for (int rate : aptitudeRates(none)) EXPECT_EQ(rate, 0);

    CategoryCounts counts{};
    for (std::size_t g = 0; g < counts.size(); ++g) {
        counts[g] = {static_cast<std::int64_t>(g % 3), 1, static_cast<std::int64_t>(g % 2), 2};
    }
    const auto before = aptitudeRates(counts);
    counts[4] = {9, 9, 0, 0};
    EXPECT_EQ(aptitudeRates(counts), before);
    counts[4] = {};
    EXPECT_EQ(aptitudeRates(counts), before);
}

TEST(HorseHistory, EachFieldIsDecodedOnItsOwn) {
    UmajRecord r;
    // The race name ends in a lead byte whose partner would be the grade code's "`": decoded
    // together they would make "Ａ" and shift every later character position.
    r.raw(umajHistoryField(1, "raceName"), encodeCp932("ＡＢ ") + "\x82");
    r.history(1, "gradeCode", "`");
    const auto& entry = umajHistoryEntryField(1);
    const std::string text = decodeHistoryEntry(r.bytes().substr(entry.offset, entry.length));
    EXPECT_NE(text.find("ＡＢ \xEF\xBF\xBD`"), std::string::npos) << text;
}

class HorseImport : public ::testing::Test {
  protected:
    std::filesystem::path umaj() const { return dir.path() / "JRA#UMAJ.DAT"; }

    std::vector<std::string> names() {
        Database mast(paths.mastPath());
        std::vector<std::string> out;
        auto st = mast.prepare("SELECT umacode, bamei FROM \"競走馬\" ORDER BY umacode");
        while (st.step()) out.push_back(st.text(0) + ":" + st.text(1));
        return out;
    }

    // Two horses, named without padding so that the names read back whole.
    void importTwo() {
        writeUmajFile(
            umaj(), {UmajRecord("00000001").text("bamei", "ＡＡＡＡＡＡＡＡＡＡＡＡＡＡＡＡＡＡ"),
                     UmajRecord("00000002").text("bamei", "ＢＢＢＢＢＢＢＢＢＢＢＢＢＢＢＢＢＢ")});
        ASSERT_EQ(importHorses(paths, {}), 2u);
    }
    const std::vector<std::string> kTwo = {"00000001:ＡＡＡＡＡＡＡＡＡＡＡＡＡＡＡＡＡＡ",
                                           "00000002:ＢＢＢＢＢＢＢＢＢＢＢＢＢＢＢＢＢＢ"};

    TempFolder dir;
    AppPaths paths{dir.path()};
};

TEST_F(HorseImport, StoresEveryColumnAsDecodedText) {
    UmajRecord r("98101234");
    r.text("delflg", "1")
        .text("bamei", "テストホース")
        .text("seisan", "ｼｽﾞﾅｲﾎﾞｸｼﾞｮｳ")
        .text("umanushi", "馬主")
        .text("seibetsu", "2")
        .text("moushoku", "03")
        .text("seinen", "950412")
        .text("sanchi", "浦河")
        .text("keto4", "ﾁﾁﾉﾁﾁ")
        .number("honshou", 1234567)
        .number("shuutoku2", 42)
        .text("mkdate", "981001")
        .counts(1, 1, 2, 3, 4)
        .counts(23, 5, 6, 7, 8);
    // Entry 1 with its text fields full-width throughout, as the readers of inf1 expect.
    const std::vector<std::pair<std::string_view, std::string_view>> history = {
        {"course", "05"},
        {"year", "98"},
        {"meeting", "4"},
        {"horseNumber", "07"},
        {"month", "10"},
        {"day", "03"},
        {"classCode", "999"},
        {"distance", "1600"},
        {"trackCode", "11"},
        {"raceName", "毎日王"},
        {"gradeCode", "A"},
        {"goingCode", "1"},
        {"runners", "16"},
        {"otherHorse", "アイテノウマ　　　　　　　　　　　　"},
        {"timeDifference", "0002"},
        {"bracket", "4"},
        {"position", "02"},
        {"abnormalCode", "0"},
        {"finishTime", "1345"},
        {"weightCarried", "570"},
        {"jockeyMark", "(5)"},
        {"corner1", "03"},
        {"corner4", "02"},
        {"lastThreeFurlongs", "345"},
        {"jockeyName", "騎手太郎　　　　"},
        {"popularity", "01"},
    };
    for (const auto& [field, value] : history) r.history(1, field, value);
    writeUmajFile(umaj(), {r});

    ASSERT_EQ(importHorses(paths, {}), 1u);

    Database mast(paths.mastPath());
    Table horses(mast, kHorseTable);
    horses.setIndex("Umacode");
    ASSERT_TRUE(horses.seek(std::string("98101234")));
    EXPECT_EQ(horses.text("delflg"), "1");
    EXPECT_EQ(horses.text("bamei"), "テストホース" + std::string(24, ' '));
    EXPECT_EQ(horses.text("seisan"), "ｼｽﾞﾅｲﾎﾞｸｼﾞｮｳ" + std::string(28, ' '));
    EXPECT_EQ(horses.text("umanushi"), "馬主" + std::string(36, ' '));
    EXPECT_EQ(horses.text("seibetsu"), "2");
    EXPECT_EQ(horses.text("moushoku"), "03");
    EXPECT_EQ(horses.text("sanchi"), "浦河" + std::string(20, ' '));
    EXPECT_EQ(horses.text("keto4"), "ﾁﾁﾉﾁﾁ" + std::string(31, ' '));
    EXPECT_EQ(horses.text("honshou"), "1234567");
    EXPECT_EQ(horses.text("shuutoku2"), "0000042");
    EXPECT_EQ(horses.text("mkdate"), "981001");
    EXPECT_EQ(horses.text("seiseki1"), "001" + std::string(21 * 3, '0') + "005");
    EXPECT_EQ(horses.text("seiseki4"), "004" + std::string(21 * 3, '0') + "008");
    EXPECT_EQ(horses.integer("BabaShibaR"), 30);
    EXPECT_EQ(horses.integer("BabaSougou"), 30);
    EXPECT_EQ(horses.integer("KyoriDert2201"), 42);  // 11 / 26

    const std::string inf1 = horses.text("inf1");
    EXPECT_EQ(charCount(inf1), 107u);
    const std::vector<std::tuple<std::size_t, std::size_t, std::string>> positions = {
        {1, 2, "05"},
        {3, 2, "98"},
        {9, 2, "07"},
        {11, 2, "10"},
        {15, 3, "999"},
        {18, 4, "1600"},
        {24, 3, "毎日王"},
        {27, 1, "A"},
        {29, 1, "1"},
        {30, 2, "16"},
        {32, 6, "アイテノウマ"},
        {50, 4, "0002"},
        {57, 2, "02"},
        {60, 4, "1345"},
        {64, 3, "570"},
        {67, 3, "(5)"},
        {70, 2, "03"},
        {76, 2, "02"},
        {81, 3, "345"},
        {84, 4, "騎手太郎"},
        {92, 2, "01"},
    };
    for (const auto& [position, length, expected] : positions) {
        EXPECT_EQ(chars(inf1, position, length), expected) << "character " << position;
    }
    // A blank entry is all single-byte blanks: 136 characters, which the column holds.
    EXPECT_EQ(horses.text("inf2"), std::string(136, ' '));

    for (const char* untouched : {"inf501", "RaceNo", "BabaShogai", "Nouryoku1", "IjouKubun"}) {
        EXPECT_TRUE(std::holds_alternative<std::monostate>(horses.get(untouched))) << untouched;
    }
}

TEST_F(HorseImport, NonDigitCountsReadZero) {
    UmajRecord r("00000001");
    r.raw(umajPlacingField(1, 1), "ab'");
    r.raw(umajPlacingField(1, 4), "1x ");
    writeUmajFile(umaj(), {r});
    ASSERT_EQ(importHorses(paths, {}), 1u);

    Database mast(paths.mastPath());
    Table horses(mast, kHorseTable);
    horses.setIndex("Umacode");
    ASSERT_TRUE(horses.seek(std::string("00000001")));
    EXPECT_EQ(horses.text("seiseki1").substr(0, 3), "ab'");
    EXPECT_EQ(horses.integer("BabaShibaR"), 0);  // 0 of 1 run
}

// The service never ships an empty list of horses: a file without a whole record, or ending in
// part of one, is a broken download and leaves 競走馬 as it was.
TEST_F(HorseImport, AFileThatIsNotAWholeDeliveryIsRefusedKeepingTheHorses) {
    importTwo();
    const std::string third = UmajRecord("00000003").bytes();
    const struct {
        const char* what;
        std::vector<UmajRecord> records;
        std::string tail;
        const char* message;
    } cases[] = {
        {"0 bytes",
         {},
         "",
         "JRA#UMAJ.DAT にはレコードがありません。競走馬データは取り込む前のままです。"},
        {"shorter than a record",
         {},
         third.substr(0, 1000),
         "JRA#UMAJ.DAT にはレコードがありません。競走馬データは取り込む前のままです。"},
        {"a cut-off last record",
         {UmajRecord("00000001"), UmajRecord("00000002")},
         third.substr(0, 1000),
         "JRA#UMAJ.DAT は最後のレコードが途中で切れています（1825 バイトのレコード 2 件の後に "
         "1000 バイト）。ダウンロードが途中で終わった可能性があります。競走馬データは取り込む前の"
         "ままです。"},
        {"bytes that are no code page 932 in a name",
         {UmajRecord("00000001"),
          UmajRecord("00000003").raw(kUmajLayout.field("bamei"), "\xFF\x82")},
         "",
         "JRA#UMAJ.DAT の 2 件目のレコードは、欄「bamei」に文字として読めないバイト（シフトJIS "
         "の文字にならないバイト）があるため取り込めません。ファイルが壊れている可能性があります。"
         "競走馬データは取り込む前のままです。"},
        // Each part of a race history entry is decoded on its own: a lead byte ending the race
        // name is no character, even though the grade code's byte after it would complete one.
        {"a character split across two parts of a race history entry",
         {UmajRecord("00000003")
              .raw(umajHistoryField(2, "raceName"), encodeCp932("ＡＢ ") + "\x82")
              .raw(umajHistoryField(2, "gradeCode"), "`")},
         "",
         "JRA#UMAJ.DAT の 1 件目のレコードは、欄「history2 の raceName」に文字として読めないバイト"
         "（シフトJIS の文字にならないバイト）があるため取り込めません。ファイルが壊れている可能性"
         "があります。競走馬データは取り込む前のままです。"},
    };
    for (const auto& c : cases) {
        writeUmajFile(umaj(), c.records, c.tail);
        try {
            importHorses(paths, {});
            ADD_FAILURE() << c.what << ": no error";
        } catch (const ImportError& e) {
            EXPECT_EQ(std::string(e.what()), c.message) << c.what;
        }
        EXPECT_EQ(names(), kTwo) << c.what;
    }
    // An end-of-file mark after the last record is no part of one.
    writeUmajFile(umaj(), {UmajRecord("00000003")}, "\x1A");
    EXPECT_EQ(importHorses(paths, {}), 1u);
}

TEST_F(HorseImport, TheLaterRecordOfAHorseWinsAndIsCounted) {
    writeUmajFile(umaj(), {UmajRecord("00000001").text("bamei", "Ｘ"),
                           UmajRecord("00000002").text("bamei", "Ｙ"),
                           UmajRecord("00000001").text("bamei", "Ｚ").counts(1, 1, 0, 0, 0)});
    FileReport report;
    EXPECT_EQ(importHorses(paths, {}, report), 3u);
    EXPECT_EQ(report.file, "JRA#UMAJ.DAT");
    EXPECT_EQ(report.read, 3u);
    EXPECT_EQ(report.stored, 3u);
    EXPECT_EQ(report.replaced, 1u);
    EXPECT_EQ(report.refused, 0u);
    EXPECT_EQ(report.notes, std::vector<std::string>{
                                "馬コードが前のレコードと同じレコードが 1 件あり、後のレコードの"
                                "内容で登録しました。"});
    const std::string pad(34, ' ');
    EXPECT_EQ(names(), (std::vector<std::string>{"00000001:Ｚ" + pad, "00000002:Ｙ" + pad}));
    Database mast(paths.mastPath());
    Table horses(mast, kHorseTable);
    horses.setIndex("Umacode");
    ASSERT_TRUE(horses.seek(std::string("00000001")));
    EXPECT_EQ(horses.integer("BabaShibaR"), 100);
}

// The horses handed on from an import are those a look-up in 競走馬 then finds, value for value;
// a table that could store something else hands on nothing.
TEST_F(HorseImport, KeepsTheHorsesAsStoredOnlyWhereTheTableStoresThemAsWritten) {
    writeUmajFile(umaj(), {UmajRecord("00000001").text("bamei", "Ｘ"),
                           UmajRecord("00000002").text("bamei", "Ｙ").counts(2, 0, 1, 0, 3),
                           UmajRecord("00000001").text("bamei", "Ｚ").counts(1, 1, 0, 0, 0)});
    StoredHorses stored;
    EXPECT_EQ(importHorses(paths, {}, stored), 3u);
    ASSERT_TRUE(stored.exact);
    ASSERT_EQ(stored.byCode.size(), 2u);
    {
        Database mast(paths.mastPath());
        Database tran(paths.tranPath());
        HorseCopier copier(mast, tran);
        for (const char* code : {"00000001", "00000002"}) {
            const HorseValues* found = copier.lookUp(code);
            ASSERT_NE(found, nullptr);
            const HorseValues& kept = stored.byCode.at(code);
            ASSERT_EQ(kept.size(), found->size());
            for (std::size_t i = 0; i < kept.size(); ++i) {
                EXPECT_EQ(kept.type(i), found->type(i)) << code << " column " << i;
                EXPECT_EQ(kept.value(i), found->value(i)) << code << " column " << i;
            }
        }
        mast.exec("CREATE TRIGGER noted AFTER INSERT ON " + quoteIdentifier(kHorseTable) +
                  " BEGIN SELECT 1; END");
    }
    EXPECT_EQ(importHorses(paths, {}, stored), 3u);
    EXPECT_FALSE(stored.exact);
    EXPECT_TRUE(stored.byCode.empty());
}

TEST_F(HorseImport, AMissingOrUnreadableFileLeavesTheTableAsItWas) {
    importTwo();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"missing", "JRA#UMAJ.DAT がありません."},
        {"directory", "JRA#UMAJ.DAT を読み込めません。"},
    };
    for (const auto& [what, message] : cases) {
        std::filesystem::remove_all(umaj());
        if (what == "directory") std::filesystem::create_directory(umaj());
        try {
            importHorses(paths, {});
            ADD_FAILURE() << what << ": no error";
        } catch (const ImportError& e) {
            EXPECT_EQ(std::string(e.what()), message) << what;
        }
        EXPECT_EQ(names(), kTwo) << what;
    }
}

TEST_F(HorseImport, AMissingFileCreatesNoDatabase) {
    EXPECT_THROW(importHorses(paths, {}), ImportError);
    EXPECT_FALSE(std::filesystem::exists(paths.mastPath()));
}

TEST_F(HorseImport, AFailureHalfwayRollsEverythingBack) {
    importTwo();
    std::vector<UmajRecord> records;
    for (int i = 1; i <= 20; ++i) records.emplace_back("1000" + std::to_string(1000 + i));
    writeUmajFile(umaj(), records);
    struct Stop {};
    EXPECT_THROW(importHorses(paths,
                              [](int percent) {
                                  if (percent == 5) throw Stop{};
                              }),
                 Stop);
    EXPECT_EQ(names(), kTwo);
}

TEST_F(HorseImport, ProgressRunsFromZeroToTenReportingEachStepOnce) {
    std::vector<UmajRecord> records;
    for (int i = 1; i <= 30; ++i) records.emplace_back("1000" + std::to_string(1000 + i));
    writeUmajFile(umaj(), records);
    std::vector<int> seen;
    EXPECT_EQ(importHorses(paths, [&](int percent) { seen.push_back(percent); }), 30u);
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

class HorseCopy : public HorseImport {
  protected:
    void SetUp() override {
        writeUmajFile(umaj(), {UmajRecord("00000001").text("bamei", "イチ").counts(6, 1, 0, 0, 2),
                               UmajRecord("00000002").text("bamei", "ニ")});
        ASSERT_EQ(importHorses(paths, {}), 2u);
        Database tran(paths.tranPath());
        createEntryTable(tran, "U05981003");
        createEntryTable(tran, "U08981003");
    }

    std::int64_t rows(Database& tran, const std::string& table) {
        auto st = tran.prepare("SELECT count(*) FROM " + quoteIdentifier(table));
        st.step();
        return st.int64(0);
    }
};

TEST_F(HorseCopy, AddsANewRowWithTheCopiedColumnsOnly) {
    {
        // A column outside the copied list, set in the master, must not travel.
        Database mast(paths.mastPath());
        mast.exec("UPDATE \"競走馬\" SET inf501 = 'master only'");
    }
    Database mast(paths.mastPath());
    Database tran(paths.tranPath());
    HorseCopier copier(mast, tran);
    EXPECT_TRUE(copier.copy("U05981003", "00000001"));
    EXPECT_TRUE(copier.copy("U08981003", "00000001"));
    EXPECT_TRUE(copier.copy("U05981003", "00000002"));

    Table horse(mast, kHorseTable);
    horse.setIndex("Umacode");
    ASSERT_TRUE(horse.seek(std::string("00000001")));
    for (const char* table : {"U05981003", "U08981003"}) {
        Table entries(tran, table);
        entries.setIndex("umacode");
        ASSERT_TRUE(entries.seek(std::string("00000001"))) << table;
        for (auto column : kHorseCopyColumns) {
            EXPECT_EQ(entries.get(column), horse.get(column)) << table << " " << column;
        }
        EXPECT_EQ(entries.integer("JotaiShibaRyo"), 17);
        EXPECT_TRUE(std::holds_alternative<std::monostate>(entries.get("inf501")));
    }
    EXPECT_EQ(rows(tran, "U05981003"), 2);
    EXPECT_EQ(rows(tran, "U08981003"), 1);
}

TEST_F(HorseCopy, EditsAnExistingRowAndKeepsItsOtherColumns) {
    {
        Database mast(paths.mastPath());
        Database tran(paths.tranPath());
        HorseCopier copier(mast, tran);
        ASSERT_TRUE(copier.copy("U05981003", "00000001"));
        Table entries(tran, "U05981003");
        entries.setIndex("umacode");
        ASSERT_TRUE(entries.seek(std::string("00000001")));
        entries.edit();
        entries.set("RaceNo", std::int64_t{3});
        entries.set("NameKisi", std::string("騎手"));
        entries.set("Nouryoku1", 61.5);
        entries.update();
    }
    // A newer horse file changes the horse; copying again refreshes the copied columns only.
    writeUmajFile(umaj(), {UmajRecord("00000001").text("bamei", "イチバン").counts(6, 1, 0, 0, 0)});
    ASSERT_EQ(importHorses(paths, {}), 1u);
    ASSERT_TRUE(copyHorseToEntries(paths, "U05981003", "00000001"));

    Database tran(paths.tranPath());
    EXPECT_EQ(rows(tran, "U05981003"), 1);
    Table entries(tran, "U05981003");
    entries.setIndex("umacode");
    ASSERT_TRUE(entries.seek(std::string("00000001")));
    EXPECT_EQ(entries.text("bamei"), "イチバン" + std::string(28, ' '));
    EXPECT_EQ(entries.integer("JotaiShibaRyo"), 50);
    EXPECT_EQ(entries.integer("RaceNo"), 3);
    EXPECT_EQ(entries.text("NameKisi"), "騎手");
    EXPECT_DOUBLE_EQ(entries.real("Nouryoku1"), 61.5);
}

TEST_F(HorseCopy, AnUnknownHorseGetsNoRow) {
    Database mast(paths.mastPath());
    Database tran(paths.tranPath());
    HorseCopier copier(mast, tran);
    for (std::string_view code : {"99999999", "", "0000000100"}) {
        EXPECT_FALSE(copier.copy("U05981003", code)) << code;
    }
    EXPECT_EQ(rows(tran, "U05981003"), 0);
    EXPECT_THROW(copier.copy("U01010101", "00000001"), StoreError);  // no such entries table
}

TEST(HorseCopyWithoutMaster, CopiesNothingAndCreatesNoDatabase) {
    TempFolder dir;
    const AppPaths paths(dir.path());
    EXPECT_FALSE(copyHorseToEntries(paths, "U05981003", "00000001"));
    EXPECT_FALSE(std::filesystem::exists(paths.mastPath()));

    Database mast(paths.mastPath());  // a database without 競走馬
    Database tran(paths.tranPath());
    createEntryTable(tran, "U05981003");
    HorseCopier copier(mast, tran);
    EXPECT_FALSE(copier.copy("U05981003", "00000001"));
}

}  // namespace
