#include "core/import/results_import.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "den1_fixture.hpp"
#include "core/import/race_card_import.hpp"
#include "sei1_fixture.hpp"
#include "temp_folder.hpp"

using namespace zelvanor;
using fixture::Den1Record;
using fixture::Sei1Record;

namespace {

constexpr const char* kResultColumns[] = {
    "Kekka1No",    "Kekka2No",    "Kekka3No",    "KekkaWakNo", "KekkaUmaNo", "Kekka1TanAm",
    "Kekka1FukAm", "Kekka2FukAm", "Kekka3FukAm", "KekkaWakAm", "KekkaUmaAm",
};

Value cell(Database& db, std::string_view table, std::string_view column, std::int64_t race) {
    Statement st = db.prepare("SELECT " + quoteIdentifier(column) + " FROM " +
                              quoteIdentifier(table) + " WHERE bango = ?1");
    st.bind(1, race);
    if (!st.step()) throw std::runtime_error("no race " + std::to_string(race));
    return st.value(0);
}

std::int64_t number(Database& db, std::string_view table, std::string_view column, int race) {
    return std::get<std::int64_t>(cell(db, table, column, race));
}

std::string text(Database& db, std::string_view table, std::string_view column, int race) {
    return std::get<std::string>(cell(db, table, column, race));
}

bool hasNoResult(Database& db, std::string_view table, int race) {
    for (const char* column : kResultColumns) {
        if (!std::holds_alternative<std::monostate>(cell(db, table, column, race))) return false;
    }
    return true;
}

// Race cards of races 1 to 3 at 東京 on 98/10/03 and 京都 on 98/10/04 are in tran.mdb.
class ResultsImportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::vector<Den1Record> cards;
        for (int race = 1; race <= 3; ++race) {
            cards.emplace_back("05", "98", "10", "03", race);
            cards.back().text("hondai", "レース" + std::to_string(race));
            cards.emplace_back("08", "98", "10", "04", race);
        }
        fixture::writeDen1File(folder / "JRA#DEN1.DAT", cards);
        importRaceCards(paths, {}, RacePredictFn{});
    }
    void results(const std::vector<Sei1Record>& records, std::string_view tail = {}) {
        fixture::writeSei1File(folder / "JRA#SEI1.DAT", records, tail);
    }

    TempFolder folder;
    AppPaths paths{folder.path()};
};

TEST_F(ResultsImportTest, TheFirstEntryOfEachListGoesIntoTheRaceRow) {
    {
        // A result typed in by hand before, and the going set to heavy: the import overwrites the
        // one and leaves the other.
        Database tran(paths.tranPath());
        tran.exec(
            "UPDATE D05981003 SET RyoOmo = 2, Kekka1No = 9, KekkaWakNo = '1 - 1' "
            "WHERE bango = 2");
    }
    // Dead heats and further place payouts follow the first entries; they are not stored.
    const auto race = Sei1Record("05", "98", "10", "03", 2)
                          .win(1, 3, 450)
                          .win(2, 5, 380)
                          .place(1, 3, 150)
                          .place(2, 12, 320)
                          .place(3, 7, 210)
                          .place(4, 5, 190)
                          .bracket(1, 3, 5, 1230)
                          .bracket(2, 4, 5, 990)
                          .quinella(1, 3, 12, 4560)
                          .quinella(2, 5, 12, 3100);
    // Race 3 is there twice: the later record's results replace the earlier one's.
    results({race, Sei1Record("05", "98", "10", "03", 3).win(1, 1, 100),
             Sei1Record("05", "98", "10", "03", 3).win(1, 2, 200)});

    const auto result = importResults(paths);

    EXPECT_EQ(result.recordCount, 3u);
    EXPECT_EQ(result.racesUpdated, 3u);
    // Race 2 held a hand-typed result and race 3 its first record's.
    EXPECT_EQ(result.report.file, "JRA#SEI1.DAT");
    EXPECT_EQ(result.report.read, 3u);
    EXPECT_EQ(result.report.stored, 3u);
    EXPECT_EQ(result.report.replaced, 2u);
    EXPECT_EQ(result.report.refused, 0u);
    EXPECT_EQ(result.storedMeetings, (std::vector<std::string>{"D05981003"}));
    EXPECT_TRUE(result.notStoredMeetings.empty());
    EXPECT_FALSE(result.stopped);
    EXPECT_EQ(result.currentRaceTable, "D05981003");
    EXPECT_EQ(result.message, "東京 98/10/03 の成績データの取込が終了しました。");
    EXPECT_EQ(result.title, "");
    EXPECT_EQ(result.icon, Notifier::Icon::None);

    Database tran(paths.tranPath());
    EXPECT_EQ(number(tran, "D05981003", "Kekka1No", 2), 3);
    EXPECT_EQ(number(tran, "D05981003", "Kekka1TanAm", 2), 450);
    EXPECT_EQ(number(tran, "D05981003", "Kekka1FukAm", 2), 150);
    EXPECT_EQ(number(tran, "D05981003", "Kekka2No", 2), 12);
    EXPECT_EQ(number(tran, "D05981003", "Kekka2FukAm", 2), 320);
    EXPECT_EQ(number(tran, "D05981003", "Kekka3No", 2), 7);
    EXPECT_EQ(number(tran, "D05981003", "Kekka3FukAm", 2), 210);
    EXPECT_EQ(text(tran, "D05981003", "KekkaWakNo", 2), "3 - 5");
    EXPECT_EQ(number(tran, "D05981003", "KekkaWakAm", 2), 1230);
    EXPECT_EQ(text(tran, "D05981003", "KekkaUmaNo", 2), "3 - 12");
    EXPECT_EQ(number(tran, "D05981003", "KekkaUmaAm", 2), 4560);

    EXPECT_EQ(number(tran, "D05981003", "RyoOmo", 2), 2);
    EXPECT_EQ(text(tran, "D05981003", "hondai", 2).substr(0, 10), "レース2");
    EXPECT_TRUE(hasNoResult(tran, "D05981003", 1));
    EXPECT_EQ(number(tran, "D05981003", "Kekka1TanAm", 3), 200);
}

TEST_F(ResultsImportTest, PairsAreStoredWithoutLeadingZerosAndBlanksStoreZero) {
    const struct {
        const char* label;
        const char* bracket;   // the two bracket digits as the record holds them
        const char* quinella;  // the two horse numbers as the record holds them
        const char* wakNo;
        const char* umaNo;
    } cases[] = {
        {"one-digit horses", "35", "0312", "3 - 5", "3 - 12"},
        {"two-digit horses", "88", "1018", "8 - 8", "10 - 18"},
        {"no such bets", "  ", "    ", " ", " "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string_view bracket = c.bracket;
        const std::string_view quinella = c.quinella;
        results({Sei1Record("08", "98", "10", "04", 1)
                     .text("bracketFirst1", bracket.substr(0, 1))
                     .text("bracketSecond1", bracket.substr(1, 1))
                     .text("quinellaFirst1", quinella.substr(0, 2))
                     .text("quinellaSecond1", quinella.substr(2, 2))});
        importResults(paths);
        Database tran(paths.tranPath());
        EXPECT_EQ(text(tran, "D08981004", "KekkaWakNo", 1), c.wakNo);
        EXPECT_EQ(text(tran, "D08981004", "KekkaUmaNo", 1), c.umaNo);
    }
}

TEST_F(ResultsImportTest, BlankNumbersAndPayoutsStoreZero) {
    results({Sei1Record("08", "98", "10", "04", 3)});
    importResults(paths);
    Database tran(paths.tranPath());
    for (const char* column : kResultColumns) {
        const Value v = cell(tran, "D08981004", column, 3);
        if (std::string_view(column).ends_with("No") && std::holds_alternative<std::string>(v)) {
            EXPECT_EQ(std::get<std::string>(v), " ") << column;
        } else {
            EXPECT_EQ(std::get<std::int64_t>(v), 0) << column;
        }
    }
}

TEST_F(ResultsImportTest, AMeetingWithoutRaceCardStopsTheImportKeepingWhatCameBefore) {
    results({Sei1Record("05", "98", "10", "03", 1).win(1, 4, 300),
             Sei1Record("08", "98", "10", "04", 2).win(1, 6, 520),
             Sei1Record("06", "98", "10", "03", 1).win(1, 1, 110),
             Sei1Record("05", "98", "10", "03", 3).win(1, 2, 240)});
    std::vector<int> seen;
    const auto result = importResults(paths, [&](int p) { seen.push_back(p); });

    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.racesUpdated, 2u);
    EXPECT_EQ(result.currentRaceTable, "D06981003");
    // 東京 got race 1 before the stop, not race 3 after it.
    EXPECT_EQ(result.storedMeetings, (std::vector<std::string>{"D05981003", "D08981004"}));
    EXPECT_EQ(result.notStoredMeetings, (std::vector<std::string>{"D06981003"}));
    EXPECT_EQ(result.message,
              "中山 98/10/03 の出馬表データが存在しません。\n\n"
              "成績データは出馬表データを取り込んでいないと反映できません。\n\n"
              "成績を取り込んだ開催: 東京 98/10/03（一部）、京都 98/10/04\n"
              "成績を取り込んでいない開催: 中山 98/10/03");
    EXPECT_EQ(result.report.read, 4u);
    EXPECT_EQ(result.report.stored, 2u);
    EXPECT_EQ(result.report.refused, 2u);
    EXPECT_EQ(result.title, "置き換えの確認");
    EXPECT_EQ(seen, (std::vector<int>{0, 25, 50, 75}));

    Database tran(paths.tranPath());
    EXPECT_EQ(number(tran, "D05981003", "Kekka1TanAm", 1), 300);
    EXPECT_EQ(number(tran, "D08981004", "Kekka1TanAm", 2), 520);
    EXPECT_TRUE(hasNoResult(tran, "D05981003", 3));
    EXPECT_FALSE(tran.hasTable("D06981003"));
}

TEST_F(ResultsImportTest, AStopAtTheFirstMeetingListsNoMeetingAsTakenIn) {
    results({Sei1Record("06", "98", "10", "03", 1), Sei1Record("05", "98", "10", "03", 1)});
    const auto result = importResults(paths);
    EXPECT_TRUE(result.stopped);
    EXPECT_TRUE(result.storedMeetings.empty());
    EXPECT_EQ(result.notStoredMeetings, (std::vector<std::string>{"D06981003", "D05981003"}));
    EXPECT_TRUE(result.message.ends_with(
        "\n\n成績を取り込んだ開催: なし\n成績を取り込んでいない開催: 中山 98/10/03、東京 98/10/03"))
        << result.message;
    EXPECT_EQ(result.report.stored, 0u);
    EXPECT_EQ(result.report.refused, 2u);
}

TEST_F(ResultsImportTest, ARaceMissingFromItsMeetingIsSkippedSilently) {
    results({Sei1Record("05", "98", "10", "03", 9).win(1, 4, 300),
             Sei1Record("08", "98", "10", "04", 1).win(1, 6, 520)});
    const auto result = importResults(paths);

    EXPECT_FALSE(result.stopped);
    EXPECT_EQ(result.recordCount, 2u);
    EXPECT_EQ(result.racesUpdated, 1u);
    EXPECT_EQ(result.message, "京都 98/10/04 の成績データの取込が終了しました。");
    // Silent in the message, but the figures tell.
    EXPECT_EQ(result.report.stored, 1u);
    EXPECT_EQ(result.report.refused, 1u);
    EXPECT_EQ(result.storedMeetings, (std::vector<std::string>{"D08981004"}));
    EXPECT_EQ(result.notStoredMeetings, (std::vector<std::string>{"D05981003"}));
    Database tran(paths.tranPath());
    Statement count = tran.prepare("SELECT count(*) FROM D05981003");
    count.step();
    EXPECT_EQ(count.int64(0), 3);
    EXPECT_EQ(number(tran, "D08981004", "Kekka1TanAm", 1), 520);
}

TEST_F(ResultsImportTest, WithoutRecordsOnlyTheCompletionTextIsShown) {
    for (const bool present : {false, true}) {
        SCOPED_TRACE(present ? "empty file" : "no file");
        if (present) results({});
        const auto result = importResults(paths);
        EXPECT_EQ(result.message, "成績データの取込が終了しました。");
        EXPECT_EQ(result.title, "");
        EXPECT_FALSE(result.stopped);
        EXPECT_EQ(result.currentRaceTable, "");
    }
}

TEST_F(ResultsImportTest, ARecordNamingNoMeetingIsRefusedBeforeAnythingIsWritten) {
    const struct {
        const char* field;
        const char* value;
        const char* named;  // what the message names
    } cases[] = {
        {"month", "1;", "場・年・月・日の欄が数字２桁ではない"},
        {"month", "13", "月「13」"},
        {"month", "00", "月「00」"},
        {"day", "99", "日「99」"},
        {"day", "00", "日「00」"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.value);
        results({Sei1Record("05", "98", "10", "03", 1).win(1, 4, 300),
                 Sei1Record("05", "98", "10", "03", 2).text(c.field, c.value)});
        try {
            importResults(paths);
            ADD_FAILURE() << "no error";
        } catch (const ImportError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("JRA#SEI1.DAT の 2 件目"), std::string::npos) << message;
            EXPECT_NE(message.find(c.named), std::string::npos) << message;
            EXPECT_NE(message.find("データは取り込む前のままです。"), std::string::npos) << message;
        }
        Database tran(paths.tranPath());
        EXPECT_TRUE(hasNoResult(tran, "D05981003", 1));
    }
}

// A race number no meeting holds is a race the race table lacks: the record is skipped and named,
// and the rest of the file goes in.
TEST_F(ResultsImportTest, ARecordOfARaceNoMeetingHoldsIsSkippedAndNamed) {
    results({Sei1Record("05", "98", "10", "03", 1).win(1, 4, 300),
             Sei1Record("05", "98", "10", "03", 2).text("bango", "13").win(1, 6, 700),
             Sei1Record("05", "98", "10", "03", 2).text("bango", "00").win(1, 6, 700),
             Sei1Record("05", "98", "10", "03", 2).text("bango", " 2").win(1, 6, 700),
             Sei1Record("05", "98", "10", "03", 3).win(1, 2, 200)});

    const auto result = importResults(paths);

    EXPECT_FALSE(result.stopped);
    EXPECT_EQ(result.message, "東京 98/10/03 の成績データの取込が終了しました。");
    EXPECT_EQ(result.report.read, 5u);
    EXPECT_EQ(result.report.stored, 2u);
    EXPECT_EQ(result.report.refused, 3u);
    EXPECT_EQ(result.report.notes,
              (std::vector<std::string>{
                  "JRA#SEI1.DAT の 2 件目（レース番号「13」）、3 件目（レース番号「00」）、4 "
                  "件目（レース番号「 2」）の成績は、01～12 のレース番号ではないため取り込んで"
                  "いません。"}));
    Database tran(paths.tranPath());
    EXPECT_EQ(number(tran, "D05981003", "Kekka1No", 1), 4);
    EXPECT_TRUE(hasNoResult(tran, "D05981003", 2));
    EXPECT_EQ(number(tran, "D05981003", "Kekka1No", 3), 2);
}

TEST_F(ResultsImportTest, AFileCutShortIsRefusedBeforeAnythingIsWritten) {
    const Sei1Record race("05", "98", "10", "03", 1);
    results({Sei1Record(race).win(1, 4, 300)}, std::string_view(race.bytes()).substr(0, 600));
    try {
        importResults(paths);
        ADD_FAILURE() << "no error";
    } catch (const ImportError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "JRA#SEI1.DAT は最後のレコードが途中で切れています（1323 バイトのレコード 1 "
                  "件の後に 600 バイト）。ダウンロードが途中で終わった可能性があります。"
                  "成績データは取り込む前のままです。");
    }
    Database tran(paths.tranPath());
    EXPECT_TRUE(hasNoResult(tran, "D05981003", 1));
}

TEST(MeetingName, ReadsARaceTableNameAsTheUserDoes) {
    EXPECT_EQ(meetingName("D05981003"), "東京 98/10/03");
    EXPECT_EQ(meetingName("D08981004"), "京都 98/10/04");
    EXPECT_EQ(meetingName("other"), "other");
}

}  // namespace
