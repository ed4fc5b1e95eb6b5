#pragma once

// The command line's arguments checked before anything is opened: each check returns the
// message for the user, or nothing when the argument is good.

#include <CLI/CLI.hpp>
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace zelvanor::cli {

// A meeting is named by its race table: D, the course code 01 to 10 and the date as YYMMDD.
std::optional<std::string> meetingProblem(const std::string& meeting);
std::optional<std::string> courseProblem(const std::string& course);

// RACE as given: a whole number 1 to 12.
std::optional<std::string> raceProblem(const std::string& race);

// --weights as given: seven whole numbers 0 to 3.
std::optional<std::string> weightsProblem(const std::vector<std::string>& weights,
                                          std::array<int, 7>& out);

// What CLI11 refused, in the user's words, naming the command and the argument. `app` is the
// program's parser after the failed parse, `args` the arguments it was given.
std::string parseErrorMessage(const CLI::App& app, const CLI::ParseError& error,
                              const std::vector<std::string>& args);

}  // namespace zelvanor::cli
