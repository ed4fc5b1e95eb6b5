// zelvanor-cli verify: the personas' hit and return rates over the stored meetings, as the
// verification window counts them.

#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "arguments.hpp"
#include "commands.hpp"
#include "core/records/display_width.hpp"
#include "core/shell/constants.hpp"
#include "core/shell/data_session.hpp"
#include "core/store/store.hpp"
#include "core/views/verification.hpp"
#include "terminal.hpp"

namespace zelvanor::cli {

namespace {

bool isNumberIn(const std::string& text, int low, int high) {
    if (text.empty() || text.size() > 2 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    const int n = std::stoi(text);
    return n >= low && n <= high;
}

std::string selectionList() {
    std::string list;
    for (std::size_t i = 0; i < kRaceSelectionCaptions.size(); ++i) {
        list += (i ? "、" : "") + std::to_string(i) + " " + std::string(kRaceSelectionCaptions[i]);
    }
    return list;
}

// One rate table as the window shows it: the corner blank, the bet headings, a row per persona,
// the rates right-aligned under their headings.
void printTable(std::ostream& out, const std::string& title,
                const std::array<std::string, kPersonaCount>& personas,
                const std::array<std::array<std::string, kBetTypes>, kPersonaCount>& cells) {
    std::size_t headingWidth = 0;
    for (const auto& p : personas) headingWidth = std::max(headingWidth, displayWidth(p));
    std::size_t cellWidth = 0;
    for (const auto h : kBetTypeHeadings) cellWidth = std::max(cellWidth, displayWidth(h));
    for (const auto& row : cells)
        for (const auto& c : row) cellWidth = std::max(cellWidth, displayWidth(c));
    const auto padded = [](std::string_view text, std::size_t width, bool right) {
        const std::string fill(width - std::min(width, displayWidth(text)), ' ');
        return right ? fill + std::string(text) : std::string(text) + fill;
    };
    out << title << "\n" << padded(" ", headingWidth, false);
    for (const auto h : kBetTypeHeadings) out << "  " << padded(h, cellWidth, true);
    out << "\n";
    for (std::size_t p = 0; p < kPersonaCount; ++p) {
        out << padded(personas[p], headingWidth, false);
        for (const auto& c : cells[p]) out << "  " << padded(c, cellWidth, true);
        out << "\n";
    }
}

nlohmann::ordered_json cellsJson(
    const std::array<std::array<std::string, kBetTypes>, kPersonaCount>& cells) {
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const auto& row : cells) rows.push_back(row);
    return rows;
}

}  // namespace

void addVerifyCommand(CLI::App& app, VerifyArguments& args) {
    args.command = app.add_subcommand(
        "verify",
        "予想の検証: 三人の予想家の買い目を買った場合の的中率と回収率 (単勝・複勝・枠連・馬連) "
        "を、選んだ競馬場の開催の結果のあるレースで数える。該当するレースがなければその旨を"
        "表示して終了コード 1");
    args.command
        ->add_option("--courses", args.courses, "検証する競馬場のコード、省略時は全場 (例: 01,05)")
        ->delimiter(',')
        ->type_name("CODE");
    args.command->add_option("--select", args.select, "選択の条件、省略時は 3: " + selectionList())
        ->type_name("0-9");
    args.command->add_option("--races", args.races, "--select 5 のときのレース番号 (例: 3,7,11)")
        ->delimiter(',')
        ->type_name("RACE");
    args.command->add_flag("--json", args.json, "JSON で出力する");
}

std::optional<std::string> verifyArgumentsProblem(const VerifyArguments& args) {
    for (const auto& c : args.courses) {
        if (auto problem = courseProblem(c)) return problem;
    }
    if (!args.select.empty() && !isNumberIn(args.select, 0, 9)) {
        return "--select に指定された " + withReplacementCharacters(args.select) +
               " は選択の条件ではありません。0～9 の数で指定してください (" + selectionList() +
               ")。";
    }
    for (const auto& r : args.races) {
        if (!isNumberIn(r, 1, 12)) {
            return "--races に指定された " + withReplacementCharacters(r) +
                   " はレース番号ではありません。1～12 の数で指定してください。";
        }
    }
    if (!args.races.empty() && (args.select.empty() || std::stoi(args.select) != 5)) {
        return "--races は --select 5 (レース番号で選ぶ) と一緒に指定してください "
               "(例: zelvanor-cli verify --select 5 --races 3,7,11)。";
    }
    return std::nullopt;
}

int verifyCommand(DataSession& data, const VerifyArguments& args) {
    VerificationConditions conditions;
    if (!args.courses.empty()) {
        conditions.courses = {};
        for (const auto& c : args.courses) conditions.courses[std::stoul(c) - 1] = true;
    }
    if (!args.select.empty()) conditions.selection = std::stoi(args.select);
    for (const auto& r : args.races) conditions.raceNumbers[std::stoul(r) - 1] = true;

    // Reading creates nothing: without the databases there is no meeting and the user's name is
    // the default one.
    std::string userName = std::string(kDefaultUserName);
    if (Database* mast = data.existingMast()) userName = personaName(readConstants(*mast));
    Verification v = verificationOf({}, userName);
    if (Database* tran = data.existingTran()) {
        const ProgressFn shown = terminalProgress("検証中");
        v = runVerification(*tran, userName, conditions, [&](int done, int total) {
            if (shown && total > 0) shown(done * 100 / total);
        });
        clearProgress();
    }

    if (args.json) {
        // The keys in the order people read them: counts first, then the tables.
        const nlohmann::ordered_json out = {{"meetings", v.totals.meetings},
                                            {"races", v.totals.races},
                                            {"personas", v.personas},
                                            {"hit", cellsJson(v.hitRates)},
                                            {"return", cellsJson(v.returnRates)}};
        std::cout << out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                  << "\n";
    } else {
        std::cout << "該当開催数  " << v.totals.meetings << "\n"
                  << "該当レース数  " << v.totals.races << "\n";
        if (v.totals.races > 0) {
            std::ostringstream text;
            text << "\n";
            printTable(text, "的中率", v.personas, v.hitRates);
            text << "\n";
            printTable(text, "回収率", v.personas, v.returnRates);
            std::cout << withReplacementCharacters(text.str());
        }
    }
    if (v.totals.races == 0) {
        std::cerr << kVerifyNoRaceText << "\n";
        return 1;
    }
    return 0;
}

}  // namespace zelvanor::cli
