#include "core/views/race_card.hpp"

#include "core/records/format.hpp"
#include "core/records/numeric.hpp"
#include "core/records/runner_entry.hpp"
#include "core/records/utf8.hpp"
#include "core/shell/codes.hpp"
#include "core/store/store.hpp"
#include "core/tables/entry_row.hpp"
#include "core/tables/race_tables.hpp"
#include "core/views/meeting_entries.hpp"
#include "core/views/view_text.hpp"

namespace zelvanor {

namespace {

constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";
constexpr std::string_view kIndexPattern = "##0.0";

std::string personTip(const std::string& code, const std::string& overall,
                      const std::string& course) {
    return " 登録番号 ： " + code + "  総合連帯率 ： " + overall + "%   場所連帯率 ： " + course +
           "% ";
}

// The cells that come from the runner's entries row; the persona's value of the race's going
// goes into `ability`.
void fillFromEntriesRow(RunnerLine& line, const EntryRow& row, const RaceRow& race, bool good,
                        AbilityValues& ability, std::int16_t& corner) {
    line.hasEntry = true;
    line.name = " " + firstCharacters(row.bamei, 10);
    line.nameTip = line.umacode + "  父馬名 : " + firstCharacters(row.keto1, 10) +
                   " 母馬名 : " + firstCharacters(row.keto2, 10);

    // Two-digit years: an age is a difference, taken modulo 100 (a horse is never 100 years old).
    const std::int64_t raceYear = numericValue(race.year);
    std::int16_t age = 0;
    if (!trimRight(charactersAt(row.seinen, 1, 2)).empty()) {
        const std::int64_t born = numericValue(charactersAt(row.seinen, 1, 2));
        age = static_cast<std::int16_t>(((raceYear - born) % 100 + 100) % 100 + 1);
        line.age = " " + std::to_string(age);
    }

    line.jockey = firstCharacters(row.nameKisi, 10);
    line.jockeyTip = personTip(row.codeKisi, wholeText(row.kSougouRen), wholeText(row.kCoseRen));
    line.apprentice = firstCharacters(row.minaraiKisi, 10);
    line.trainer = firstCharacters(row.nameChok, 10);
    line.trainerTip = personTip(row.chocode, wholeText(row.cSougouRen), wholeText(row.cCoseRen));
    line.trainerPlace = firstCharacters(row.touzaiChok, 10);

    const std::string& inf1 = row.histories[0];
    line.classChange =
        classChangeLabel(charactersAt(inf1, 15, 3), age, row.shuutoku1,
                         {race.jouken41, race.jouken42, race.jouken43, race.jouken44});
    const std::string previousDate =
        std::string(charactersAt(inf1, 3, 2)) + std::string(charactersAt(inf1, 11, 4));
    line.rotation =
        rotationLabel(static_cast<int>(raceYear), static_cast<int>(numericValue(race.month)),
                      static_cast<int>(numericValue(race.day)), previousDate);

    line.style = row.tokusei3kaku;
    corner = static_cast<std::int16_t>(row.shisuu3kaku.value_or(0));
    line.corner = wholeText(row.shisuu3kaku);

    line.indexTip = " 特性指数： " + singleText(good ? row.tokuseiShisuu : row.omoTokuseiShisuu) +
                    "  成長率： " + singleText(row.spSeichou) + "  ５走： ";
    for (const double base : row.spBase) line.indexTip += singleText(base) + " ";

    // Single columns: the values as stored.
    const auto single = [](double v) { return static_cast<float>(v); };
    if (good) {
        ability.nouryoku1 = single(row.nouryoku1);
        ability.nouryoku2 = single(row.nouryoku2);
        ability.nouryoku3 = single(row.nouryoku3);
    } else {
        ability.omoNouryoku1 = single(row.omoNouryoku1);
        ability.omoNouryoku2 = single(row.omoNouryoku2);
        ability.omoNouryoku3 = single(row.omoNouryoku3);
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

    EntryRows entries(tran, meeting.entriesTable,
                      kEntryHorsePart | kEntryHistoryPart | kEntryPeoplePart | kEntryIndexPart |
                          kEntryAbilityPart);
    EntryRow row;
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
            if (entries.find(line.umacode, row)) {
                fillFromEntriesRow(line, row, r, good, runner.ability, runner.shisuu3kaku);
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
