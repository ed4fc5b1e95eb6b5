#include "core/views/race_card.hpp"

#include "core/records/format.hpp"
#include "core/records/numeric.hpp"
#include "core/records/runner_entry.hpp"
#include "core/records/utf8.hpp"
#include "core/shell/codes.hpp"
#include "core/store/store.hpp"
#include "core/tables/race_tables.hpp"
#include "core/views/meeting_entries.hpp"
#include "core/views/view_text.hpp"

namespace zelvanor {

namespace {

constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";
constexpr std::string_view kIndexPattern = "##0.0";

// What the card reads of a runner's entries row, in this order.
enum EntryColumn {
    kBamei,
    kKeto1,
    kKeto2,
    kSeinen,
    kInf1,
    kShuutoku1,
    kNameKisi,
    kCodeKisi,
    kKSougouRen,
    kKCoseRen,
    kMinaraiKisi,
    kNameChok,
    kChocode,
    kCSougouRen,
    kCCoseRen,
    kTouzaiChok,
    kTokusei3kaku,
    kShisuu3kaku,
    kSpSeichou,
    kSpBase1,
    // The columns of the race's going follow: TokuseiShisuu, then Nouryoku1 … Nouryoku3 (or
    // their Omo… counterparts).
    kTokuseiShisuu = kSpBase1 + 5,
    kNouryoku1,
    kNouryoku2,
    kNouryoku3,
};

std::string entrySelect(const Meeting& meeting, bool good) {
    std::string sql =
        "SELECT bamei, keto1, keto2, seinen, inf1, shuutoku1, NameKisi, CodeKisi, KSougouRen, "
        "KCoseRen, MinaraiKisi, NameChok, chocode, CSougouRen, CCoseRen, touzaiChok, "
        "Tokusei3kaku, Shisuu3kaku, SpSeichou, SpBase1, SpBase2, SpBase3, SpBase4, SpBase5, ";
    sql += good ? "TokuseiShisuu, Nouryoku1, Nouryoku2, Nouryoku3"
                : "OmoTokuseiShisuu, OmoNouryoku1, OmoNouryoku2, OmoNouryoku3";
    return sql + " FROM " + quoteIdentifier(meeting.entriesTable) + " WHERE umacode = ?1";
}

std::string personTip(const std::string& code, const std::string& overall,
                      const std::string& course) {
    return " 登録番号 ： " + code + "  総合連帯率 ： " + overall + "%   場所連帯率 ： " + course +
           "% ";
}

// The cells that come from the runner's entries row; the persona's value of the race's going
// goes into `ability`.
void fillFromEntriesRow(RunnerLine& line, const Statement& st, const RaceRow& race, bool good,
                        AbilityValues& ability, std::int16_t& corner) {
    line.hasEntry = true;
    line.name = " " + firstCharacters(st.textView(kBamei), 10);
    line.nameTip = line.umacode + "  父馬名 : " + firstCharacters(st.textView(kKeto1), 10) +
                   " 母馬名 : " + firstCharacters(st.textView(kKeto2), 10);

    // Two-digit years: an age is a difference, taken modulo 100 (a horse is never 100 years old).
    const std::string_view seinen = st.textView(kSeinen);
    const std::int64_t raceYear = numericValue(race.year);
    std::int16_t age = 0;
    if (!trimRight(charactersAt(seinen, 1, 2)).empty()) {
        const std::int64_t born = numericValue(charactersAt(seinen, 1, 2));
        age = static_cast<std::int16_t>(((raceYear - born) % 100 + 100) % 100 + 1);
        line.age = " " + std::to_string(age);
    }

    line.jockey = firstCharacters(st.textView(kNameKisi), 10);
    line.jockeyTip =
        personTip(st.text(kCodeKisi), wholeText(st, kKSougouRen), wholeText(st, kKCoseRen));
    line.apprentice = firstCharacters(st.textView(kMinaraiKisi), 10);
    line.trainer = firstCharacters(st.textView(kNameChok), 10);
    line.trainerTip =
        personTip(st.text(kChocode), wholeText(st, kCSougouRen), wholeText(st, kCCoseRen));
    line.trainerPlace = firstCharacters(st.textView(kTouzaiChok), 10);

    const std::string inf1 = st.text(kInf1);
    line.classChange =
        classChangeLabel(charactersAt(inf1, 15, 3), age, st.textView(kShuutoku1),
                         {race.jouken41, race.jouken42, race.jouken43, race.jouken44});
    const std::string previousDate =
        std::string(charactersAt(inf1, 3, 2)) + std::string(charactersAt(inf1, 11, 4));
    line.rotation =
        rotationLabel(static_cast<int>(raceYear), static_cast<int>(numericValue(race.month)),
                      static_cast<int>(numericValue(race.day)), previousDate);

    line.style = st.text(kTokusei3kaku);
    corner = static_cast<std::int16_t>(st.int64(kShisuu3kaku));
    line.corner = wholeText(st, kShisuu3kaku);

    line.indexTip = " 特性指数： " + singleText(st.real(kTokuseiShisuu)) + "  成長率： " +
                    singleText(st.real(kSpSeichou)) + "  ５走： ";
    for (int k = 0; k < 5; ++k) line.indexTip += singleText(st.real(kSpBase1 + k)) + " ";

    const auto single = [&](int column) { return static_cast<float>(st.real(column)); };
    if (good) {
        ability.nouryoku1 = single(kNouryoku1);
        ability.nouryoku2 = single(kNouryoku2);
        ability.nouryoku3 = single(kNouryoku3);
    } else {
        ability.omoNouryoku1 = single(kNouryoku1);
        ability.omoNouryoku2 = single(kNouryoku2);
        ability.omoNouryoku3 = single(kNouryoku3);
    }
    // The grid shows exactly the values the personas rank by.
    line.index = formatNumber(displayedPersonaValue(Persona::Suirei, ability, good), kIndexPattern);
    line.sIndex =
        formatNumber(displayedPersonaValue(Persona::Hekika, ability, good), kIndexPattern);
    line.anaIndex =
        formatNumber(displayedPersonaValue(Persona::User, ability, good), kIndexPattern);
}

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
    if (!r.hondai.starts_with(kIdeographicSpace)) {
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
                           meetingRacesClause());
    while (st.step()) races.push_back(static_cast<int>(st.int64(0)));
    return races;
}

MeetingRaces meetingRaces(Database& tran, const Meeting& meeting) {
    MeetingRaces races;
    if (!tran.hasTable(meeting.raceTable)) return races;
    RaceRows rows(tran, meeting.raceTable, kRacePart);
    for (RaceRow r; rows.next(r);) {
        if (races.tabs.empty()) races.dayLine = dayLine(r);
        races.tabs.push_back({r.bango, " " + std::to_string(r.bango) + "R", raceTitle(r, true)});
    }
    return races;
}

std::vector<SameDayCourse> sameDayCourses(Database& tran, const Meeting& meeting) {
    std::vector<SameDayCourse> courses;
    for (int course = 1; course <= 10; ++course) {
        const std::string code = (course < 10 ? "0" : "") + std::to_string(course);
        // Looked up by name, not by listing the tables: the list grows with every season stored.
        const std::string table = "D" + code + meeting.date;
        if (!tran.hasTable(table)) continue;
        courses.push_back({meetingOf(table), bashoLabel(code)});
    }
    return courses;
}

std::optional<RaceCard> readRaceCard(Database& tran, const Meeting& meeting, int raceNumber,
                                     std::string_view userName) {
    if (!tran.hasTable(meeting.raceTable) || !tran.hasTable(meeting.entriesTable)) {
        return std::nullopt;
    }
    RaceCard card;
    if (!RaceRows(tran, meeting.raceTable, kWholeRace).find(raceNumber, card.race)) {
        return std::nullopt;
    }
    card.meeting = meeting;
    const RaceRow& r = card.race;
    card.placed = r.results.placed;
    card.bracketPair = r.results.bracketPair;
    card.quinellaPair = r.results.quinellaPair;
    card.payouts = r.results.payouts;

    const bool good = r.ryoOmo == 1;
    card.goodGoing = good;
    card.going = good ? "良" : "重";
    card.runnerCount =
        static_cast<int>(std::min<std::int64_t>(numericValue(r.tousuu), kRaceCardLines));
    card.title = raceTitle(r, false);
    card.fullTitle = raceTitle(r, true);
    card.postTime = postTime(r);
    card.distanceAndTrack = distanceAndTrack(r);

    auto entries = tran.prepare(entrySelect(meeting, good));
    std::vector<PersonaRunner> field;
    for (int k = 0; k < kRaceCardLines; ++k) {
        const RunnerEntry entry = readRunnerEntry(r.entries[static_cast<std::size_t>(k)]);
        RunnerLine& line = card.lines[static_cast<std::size_t>(k)];
        line.number = k + 1;
        line.shown = entry.isRunner();
        PersonaRunner runner;
        runner.horseNumber = static_cast<std::int16_t>(k + 1);
        runner.bracketNumber = static_cast<std::int16_t>(entry.bracketNumber);
        if (line.shown) {
            line.bracket = std::string(entry.bracket);
            if (entry.bracket.size() == 1 && entry.bracket >= "1" && entry.bracket <= "8") {
                line.bracketColour = static_cast<int>(entry.bracketNumber);
            }
            line.sex = seibetsuLabel(entry.sexCode);
            line.weight = formatNumber(static_cast<double>(entry.weight) / 10.0, "#0.0");
        }
        if (entry.hasHorse) {
            line.umacode = std::string(entry.umacode);
            StatementReset reset(entries);
            entries.bind(1, line.umacode);
            if (entries.step()) {
                fillFromEntriesRow(line, entries, r, good, runner.ability, runner.shisuu3kaku);
            }
        }
        if (k < card.runnerCount) field.push_back(runner);
    }

    card.forecast = forecastRace(field, good, userName);
    for (std::size_t p = 0; p < card.forecast.personas.size(); ++p) {
        const auto& marks = card.forecast.personas[p].marks;
        for (std::size_t k = 0; k < marks.size(); ++k) card.lines[k].marks[p] = marks[k];
    }
    return card;
}

bool storeRaceGoing(Database& tran, const Meeting& meeting, int raceNumber, bool good) {
    if (!tran.hasTable(meeting.raceTable)) return false;
    Transaction tx(tran);
    auto st = tran.prepare("UPDATE " + quoteIdentifier(meeting.raceTable) +
                           " SET RyoOmo = ?1 WHERE bango = ?2");
    st.bind(1, std::int64_t{good ? 1 : 2});
    st.bind(2, std::int64_t{raceNumber});
    st.run();
    const bool found = tran.changes() > 0;
    tx.commit();
    return found;
}

}  // namespace zelvanor
