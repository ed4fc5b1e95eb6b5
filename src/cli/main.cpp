// zelvanor-cli: the program's core driven from the command line, without windows.

#include <CLI/CLI.hpp>
#include <clocale>
#include <iostream>

#include "commands.hpp"
#include "shell/app_paths.hpp"
#include "shell/constants.hpp"
#include "store/store.hpp"
#include "terminal.hpp"

using namespace zelvanor;
namespace fs = std::filesystem;

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "C.UTF-8");
    CLI::App app{"Zelvanor コマンドライン: ＪＲＡ－ＶＡＮ のデータの取り込みと予想"};
    app.require_subcommand(1);
    std::string dataOption;
    app.add_option(
        "--data", dataOption,
        "データフォルダ (省略時はプログラムと同じ: プログラムのフォルダか、書き込めなけれ"
        "ば ~/.local/share/zelvanor)");

    auto* init = app.add_subcommand("init", "データベースを用意する (定数の表がなければ作る)");
    auto* tables = app.add_subcommand("tables", "mast.mdb と tran.mdb の表を一覧する");

    auto* import =
        app.add_subcommand("import",
                           "LHA圧縮ファイル (.lzh) またはデータファイル (JRA#*.DAT) を取り込む。"
                           "騎手、調教師、競走馬・出馬表、成績の順に取り込む");
    std::vector<std::string> importFiles;
    import->add_option("FILE", importFiles, "取り込むファイル")->required();

    bool json = false;
    auto* meetings = app.add_subcommand("meetings", "取り込んだ開催を競馬場ごとに一覧する");
    meetings->add_flag("--json", json, "JSON で出力する");

    auto* card =
        app.add_subcommand("card", "出馬表と三人の予想家の印・買い目・展開・見解を表示する");
    std::string meeting;
    int race = 0;
    card->add_option("MEETING", meeting, "開催 (例: D05981003)")->required();
    card->add_option("RACE", race, "レース番号 (省略時は全レース)")->check(CLI::Range(1, 12));
    card->add_flag("--json", json, "JSON で出力する");

    auto* recompute = app.add_subcommand("recompute", "開催の１Ｒから１２Ｒまでを再計算する");
    std::vector<std::string> recomputeMeetings;
    std::vector<std::string> courses;
    recompute->add_option("MEETING", recomputeMeetings, "開催 (例: D05981003)");
    recompute->add_option("--courses", courses, "競馬場コードの開催をすべて (例: 01,05)")
        ->delimiter(',');

    auto* going = app.add_subcommand("going", "開催の全レースの馬場を設定する");
    std::string goingValue;
    going->add_option("MEETING", meeting, "開催 (例: D05981003)")->required();
    going->add_option("GOING", goingValue, "good (良) または heavy (重)")->required();

    auto* remove = app.add_subcommand("delete", "開催の出馬表・競走馬データを削除する");
    remove->add_option("MEETING", meeting, "開催 (例: D05981003)")->required();

    auto* options = app.add_subcommand("options", "予想定数を表示し、指定があれば設定する");
    std::vector<int> weights;
    std::string userName;
    options->add_option("--weights", weights, "七つの重み 0～3 (例: 2,2,2,2,1,1,1)")
        ->delimiter(',');
    auto* nameOption = options->add_option("--name", userName, "三人目の予想家の名前 (２文字まで)");

    CLI11_PARSE(app, argc, argv);
    if (recompute->parsed() && recomputeMeetings.empty() && courses.empty()) {
        std::cerr << "再計算する開催か --courses を指定してください。\n";
        return 2;
    }

    const AppPaths paths(dataOption.empty() ? chooseDataFolder(programFolder())
                                            : fs::path(dataOption));
    try {
        if (!fs::is_directory(paths.dataFolder())) {
            std::cerr << paths.dataFolder().string() << " はフォルダではありません。\n";
            return 2;
        }
        if (init->parsed()) {
            ensureConstantsTable(paths);
            std::cout << paths.mastPath().string() << "\n";
        } else if (tables->parsed()) {
            for (const auto& file : {paths.mastPath(), paths.tranPath()}) {
                if (!fs::exists(file)) continue;
                Database db(file);
                for (const auto& name : db.userTables()) {
                    std::cout << file.filename().string() << "\t" << name << "\n";
                }
            }
        } else if (import->parsed()) {
            return cli::importCommand(importFiles, paths);
        } else if (meetings->parsed()) {
            return cli::meetingsCommand(paths, json);
        } else if (card->parsed()) {
            return cli::cardCommand(paths, meeting, race, json);
        } else if (recompute->parsed()) {
            return cli::recomputeCommand(paths, recomputeMeetings, courses);
        } else if (going->parsed()) {
            return cli::goingCommand(paths, meeting, goingValue);
        } else if (remove->parsed()) {
            return cli::deleteCommand(paths, meeting);
        } else if (options->parsed()) {
            return cli::optionsCommand(paths, weights, nameOption->count() ? &userName : nullptr);
        }
    } catch (const std::exception& e) {
        cli::clearProgress();
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
