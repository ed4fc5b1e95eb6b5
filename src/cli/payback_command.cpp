// zelvanor-cli payback: one meeting's payouts beside the personas' picks, with the hit marks and
// the totals of the chosen way of betting, as the payback window shows them.

#include <CLI/CLI.hpp>
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
#include "core/views/payback.hpp"
#include "terminal.hpp"
#include "text_columns.hpp"

namespace zelvanor::cli {

namespace {

// An option's words and what each one chooses, with the window's caption for the text output.
template <typename T>
struct Choice {
    std::string_view word;
    T value;
    std::string_view caption;
};

const Choice<PaybackStakes> kStakes[] = {{"equal", PaybackStakes::Equal, "均等買い"},
                                         {"weighted", PaybackStakes::Weighted, "指数比例買い"}};
const Choice<int> kTickets[] = {{"1", 1, "１点買い"}, {"3", 3, "３点買い"}, {"6", 6, "６点買い"}};
const Choice<PaybackRange> kRanges[] = {{"all", PaybackRange::All, "全レース対象"},
                                        {"afternoon", PaybackRange::Afternoon, "午後のレース"},
                                        {"main", PaybackRange::Main, "特別＆メイン"}};
const Choice<PaybackMarks> kMarks[] = {{"win", PaybackMarks::Win, "単勝"},
                                       {"pair", PaybackMarks::Pair, "連勝"}};

template <typename T, std::size_t N>
const Choice<T>* choiceOf(const Choice<T> (&choices)[N], const std::string& word) {
    for (const auto& c : choices) {
        if (c.word == word) return &c;
    }
    return nullptr;
}

template <typename T, std::size_t N>
std::string_view captionOf(const Choice<T> (&choices)[N], T value) {
    for (const auto& c : choices) {
        if (c.value == value) return c.caption;
    }
    return {};
}

template <typename T, std::size_t N>
std::optional<std::string> choiceProblem(const Choice<T> (&choices)[N], const std::string& word,
                                         std::string_view option, std::string_view what) {
    if (choiceOf(choices, word)) return std::nullopt;
    std::string words;
    for (const auto& c : choices) {
        words +=
            (words.empty() ? "" : "、") + std::string(c.word) + " (" + std::string(c.caption) + ")";
    }
    return std::string(option) + " に指定された " + withReplacementCharacters(word) + " は" +
           std::string(what) + "ではありません。" + words + " のどれかを指定してください。";
}

PaybackOptions chosenOptions(const PaybackArguments& args) {
    return {choiceOf(kStakes, args.stakes)->value, choiceOf(kTickets, args.tickets)->value,
            choiceOf(kRanges, args.races)->value, choiceOf(kMarks, args.marks)->value};
}

// Blank mark and ticket cells at the end of a row would leave blanks at the end of its line.
std::string withoutTrailingBlanks(const std::string& text) {
    std::string out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        line.erase(line.find_last_not_of(' ') + 1);
        out += line + "\n";
    }
    return out;
}

std::string raceKey(int raceNumber) {
    return std::to_string(raceNumber);
}

// Keys in the window's order, races in race order rather than sorted as texts.
nlohmann::ordered_json paybackJson(const PaybackSheet& sheet, const PaybackMarkCells& marks,
                                   const PaybackTotalCells& totals) {
    using json = nlohmann::ordered_json;
    json results = json::object();
    json picks = json::object();
    json markRows = json::object();
    for (int r = 1; r <= kPaybackRaces; ++r) {
        const auto at = static_cast<std::size_t>(r - 1);
        const PaybackRace& race = sheet.races[at];
        if (!race.stored) continue;
        results[raceKey(r)] = race.results;
        picks[raceKey(r)] = race.picks;
        markRows[raceKey(r)] = marks[at];
    }
    return {{"heading", sheet.heading}, {"personas", sheet.personas}, {"results", results},
            {"picks", picks},           {"marks", markRows},          {"totals", totals}};
}

void printSheet(const PaybackSheet& sheet, const PaybackOptions& options,
                const PaybackMarkCells& marks, const PaybackTotalCells& totals, std::ostream& out) {
    out << sheet.heading << "\n";
    out << "連勝買い方: " << captionOf(kStakes, options.stakes)
        << "   連勝買い点数: " << captionOf(kTickets, options.tickets)
        << "   レース選択: " << captionOf(kRanges, options.range)
        << "   的中表示: " << captionOf(kMarks, options.marks) << "\n\n";

    // The results grid: race label, eleven result cells, three mark columns.
    Columns results;
    std::vector<std::string> header = {""};
    for (const auto h : kPaybackResultHeadings) header.emplace_back(h);
    for (const auto& p : sheet.personas) header.push_back(p);
    results.add(header);
    for (int r = 1; r <= kPaybackRaces; ++r) {
        const auto at = static_cast<std::size_t>(r - 1);
        std::vector<std::string> row = {paybackRaceLabel(r)};
        for (const auto& cell : sheet.races[at].results) row.push_back(cell);
        for (const auto& mark : marks[at]) row.push_back(mark);
        results.add(std::move(row));
    }
    std::vector<bool> right = {false, true, true,  true, true,  true,  true, true,
                               false, true, false, true, false, false, false};
    std::vector<std::size_t> gaps(right.size(), 1);
    gaps[kPaybackResultColumns + 1] = 2;
    results.print(out, right, gaps);
    out << "\n";

    // The picks grid: per persona the first pick and six tickets.
    Columns picks;
    std::vector<std::string> pickHeader = {""};
    for (const auto& p : sheet.personas) {
        pickHeader.push_back(p);
        for (int k = 1; k <= kPaybackTickets; ++k) pickHeader.emplace_back();
    }
    picks.add(pickHeader);
    for (int r = 1; r <= kPaybackRaces; ++r) {
        std::vector<std::string> row = {paybackRaceLabel(r)};
        for (const auto& persona : sheet.races[static_cast<std::size_t>(r - 1)].picks) {
            for (const auto& cell : persona) row.push_back(cell);
        }
        picks.add(std::move(row));
    }
    std::vector<bool> pickRight(1 + kPersonaCount * kPaybackPickColumns, false);
    std::vector<std::size_t> pickGaps(pickRight.size(), 1);
    for (int p = 0; p < kPersonaCount; ++p) {
        const auto first = static_cast<std::size_t>(1 + p * kPaybackPickColumns);
        pickRight[first] = true;
        pickGaps[first] = 3;
    }
    picks.print(out, pickRight, pickGaps);
    out << "\n";

    Columns totalRows;
    std::vector<std::string> totalHeader = {""};
    for (const auto& p : sheet.personas) totalHeader.push_back(p);
    totalRows.add(totalHeader);
    for (std::size_t row = 0; row < totals.size(); ++row) {
        std::vector<std::string> cells = {std::string(kPaybackTotalLabels[row])};
        for (const auto& cell : totals[row]) cells.push_back(cell);
        totalRows.add(std::move(cells));
    }
    totalRows.print(out, {false, true, true, true}, {0, 2, 2, 2});
}

}  // namespace

void addPaybackCommand(CLI::App& app, PaybackArguments& args) {
    args.command = app.add_subcommand(
        "payback",
        "開催日別払戻情報 (予想成績): 開催の全レースの払戻金と三人の予想家の買い目、"
        "的中と的中率・回収率を表示する");
    args.command->add_option("MEETING", args.meeting, "開催、例: D05981003")->required();
    args.command
        ->add_option("--stakes", args.stakes,
                     "連勝買い方: equal (均等買い、既定) "
                     "または weighted (指数比例買い)")
        ->type_name("equal|weighted");
    args.command->add_option("--tickets", args.tickets, "連勝買い点数: 1、3、6 (既定)")
        ->type_name("1|3|6");
    args.command
        ->add_option("--races", args.races,
                     "レース選択: all (全レース対象、既定)、afternoon (６Ｒ～１２Ｒ)、"
                     "main (８・９・１０・１１Ｒ)")
        ->type_name("all|afternoon|main");
    args.command->add_option("--marks", args.marks, "的中表示: win (単勝) または pair (連勝、既定)")
        ->type_name("win|pair");
    args.command->add_flag("--json", args.json, "JSON で出力する");
}

std::optional<std::string> paybackArgumentsProblem(const PaybackArguments& args) {
    if (auto problem = meetingProblem(args.meeting)) return problem;
    if (auto problem = choiceProblem(kStakes, args.stakes, "--stakes", "連勝の買い方"))
        return problem;
    if (auto problem = choiceProblem(kTickets, args.tickets, "--tickets", "連勝の買い点数"))
        return problem;
    if (auto problem = choiceProblem(kRanges, args.races, "--races", "レースの選択"))
        return problem;
    return choiceProblem(kMarks, args.marks, "--marks", "的中表示");
}

int paybackCommand(DataSession& data, const PaybackArguments& args) {
    const Meeting meeting = meetingOf(args.meeting);
    Database* tran = data.existingTran();
    if (!tran) {
        std::cerr << data.paths().tranPath().string()
                  << " がありません。先に import で取り込んでください。\n";
        return 1;
    }
    const std::string userName = personaName(readConstants(data.mast()));
    const auto sheet = readPayback(*tran, meeting, userName);
    if (!sheet) {
        std::cerr << paybackMissingText(meeting) << "\n";
        return 1;
    }
    const PaybackOptions options = chosenOptions(args);
    const PaybackMarkCells marks = paybackMarks(*sheet, options);
    const PaybackTotalCells totals = paybackTotals(*sheet, options);
    if (args.json) {
        // As printJson writes, for the ordered object: stored text that is not UTF-8 comes out
        // as U+FFFD.
        std::cout << paybackJson(*sheet, marks, totals)
                         .dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                  << "\n";
    } else {
        // Text read from the databases may hold bytes that are not UTF-8: each is shown as
        // U+FFFD, which is also how the columns counted it.
        std::ostringstream text;
        printSheet(*sheet, options, marks, totals, text);
        std::cout << withReplacementCharacters(withoutTrailingBlanks(text.str()));
    }
    return 0;
}

}  // namespace zelvanor::cli
