#include "core/tables/race_tables.hpp"

#include <string>
#include <vector>


namespace zelvanor {

namespace {

using T = ColumnType;

std::vector<ColumnDef> makeRaceColumns() {
    std::vector<ColumnDef> c = {
        {"basho", T::Text, 2},    {"year", T::Text, 2},    {"kaiji", T::Text, 1},
        {"hiji", T::Text, 1},     {"bango", T::Integer},   {"month", T::Text, 2},
        {"day", T::Text, 2},      {"youbi", T::Text, 1},   {"htime", T::Text, 4},
        {"hondai", T::Text, 120}, {"nkai", T::Text, 3},    {"jouken1", T::Text, 2},
        {"jouken2", T::Text, 3},  {"jouken3", T::Text, 1},
    };
    for (int i = 1; i <= 4; ++i) c.push_back({"jouken4" + std::to_string(i), T::Text, 3});
    c.push_back({"kyori", T::Text, 4});
    c.push_back({"track", T::Text, 2});
    c.push_back({"grade", T::Text, 1});
    c.push_back({"tousuu", T::Text, 2});
    for (int i = 1; i <= 5; ++i) c.push_back({"honshou" + std::to_string(i), T::Text, 7});
    for (int i = 1; i <= 3; ++i) c.push_back({"fukashou" + std::to_string(i), T::Text, 6});
    c.push_back({"kyousouy", T::Text, 1});
    c.push_back({"recYear", T::Text, 2});
    c.push_back({"recKaiji", T::Text, 1});
    c.push_back({"recHiji", T::Text, 1});
    c.push_back({"recBango", T::Text, 2});
    c.push_back({"recKubun", T::Text, 1});
    for (int i = 1; i <= kPlacesPerRace; ++i) c.push_back({"uma" + std::to_string(i), T::Text, 23});
    c.push_back({"RyoOmo", T::Integer});
    for (int i = 1; i <= 3; ++i) c.push_back({"Kekka" + std::to_string(i) + "No", T::Integer});
    c.push_back({"KekkaWakNo", T::Text, 7});
    c.push_back({"KekkaUmaNo", T::Text, 7});
    c.push_back({"Kekka1TanAm", T::Long});
    for (int i = 1; i <= 3; ++i) c.push_back({"Kekka" + std::to_string(i) + "FukAm", T::Long});
    c.push_back({"KekkaWakAm", T::Long});
    c.push_back({"KekkaUmaAm", T::Long});
    return c;
}

std::vector<ColumnDef> makeHorseColumns() {
    std::vector<ColumnDef> c = {
        {"umacode", T::Text, 8},     {"delflg", T::Text, 1},       {"bamei", T::Text, 72},
        {"chocode", T::Text, 4},     {"seisan", T::Text, 80},      {"umanushi", T::Text, 80},
        {"hinshu", T::Text, 1},      {"seibetsu", T::Text, 1},     {"moushoku", T::Text, 2},
        {"seinen", T::Text, 6},      {"sanchi", T::Text, 48},      {"umakigou", T::Text, 2},
        {"shoutaiCode", T::Text, 1}, {"shoutaiName", T::Text, 48},
    };
    for (int i = 1; i <= 4; ++i) c.push_back({"keto" + std::to_string(i), T::Text, 72});
    c.push_back({"honshou", T::Text, 7});
    c.push_back({"fukashou", T::Text, 6});
    c.push_back({"shuutoku1", T::Text, 7});
    c.push_back({"shuutoku2", T::Text, 7});
    for (int i = 1; i <= 4; ++i) c.push_back({"seiseki" + std::to_string(i), T::Text, 69});
    for (int i = 1; i <= 5; ++i) c.push_back({"inf" + std::to_string(i), T::Text, 136});
    c.push_back({"mkdate", T::Text, 6});
    c.push_back({"inf501", T::Text, 250});
    c.push_back({"inf502", T::Text, 250});
    for (const char* n : {"RaceNo", "WakuNo", "WakuUmaNo"}) c.push_back({n, T::Integer});
    c.push_back({"CodeKisi", T::Text, 4});
    c.push_back({"NameKisi", T::Text, 8});
    c.push_back({"touzaiKisi", T::Text, 2});
    c.push_back({"MinaraiKisi", T::Text, 1});
    c.push_back({"KSougouRen", T::Integer});
    c.push_back({"KCoseRen", T::Integer});
    c.push_back({"NameChok", T::Text, 8});
    c.push_back({"touzaiChok", T::Text, 2});
    c.push_back({"CSougouRen", T::Integer});
    c.push_back({"CCoseRen", T::Integer});
    for (const char* n :
         {"BabaShibaR", "BabaShibaL", "BabaDertR", "BabaDertL", "BabaSougou", "BabaShogai",
          "JotaiShibaRyo", "JotaiShibaOmo", "JotaiDertRyo", "JotaiDertOmo", "JotaiShogaiRyo",
          "JotaiShogaiOmo", "KyoriShiba1600", "KyoriShiba2200", "KyoriShiba2201", "KyoriDert1600",
          "KyoriDert2200", "KyoriDert2201", "Shisuu3kaku"}) {
        c.push_back({n, T::Integer});
    }
    c.push_back({"Tokusei3kaku", T::Text, 4});
    for (const char* n :
         {"TokuseiMigiHidari", "TokuseiShibaDert", "TokuseiTenkou", "TokuseiKyori"}) {
        c.push_back({n, T::Text, 2});
    }
    for (const char* n : {"TokuseiShisuu", "OmoTokuseiShisuu", "SpBase1", "SpBase2", "SpBase3",
                          "SpBase4", "SpBase5", "SpBase", "SpSeichou", "Nouryoku1", "Nouryoku2",
                          "Nouryoku3", "OmoNouryoku1", "OmoNouryoku2", "OmoNouryoku3"}) {
        c.push_back({n, T::Single});
    }
    c.push_back({"Chakujun", T::Integer});
    c.push_back({"Ninki", T::Integer});
    c.push_back({"IjouKubun", T::Text, 1});
    return c;
}

bool isTwoDigits(std::string_view s) {
    return s.size() == 2 && s[0] >= '0' && s[0] <= '9' && s[1] >= '0' && s[1] <= '9';
}

void createWithIndex(Database& db, std::string_view name, std::span<const ColumnDef> cols,
                     std::string_view index, std::string_view column) {
    const IndexSpec indexes[] = {{index, column, true}};
    db.createTable(name, cols, indexes);
}

}  // namespace

std::span<const ColumnDef> raceTableColumns() {
    static const std::vector<ColumnDef> cols = makeRaceColumns();
    return cols;
}

std::span<const ColumnDef> horseTableColumns() {
    static const std::vector<ColumnDef> cols = makeHorseColumns();
    return cols;
}

MeetingTables meetingTables(std::string_view course, std::string_view yy, std::string_view mm,
                            std::string_view dd) {
    if (!isTwoDigits(course) || !isTwoDigits(yy) || !isTwoDigits(mm) || !isTwoDigits(dd)) {
        throw StoreError("開催を表す欄が数字２桁ではありません: 場 \"" + std::string(course) +
                         "\" 年 \"" + std::string(yy) + "\" 月 \"" + std::string(mm) + "\" 日 \"" +
                         std::string(dd) + "\"");
    }
    std::string tail = std::string(course) + std::string(yy) + std::string(mm) + std::string(dd);
    return {"D" + tail, "U" + tail};
}

std::string meetingRacesClause() {
    return " WHERE bango BETWEEN 1 AND " + std::to_string(kRacesPerMeeting) + " ORDER BY bango";
}

bool isRaceTableName(std::string_view name) {
    if (name.size() != 9 || name[0] != 'D') return false;
    for (std::size_t i = 1; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return false;
    }
    return true;
}

void createRaceTable(Database& tran, std::string_view name) {
    createWithIndex(tran, name, raceTableColumns(), "bango", "bango");
}

void createEntryTable(Database& tran, std::string_view name) {
    createWithIndex(tran, name, horseTableColumns(), "Umacode", "umacode");
}

void createHorseTable(Database& mast) {
    createWithIndex(mast, kHorseTable, horseTableColumns(), "Umacode", "umacode");
}

}  // namespace zelvanor
