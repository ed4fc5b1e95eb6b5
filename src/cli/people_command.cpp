// zelvanor-cli jockeys / trainers / jockey N / trainer N: the lists and records of the jockey and
// trainer files, as their information windows show them.

#include <algorithm>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "commands.hpp"
#include "core/records/display_width.hpp"
#include "terminal.hpp"

namespace zelvanor::cli {

namespace {

constexpr std::string_view kListSeparator = "  :  ";

const char* peopleWord(PersonKind kind) {
    return kind == PersonKind::Jockey ? "騎手" : "調教師";
}

// The text padded on the left to `width` terminal columns, as the windows align figures.
std::string rightAligned(const std::string& text, std::size_t width) {
    const std::size_t shown = displayWidth(text);
    return std::string(width > shown ? width - shown : 0, ' ') + text;
}

std::string leftAligned(const std::string& text, std::size_t width) {
    const std::size_t shown = displayWidth(text);
    return text + std::string(width > shown ? width - shown : 0, ' ');
}

void printGrid(std::ostream& out, const std::string& caption, const TextGrid& grid) {
    out << caption << "\n";
    constexpr std::size_t kHeading = 7;
    constexpr std::size_t kCell = 8;
    out << std::string(kHeading, ' ');
    for (std::string_view h : kPlacingHeadings) out << rightAligned(std::string(h), kCell);
    out << "\n";
    for (std::size_t r = 0; r < grid.cells.size(); ++r) {
        out << leftAligned(grid.rowHeadings[r], kHeading);
        for (const std::string& cell : grid.cells[r]) out << rightAligned(cell, kCell);
        out << "\n";
    }
}

void printPerson(std::ostream& out, PersonKind kind, const PersonInfo& p) {
    const bool jockey = kind == PersonKind::Jockey;
    out << p.code << " " << p.name << "\n";
    out << p.kana << "\n";
    out << p.birthDate << "\n";
    if (jockey) out << "所属 " << p.affiliation << "  ";
    out << "東西 " << p.touzai;
    if (jockey) out << "  騎乗資格" << p.qualification << "  見習" << p.apprentice;
    out << "\n\n本年獲得賞金\n";
    static constexpr std::array<std::string_view, 5> kMoney = {
        "平地 本賞金  ", "     付加賞金", "障害 本賞金  ", "     付加賞金", "合計         "};
    for (std::size_t i = 0; i < kMoney.size(); ++i) {
        out << "  " << kMoney[i] << rightAligned(p.prizeMoney[i], 14) << "千円\n";
    }
    out << "\n";
    printGrid(out, "平地の成績", p.flatResults);
    printGrid(out, "障害の成績", p.jumpResults);
    out << p.createdOn << "\n";
    static constexpr std::array<std::string_view, 2> kYears = {"本年", "前年"};
    for (std::size_t y = 0; y < 2; ++y) {
        out << "\n";
        printGrid(out, "馬場別平地成績 " + std::string(kYears[y]), p.flatCourses[y]);
    }
    static constexpr std::array<std::string_view, 4> kDistances = {
        "本年芝の成績", "本年ダートの成績", "前年芝の成績", "前年ダートの成績"};
    for (std::size_t i = 0; i < p.distances.size(); ++i) {
        out << "\n";
        printGrid(out, "距離別平地成績 " + std::string(kDistances[i]), p.distances[i]);
    }
    for (std::size_t y = 0; y < 2; ++y) {
        out << "\n";
        printGrid(out, "馬場別障害成績 " + std::string(kYears[y]), p.jumpCourses[y]);
    }
    out << "\n主な重賞勝鞍\n";
    for (const auto& w : p.gradedWins) {
        if (w[0].empty()) continue;
        out << " ";
        for (const std::string& part : w) out << " " << part;
        out << "\n";
    }
}

nlohmann::json gridJson(const TextGrid& grid) {
    nlohmann::json rows = nlohmann::json::array();
    for (std::size_t r = 0; r < grid.cells.size(); ++r) {
        rows.push_back({{"heading", grid.rowHeadings[r]}, {"cells", grid.cells[r]}});
    }
    return {{"columns", kPlacingHeadings}, {"rows", rows}};
}

nlohmann::json personJson(PersonKind kind, std::size_t number, const PersonInfo& p) {
    nlohmann::json wins = nlohmann::json::array();
    for (const auto& w : p.gradedWins) wins.push_back(w);
    nlohmann::json j = {
        {"record", number},
        {"code", p.code},
        {"name", p.name},
        {"kana", p.kana},
        {"birthDate", p.birthDate},
        {"touzai", p.touzai},
        {"prizeMoney",
         {{"flatPrize", p.prizeMoney[0]},
          {"flatAdded", p.prizeMoney[1]},
          {"jumpPrize", p.prizeMoney[2]},
          {"jumpAdded", p.prizeMoney[3]},
          {"total", p.prizeMoney[4]}}},
        {"results", {{"flat", gridJson(p.flatResults)}, {"jump", gridJson(p.jumpResults)}}},
        {"createdOn", p.createdOn},
        {"courses",
         {{"flat",
           {{"thisYear", gridJson(p.flatCourses[0])}, {"lastYear", gridJson(p.flatCourses[1])}}},
          {"jump",
           {{"thisYear", gridJson(p.jumpCourses[0])}, {"lastYear", gridJson(p.jumpCourses[1])}}}}},
        {"gradedWins", {{"columns", kGradedWinHeadings}, {"rows", wins}}},
    };
    if (kind == PersonKind::Jockey) {
        j["affiliation"] = p.affiliation;
        j["qualification"] = p.qualification;
        j["apprentice"] = p.apprentice;
        j["distances"] = {{"thisYearTurf", gridJson(p.distances.at(0))},
                          {"thisYearDirt", gridJson(p.distances.at(1))},
                          {"lastYearTurf", gridJson(p.distances.at(2))},
                          {"lastYearDirt", gridJson(p.distances.at(3))}};
    }
    return j;
}

// The list of the file, or nothing after telling the user on stderr that there is no one in it.
std::optional<std::vector<std::string>> listOrMessage(const AppPaths& paths, PersonKind kind) {
    auto items = loadPeopleList(paths, kind);
    if (items.empty()) {
        std::cerr << forTerminal(noPeopleMessage(kind)) << "\n";
        return std::nullopt;
    }
    return items;
}

}  // namespace

std::optional<std::string> recordNumberProblem(const std::string& number) {
    if (!number.empty() && number.size() <= 6 &&
        number.find_first_not_of("0123456789") == std::string::npos && std::stoi(number) >= 1) {
        return std::nullopt;
    }
    return "N に指定された " + withReplacementCharacters(number) +
           " はレコード番号ではありません。一覧 (jockeys、trainers) の番号を 1 以上の数で"
           "指定してください。";
}

int peopleListCommand(const AppPaths& paths, PersonKind kind, bool json) {
    const auto items = listOrMessage(paths, kind);
    if (!items) return 1;
    if (json) {
        nlohmann::json list = nlohmann::json::array();
        for (std::size_t i = 0; i < items->size(); ++i) {
            const std::string& item = (*items)[i];
            const auto at = item.find(kListSeparator);
            list.push_back({{"record", i + 1},
                            {"code", item.substr(0, at)},
                            {"name", at == std::string::npos
                                         ? std::string()
                                         : item.substr(at + kListSeparator.size())},
                            {"item", item}});
        }
        printJson(std::cout, list);
        return 0;
    }
    const std::size_t width = std::to_string(items->size()).size();
    std::ostringstream text;
    for (std::size_t i = 0; i < items->size(); ++i) {
        text << rightAligned(std::to_string(i + 1), width) << "  " << (*items)[i] << "\n";
    }
    std::cout << withReplacementCharacters(text.str());
    return 0;
}

int personCommand(const AppPaths& paths, PersonKind kind, std::size_t number, bool json) {
    const auto items = listOrMessage(paths, kind);
    if (!items) return 1;
    const auto info = number <= items->size() ? readPersonInfo(paths, kind, number) : std::nullopt;
    if (!info) {
        std::cerr << peopleWord(kind) << "のレコード " << number << " はありません。"
                  << peopleWord(kind) << "は " << items->size() << " 人です。\n";
        return 1;
    }
    if (json) {
        printJson(std::cout, personJson(kind, number, *info));
    } else {
        std::ostringstream text;
        printPerson(text, kind, *info);
        std::cout << withReplacementCharacters(text.str());
    }
    return 0;
}

}  // namespace zelvanor::cli
