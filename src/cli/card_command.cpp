#include <algorithm>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "commands.hpp"
#include "core/records/display_width.hpp"
#include "core/shell/codes.hpp"
#include "core/shell/constants.hpp"
#include "core/shell/data_session.hpp"
#include "core/store/store.hpp"
#include "core/views/race_card.hpp"
#include "terminal.hpp"
#include "text_columns.hpp"

namespace zelvanor::cli {

namespace {

std::string joinPicks(const std::array<std::string, 6>& picks) {
    std::string out;
    for (const auto& p : picks) {
        if (p.empty() || p == " ") continue;
        out += (out.empty() ? "" : ", ") + p;
    }
    return out;
}

// The title's lines without the blanks that pad the race name to its field's width.
std::string trimmedLines(const std::string& text) {
    std::string out, line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        while (!line.empty() && line.back() == ' ') line.pop_back();
        while (line.size() >= 3 && line.compare(line.size() - 3, 3, "\xE3\x80\x80") == 0) {
            line.resize(line.size() - 3);
        }
        out += (out.empty() ? "" : "\n") + line;
    }
    return out;
}

// A cell without the blanks that pad it on the left in the grid.
std::string trimLeft(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : s.substr(first);
}

std::vector<const RunnerLine*> shownLines(const RaceCard& card) {
    std::vector<const RunnerLine*> lines;
    for (const RunnerLine& line : card.lines) {
        if (line.shown) lines.push_back(&line);
    }
    return lines;
}

void printCard(const RaceCard& card, std::ostream& out) {
    const RaceRow& r = card.race;
    out << bashoLabel(r.basho) << "  " << dayLine(r) << "\n";
    out << trimmedLines(forTerminal(raceTitle(r, true))) << "\n";
    out << "発走 " << card.postTime << "   " << card.distanceAndTrack << "  " << card.going << "   "
        << shownLines(card).size() << "頭\n\n";

    const auto& personas = card.forecast.personas;
    Columns table;
    std::vector<std::string> header = {"枠",   "馬", "馬名",   "重量", "性",  "齢",
                                       "騎手", "見", "クラス", "脚質", "指数"};
    for (const auto& p : personas) header.push_back(p.name);
    for (const char* h : {"3角", "Ｓ指数", "穴指数"}) header.push_back(h);
    table.add(header);
    for (const RunnerLine* l : shownLines(card)) {
        const RunnerLine& line = *l;
        std::vector<std::string> row = {line.bracket,
                                        std::to_string(line.number),
                                        line.hasEntry ? trimLeft(line.name) : "（データなし）",
                                        line.weight,
                                        line.sex,
                                        trimLeft(line.age),
                                        line.jockey,
                                        line.apprentice,
                                        line.classChange,
                                        line.style,
                                        line.index};
        for (std::size_t p = 0; p < personas.size(); ++p) row.push_back(line.marks[p]);
        row.push_back(line.corner);
        row.push_back(line.sIndex);
        row.push_back(line.anaIndex);
        table.add(std::move(row));
    }
    std::vector<bool> right = {true,  true,  false, true,  false, true,
                               false, false, false, false, true};
    std::vector<std::size_t> gaps(right.size(), 1);
    for (std::size_t p = 0; p < personas.size(); ++p) {
        right.push_back(false);
        gaps.push_back(p == 0 ? 2 : 1);
    }
    for (int k = 0; k < 3; ++k) {
        right.push_back(true);
        gaps.push_back(k == 0 ? 2 : 1);
    }
    table.print(out, right, gaps);
    out << "\n";
    for (const auto& p : personas) {
        out << p.caption << "\n  上位:";
        for (const auto& t : p.top) {
            if (!t.horseNumber.empty()) out << " " << t.horseNumber << "(" << t.value << ")";
        }
        out << "\n  買い目: " << joinPicks(p.picks) << "\n";
    }
    out << "展開: " << card.forecast.pace << "   見解: " << card.forecast.verdict << "\n";
    if (card.placed[0] != 0) {
        out << "結果: " << card.placed[0] << " - " << card.placed[1] << " - " << card.placed[2]
            << "   単勝 " << card.payouts[0] << "円   枠連 " << card.bracketPair << " "
            << card.payouts[4] << "円   馬連 " << card.quinellaPair << " " << card.payouts[5]
            << "円\n";
    }
}

nlohmann::json cardJson(const RaceCard& card) {
    using nlohmann::json;
    const RaceRow& r = card.race;
    json runners = json::array();
    for (const RunnerLine* l : shownLines(card)) {
        const RunnerLine& line = *l;
        runners.push_back({{"bracket", line.bracket},
                           {"number", line.number},
                           {"umacode", line.umacode},
                           {"name", trimLeft(line.name)},
                           {"nameTip", line.nameTip},
                           {"weight", line.weight},
                           {"sex", line.sex},
                           {"age", trimLeft(line.age)},
                           {"jockey", line.jockey},
                           {"jockeyTip", line.jockeyTip},
                           {"apprentice", line.apprentice},
                           {"trainer", line.trainer},
                           {"trainerTip", line.trainerTip},
                           {"trainerPlace", line.trainerPlace},
                           {"classChange", line.classChange},
                           {"rotation", line.rotation},
                           {"style", line.style},
                           {"corner", line.corner},
                           {"index", line.index},
                           {"indexTip", line.indexTip},
                           {"sIndex", line.sIndex},
                           {"anaIndex", line.anaIndex},
                           {"marks", line.marks},
                           {"hasEntry", line.hasEntry}});
    }
    json personas = json::array();
    for (const auto& p : card.forecast.personas) {
        json ranking = json::array();
        for (const auto& place : p.ranking) {
            ranking.push_back({{"number", place.horseNumber}, {"value", place.value}});
        }
        json top = json::array();
        for (const auto& t : p.top) {
            if (!t.horseNumber.empty())
                top.push_back({{"number", t.horseNumber}, {"value", t.value}});
        }
        personas.push_back({{"name", p.name},
                            {"caption", p.caption},
                            {"headingTip", p.headingTip},
                            {"ranking", ranking},
                            {"top", top},
                            {"picks", p.picks}});
    }
    return {{"meeting", card.meeting.raceTable},
            {"course", bashoLabel(r.basho)},
            {"race", r.bango},
            {"dayLine", dayLine(r)},
            {"title", trimmedLines(forTerminal(raceTitle(r, true)))},
            {"postTime", card.postTime},
            {"distanceTrack", card.distanceAndTrack},
            {"going", card.going},
            {"runnerCount", card.runnerCount},
            {"runners", runners},
            {"personas", personas},
            {"pace", card.forecast.pace},
            {"verdict", card.forecast.verdict},
            {"result",
             {{"placed", card.placed},
              {"bracketPair", card.bracketPair},
              {"quinellaPair", card.quinellaPair},
              {"payouts", card.payouts}}}};
}

}  // namespace

int cardCommand(DataSession& data, const std::string& meetingName, int race, bool json) {
    const Meeting meeting = meetingOf(meetingName);
    const std::string userName = personaName(readConstants(data.mast()));
    Database* opened = meetingDatabase(data, meetingName, meeting);
    if (!opened) return 1;
    Database& tran = *opened;
    const std::vector<int> races = race > 0 ? std::vector<int>{race} : storedRaces(tran, meeting);
    nlohmann::json all = nlohmann::json::array();
    bool first = true;
    for (int n : races) {
        const auto card = readRaceCard(tran, meeting, n, userName);
        if (!card) {
            std::cerr << meetingName << " に " << n << "R はありません。\n";
            return 1;
        }
        if (json) {
            all.push_back(cardJson(*card));
        } else {
            // Text read from the databases may hold bytes that are not UTF-8: each is shown as
            // U+FFFD, which is also how the columns counted it.
            std::ostringstream text;
            if (!first) text << "\n" << std::string(60, '-') << "\n\n";
            printCard(*card, text);
            std::cout << withReplacementCharacters(text.str());
        }
        first = false;
    }
    if (json) printJson(std::cout, race > 0 ? all.at(0) : all);
    return 0;
}

}  // namespace zelvanor::cli
