// zelvanor-cli: the program's core driven from the command line, without windows.

#include <CLI/CLI.hpp>
#include <clocale>
#include <iostream>

#include "arguments.hpp"
#include "commands.hpp"
#include "core/records/display_width.hpp"
#include "core/shell/app_paths.hpp"
#include "core/shell/constants.hpp"
#include "core/shell/data_session.hpp"
#include "core/shell/file_problem.hpp"
#include "core/shell/instance_lock.hpp"
#include "core/store/store.hpp"
#include "terminal.hpp"
#include "core/views/meetings.hpp"

using namespace zelvanor;
namespace fs = std::filesystem;

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "C.UTF-8");
    CLI::App app{"Zelvanor コマンドライン: ＪＲＡ－ＶＡＮ のデータの取り込みと予想"};
    app.require_subcommand(1);
    // The help is in the user's language like every other message.
    auto formatter = app.get_formatter();
    formatter->label("Usage", "使い方");
    formatter->label("OPTIONS", "オプション");
    formatter->label("SUBCOMMAND", "コマンド");
    formatter->label("Positionals", "引数");
    formatter->label("REQUIRED", "");
    formatter->label("TEXT", "");
    app.option_defaults()->group("オプション");
    app.set_version_flag("--version", "zelvanor-cli " ZELVANOR_VERSION, "版を表示する");
    app.set_help_flag("-h,--help", "使い方を表示する");
    std::string dataOption;
    app.add_option(
           "--data", dataOption,
           "データフォルダ (なければ作る。省略時はプログラムと同じ: プログラムのフォルダか、"
           "書き込めなければ ~/.local/share/zelvanor)")
        ->type_name("DIR");

    auto* init = app.add_subcommand("init", "データベースを用意する (定数の表がなければ作る)");
    auto* tables = app.add_subcommand("tables", "mast.mdb と tran.mdb の表を一覧する");

    auto* import =
        app.add_subcommand("import",
                           "LHA圧縮ファイル (.lzh) またはデータファイル (JRA#*.DAT) を取り込む。"
                           "騎手、調教師、競走馬・出馬表、成績の順に取り込む");
    std::vector<std::string> importFiles;
    import->add_option("FILE", importFiles, "取り込むファイル")->required();
    bool importJson = false;
    import->add_flag("--json", importJson, "ファイルごとの取り込みの報告を JSON で出力する");

    bool json = false;
    auto* meetings = app.add_subcommand("meetings", "取り込んだ開催を競馬場ごとに一覧する");
    meetings->add_flag("--json", json, "JSON で出力する");

    auto* card =
        app.add_subcommand("card", "出馬表と三人の予想家の印・買い目・展開・見解を表示する");
    std::string meeting;
    std::string raceOption;
    card->add_option("MEETING", meeting, "開催、例: D05981003")->required();
    card->add_option("RACE", raceOption, "レース番号 1～12、省略時は全レース");
    card->add_flag("--json", json, "JSON で出力する");

    auto* horse = app.add_subcommand("horse", "出走馬の詳細 (競走馬の詳細の画面) を表示する");
    std::string horseNumber;
    horse->add_option("MEETING", meeting, "開催、例: D05981003")->required();
    horse->add_option("RACE", raceOption, "レース番号 1～12")->required();
    horse->add_option("NUMBER", horseNumber, "馬番 1～18")->required();
    horse->add_flag("--json", json, "JSON で出力する");

    auto* recompute = app.add_subcommand("recompute", "開催の１Ｒから１２Ｒまでを再計算する");
    std::vector<std::string> recomputeMeetings;
    std::vector<std::string> courses;
    recompute->add_option("MEETING", recomputeMeetings, "開催、例: D05981003");
    recompute->add_option("--courses", courses, "競馬場コードの開催をすべて、例: 01,05")
        ->delimiter(',')
        ->type_name("CODE");

    auto* going = app.add_subcommand("going", "開催の全レースの馬場を設定する");
    std::string goingValue;
    going->add_option("MEETING", meeting, "開催、例: D05981003")->required();
    going->add_option("GOING", goingValue, "good (良) または heavy (重)")->required();

    auto* check = app.add_subcommand(
        "check", "mast.mdb と tran.mdb が壊れていないか検査する (壊れていれば終了状態 1)");
    check->add_flag("--json", json, "JSON で出力する");
    auto* backup = app.add_subcommand(
        "backup", "mast.mdb と tran.mdb をフォルダに写す (手で入力した成績もこれで残る)");
    std::string backupFolder;
    backup->add_option("DIR", backupFolder, "写す先のフォルダ (なければ作る)")->required();
    backup->add_flag("--json", json, "JSON で出力する");

    auto* remove = app.add_subcommand("delete", "開催の出馬表・競走馬データを削除する");
    remove->add_option("MEETING", meeting, "開催、例: D05981003")->required();

    auto* options = app.add_subcommand("options", "予想定数を表示し、指定があれば設定する");
    std::vector<std::string> weightOption;
    std::string userName;
    auto* weightsOption =
        options->add_option("--weights", weightOption, "七つの重み 0～3、例: 2,2,2,2,1,1,1")
            ->delimiter(',')
            ->type_name("a,b,c,d,e,f,g");
    auto* nameOption = options->add_option("--name", userName, "三人目の予想家の名前、２文字まで")
                           ->type_name("NAME");

    auto* jockeys = app.add_subcommand("jockeys", "騎手の一覧 (JRA#KISI.DAT の番号・コード・名前)");
    auto* trainers =
        app.add_subcommand("trainers", "調教師の一覧 (JRA#CHOK.DAT の番号・コード・名前)");
    auto* jockey = app.add_subcommand("jockey", "騎手情報 (ＪＲＡ騎手情報検索の画面) を表示する");
    auto* trainer =
        app.add_subcommand("trainer", "調教師情報 (ＪＲＡ調教師情報検索の画面) を表示する");
    std::string personNumber;
    for (auto* people : {jockeys, trainers}) people->add_flag("--json", json, "JSON で出力する");
    for (auto* person : {jockey, trainer}) {
        person->add_option("N", personNumber, "一覧の番号 (レコード番号、1 から)")->required();
        person->add_flag("--json", json, "JSON で出力する");
    }

    cli::ResultArguments result;
    cli::addResultCommand(app, result);
    cli::PaybackArguments payback;
    cli::addPaybackCommand(app, payback);
    cli::VerifyArguments verify;
    cli::addVerifyCommand(app, verify);

    for (auto* command : app.get_subcommands([](CLI::App*) { return true; })) {
        command->group("コマンド");
        command->get_help_ptr()->group("オプション");
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e);  // --help, --version
    } catch (const CLI::ParseError& e) {
        std::cerr << cli::parseErrorMessage(app, e, std::vector<std::string>(argv + 1, argv + argc))
                  << "\n";
        return 2;
    }

    // Every argument is checked before the data folder is touched, so wrong input changes
    // nothing.
    std::optional<std::string> problem;
    int race = 0;
    std::array<int, 7> weights{};
    if (card->parsed() || going->parsed() || remove->parsed())
        problem = cli::meetingProblem(meeting);
    if (!problem && card->parsed() && !raceOption.empty()) {
        problem = cli::raceProblem(raceOption);
        if (!problem) race = std::stoi(raceOption);
    }
    if (recompute->parsed()) {
        if (recomputeMeetings.empty() && courses.empty()) {
            problem =
                "再計算する開催か --courses を指定してください (例: zelvanor-cli recompute "
                "D05981003、zelvanor-cli recompute --courses 01,05)。";
        }
        for (const auto& m : recomputeMeetings) {
            if (!problem) problem = cli::meetingProblem(m);
        }
        for (const auto& c : courses) {
            if (!problem) problem = cli::courseProblem(c);
        }
    }
    Going goingChoice = Going::Good;
    if (!problem && going->parsed()) {
        if (goingValue == "heavy" || goingValue == "重") {
            goingChoice = Going::Heavy;
        } else if (goingValue != "good" && goingValue != "良") {
            problem = "GOING に指定された " + withReplacementCharacters(goingValue) +
                      " は馬場の状態ではありません。good (良) か heavy (重) を指定してください。";
        }
    }
    if (!problem && weightsOption->count() > 0)
        problem = cli::weightsProblem(weightOption, weights);
    if (!problem && nameOption->count() > 0) {
        if (auto why = userNameProblem(userName); !why.empty()) problem = "--name: " + why;
    }
    if (!problem && horse->parsed()) {
        problem = cli::meetingProblem(meeting);
        if (!problem) problem = cli::raceProblem(raceOption);
        if (!problem) problem = cli::horseNumberProblem(horseNumber);
    }
    if (!problem && result.command->parsed()) problem = cli::resultArgumentsProblem(result);
    if (!problem && payback.command->parsed()) problem = cli::paybackArgumentsProblem(payback);
    if (!problem && verify.command->parsed()) problem = cli::verifyArgumentsProblem(verify);
    if (!problem && (jockey->parsed() || trainer->parsed()))
        problem = cli::recordNumberProblem(personNumber);
    if (problem) {
        std::cerr << *problem << "\n";
        return 2;
    }

    const bool setsOptions = weightsOption->count() > 0 || nameOption->count() > 0;
    const bool writes = init->parsed() || import->parsed() || recompute->parsed() ||
                        going->parsed() || remove->parsed() || (options->parsed() && setsOptions) ||
                        result.command->parsed() ||
                        // Nothing else may write while the copies are made, or they would not
                        // belong together.
                        backup->parsed();
    fs::path folder;
    try {
        folder = dataOption.empty() ? chooseDataFolder(programFolder()) : fs::path(dataOption);
        if (fs::exists(folder) && !fs::is_directory(folder)) {
            std::cerr << "データフォルダ " << withReplacementCharacters(folder.string())
                      << " はフォルダではありません。\n";
            return 2;
        }
        // Made when missing, as the programs make theirs.
        fs::create_directories(folder);
    } catch (const fs::filesystem_error& e) {
        std::cerr << "データフォルダを用意できません: " << fileSystemProblem(e) << "\n";
        return 1;
    }
    const AppPaths paths(folder);
    // Every command reads and writes through these; each is opened when first used.
    DataSession data(paths);

    // The window program holds this lock for its whole life; a second writer would change the
    // databases under it. Readers go ahead: SQLite keeps what they read consistent.
    std::optional<InstanceLock> lock;
    if (writes) {
        lock.emplace(paths.dataFolder());
        if (!lock->acquired()) {
            std::cerr << "データフォルダ " << withReplacementCharacters(folder.string())
                      << " は別の Zelvanor が使用中です。終わってから実行してください。\n";
            return 1;
        }
    }

    try {
        if (init->parsed()) {
            ensureConstantsTable(data.mast());
            std::cout << paths.mastPath().string() << "\n";
        } else if (tables->parsed()) {
            const std::pair<const char*, Database*> files[] = {
                {"mast.mdb", data.existingMast()}, {"tran.mdb", data.existingTran()}};
            for (const auto& [file, db] : files) {
                if (!db) continue;
                for (const auto& name : db->userTables()) {
                    std::cout << file << "\t" << withReplacementCharacters(name) << "\n";
                }
            }
        } else if (import->parsed()) {
            return cli::importCommand(importFiles, data, importJson);
        } else if (meetings->parsed()) {
            return cli::meetingsCommand(data, json);
        } else if (card->parsed()) {
            return cli::cardCommand(data, meeting, race, json);
        } else if (horse->parsed()) {
            return cli::horseCommand(data, meeting, std::stoi(raceOption), std::stoi(horseNumber),
                                     json);
        } else if (recompute->parsed()) {
            return cli::recomputeCommand(data, recomputeMeetings, courses);
        } else if (going->parsed()) {
            return cli::goingCommand(data, meeting, goingChoice);
        } else if (remove->parsed()) {
            return cli::deleteCommand(data, meeting);
        } else if (check->parsed()) {
            return cli::checkCommand(paths, json);
        } else if (backup->parsed()) {
            return cli::backupCommand(paths, backupFolder, json);
        } else if (result.command->parsed()) {
            return cli::resultCommand(data, result);
        } else if (payback.command->parsed()) {
            return cli::paybackCommand(data, payback);
        } else if (verify.command->parsed()) {
            return cli::verifyCommand(data, verify);
        } else if (jockeys->parsed() || trainers->parsed()) {
            return cli::peopleListCommand(
                paths, jockeys->parsed() ? PersonKind::Jockey : PersonKind::Trainer, json);
        } else if (jockey->parsed() || trainer->parsed()) {
            return cli::personCommand(paths,
                                      jockey->parsed() ? PersonKind::Jockey : PersonKind::Trainer,
                                      std::stoul(personNumber), json);
        } else if (options->parsed()) {
            return cli::optionsCommand(data, weightsOption->count() > 0 ? &weights : nullptr,
                                       nameOption->count() > 0 ? &userName : nullptr);
        }
    } catch (const fs::filesystem_error& e) {
        cli::clearProgress();
        std::cerr << fileSystemProblem(e) << "\n";
        return 1;
    } catch (const std::exception& e) {
        cli::clearProgress();
        std::cerr << withReplacementCharacters(e.what()) << "\n";
        return 1;
    }
    return 0;
}
