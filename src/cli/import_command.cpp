#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "commands.hpp"
#include "core/import/archive.hpp"
#include "core/import/archive_import.hpp"
#include "core/records/display_width.hpp"
#include "core/shell/constants.hpp"
#include "core/shell/data_session.hpp"
#include "core/shell/file_problem.hpp"
#include "terminal.hpp"

namespace zelvanor::cli {

namespace fs = std::filesystem;

namespace {

// With --json, stdout carries the JSON alone: every notice goes to stderr.
class StderrNotifier final : public Notifier {
  public:
    void notify(const std::string& text, const std::string& title, Icon) override {
        clearProgress();
        if (!title.empty() && title != kApplicationTitle) std::cerr << "[" << title << "] ";
        std::cerr << forTerminal(text) << "\n";
    }
};

// What a path that is there but no regular file is, in the user's words.
const char* notAFile(const fs::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return "通常のファイルではありません";
    if (S_ISDIR(st.st_mode)) return "フォルダで、ファイルではありません";
    if (S_ISFIFO(st.st_mode)) return "名前付きパイプで、通常のファイルではありません";
    if (S_ISSOCK(st.st_mode)) return "ソケットで、通常のファイルではありません";
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return "デバイスで、通常のファイルではありません";
    return "通常のファイルではありません";
}

enum class Plan { Ready, WrongInput, Failed };

// Checks every input before anything is imported, so a mistyped name changes nothing. Each
// archive is read once here, its record files staged for the imports that follow.
Plan planImports(const std::vector<std::string>& files, const AppPaths& paths,
                 std::vector<ImportTask>& tasks) {
    for (const auto& name : files) {
        const fs::path file(name);
        const std::string shown = withReplacementCharacters(name);
        std::error_code ec;
        const fs::file_status status = fs::status(file, ec);
        if (status.type() == fs::file_type::not_found) {
            std::cerr << shown << " がありません。\n";
            return Plan::WrongInput;
        }
        if (ec) {
            std::cerr << fileSystemProblem(fs::filesystem_error("", file, ec)) << "\n";
            return Plan::WrongInput;
        }
        if (status.type() != fs::file_type::regular) {
            std::cerr << shown << " は" << notAFile(file) << "。\n";
            return Plan::WrongInput;
        }
        if (const auto kind = recordFileKind(file.filename().string())) {
            addRecordFile(tasks, *kind, file);
            continue;
        }
        auto contents = std::make_shared<ArchiveContents>(
            readArchive(file, paths.extractionFolder(), recordMembers()));
        if (!contents->isArchive()) {
            std::cerr << shown << " は、LHA圧縮ファイルではありません。\n";
            return Plan::WrongInput;
        }
        if (contents->failure) {
            std::cerr << forTerminal(withReplacementCharacters(
                             extractFailureMessage(file, contents->failure)))
                      << "\n";
            return Plan::Failed;
        }
        const auto found = archiveTasks(file, contents);
        if (found.empty()) {
            std::cerr << shown << " は、ＪＲＡ－ＶＡＮのデータファイルを含んでいません。\n";
            return Plan::WrongInput;
        }
        tasks.insert(tasks.end(), found.begin(), found.end());
    }
    sortImportTasks(tasks);
    return Plan::Ready;
}

// One object per record file of the report, and one per member the archive lacked.
void addJson(nlohmann::json& out, const ImportReport& report) {
    for (const auto& file : report.files) {
        out.push_back({{"source", file.source.empty() ? report.source : file.source},
                       {"file", file.file},
                       {"read", file.read},
                       {"stored", file.stored},
                       {"replaced", file.replaced},
                       {"refused", file.refused},
                       {"notes", file.notes},
                       {"missing", false}});
    }
    for (const auto& member : report.missingMembers) {
        out.push_back({{"source", report.source},
                       {"file", member},
                       {"read", 0},
                       {"stored", 0},
                       {"replaced", 0},
                       {"refused", 0},
                       {"notes", nlohmann::json::array()},
                       {"missing", true}});
    }
}

int runTasks(const std::vector<ImportTask>& tasks, DataSession& data, bool json,
             nlohmann::json& reports) {
    const AppPaths& paths = data.paths();
    TerminalNotifier terminal;
    StderrNotifier quiet;
    Notifier& notifier = json ? static_cast<Notifier&>(quiet) : terminal;
    const ProgressFn progress = terminalProgress("取り込み中");
    ensureConstantsTable(data.mast());
    // The imports work with connections of their own.
    data.close();
    for (const auto& task : tasks) {
        const ImportRun run = runImportTask(task, paths, notifier, progress);
        clearProgress();
        if (json) {
            addJson(reports, run.report);
        } else if (const std::string text = importReportText(run.report); !text.empty()) {
            std::cout << withReplacementCharacters(text) << "\n";
        }
        switch (run.outcome) {
            case ImportOutcome::Imported:
                break;
            case ImportOutcome::Failed:
                return 1;
            case ImportOutcome::Partly:
                return 3;
        }
    }
    return 0;
}

}  // namespace

int importCommand(const std::vector<std::string>& files, DataSession& data, bool json) {
    const AppPaths& paths = data.paths();
    nlohmann::json reports = nlohmann::json::array();
    int status = 0;
    try {
        std::vector<ImportTask> tasks;
        switch (planImports(files, paths, tasks)) {
            case Plan::WrongInput:
                status = 2;
                break;
            case Plan::Failed:
                status = 1;
                break;
            case Plan::Ready:
                status = runTasks(tasks, data, json, reports);
                break;
        }
    } catch (const fs::filesystem_error& e) {
        clearProgress();
        std::cerr << fileSystemProblem(e) << "\n";
        status = 1;
    } catch (const std::exception& e) {
        clearProgress();
        std::cerr << withReplacementCharacters(e.what()) << "\n";
        status = 1;
    }
    if (json) printJson(std::cout, reports);
    return status;
}

}  // namespace zelvanor::cli
