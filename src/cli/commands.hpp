#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/shell/app_paths.hpp"
#include "core/views/meetings.hpp"
#include "core/views/people_info.hpp"

namespace CLI {
class App;
}

namespace zelvanor {
class Database;
class DataSession;
}

namespace zelvanor::cli {

// Each returns the process exit status: 0 success, 1 failure, 2 wrong input. Meeting names,
// courses, weights and the name come checked by main.
// With `json`, stdout carries only the import reports as a JSON array; 3 when an import stopped
// part-way after storing some of its data.
int importCommand(const std::vector<std::string>& files, DataSession& data, bool json = false);
int meetingsCommand(DataSession& data, bool json);
int cardCommand(DataSession& data, const std::string& meeting, int race, bool json);
// What the horse detail window shows for horse number `number` of the race.
int horseCommand(DataSession& data, const std::string& meeting, int race, int number,
                 bool json);
std::optional<std::string> horseNumberProblem(const std::string& number);
int recomputeCommand(DataSession& data, const std::vector<std::string>& meetings,
                     const std::vector<std::string>& courses);
int goingCommand(DataSession& data, const std::string& meeting, Going going);
int deleteCommand(DataSession& data, const std::string& meeting);

// `check`: SQLite's integrity check of mast.mdb and tran.mdb, a report on each; 1 when either is
// damaged. `backup DIR`: consistent copies of both in DIR, never half written there; 2 when DIR
// is the data folder or there is nothing to copy.
int checkCommand(const AppPaths& paths, bool json);
int backupCommand(const AppPaths& paths, const std::string& folder, bool json);

// The race database holding that meeting's tables, or null after telling the user on stderr
// that there is no race database yet or no such meeting in it (an absent file is not created).
Database* meetingDatabase(DataSession& data, const std::string& name, const Meeting& meeting);
// Sets what is given (null: left as stored) and shows the values.
int optionsCommand(DataSession& data, const std::array<int, 7>* weights,
                   const std::string* name);

// `jockeys` / `trainers`: record number, code and name of everyone in the file. `jockey N` /
// `trainer N`: what the information window shows for record N, N being the number in that list.
// Both say on stderr when the file gives no one (1).
int peopleListCommand(const AppPaths& paths, PersonKind kind, bool json);
int personCommand(const AppPaths& paths, PersonKind kind, std::size_t number, bool json);
std::optional<std::string> recordNumberProblem(const std::string& number);

// `result MEETING RACE --places … --payouts …`: declared on the parser, its arguments checked
// before the data folder is opened, then run (result_command.cpp).
struct ResultArguments {
    CLI::App* command = nullptr;
    std::string meeting, race;
    // As given: numbers separated by commas, an empty one kept in its place.
    std::string places, payouts;
};
void addResultCommand(CLI::App& app, ResultArguments& args);
std::optional<std::string> resultArgumentsProblem(const ResultArguments& args);
int resultCommand(DataSession& data, const ResultArguments& args);

// `payback MEETING [--stakes …] [--tickets …] [--races …] [--marks …] [--json]`: the payback
// window's grids and totals (payback_command.cpp); the defaults are the window's.
struct PaybackArguments {
    CLI::App* command = nullptr;
    std::string meeting;
    std::string stakes = "equal", tickets = "6", races = "all", marks = "pair";
    bool json = false;
};
void addPaybackCommand(CLI::App& app, PaybackArguments& args);
std::optional<std::string> paybackArgumentsProblem(const PaybackArguments& args);
int paybackCommand(DataSession& data, const PaybackArguments& args);
// `verify [--courses …] [--select N] [--races …] [--json]`: the verification run over the stored
// meetings (verify_command.cpp); 1 when no race counted.
struct VerifyArguments {
    CLI::App* command = nullptr;
    std::vector<std::string> courses, races;
    std::string select;
    bool json = false;
};
void addVerifyCommand(CLI::App& app, VerifyArguments& args);
std::optional<std::string> verifyArgumentsProblem(const VerifyArguments& args);
int verifyCommand(DataSession& data, const VerifyArguments& args);

}  // namespace zelvanor::cli
