// zelvanor-cli: the program's core driven from the command line, without windows.

#include <CLI/CLI.hpp>

#include <clocale>
#include <iostream>

#include "shell/app_paths.hpp"
#include "shell/constants.hpp"
#include "store/store.hpp"

using namespace zelvanor;

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "C.UTF-8");
    CLI::App app{"Zelvanor コマンドライン"};
    app.require_subcommand(1);
    std::string dataOption;
    app.add_option(
        "--data", dataOption,
        "データフォルダ (省略時はプログラムと同じ: プログラムのフォルダか、書き込めなければ "
        "~/.local/share/zelvanor)");

    auto* init = app.add_subcommand("init", "データベースを用意する (定数の表がなければ作る)");
    auto* tables = app.add_subcommand("tables", "mast.mdb と tran.mdb の表を一覧する");

    CLI11_PARSE(app, argc, argv);

    const AppPaths paths(dataOption.empty() ? chooseDataFolder(programFolder())
                                            : std::filesystem::path(dataOption));
    try {
        if (!std::filesystem::is_directory(paths.dataFolder())) {
            std::cerr << paths.dataFolder().string() << " はフォルダではありません。\n";
            return 2;
        }
        if (init->parsed()) {
            ensureConstantsTable(paths);
            std::cout << paths.mastPath().string() << "\n";
        } else if (tables->parsed()) {
            for (const auto& file : {paths.mastPath(), paths.tranPath()}) {
                if (!std::filesystem::exists(file)) continue;
                Database db(file);
                for (const auto& name : db.userTables()) {
                    std::cout << file.filename().string() << "\t" << name << "\n";
                }
            }
        }
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
