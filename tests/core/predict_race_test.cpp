#include "core/predict/predict_race.hpp"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <vector>

#include "core/import/people_import.hpp"
#include "core/predict/connections.hpp"
#include "core/predict/engine_values.hpp"
#include "core/shell/constants.hpp"
#include "core/store/store.hpp"
#include "core/tables/race_tables.hpp"
#include "predict_fixture.hpp"
#include "temp_folder.hpp"

using namespace zelvanor;

namespace {

TEST(Multipliers, FromTheStoredWeights) {
    ConstantsRow row;
    row.weights = {0, 3, 1, 2, 0, 2, 3};
    const Multipliers m = multipliersFrom(row);
    EXPECT_EQ(m.direction, 1.0f);
    EXPECT_EQ(m.surface, 1.6f);
    EXPECT_EQ(m.distance, 1.2f);
    EXPECT_EQ(m.going, 1.4f);
    EXPECT_EQ(m.growth, 0.0f);
    EXPECT_EQ(m.jockey, 1.4f);
    EXPECT_EQ(m.trainer, 1.6f);

    row.weights = {3, 2, 1, 0, 3, 1, 2};
    const Multipliers n = multipliersFrom(row);
    EXPECT_EQ(n.direction, 1.6f);
    EXPECT_EQ(n.going, 1.0f);
    EXPECT_EQ(n.growth, 1.2f);
    row.weights[4] = 1;
    EXPECT_EQ(multipliersFrom(row).growth, 0.5f);
    row.weights[4] = 2;
    EXPECT_EQ(multipliersFrom(row).growth, 1.0f);

    // Anything but 0 to 3 counts for nothing.
    for (double odd : {4.0, -1.0, 1.5}) {
        EXPECT_EQ(weightMultiplier(odd), 0.0f) << odd;
        EXPECT_EQ(growthMultiplier(odd), 0.0f) << odd;
    }
}

TEST(Multipliers, WithoutAConstantsRowAllSevenAreOnePointTwo) {
    const Multipliers m = multipliersFrom(std::nullopt);
    for (float v : {m.direction, m.surface, m.distance, m.going, m.growth, m.jockey, m.trainer}) {
        EXPECT_EQ(v, 1.2f);
    }
}

TEST(DayConnection, NameMarksAndRatesFromTheMasterRow) {
    MasterPerson row;
    row.kanji = "岡部　　　　　　幸雄　　　　　　";
    row.touzai = "1";
    row.minarai = "2";
    row.sougouRen = 32.5;
    row.courseRates[4] = 20.5;
    const DayConnection c = dayConnection("0123", &row, "05");
    EXPECT_EQ(c.name, "岡部　幸");
    EXPECT_EQ(c.touzai, "東");
    EXPECT_EQ(c.minarai, "2");
    EXPECT_EQ(c.sougouRen, 32.5);
    EXPECT_EQ(c.courseRate, 20.5);
    EXPECT_EQ(dayConnection("0123", &row, "11").courseRate, std::nullopt);

    const std::pair<const char*, const char*> marks[] = {
        {"1", "東"}, {"2", "西"}, {"3", "招"}, {" ", "招"}};
    for (const auto& [touzai, mark] : marks) EXPECT_EQ(affiliationMark(touzai), mark);
    for (const auto& [minarai, mark] : std::array<std::pair<const char*, const char*>, 4>{
             {{"0", " "}, {"1", "1"}, {"3", "3"}, {"4", " "}}}) {
        row.minarai = minarai;
        EXPECT_EQ(dayConnection("0123", &row, "05").minarai, mark) << minarai;
    }

    const DayConnection missing = dayConnection("9999", nullptr, "05");
    EXPECT_EQ(missing.name, "9999");
    EXPECT_EQ(missing.touzai, " ");
    EXPECT_EQ(missing.minarai, " ");
    EXPECT_EQ(missing.sougouRen, 0);
    EXPECT_EQ(missing.courseRate, 0.0);
}

TEST(PastConnections, RatesOfTheRaceCourse) {
    MasterPerson jockey;
    jockey.minarai = "3";
    jockey.courseRates = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    MasterPerson trainer;
    trainer.courseRates = {11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
    const PastConnections at10 = pastConnections(&jockey, &trainer, 10);
    EXPECT_EQ(at10.allowance, 3);
    EXPECT_EQ(at10.jockeyRate, 10);
    EXPECT_EQ(at10.trainerRate, 20);
    const PastConnections elsewhere = pastConnections(&jockey, &trainer, 11);
    EXPECT_EQ(elsewhere.allowance, 3);
    EXPECT_EQ(elsewhere.jockeyRate, 0);
    EXPECT_EQ(elsewhere.trainerRate, 0);
    const PastConnections unknown = pastConnections(nullptr, &trainer, 1);
    EXPECT_EQ(unknown.allowance, 0);
    EXPECT_EQ(unknown.jockeyRate, 0);
    EXPECT_EQ(unknown.trainerRate, 11);
}

// ---- the driver over a stored meeting ----

constexpr const char* kRaceTable = "D05981003";
constexpr const char* kEntryTable = "U05981003";

// bracket, horse code, sex, blinkers, weight, jockey, one unread character, trainer: 23.
std::string entry(const char* bracket, const char* horse, const char* weight, const char* jockey,
                  const char* trainer) {
    return std::string(bracket) + horse + "10" + weight + jockey + "0" + trainer;
}

const std::string kBlankEntry(23, ' ');

class PredictRace : public ::testing::Test {
  protected:
    void SetUp() override {
        {
            Database mast(paths.mastPath());
            saveConstants(mast, {0, 3, 1, 2, 0, 2, 3}, "AB");
        }
        Database mast(paths.mastPath());
        createJockeyTable(mast);
        createTrainerTable(mast);
        auto jockey = mast.prepare(
            "INSERT INTO 騎手マスタ (KISCODE, KISKANJI, KISKANJI2, KISKANA, TOUZAI, minarai, "
            "KSougouRen, K04Ren, K05Ren) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
        jockey.bind(1, "0123").bind(2, "岡部　　　　　　幸雄　　　　　　").bind(3, "岡部　幸雄");
        jockey.bind(4, "ｵｶﾍﾞ").bind(5, "1").bind(6, "0").bind(7, 32.5).bind(8, 12.0);
        jockey.bind(9, 20.5).run();
        auto trainer = mast.prepare(
            "INSERT INTO 調教師マスタ (chocode, CHOKANJI, TOUZAI, CSougouRen, C05Ren) "
            "VALUES (?1, ?2, ?3, ?4, ?5)");
        trainer.bind(1, "1111").bind(2, "藤沢　　　　　　和雄　　　　　　").bind(3, "2");
        trainer.bind(4, 25.5).bind(5, 10.0).run();

        Database tran(paths.tranPath());
        createEntryTable(tran, kEntryTable);
        createRaceTable(tran, kRaceTable);
    }

    void addRace(Database& tran, int bango, const char* basho, const char* tousuu,
                 const std::map<int, std::string>& entries) {
        std::string sql = "INSERT INTO " + std::string(kRaceTable) +
                          " (bango, basho, track, kyori, tousuu, RyoOmo";
        for (int z = 1; z <= 18; ++z) sql += ", uma" + std::to_string(z);
        sql += ") VALUES (?1, ?2, '11', '1600', ?3, 1";
        for (int z = 1; z <= 18; ++z) sql += ", ?" + std::to_string(z + 3);
        auto st = tran.prepare(sql + ")");
        st.bind(1, bango).bind(2, basho).bind(3, tousuu);
        for (int z = 1; z <= 18; ++z) {
            const auto it = entries.find(z);
            st.bind(z + 3, it == entries.end() ? kBlankEntry : it->second);
        }
        st.run();
    }

    // Horse A ran three times; horse B never raced and has no aptitude.
    void addHorses(Database& tran) {
        auto st = tran.prepare("INSERT INTO " + std::string(kEntryTable) +
                               " (umacode, chocode, inf1, inf2, inf3, inf4, inf5, BabaShibaR, "
                               "BabaShibaL, BabaSougou, JotaiShibaRyo, JotaiShibaOmo, "
                               "KyoriShiba1600) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, "
                               "?11, ?12, ?13)");
        st.bind(1, "98100001").bind(2, "1111");
        st.bind(3, historyText({.course = "05",
                                .distance = "1600",
                                .track = "11",
                                .going = "1",
                                .runners = "12",
                                .corner3 = "03",
                                .abnormal = "0",
                                .time = "1345",
                                .weight = "570",
                                .jockey = "岡部　幸雄"}));
        st.bind(4, historyText({.course = "05",
                                .distance = "1600",
                                .track = "23",
                                .going = "4",
                                .runners = "16",
                                .corner3 = "05",
                                .abnormal = "0",
                                .time = "1384",
                                .weight = "550",
                                .jockey = "田中　太郎"}));
        st.bind(5, historyText({.course = "04",
                                .distance = "1600",
                                .track = "11",
                                .going = "3",
                                .runners = "14",
                                .corner3 = "07",
                                .abnormal = "0",
                                .time = "1364",
                                .weight = "540",
                                .jockey = "岡部　幸雄"}));
        st.bind(6, neverRunText()).bind(7, "");
        st.bind(8, 10).bind(9, 30).bind(10, 30).bind(11, 40).bind(12, 20).bind(13, 50);
        st.run();
        st.reset();
        st.bind(1, "98100002").bind(2, "8888");
        for (int k = 3; k <= 7; ++k) st.bind(k, "");
        for (int k = 8; k <= 13; ++k) st.bind(k, 0);
        st.run();
    }

    // Horse A in slot 5, horse B in slot 1, a horse without a row in slot 2.
    std::map<int, std::string> field() const {
        return {{1, entry("1", "98100002", "550", "9999", "8888")},
                {2, entry("1", "98100099", "550", "0123", "1111")},
                {5, entry("4", "98100001", "570", "0123", "1111")}};
    }

    static std::map<std::string, Value> row(Database& tran, const char* umacode) {
        auto st = tran.prepare("SELECT * FROM " + std::string(kEntryTable) + " WHERE umacode = ?1");
        st.bind(1, umacode);
        std::map<std::string, Value> out;
        if (!st.step()) return out;
        const auto& columns = tran.columns(kEntryTable);
        for (std::size_t i = 0; i < columns.size(); ++i) {
            out[columns[i].name] = st.value(static_cast<int>(i));
        }
        return out;
    }

    static std::vector<std::vector<Value>> snapshot(Database& tran) {
        std::vector<std::vector<Value>> rows;
        auto st = tran.prepare("SELECT * FROM " + std::string(kEntryTable) + " ORDER BY rowid");
        while (st.step()) {
            std::vector<Value> r;
            for (int i = 0; i < st.columnCount(); ++i) r.push_back(st.value(i));
            rows.push_back(std::move(r));
        }
        return rows;
    }

    TempFolder folder;
    AppPaths paths{folder.path()};
};

Value text(const char* s) {
    return std::string(s);
}
Value whole(std::int64_t v) {
    return v;
}
Value single(float v) {
    return double{v};
}

TEST_F(PredictRace, WritesTheEngineColumnsOfEachRunner) {
    Database mast(paths.mastPath());
    Database tran(paths.tranPath());
    addHorses(tran);
    addRace(tran, 3, "05", "10", field());
    RacePredictor predictor(mast, tran);
    ASSERT_TRUE(predictor.predictRace(kRaceTable, kEntryTable, 3));

    // Multipliers from the weights 0, 3, 1, 2, 0, 2, 3: direction 1.0, surface 1.6, distance
    // 1.2, going 1.4, growth 0, jockey 1.4, trainer 1.6.
    const std::map<std::string, Value> want = {
        {"RaceNo", whole(3)},
        {"WakuNo", whole(4)},
        {"WakuUmaNo", whole(5)},
        {"CodeKisi", text("0123")},
        {"NameKisi", text("岡部　幸")},
        {"touzaiKisi", text("東")},
        {"MinaraiKisi", text(" ")},
        {"KSougouRen", whole(32)},  // 32.5, half to even
        {"KCoseRen", whole(20)},    // k05ren 20.5
        {"NameChok", text("藤沢　和")},
        {"touzaiChok", text("西")},
        {"CSougouRen", whole(26)},  // 25.5
        {"CCoseRen", whole(10)},
        // Fields 12, 16, 14 and third-corner places 3, 5, 7: 10 × 15 / 42 = 3.57.
        {"Shisuu3kaku", whole(4)},
        {"Tokusei3kaku", text("先行")},
        {"TokuseiMigiHidari", text("左")},
        {"TokuseiShibaDert", text("芝")},
        {"TokuseiTenkou", text("良")},
        {"TokuseiKyori", text("S")},
        // (100 / 10 + 30) × 1.2³ = 69.12 on a left-handed turf mile.
        {"TokuseiShisuu", single(8.3f)},
        {"OmoTokuseiShisuu", single(6.9f)},
        // 東京 turf 1600 m in 94.5 s at 57 kg: 85.1, less 20.5 % × 0.25 and 10 % × 0.1 of it
        // (the past race takes the master's unrounded rate): 79.888.
        {"SpBase1", single(79.9f)},
        // 東京 dirt 1600 m in standard time at 55 kg by an unknown jockey: 80 − 0.8, going "4"
        // on dirt + 0.5.
        {"SpBase2", single(79.7f)},
        // 新潟 turf 1600 m, 1 s slow at 54 kg: 77, less 12 % × 0.25 of it, going "3" + 1.0.
        {"SpBase3", single(75.7f)},
        {"SpBase4", single(0)},
        {"SpBase5", single(0)},
        {"SpBase", single(78.4f)},    // (79.888 + 79.7 + 75.69) / 3 = 78.43
        {"SpSeichou", single(1.7f)},  // (79.8 / 78.433 − 1) × 100 from the stored figures
        // 78.4 + 1.7 % + 2 + 0.5 − 4 = 78.23
        {"Nouryoku1", single(78.2f)},
        {"OmoNouryoku1", single(78.2f)},
        // x = 75.73; × 1.083 + 2.5 = 84.52; × 1.069 + 2.5 = 83.46
        {"Nouryoku2", single(84.5f)},
        {"OmoNouryoku2", single(83.5f)},
        // Weighted aptitude: W = 40 × 1.0 × 1.6 × 1.2 = 76.8, good going 1.4 × 7.68 = 10.8,
        // heavy 7.7. x = 78.4 − 4 (no growth) + 1.3 × 10.8 % of 78.4 = 85.41; bias −1 for a
        // "先行" runner on the 東京 turf mile: × 0.98; connections × (1 + 0.07 + 0.016): 90.90.
        {"Nouryoku3", single(90.9f)},
        // x = 74.4 + 1.3 × 7.7 % of 78.4 = 82.25; × 0.99 × 1.086 = 88.43.
        {"OmoNouryoku3", single(88.4f)},
    };
    const auto a = row(tran, "98100001");
    for (const auto& [column, value] : want) EXPECT_EQ(a.at(column), value) << column;

    const std::map<std::string, Value> wantB = {
        {"RaceNo", whole(3)},         {"WakuNo", whole(1)},
        {"WakuUmaNo", whole(1)},      {"CodeKisi", text("9999")},
        {"NameKisi", text("9999")},   {"touzaiKisi", text(" ")},
        {"MinaraiKisi", text(" ")},   {"KSougouRen", whole(0)},
        {"KCoseRen", whole(0)},       {"NameChok", text("8888")},
        {"touzaiChok", text(" ")},    {"CSougouRen", whole(0)},
        {"CCoseRen", whole(0)},       {"Shisuu3kaku", whole(0)},
        {"Tokusei3kaku", text(" ")},  {"TokuseiMigiHidari", text(" ")},
        {"TokuseiKyori", text(" ")},  {"TokuseiShisuu", single(1.0f)},
        {"SpBase1", single(0)},       {"SpBase", single(70)},
        {"SpSeichou", single(0)},     {"Nouryoku1", single(70)},
        {"Nouryoku2", single(70.7f)}, {"Nouryoku3", single(70.9f)},
    };
    const auto b = row(tran, "98100002");
    for (const auto& [column, value] : wantB) EXPECT_EQ(b.at(column), value) << column;
}

TEST_F(PredictRace, AMissingRaceOrOneWithoutRunnersChangesNothing) {
    Database mast(paths.mastPath());
    Database tran(paths.tranPath());
    addHorses(tran);
    for (int bango = 1; bango <= 6; ++bango) {
        addRace(tran, bango, "05", bango == 4 ? "00" : "10",
                bango == 4 ? field() : std::map<int, std::string>{});
    }
    const auto before = snapshot(tran);
    RacePredictor predictor(mast, tran);
    EXPECT_FALSE(predictor.predictRace(kRaceTable, kEntryTable, 7));
    EXPECT_FALSE(predictor.predictRace(kRaceTable, kEntryTable, 4));
    EXPECT_EQ(snapshot(tran), before);
    // A race without one of its horses in the table is computed, writing nothing.
    EXPECT_TRUE(predictor.predictRace(kRaceTable, kEntryTable, 1));
    EXPECT_EQ(snapshot(tran), before);
}

TEST_F(PredictRace, ACourseOutsideTheTenKeepsTheCourseRatesOfKnownConnections) {
    Database mast(paths.mastPath());
    Database tran(paths.tranPath());
    addHorses(tran);
    tran.exec("UPDATE " + std::string(kEntryTable) + " SET KCoseRen = 7, CCoseRen = 3");
    addRace(tran, 3, "00", "10", field());
    RacePredictor predictor(mast, tran);
    ASSERT_TRUE(predictor.predictRace(kRaceTable, kEntryTable, 3));
    const auto a = row(tran, "98100001");
    EXPECT_EQ(a.at("KCoseRen"), whole(7));
    EXPECT_EQ(a.at("CCoseRen"), whole(3));
    // The ability values read them as they stand: 78.4 + 1.7 % + 0.7 + 0.15 − 4 = 76.58.
    EXPECT_EQ(a.at("Nouryoku1"), single(76.6f));
    // Unknown connections still get 0.
    const auto b = row(tran, "98100002");
    EXPECT_EQ(b.at("KCoseRen"), whole(0));
    EXPECT_EQ(b.at("CCoseRen"), whole(0));
}

TEST(PredictRaceOnItsOwn, CreatesTheMissingMastersAndCommitsTheRace) {
    TempFolder folder;
    const AppPaths paths(folder.path());
    {
        Database tran(paths.tranPath());
        createEntryTable(tran, kEntryTable);
        createRaceTable(tran, kRaceTable);
        tran.exec("INSERT INTO " + std::string(kEntryTable) +
                  " (umacode, chocode) VALUES ('98100001', '1111')");
        auto st = tran.prepare("INSERT INTO " + std::string(kRaceTable) +
                               " (bango, basho, track, kyori, tousuu, uma1) VALUES "
                               "(1, '06', '17', '2000', '16', ?1)");
        st.bind(1, entry("1", "98100001", "550", "0123", "1111")).run();
    }
    {
        Database mast(paths.mastPath());
        Database tran(paths.tranPath());
        RacePredictor predictor(mast, tran);
        Transaction tx(tran);
        EXPECT_TRUE(predictor.predictRace(kRaceTable, kEntryTable, 1));
        tx.commit();
    }

    Database mast(paths.mastPath());
    EXPECT_TRUE(mast.hasTable(kJockeyTable));
    EXPECT_TRUE(mast.hasTable(kTrainerTable));
    const auto constants = readConstants(mast);
    ASSERT_TRUE(constants.has_value());  // with its default row

    Database tran(paths.tranPath());
    auto st = tran.prepare("SELECT NameKisi, NameChok, WakuUmaNo, SpBase, TokuseiShisuu FROM " +
                           std::string(kEntryTable));
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.text(0), "0123");
    EXPECT_EQ(st.text(1), "1111");
    EXPECT_EQ(st.int64(2), 1);
    EXPECT_EQ(st.real(3), 70);
    EXPECT_EQ(st.real(4), double{0.6f});  // 100 / 16 / 10
}

}  // namespace
