// zelvanor-cli horse: what the horse detail window shows for one runner of a race.

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "commands.hpp"
#include "core/records/display_width.hpp"
#include "core/shell/data_session.hpp"
#include "core/store/store.hpp"
#include "core/views/horse_detail.hpp"
#include "core/views/race_card.hpp"
#include "terminal.hpp"

namespace zelvanor::cli {

namespace {

void printHorse(const HorseDetail& d, std::ostream& out) {
    out << "枠 " << d.bracket << "  馬番 " << d.number << "  " << d.blinker << "  " << d.name
        << "  (" << d.umacode << ")\n";
    out << d.sire << "\n" << d.dam << "\n" << d.damSire << "\n";
    out << d.sex << d.age << "  " << d.coat << "   " << d.style << "   " << d.distanceType << "   "
        << d.wetTrack << "\n";
    out << d.jockey << "\n" << d.trainer << "\n" << d.owner << "\n";
    const std::string* money[] = {&d.prizeMoney, &d.addedMoney, &d.earnedMoney};
    const std::string* figures[] = {&d.topTwoRate, &d.ability, &d.growth};
    for (std::size_t i = 0; i < 3; ++i) {
        out << (i ? "   " : "") << kMoneyHeadings[i] << " " << *money[i];
    }
    out << "\n";
    for (std::size_t i = 0; i < 3; ++i) {
        out << (i ? "   " : "") << kFigureHeadings[i] << " " << *figures[i];
    }
    out << "\n";
    for (const PastRacePanel& p : d.pastRaces) {
        out << "\n" << p.caption << "\n";
        if (!p.hasRace) continue;
        for (std::size_t l = 0; l < p.lines.size(); ++l) {
            out << "  " << p.lines[l];
            // The window shows the going as the colour of the second line.
            if (l == 1 && !p.goingColour.empty()) out << "  (文字色 " << p.goingColour << ")";
            out << "\n";
        }
    }
}

nlohmann::json horseJson(const HorseDetail& d) {
    nlohmann::json panels = nlohmann::json::array();
    for (const PastRacePanel& p : d.pastRaces) {
        panels.push_back({{"caption", p.caption},
                          {"hasRace", p.hasRace},
                          {"lines", p.lines},
                          {"goingColour", p.goingColour}});
    }
    return {{"umacode", d.umacode},
            {"bracket", d.bracket},
            {"bracketColour", d.bracketColour},
            {"number", d.number},
            {"blinker", d.blinker},
            {"name", d.name},
            {"sire", d.sire},
            {"dam", d.dam},
            {"damSire", d.damSire},
            {"sex", d.sex},
            {"age", d.age},
            {"coat", d.coat},
            {"style", d.style},
            {"distanceType", d.distanceType},
            {"wetTrack", d.wetTrack},
            {"jockey", d.jockey},
            {"trainer", d.trainer},
            {"owner", d.owner},
            {"prizeMoney", d.prizeMoney},
            {"addedMoney", d.addedMoney},
            {"earnedMoney", d.earnedMoney},
            {"topTwoRate", d.topTwoRate},
            {"ability", d.ability},
            {"growth", d.growth},
            {"pastRaces", panels}};
}

}  // namespace

std::optional<std::string> horseNumberProblem(const std::string& number) {
    if (!number.empty() && number.size() <= 2 &&
        number.find_first_not_of("0123456789") == std::string::npos) {
        const int n = std::stoi(number);
        if (n >= 1 && n <= 18) return std::nullopt;
    }
    return "NUMBER に指定された " + withReplacementCharacters(number) +
           " は馬番ではありません。1～18 の数で指定してください。";
}

int horseCommand(DataSession& data, const std::string& meetingName, int race, int number,
                 bool json) {
    const Meeting meeting = meetingOf(meetingName);
    Database* opened = meetingDatabase(data, meetingName, meeting);
    if (!opened) return 1;
    Database& tran = *opened;
    const std::vector<int> races = storedRaces(tran, meeting);
    if (std::find(races.begin(), races.end(), race) == races.end()) {
        std::cerr << meetingName << " に " << race << "R はありません。\n";
        return 1;
    }
    const auto code = runnerCode(tran, meeting, race, number);
    if (!code) {
        std::cerr << meetingName << " の " << race << "R に " << number << " 番の馬はいません。\n";
        return 1;
    }
    const auto detail = readHorseDetail(tran, meeting, race, *code);
    if (!detail) {
        std::cerr << meetingName << " の " << race << "R " << number << " 番 (" << *code
                  << ") の競走馬データがありません。\n";
        return 1;
    }
    if (json) {
        printJson(std::cout, horseJson(*detail));
    } else {
        // Text read from the databases may hold bytes that are not UTF-8: each is shown as U+FFFD.
        std::ostringstream text;
        printHorse(*detail, text);
        std::cout << withReplacementCharacters(text.str());
    }
    return 0;
}

}  // namespace zelvanor::cli
