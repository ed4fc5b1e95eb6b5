#include <algorithm>
#include <filesystem>
#include <iostream>

#include "commands.hpp"
#include "import/archive.hpp"
#include "import/archive_import.hpp"
#include "shell/constants.hpp"
#include "terminal.hpp"

namespace zelvanor::cli {

namespace fs = std::filesystem;

namespace {

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

}  // namespace

int importCommand(const std::vector<std::string>& files, const AppPaths& paths) {
    std::vector<ImportTask> tasks;
    if (!planImports(files, tasks)) return 2;
    TerminalNotifier notifier;
    const ProgressFn progress = terminalProgress("取り込み中");
    ensureConstantsTable(paths);
    for (const auto& task : tasks) {
        bool ok = false;
        if (task.archive) {
            ok = extractAndImport(task.kind, task.source, paths, notifier, progress);
        } else {
            copyIntoFolder(task.source, paths);
            ok = importExtracted(task.kind, paths, notifier, progress);
        }
        clearProgress();
        if (!ok) return 1;
    }
    return 0;
}

}  // namespace zelvanor::cli
