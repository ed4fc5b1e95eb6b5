// zelvanor-cli result: a race's result typed in, stored as the race card's 記録 stores it.

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>

#include "arguments.hpp"
#include "commands.hpp"
#include "core/records/display_width.hpp"
#include "core/records/numeric.hpp"
#include "core/shell/constants.hpp"
#include "core/shell/data_session.hpp"
#include "core/store/store.hpp"
#include "core/views/race_card.hpp"
#include "core/views/race_result.hpp"

namespace zelvanor::cli {

namespace {

// "450,,320" is three values, the second empty; "" is none.
std::vector<std::string> commaSeparated(const std::string& text) {
    std::vector<std::string> values;
    if (text.empty()) return values;
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = text.find(',', from);
        values.push_back(text.substr(from, comma - from));
        if (comma == std::string::npos) return values;
        from = comma + 1;
    }
}

std::string twoColumns(std::string_view caption, const std::string& value) {
    return std::string(caption) + "  " + value;
}

}  // namespace

void addResultCommand(CLI::App& app, ResultArguments& args) {
    args.command = app.add_subcommand(
        "result", "レースの結果 (着順と払戻金) を記録する。出馬表の「記録」と同じ列に保存する");
    args.command->add_option("MEETING", args.meeting, "開催、例: D05981003")->required();
    args.command->add_option("RACE", args.race, "レース番号 1～12")->required();
    args.command->add_option("--places", args.places, "１着、２着、３着の馬番、例: 5,3,1")
        ->type_name("1着,2着,3着")
        ->required();
    args.command
        ->add_option("--payouts", args.payouts,
                     "単賞、複勝 (１着、２着、３着)、枠連、馬連の払戻金、例: "
                     "450,150,320,210,1230,4560。省略した金額は 0")
        ->type_name("単,複1,複2,複3,枠連,馬連");
}

std::optional<std::string> resultArgumentsProblem(const ResultArguments& args) {
    const std::vector<std::string> places = commaSeparated(args.places);
    const std::vector<std::string> payouts = commaSeparated(args.payouts);
    if (auto problem = meetingProblem(args.meeting)) return problem;
    if (auto problem = raceProblem(args.race)) return problem;
    const std::string placesHow =
        "--places には１着から順に馬番 (1～18) を 3 つまで、コンマで区切って指定してください "
        "(例: 5,3,1)。";
    if (places.empty() || places.size() > kResultPlaces) {
        return "--places に " + std::to_string(places.size()) + " 個の値が指定されました。" +
               placesHow;
    }
    for (std::size_t k = 0; k < places.size(); ++k) {
        const std::string& p = places[k];
        if (p.empty())
            return "--places の " + std::to_string(k + 1) + " 番目の馬番が空です。" + placesHow;
        if (p.empty() || p.size() > 2 || !allDigits(p) || std::stoi(p) == 0) {
            return "--places の " + withReplacementCharacters(p) + " は馬番ではありません。" +
                   placesHow;
        }
        for (std::size_t j = 0; j < k; ++j) {
            if (std::stoi(places[j]) == std::stoi(p)) {
                return "--places に馬番 " + std::to_string(std::stoi(p)) +
                       " が二度指定されています。" + placesHow;
            }
        }
    }
    const std::string payoutsHow =
        "--payouts には単賞、複勝 (１着、２着、３着)、枠連、馬連の払戻金を 6 つまで、"
        "コンマで区切って数字だけで指定してください (例: 450,150,320,210,1230,4560)。";
    if (payouts.size() > kResultPayouts) {
        return "--payouts に " + std::to_string(payouts.size()) + " 個の値が指定されました。" +
               payoutsHow;
    }
    for (const std::string& p : payouts) {
        if (p.size() > 18 || (!p.empty() && !allDigits(p))) {
            return "--payouts の " + withReplacementCharacters(p) + " は金額ではありません。" +
                   payoutsHow;
        }
    }
    return std::nullopt;
}

int resultCommand(DataSession& data, const ResultArguments& args) {
    const Meeting meeting = meetingOf(args.meeting);
    const int race = std::stoi(args.race);
    Database* opened = data.existingTran();
    if (!opened) {
        std::cerr << args.meeting << " の出馬表データがありません。\n";
        return 1;
    }
    const std::string userName = personaName(readConstants(data.mast()));
    Database& tran = *opened;
    const auto card = readRaceCard(tran, meeting, race, userName);
    if (!card) {
        std::cerr << args.meeting << " の " << race << "R の出馬表データがありません。\n";
        return 1;
    }
    std::array<std::int64_t, kResultPlaces> placed{};
    std::array<std::int64_t, kResultPayouts> payouts{};
    const std::vector<std::string> placeArgs = commaSeparated(args.places);
    const std::vector<std::string> payoutArgs = commaSeparated(args.payouts);
    for (std::size_t k = 0; k < placeArgs.size(); ++k) placed[k] = numericValue(placeArgs[k]);
    for (std::size_t k = 0; k < payoutArgs.size(); ++k) payouts[k] = numericValue(payoutArgs[k]);
    const RaceResultEntry entry = resultEntry(placed, payouts, card->lines);
    if (const ResultProblem problem = resultEntryProblem(entry, card->runnerCount);
        !problem.message.empty()) {
        std::cerr << problem.message << "\n";
        return 2;
    }
    if (!storeRaceResult(tran, meeting, race, entry)) {
        std::cerr << kResultRaceGoneText << "\n";
        return 1;
    }
    std::cout << kResultStoredText << "\n";

    // What is stored now, as the race card shows it, and the forecast lines it hits.
    const auto stored = readRaceCard(tran, meeting, race, userName);
    if (!stored) return 0;
    const auto place = [&](std::size_t k) {
        const std::string text = placeText(stored->placed[k]);
        return text.empty() ? std::string("-") : text;
    };
    const auto pay = [&](std::size_t k) { return payoutText(stored->payouts[k]); };
    std::cout << twoColumns("１着", place(0)) << "  単賞 " << pay(0) << "  複勝 " << pay(1) << "\n"
              << twoColumns("２着", place(1)) << "  複勝 " << pay(2) << "\n";
    if (showsThirdPlace(stored->runnerCount))
        std::cout << twoColumns("３着", place(2)) << "  複勝 " << pay(3) << "\n";
    std::cout << twoColumns("枠連", stored->bracketPair) << "  " << pay(4) << "\n";
    if (showsQuinella(stored->runnerCount))
        std::cout << twoColumns("馬連", stored->quinellaPair) << "  " << pay(5) << "\n";
    const ResultHits hits = resultHits(stored->forecast, stored->placed[0], entry.quinellaPair);
    for (std::size_t p = 0; p < kPersonaCount; ++p) {
        std::string hit;
        if (hits.top[p]) hit += "本命 " + stored->forecast.personas[p].top[0].horseNumber;
        for (std::size_t k = 0; k < hits.picks[p].size(); ++k) {
            if (!hits.picks[p][k]) continue;
            hit += (hit.empty() ? "" : "、") + std::string("買い目 ") +
                   stored->forecast.personas[p].picks[k];
        }
        if (!hit.empty()) {
            std::cout << "的中: " << withReplacementCharacters(stored->forecast.personas[p].name)
                      << " (" << hit << ")\n";
        }
    }
    return 0;
}

}  // namespace zelvanor::cli
