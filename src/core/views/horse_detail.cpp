#include "core/views/horse_detail.hpp"

#include "core/records/format.hpp"
#include "core/records/numeric.hpp"
#include "core/records/runner_entry.hpp"
#include "core/records/utf8.hpp"
#include "core/shell/codes.hpp"
#include "core/store/store.hpp"
#include "core/tables/constants_table.hpp"
#include "core/tables/entry_row.hpp"
#include "core/tables/race_row.hpp"
#include "core/tables/racing.hpp"
#include "core/views/meeting_entries.hpp"
#include "core/views/view_text.hpp"

namespace zelvanor {

namespace {

std::string number(double value, std::string_view pattern) {
    return formatNumber(value, pattern);
}

// The value of characters first … first + count − 1 of a history entry.
double valueAt(std::string_view inf, std::size_t first, std::size_t count) {
    return static_cast<double>(numericValue(charactersAt(inf, first, count)));
}

std::string textAt(std::string_view inf, std::size_t first, std::size_t count) {
    return std::string(charactersAt(inf, first, count));
}

constexpr std::array<std::string_view, kPastRacePanels> kPanelCaptions = {
    "前走（", "前々走（", "３走前（", "４走前（", "５走前（"};

// Money in the record's units of a thousand yen, shown in units of ten thousand.
std::string money(std::string_view stored) {
    return number(static_cast<double>(numericValue(stored)) / 10.0, "##,##0") + "万";
}

}  // namespace

std::string wetTrackGrade(std::int64_t turfHeavy, std::int64_t dirtHeavy) {
    if (turfHeavy >= 50 || dirtHeavy >= 50) return "雨適正：◎";
    if (turfHeavy >= 20 || dirtHeavy >= 20) return "雨適正：○";
    return "雨適正：";
}

PastRacePanel pastRacePanel(int k, std::string_view inf, double speedFigure) {
    PastRacePanel panel;
    panel.caption = std::string(kPanelCaptions.at(static_cast<std::size_t>(k - 1))) +
                    singleText(speedFigure) + "）";
    if (valueAt(inf, 11, 2) == 0) return panel;
    panel.hasRace = true;

    const std::string grade = textAt(inf, 27, 1);
    panel.lines[0] =
        textAt(inf, 5, 1) + "回 " + bashoLabel(charactersAt(inf, 1, 2)) + " " + textAt(inf, 11, 2) +
        "/" + textAt(inf, 13, 2) + " " +
        (grade == "A" || grade == "B" || grade == "C" ? gradeLabel(grade)
                                                      : classLabel(charactersAt(inf, 15, 3)));

    const std::string raceName = textAt(inf, 24, 3);
    const std::string abnormal = textAt(inf, 59, 1);
    const std::string margin = textAt(inf, 50, 4);
    panel.lines[1] = abnormal != "0" ? raceName + "  " + ijouLabel(abnormal) + "  " + margin
                                     : raceName + "  " + textAt(inf, 57, 2) + "着 " +
                                           textAt(inf, 60, 4) + " " + margin;
    const std::string going = textAt(inf, 29, 1);
    if (going == "1") panel.goingColour = "#0000FF";
    if (going == "2") panel.goingColour = "#FFFFFF";
    if (going == "3") panel.goingColour = "#FFFF00";
    if (going == "4") panel.goingColour = "#FF0000";

    panel.lines[2] = textAt(inf, 18, 4) + "m" + shibaDertMark(charactersAt(inf, 22, 2)) + " " +
                     number(valueAt(inf, 64, 3) / 10.0, "##.0") + " " + textAt(inf, 84, 3) +
                     textAt(inf, 67, 3);
    panel.lines[3] = textAt(inf, 30, 2) + "ﾄ " + textAt(inf, 54, 1) + "枠" +
                     circledNumber(static_cast<int>(valueAt(inf, 9, 2))) + " " +
                     number(valueAt(inf, 92, 2), "##") + "人気   " +
                     number(valueAt(inf, 81, 3) / 10.0, "##.0");
    panel.lines[4] = "ｺｰﾅｰ順 " + textAt(inf, 70, 2) + "/" + textAt(inf, 72, 2) + "/" +
                     textAt(inf, 74, 2) + "/" + textAt(inf, 76, 2);
    panel.lines[5] = textAt(inf, 32, 18);
    return panel;
}

std::optional<HorseDetail> readHorseDetail(Database& tran, const Meeting& meeting, int raceNumber,
                                           std::string_view umacode) {
    if (!tran.hasTable(meeting.raceTable) || !tran.hasTable(meeting.entriesTable)) {
        return std::nullopt;
    }
    EntryRow horse;
    if (!EntryRows(tran, meeting.entriesTable,
                   kEntryPlacePart | kEntryHorsePart | kEntryHistoryPart | kEntryPeoplePart |
                       kEntryAptitudePart | kEntryIndexPart | kEntryAbilityPart)
             .find(umacode, horse)) {
        return std::nullopt;
    }

    const auto race = readRaceRow(tran, meeting.raceTable, raceNumber, kRaceDayPart | kEntriesPart);
    if (!race) return std::nullopt;

    HorseDetail d;
    d.umacode = horse.umacode;
    d.bracket = wholeText(horse.wakuNo);
    const std::int64_t bracket = horse.wakuNo.value_or(0);
    d.bracketColour = bracket >= 1 && bracket <= 8 ? static_cast<int>(bracket) : 0;
    d.number = wholeText(horse.wakuUmaNo);
    d.blinker = " ";
    const std::int64_t place = horse.wakuUmaNo.value_or(0);
    if (place >= 1 && place <= kRunnerSlots) {
        const RunnerEntry entry =
            readRunnerEntry(race->entries[static_cast<std::size_t>(place - 1)]);
        if (!entry.blinker.empty() && entry.blinker != "0") d.blinker = "B";
    }

    d.name = firstCharacters(horse.bamei, 10);
    d.sire = "父：" + firstCharacters(horse.keto1, 10);
    d.dam = "母：" + firstCharacters(horse.keto2, 10);
    d.damSire = "母父：" + firstCharacters(horse.keto3, 10);

    d.sex = seibetsuLabel(horse.seibetsu);
    // Two-digit years: an age is a difference, taken modulo 100 (a horse is never 100 years old),
    // so a horse born in 98 is 3 in a race of 00.
    const std::string_view born = charactersAt(horse.seinen, 1, 2);
    if (!trimRight(born).empty()) {
        const std::int64_t raceYear = numericValue(race->year);
        const std::int64_t age = ((raceYear - numericValue(born)) % 100 + 100) % 100 + 1;
        d.age = " " + std::to_string(age);
    }
    d.coat = moushokuLabel(horse.moushoku);

    d.style = "脚質：" + horse.tokusei3kaku;
    d.distanceType = "Type：" + tokuseiKyoriLabel(horse.tokuseiKyori);
    d.wetTrack = wetTrackGrade(horse.aptitudes[kJotaiShibaOmo], horse.aptitudes[kJotaiDertOmo]);

    d.jockey = "騎　手：" + horse.nameKisi;
    d.trainer = "調教師：" + horse.nameChok;
    d.owner = "馬　主：" + std::string(trimLeft(trimRight(charactersAt(horse.umanushi, 1, 5))));

    d.prizeMoney = money(horse.honshou);
    d.addedMoney = money(horse.fukashou);
    d.earnedMoney = money(horse.shuutoku1);
    d.topTwoRate = number(static_cast<double>(horse.aptitudes[kBabaSougou]), "##0") + "%";
    d.ability = number(horse.nouryoku1, "###0") + "P";
    d.growth = number(horse.spSeichou, "##0.0") + "%";

    for (int k = 1; k <= kPastRacePanels; ++k) {
        d.pastRaces[static_cast<std::size_t>(k - 1)] =
            pastRacePanel(k, horse.histories[static_cast<std::size_t>(k - 1)],
                          horse.spBase[static_cast<std::size_t>(k - 1)]);
    }
    return d;
}

std::optional<std::string> runnerCode(Database& tran, const Meeting& meeting, int raceNumber,
                                      int number) {
    if (number < 1 || number > kPlacesPerRace || !tran.hasTable(meeting.raceTable))
        return std::nullopt;
    const auto race = readRaceRow(tran, meeting.raceTable, raceNumber, kEntriesPart);
    if (!race) return std::nullopt;
    const RunnerEntry entry = readRunnerEntry(race->entries[static_cast<std::size_t>(number - 1)]);
    if (!entry.isRunner() || !entry.hasHorse) return std::nullopt;
    return std::string(entry.umacode);
}

bool storeHandedHorse(Database& mast, std::string_view umacode) {
    // The column is a 32-bit number; eight digits always fit, and letters end the value.
    return writeHandedHorse(mast, numericValue(umacode) % 100000000);
}

bool storeHorseWindowPosition(Database& mast, double left, double top) {
    return writeHorseWindowPosition(mast, left, top);
}

}  // namespace zelvanor
