#include "core/views/race_card.hpp"

#include "core/records/cp932.hpp"
#include "core/records/format.hpp"
#include "core/records/numeric.hpp"
#include "core/records/utf8.hpp"
#include "core/shell/codes.hpp"
#include "core/store/store.hpp"
#include "core/views/race_forecast_store.hpp"

namespace zelvanor {

namespace {

std::string trimRight(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    while (s.size() >= 3 && s.compare(s.size() - 3, 3, "\xE3\x80\x80") == 0) s.resize(s.size() - 3);
    return s;
}

std::string formatValue(const Statement& st, int column, const char* pattern) {
    return formatNumber(st.isNull(column) ? 0.0 : st.real(column), pattern);
}

constexpr const char* kRaceColumns =
    "basho, year, kaiji, hiji, month, day, youbi, htime, hondai, jouken1, jouken3, jouken41, "
    "jouken42, jouken43, jouken44, kyori, track, grade, tousuu, bango, RyoOmo, Kekka1No, "
    "Kekka2No, Kekka3No, KekkaWakNo, KekkaUmaNo, Kekka1TanAm, Kekka1FukAm, Kekka2FukAm, "
    "Kekka3FukAm, KekkaWakAm, KekkaUmaAm";

}  // namespace

std::string dayLine(const RaceRow& r) {
    return r.kaiji + " 回 " + r.hiji + " 日目   " + r.year + " 年 " +
           formatNumber(static_cast<double>(numericValue(r.month)), "##") + " 月 " +
           formatNumber(static_cast<double>(numericValue(r.day)), "##") + " 日 " +
           youbiLabel(r.youbi);
}

std::string raceTitle(const RaceRow& r, bool fullName) {
    std::string title =
        " " + std::string(r.bango < 10 ? "  " : " ") + std::to_string(r.bango) + "Ｒ  ";
    if (r.hondai.rfind("\xE3\x80\x80", 0) != 0) {
        title +=
            (fullName ? r.hondai : std::string(charactersAt(r.hondai, 1, 17))) + "\r\n　　　　　";
    }
    title += shubetsuLabel(r.jouken1);
    std::string classText;
    for (const std::string* code : {&r.jouken41, &r.jouken42, &r.jouken43, &r.jouken44}) {
        const auto value = numericValue(*code);
        if (value == 0) continue;
        classText = value > 100 ? joukenLabel(*code) : " " + std::to_string(value * 100) + "万下";
        break;
    }
    title += "・" + classText;
    if (r.grade == "A") title += "  ＧⅠ";
    if (r.grade == "B") title += "  ＧⅡ";
    if (r.grade == "C") title += "  ＧⅢ";
    return title + futanLabel(r.jouken3);
}

std::string postTime(const RaceRow& r) {
    return formatNumber(static_cast<double>(numericValue(r.htime)), "##:##");
}

std::string distanceAndTrack(const RaceRow& r) {
    return formatNumber(static_cast<double>(numericValue(r.kyori)), "####") + "m" +
           trackLabel(r.track);
}

std::vector<int> storedRaces(Database& tran, const Meeting& meeting) {
    std::vector<int> races;
    if (!tran.hasTable(meeting.raceTable)) return races;
    auto st = tran.prepare("SELECT bango FROM " + quoteIdentifier(meeting.raceTable) +
                           " WHERE bango BETWEEN 1 AND 12 ORDER BY bango");
    while (st.step()) races.push_back(static_cast<int>(st.int64(0)));
    return races;
}

std::optional<RaceCard> readRaceCard(Database& tran, const Meeting& meeting, int raceNumber,
                                     std::string_view userName) {
    if (!tran.hasTable(meeting.raceTable) || !tran.hasTable(meeting.entriesTable)) {
        return std::nullopt;
    }
    auto race = tran.prepare(std::string("SELECT ") + kRaceColumns + ", " +
                             [] {
                                 std::string u;
                                 for (int k = 1; k <= 18; ++k) {
                                     u += (k > 1 ? ", uma" : "uma") + std::to_string(k);
                                 }
                                 return u;
                             }() +
                             " FROM " + quoteIdentifier(meeting.raceTable) + " WHERE bango = ?1");
    race.bind(1, std::int64_t{raceNumber});
    if (!race.step()) return std::nullopt;

    RaceCard card;
    card.meeting = meeting;
    RaceRow& r = card.race;
    std::string* texts[] = {&r.basho,   &r.year,     &r.kaiji,    &r.hiji,     &r.month,
                            &r.day,     &r.youbi,    &r.htime,    &r.hondai,   &r.jouken1,
                            &r.jouken3, &r.jouken41, &r.jouken42, &r.jouken43, &r.jouken44,
                            &r.kyori,   &r.track,    &r.grade,    &r.tousuu};
    int c = 0;
    for (std::string* t : texts) *t = race.text(c++);
    r.bango = static_cast<int>(race.int64(c++));
    r.ryoOmo = static_cast<int>(race.int64(c++));
    card.goodGoing = r.ryoOmo == 1;
    for (auto& p : card.placed) p = static_cast<int>(race.int64(c++));
    card.bracketPair = race.text(c++);
    card.quinellaPair = race.text(c++);
    for (auto& p : card.payouts) p = race.int64(c++);
    std::vector<std::string> entries;
    for (int k = 0; k < 18; ++k) entries.push_back(race.text(c++));

    const auto stored = readForecastRace(tran, meeting.raceTable, meeting.entriesTable, raceNumber);
    if (stored) card.forecast = forecastRace(stored->runners, card.goodGoing, userName);

    const bool good = card.goodGoing;
    auto entry = tran.prepare(
        std::string("SELECT bamei, seibetsu, seinen, NameKisi, NameChok, MinaraiKisi, "
                    "Tokusei3kaku, Shisuu3kaku, ") +
        (good ? "Nouryoku2, Nouryoku1, Nouryoku3" : "OmoNouryoku2, OmoNouryoku1, OmoNouryoku3") +
        " FROM " + quoteIdentifier(meeting.entriesTable) + " WHERE umacode = ?1");
    const int runners = std::min<int>(static_cast<int>(numericValue(r.tousuu)), 18);
    const auto raceYear = numericValue(r.year);
    for (int i = 0; i < runners; ++i) {
        const std::string& e = entries[static_cast<std::size_t>(i)];
        RunnerLine line;
        line.number = i + 1;
        line.bracket = static_cast<int>(numericValue(e.substr(0, 1)));
        line.umacode = e.substr(1, 8);
        line.sex = seibetsuLabel(e.size() > 9 ? e.substr(9, 1) : "");
        line.weight = formatNumber(
            static_cast<double>(numericValue(e.size() > 11 ? e.substr(11, 3) : "")) / 10.0, "#0.0");
        entry.bind(1, line.umacode);
        if (entry.step()) {
            line.hasEntry = true;
            line.name = trimRight(std::string(charactersAt(entry.text(0), 1, 10)));
            line.sex = seibetsuLabel(entry.text(1));
            // Ages cross the turn of the century: two-digit years are taken modulo 100.
            line.age = static_cast<int>(
                (raceYear - numericValue(entry.text(2).substr(0, 2)) + 100) % 100 + 1);
            line.jockey = trimRight(std::string(charactersAt(entry.text(3), 1, 10)));
            line.trainer = trimRight(std::string(charactersAt(entry.text(4), 1, 10)));
            line.apprentice = entry.text(5);
            line.style = entry.text(6);
            line.shisuu3kaku = static_cast<int>(entry.int64(7));
            line.index = formatValue(entry, 8, "##0.0");
            line.sIndex = formatValue(entry, 9, "##0.0");
            line.anaIndex = formatValue(entry, 10, "##0.0");
        }
        entry.reset();
        if (stored) {
            for (std::size_t p = 0; p < card.forecast.personas.size(); ++p) {
                const auto& marks = card.forecast.personas[p].marks;
                if (static_cast<std::size_t>(i) < marks.size())
                    line.marks[p] = marks[static_cast<std::size_t>(i)];
            }
        }
        card.runners.push_back(std::move(line));
    }
    return card;
}

}  // namespace zelvanor
