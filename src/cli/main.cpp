// zelvanor-cli: the program's core driven from the command line, without windows.

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <iostream>

#include "import/archive.hpp"
#include "import/archive_import.hpp"
#include "shell/app_paths.hpp"
#include "shell/constants.hpp"
#include "store/store.hpp"

using namespace zelvanor;
namespace fs = std::filesystem;

namespace {

// Notices as lines: what the windows show in a box goes to the terminal, warnings to stderr.
class TerminalNotifier final : public Notifier {
public:
    void notify(const std::string& text, const std::string&, Icon icon) override {
        clearProgress();
        (icon == Icon::None || icon == Icon::Information ? std::cout : std::cerr) << text << "\n";
    }
    static void clearProgress() {
        if (shown) std::cerr << "\r\033[K" << std::flush;
        shown = false;
    }
    static inline bool shown = false;
};

ProgressFn terminalProgress() {
    if (!::isatty(STDERR_FILENO)) return {};
    return [last = -1](int percent) mutable {
        if (percent == last) return;
        last = percent;
        std::cerr << "\r取り込み中 " << percent << "%" << std::flush;
        TerminalNotifier::shown = true;
    };
}

struct ImportTask {
    ArchiveKind kind;
    fs::path source;
    bool archive;
};

std::string upper(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Copies a record file into the extraction folder under its own name, through a temporary
// name, so a failed copy never leaves half a file behind.
void copyIntoFolder(const fs::path& file, const AppPaths& paths) {
    const fs::path target = paths.extractionFolder() / upper(file.filename().string());
    std::error_code ec;
    if (fs::equivalent(file, target, ec)) return;
    removeEarlierCopies(paths.extractionFolder(), target.filename().string());
    const fs::path part = target.string() + ".part";
    fs::copy_file(file, part, fs::copy_options::overwrite_existing);
    fs::rename(part, target);
}

// Checks every input before anything is imported, so a mistyped name changes nothing.
bool planImports(const std::vector<std::string>& files, std::vector<ImportTask>& tasks) {
    for (const auto& name : files) {
        const fs::path file(name);
        if (!fs::is_regular_file(file)) {
            std::cerr << name << " がありません.\n";
            return false;
        }
        if (const auto kind = recordFileKind(file.filename().string())) {
            tasks.push_back({*kind, file, false});
            continue;
        }
        if (!isLhaArchive(file)) {
            std::cerr << name << " は、LHA圧縮ファイルではありません。\n";
            return false;
        }
        const auto kinds = archiveKinds(file);
        if (kinds.empty()) {
            std::cerr << name << " は、ＪＲＡ－ＶＡＮのデータファイルを含んでいません。\n";
            return false;
        }
        for (ArchiveKind kind : kinds) tasks.push_back({kind, file, true});
    }
    std::stable_sort(tasks.begin(), tasks.end(), [](const ImportTask& a, const ImportTask& b) {
        return importOrder(a.kind) < importOrder(b.kind);
    });
    return true;
}

int runImports(const std::vector<std::string>& files, const AppPaths& paths) {
    std::vector<ImportTask> tasks;
    if (!planImports(files, tasks)) return 2;
    TerminalNotifier notifier;
    const ProgressFn progress = terminalProgress();
    ensureConstantsTable(paths);
    for (const auto& task : tasks) {
        bool ok = false;
        if (task.archive) {
            ok = extractAndImport(task.kind, task.source, paths, notifier, progress);
        } else {
            copyIntoFolder(task.source, paths);
            ok = importExtracted(task.kind, paths, notifier, progress);
        }
        TerminalNotifier::clearProgress();
        if (!ok) return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "C.UTF-8");
    CLI::App app{"Zelvanor コマンドライン"};
    app.require_subcommand(1);
    std::string dataOption;
    app.add_option("--data", dataOption,
                   "データフォルダ (省略時はプログラムと同じ: プログラムのフォルダか、書き込めなけれ"
                   "ば ~/.local/share/zelvanor)");

    auto* init = app.add_subcommand("init", "データベースを用意する (定数の表がなければ作る)");
    auto* tables = app.add_subcommand("tables", "mast.mdb と tran.mdb の表を一覧する");
    auto* import = app.add_subcommand(
        "import",
        "LHA圧縮ファイル (.lzh) またはデータファイル (JRA#*.DAT) を取り込む。"
        "騎手、調教師、競走馬・出馬表、成績の順に取り込む");
    std::vector<std::string> importFiles;
    import->add_option("FILE", importFiles, "取り込むファイル")->required();

    CLI11_PARSE(app, argc, argv);

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
            return runImports(importFiles, paths);
        }
    } catch (const std::exception& e) {
        TerminalNotifier::clearProgress();
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
