#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "commands.hpp"
#include "shell/codes.hpp"
#include "shell/constants.hpp"
#include "store/store.hpp"
#include "terminal.hpp"
#include "views/race_card.hpp"

namespace zelvanor::cli {

namespace {

// Columns a terminal gives a character: two for the wide (CJK, full-width) ones.
std::size_t displayWidth(std::string_view s) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t cp = c;
        std::size_t len = 1;
        if (c >= 0xF0) {
            cp = c & 0x07, len = 4;
        } else if (c >= 0xE0) {
            cp = c & 0x0F, len = 3;
        } else if (c >= 0xC0) {
            cp = c & 0x1F, len = 2;
        }
        for (std::size_t k = 1; k < len && i + k < s.size(); ++k)
            cp = (cp << 6) | (s[i + k] & 0x3F);
        i += len;
        const bool halfKana = cp >= 0xFF61 && cp <= 0xFF9F;
        width += (cp >= 0x1100 && !halfKana && !(cp >= 0x2460 && cp <= 0x24FF)) ? 2 : 1;
    }
    return width;
}

std::string pad(std::string_view s, std::size_t width, bool right = false) {
    const std::size_t w = displayWidth(s);
    const std::string fill(w < width ? width - w : 0, ' ');
    return right ? fill + std::string(s) : std::string(s) + fill;
}

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

void printCard(const RaceCard& card, std::ostream& out) {
    const RaceRow& r = card.race;
    out << bashoLabel(r.basho) << "  " << dayLine(r) << "\n";
    out << trimmedLines(forTerminal(raceTitle(r, true))) << "\n";
    out << "発走 " << postTime(r) << "   " << distanceAndTrack(r) << "  "
        << (card.goodGoing ? "良" : "重") << "   " << card.runners.size() << "頭\n\n";

    const auto& personas = card.forecast.personas;
    out << "枠 馬 " << pad("馬名", 21) << "重量 性 齢 " << pad("騎手", 11) << "見 "
        << pad("脚質", 5) << pad("指数", 6, true);
    for (const auto& p : personas) out << " " << pad(p.name, 4);
    out << "  3角 " << pad("Ｓ指数", 7, true) << pad("穴指数", 7, true) << "\n";
    for (const auto& line : card.runners) {
        out << pad(std::to_string(line.bracket), 2, true) << " "
            << pad(std::to_string(line.number), 2, true) << " "
            << pad(line.hasEntry ? line.name : "（データなし）", 21) << pad(line.weight, 4, true)
            << " " << pad(line.sex, 2) << " "
            << pad(line.hasEntry ? std::to_string(line.age) : "", 2, true) << " "
            << pad(line.jockey, 11) << pad(line.apprentice, 2) << " " << pad(line.style, 5)
            << pad(line.index, 6, true);
        for (std::size_t p = 0; p < personas.size(); ++p) {
            out << " "
                << pad(line.marks[p], std::max<std::size_t>(4, displayWidth(personas[p].name)));
        }
        out << pad(std::to_string(line.shisuu3kaku), 5, true) << " " << pad(line.sIndex, 7, true)
            << pad(line.anaIndex, 7, true) << "\n";
    }
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
    for (const auto& line : card.runners) {
        runners.push_back({{"bracket", line.bracket},
                           {"number", line.number},
                           {"umacode", line.umacode},
                           {"name", line.name},
                           {"weight", line.weight},
                           {"sex", line.sex},
                           {"age", line.age},
                           {"jockey", line.jockey},
                           {"trainer", line.trainer},
                           {"apprentice", line.apprentice},
                           {"style", line.style},
                           {"shisuu3kaku", line.shisuu3kaku},
                           {"index", line.index},
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
                            {"ranking", ranking},
                            {"top", top},
                            {"picks", p.picks}});
    }
    return {{"meeting", card.meeting.raceTable},
            {"course", bashoLabel(r.basho)},
            {"race", r.bango},
            {"dayLine", dayLine(r)},
            {"title", trimmedLines(forTerminal(raceTitle(r, true)))},
            {"postTime", postTime(r)},
            {"distanceTrack", distanceAndTrack(r)},
            {"going", card.goodGoing ? "良" : "重"},
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

int cardCommand(const AppPaths& paths, const std::string& meetingName, int race, bool json) {
    const Meeting meeting = meetingOf(meetingName);
    std::string userName;
    {
        Database mast(paths.mastPath());
        userName = personaName(readConstants(mast));
    }
    Database tran(paths.tranPath());
    if (!tran.hasTable(meeting.raceTable)) {
        std::cerr << meetingName << " の出馬表データがありません。\n";
        return 1;
    }
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
            if (!first) std::cout << "\n" << std::string(60, '-') << "\n\n";
            printCard(*card, std::cout);
        }
        first = false;
    }
    if (json) std::cout << (race > 0 ? all.at(0) : all).dump(2) << "\n";
    return 0;
}

}  // namespace zelvanor::cli
