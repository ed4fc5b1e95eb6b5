#include "arguments.hpp"

#include "core/records/display_width.hpp"
#include "core/records/numeric.hpp"

namespace zelvanor::cli {

namespace {

// Arguments are echoed in messages; bytes that are not text must not break the terminal.
std::string shown(const std::string& arg) {
    return withReplacementCharacters(arg);
}

const CLI::App* chosenCommand(const CLI::App& app) {
    const auto chosen = app.get_subcommands();
    return chosen.empty() ? nullptr : chosen.front();
}

std::string commandList(const CLI::App& app) {
    std::string names;
    for (const auto* sub : app.get_subcommands({}))
        names += (names.empty() ? "" : ", ") + sub->get_name();
    return names;
}

}  // namespace

std::optional<std::string> meetingProblem(const std::string& meeting) {
    const std::string expected =
        " は開催の名前ではありません。D、競馬場コード 01～10、年月日 6 桁 (YYMMDD) の順に、"
        "例えば D05981003 のように指定してください。";
    if (meeting.size() != 9 || meeting[0] != 'D' || !allDigits(meeting.substr(1))) {
        return shown(meeting) + expected;
    }
    if (courseProblem(meeting.substr(1, 2))) return shown(meeting) + expected;
    const int year = std::stoi(meeting.substr(3, 2));
    const int month = std::stoi(meeting.substr(5, 2));
    const int day = std::stoi(meeting.substr(7, 2));
    // Two-digit years stand for 1901 to 2099, where every fourth year is a leap year.
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool valid = month >= 1 && month <= 12 && day >= 1 && day <= kDays[month - 1] &&
                       !(month == 2 && day == 29 && year % 4 != 0);
    if (!valid) {
        return meeting + " の日付 " + meeting.substr(3) +
               " (YYMMDD) はありえない日付です。開催の名前は例えば D05981003 "
               "のように指定してください。";
    }
    return std::nullopt;
}

std::optional<std::string> courseProblem(const std::string& course) {
    if (course.size() == 2 && allDigits(course)) {
        const int code = std::stoi(course);
        if (code >= 1 && code <= 10) return std::nullopt;
    }
    return shown(course) + " は競馬場のコード (01～10) ではありません。";
}

std::optional<std::string> raceProblem(const std::string& race) {
    if (race.size() <= 2 && allDigits(race)) {
        const int n = std::stoi(race);
        if (n >= 1 && n <= 12) return std::nullopt;
    }
    return "RACE に指定された " + shown(race) +
           " はレース番号ではありません。1～12 の数で指定してください。";
}

std::optional<std::string> weightsProblem(const std::vector<std::string>& weights,
                                          std::array<int, 7>& out) {
    const std::string how =
        "--weights には 0～3 の数を 7 つ、コンマで区切って指定してください (例: 2,2,2,2,1,1,1)。";
    if (weights.size() != out.size()) {
        return "--weights に " + std::to_string(weights.size()) + " 個の値が指定されました。" + how;
    }
    for (std::size_t i = 0; i < weights.size(); ++i) {
        const std::string& w = weights[i];
        if (w.size() != 1 || w[0] < '0' || w[0] > '3') {
            return "--weights の " + std::to_string(i + 1) + " 番目の値 " + shown(w) +
                   " は重みではありません。" + how;
        }
        out[i] = w[0] - '0';
    }
    return std::nullopt;
}

std::string parseErrorMessage(const CLI::App& app, const CLI::ParseError& error,
                              const std::vector<std::string>& args) {
    const CLI::App* command = chosenCommand(app);
    const std::string help = command ? "zelvanor-cli " + command->get_name() + " --help"
                                     : std::string("zelvanor-cli --help");
    const std::string seeHelp = "(使い方は " + help + " で表示されます)";

    // Arguments nothing took: the chosen command's own, or else the program's.
    std::vector<std::string> extras = command ? command->remaining() : std::vector<std::string>{};
    const bool theCommands = !extras.empty();
    if (!theCommands) extras = app.remaining();
    if (!extras.empty() && (dynamic_cast<const CLI::ExtrasError*>(&error) ||
                            dynamic_cast<const CLI::RequiredError*>(&error))) {
        const std::string first = shown(extras.front());
        const std::string where = theCommands ? command->get_name() + " に " : std::string();
        if (first[0] == '-') return where + first + " というオプションはありません。" + seeHelp;
        if (!command) {
            return first + " というコマンドはありません。コマンドは " + commandList(app) +
                   " です。" + seeHelp;
        }
        std::string all;
        for (const auto& e : extras) all += (all.empty() ? "" : " ") + shown(e);
        return command->get_name() + " に余分な引数があります: " + all + " " + seeHelp;
    }
    if (dynamic_cast<const CLI::RequiredError*>(&error)) {
        if (!command) {
            return "コマンドを指定してください。コマンドは " + commandList(app) + " です。" +
                   seeHelp;
        }
        for (const auto* option : command->get_options()) {
            if (option->get_required() && option->count() == 0) {
                return command->get_name() + " には " + option->get_name() + " (" +
                       option->get_description() + ") を指定してください。" + seeHelp;
            }
        }
    }
    const std::string what = error.what();
    if (dynamic_cast<const CLI::ConversionError*>(&error)) {
        // "Could not convert: NAME = VALUE"
        const std::string lead = "Could not convert: ";
        const auto equals = what.find(" = ");
        if (what.rfind(lead, 0) == 0 && equals != std::string::npos) {
            return what.substr(lead.size(), equals - lead.size()) + " に " +
                   shown(what.substr(equals + 3)) + " は指定できません。" + seeHelp;
        }
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error)) {
        // CLI11 names the option before the first colon of its message.
        const auto colon = what.find(':');
        if (colon != std::string::npos && colon > 0) {
            return what.substr(0, colon) + " の値の数が正しくありません。" + seeHelp;
        }
    }
    // Anything else is named by the arguments as given.
    std::string all;
    for (const auto& a : args) all += (all.empty() ? "" : " ") + shown(a);
    return "引数 " + all + " を読み取れません。" + seeHelp;
}

}  // namespace zelvanor::cli
