#include "core/import/archive_import.hpp"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "core/import/archive.hpp"
#include "core/import/people_import.hpp"
#include "core/import/race_card_import.hpp"
#include "core/import/results_import.hpp"
#include "core/shell/file_problem.hpp"
#include "core/store/store.hpp"

namespace zelvanor {

// Parts of the flows below, not used elsewhere.
// The same for an archive already read (readArchive with recordMembers()): installs the kind's
// staged members and runs its import. The staged files are used up.
ImportRun importFromArchive(ArchiveKind kind, const std::filesystem::path& archive,
                            ArchiveContents& contents, const AppPaths& paths, Notifier& notifier,
                            const ProgressFn& progress,
                            MastCompaction compaction = MastCompaction::AfterImport);

// The kinds whose members an archive holds, in the order they must be imported: jockeys and
// trainers before the horses and race cards that refer to them, results last.
std::vector<ArchiveKind> archiveKinds(const ArchiveContents& contents);

// Where a kind comes in the import order (smaller first).
int importOrder(ArchiveKind kind);

// The *.lzh files of the batch folder, in name order.
std::vector<std::filesystem::path> batchArchives(const AppPaths& paths);


namespace {

const ArchiveFlow kFlows[] = {
    {ArchiveKind::Horses,
     "！競走馬・出馬表の圧縮されたファイルを指定してください",
     {"JRA#UMAJ.DAT", "JRA#DEN1.DAT"},
     " は、競走馬のファイルではありません。",
     " は、LHA圧縮ファイルではありません。"},
    {ArchiveKind::Results,
     "！成績データの圧縮されたファイルを指定してください",
     {"JRA#SEI1.DAT"},
     " は、成績データファイルではありません。",
     " は、LHA圧縮ファイルじゃないよ！"},
    {ArchiveKind::Jockeys,
     "！騎手データの圧縮されたファイルを指定してください",
     {"JRA#KISI.DAT"},
     " は、騎手のファイルじゃないよ！",
     " は、LHA圧縮ファイルではありません。"},
    {ArchiveKind::Trainers,
     "！調教師データの圧縮されたファイルを指定してください",
     {"JRA#CHOK.DAT"},
     " は、調教師のファイルではありません。",
     " は、LHA圧縮ファイルではありません。"},
};

constexpr const char* kHorsesDone = "出馬表・競走馬データの取込が終了しました。";

std::string upper(std::string_view s) {
    std::string out(s);
    for (auto& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// The earlier copies of a record file: its name under any letter case, but for `keep`.
std::vector<std::filesystem::path> earlierCopies(const std::filesystem::path& folder,
                                                 std::string_view fileName,
                                                 std::string_view keep = {}) {
    const std::string wanted = upper(fileName);
    std::error_code ec;
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (upper(name) == wanted && name != keep && entry.is_regular_file(ec)) {
            found.push_back(entry.path());
        }
    }
    return found;
}

void reportFileError(Notifier& notifier, const std::filesystem::path& file, const char* what) {
    notifier.notify(file.string() + what + "\nデータは取り込む前のままです。", kApplicationTitle,
                    Notifier::Icon::Critical);
}

// Removes the earlier copies of a record file but `keep`; a copy that cannot go is reported.
bool removeCopies(const std::filesystem::path& folder, std::string_view fileName,
                  std::string_view keep, Notifier& notifier) {
    for (const auto& copy : earlierCopies(folder, fileName, keep)) {
        if (::unlink(copy.c_str()) != 0 && errno != ENOENT) {
            reportFileError(notifier, copy, " を削除できません。");
            return false;
        }
    }
    return true;
}

// Puts a staged member in place as folder/<member>, the copies under another letter case going
// just before: until then the earlier file stays, so a failure leaves it as the tables are.
bool installMember(StagedFile& staged, std::string_view member, const std::filesystem::path& source,
                   bool fromArchive, const AppPaths& paths, Notifier& notifier) {
    const std::filesystem::path target = paths.extractionFolder() / std::string(member);
    if (!removeCopies(paths.extractionFolder(), member, member, notifier)) return false;
    if (const int code = staged.install(target); code != 0) {
        if (fromArchive) {
            notifier.notify(extractFailureMessage(source, {code, std::string(member), 0}),
                            kApplicationTitle, Notifier::Icon::Critical);
        } else {
            reportFileError(notifier, target, " に書き込めません。");
        }
        return false;
    }
    return true;
}

// Installs the flow's members from an archive read without failure. A member the archive lacks
// has its earlier copies removed, so that no import reads a file of an earlier archive, and is
// named in the report.
bool installMembers(const ArchiveFlow& flow, const std::filesystem::path& archive,
                    ArchiveContents& contents, const AppPaths& paths, Notifier& notifier,
                    ImportReport& report) {
    for (std::string_view member : flow.members) {
        if (StagedFile* staged = contents.find(member)) {
            if (!installMember(*staged, member, archive, true, paths, notifier)) return false;
            continue;
        }
        report.missingMembers.emplace_back(member);
        if (!removeCopies(paths.extractionFolder(), member, {}, notifier)) return false;
    }
    return true;
}

bool holdsAny(const ArchiveFlow& flow, const ArchiveContents& contents) {
    return std::any_of(flow.members.begin(), flow.members.end(),
                       [&](std::string_view m) { return contents.holds(m); });
}

bool fileExists(const std::filesystem::path& file) {
    std::error_code ec;
    return std::filesystem::is_regular_file(file, ec);
}

// Runs the flow's import, filling in the run's outcome and report; its own failures are reported
// here.
void runImport(ArchiveKind kind, const AppPaths& paths, Notifier& notifier,
               const ProgressFn& progress, ImportRun& run, MastCompaction compaction) {
    run.outcome = ImportOutcome::Failed;
    try {
        switch (kind) {
            case ArchiveKind::Horses: {
                const auto r = importRaceCardsIfPresent(paths, progress);
                if (r) {
                    if (r->horses) run.report.files.push_back(*r->horses);
                    run.report.files.push_back(r->report);
                } else if (fileExists(paths.extractionFolder() / "JRA#UMAJ.DAT")) {
                    FileReport horses;
                    horses.file = "JRA#UMAJ.DAT";
                    horses.notes.push_back(
                        "出馬表のファイル JRA#DEN1.DAT がないため、競走馬データは取り込みません"
                        "でした。");
                    run.report.files.push_back(std::move(horses));
                }
                run.outcome = ImportOutcome::Imported;
                notifier.notify(kHorsesDone, "", Notifier::Icon::None);
                return;
            }
            case ArchiveKind::Jockeys:
            case ArchiveKind::Trainers: {
                const PeopleImportResult r = kind == ArchiveKind::Jockeys
                                                 ? importJockeys(paths, progress, compaction)
                                                 : importTrainers(paths, progress, compaction);
                run.report.files.push_back(r.report);
                run.outcome = ImportOutcome::Imported;
                notifier.notify(r.message, "", Notifier::Icon::None);
                return;
            }
            case ArchiveKind::Results: {
                const ResultsImportResult r = importResults(paths, progress);
                run.report.files.push_back(r.report);
                if (!r.stopped) {
                    run.outcome = ImportOutcome::Imported;
                } else {
                    // Stopping at the first meeting leaves every race row as it was.
                    run.outcome =
                        r.storedMeetings.empty() ? ImportOutcome::Failed : ImportOutcome::Partly;
                }
                notifier.notify(r.message, r.title, r.icon);
                return;
            }
        }
    } catch (const ImportError& e) {
        notifier.notify(e.what(), "", Notifier::Icon::Exclamation);
    } catch (const HorsesStoredError& e) {
        run.outcome = ImportOutcome::Partly;
        notifier.notify(std::string(e.what()) +
                            "\n競走馬データは取り込みました。出馬表データは取り込む前のままです。",
                        kApplicationTitle, Notifier::Icon::Critical);
    } catch (const std::exception& e) {
        notifier.notify(operationProblem(e) + "\nデータは取り込む前のままです。", kApplicationTitle,
                        Notifier::Icon::Critical);
    }
}

// Reads the archive once with the flow's members staged. Not an archive, none of the members
// held, or damaged: reported.
std::optional<ArchiveContents> readForFlow(const ArchiveFlow& flow,
                                           const std::filesystem::path& archive,
                                           const AppPaths& paths, Notifier& notifier) {
    ArchiveContents contents = readArchive(archive, paths.extractionFolder(), flow.members);
    if (!contents.isArchive()) {
        notifier.notify(archive.string() + std::string(flow.notArchiveText), kApplicationTitle,
                        Notifier::Icon::Exclamation);
        return std::nullopt;
    }
    if (contents.failure) {
        notifier.notify(extractFailureMessage(archive, contents.failure), kApplicationTitle,
                        Notifier::Icon::Critical);
        return std::nullopt;
    }
    if (!holdsAny(flow, contents)) {
        notifier.notify(archive.string() + std::string(flow.notFoundText), kApplicationTitle,
                        Notifier::Icon::Exclamation);
        return std::nullopt;
    }
    return contents;
}

ImportRun runFlow(ArchiveKind kind, const std::filesystem::path& archive, const AppPaths& paths,
                  Notifier& notifier, const ProgressFn& progress) {
    ImportRun run;
    run.report.source = archive.string();
    auto contents = readForFlow(archiveFlow(kind), archive, paths, notifier);
    if (!contents) return run;
    if (!installMembers(archiveFlow(kind), archive, *contents, paths, notifier, run.report)) {
        return run;
    }
    runImport(kind, paths, notifier, progress, run, MastCompaction::AfterImport);
    return run;
}

// Passes on what the user must see and leaves out the imports' completion notices.
class ProblemsOnly final : public Notifier {
  public:
    explicit ProblemsOnly(Notifier& to) : to_(to) {}
    void notify(const std::string& text, const std::string& title, Icon icon) override {
        if (icon != Icon::None && icon != Icon::Information) to_.notify(text, title, icon);
    }

  private:
    Notifier& to_;
};

const char* kindName(ArchiveKind kind) {
    switch (kind) {
        case ArchiveKind::Jockeys:
            return "騎手データ";
        case ArchiveKind::Trainers:
            return "調教師データ";
        case ArchiveKind::Horses:
            return "競走馬・出馬表データ";
        case ArchiveKind::Results:
            return "成績データ";
    }
    return "";
}

}  // namespace

const ArchiveFlow& archiveFlow(ArchiveKind kind) {
    for (const auto& f : kFlows) {
        if (f.kind == kind) return f;
    }
    return kFlows[0];
}

ImportRun archiveImport(ArchiveKind kind, const std::filesystem::path& archive,
                        const AppPaths& paths, Notifier& notifier, const ProgressFn& progress) {
    return runFlow(kind, archive, paths, notifier, progress);
}

ImportRun extractAndImport(ArchiveKind kind, const std::filesystem::path& archive,
                           const AppPaths& paths, Notifier& notifier, const ProgressFn& progress) {
    return runFlow(kind, archive, paths, notifier, progress);
}

ImportRun importFromArchive(ArchiveKind kind, const std::filesystem::path& archive,
                            ArchiveContents& contents, const AppPaths& paths, Notifier& notifier,
                            const ProgressFn& progress, MastCompaction compaction) {
    ImportRun run;
    run.report.source = archive.string();
    if (contents.failure) {
        notifier.notify(extractFailureMessage(archive, contents.failure), kApplicationTitle,
                        Notifier::Icon::Critical);
        return run;
    }
    if (!installMembers(archiveFlow(kind), archive, contents, paths, notifier, run.report)) {
        return run;
    }
    runImport(kind, paths, notifier, progress, run, compaction);
    return run;
}

ImportRun importRecordFiles(ArchiveKind kind, const std::vector<std::filesystem::path>& files,
                            const AppPaths& paths, Notifier& notifier, const ProgressFn& progress,
                            MastCompaction compaction) {
    ImportRun run;
    if (files.empty()) return run;
    run.report.source = files.front().string();
    for (const std::filesystem::path& file : files) {
        const std::string member = upper(file.filename().string());
        const std::filesystem::path target = paths.extractionFolder() / member;
        std::error_code ec;
        // The file may be the extraction folder's own copy: it is imported where it is.
        if (std::filesystem::equivalent(file, target, ec)) continue;
        StagedFile staged;
        if (const ExtractFailure failure =
                stageCopy(file, paths.extractionFolder(), member, staged)) {
            std::string text = file.string();
            if (failure.limit > 0) {
                text += " は " + std::to_string(failure.limit / (1024 * 1024)) +
                        " MB を超えるため、取り込みません。";
            } else if (failure.code == kExtractCannotOpenArchive ||
                       failure.code == kExtractReadError) {
                text += " を読み込めません。";
            } else {
                text += " を " + paths.extractionFolder().string() + " に書き込めません。" +
                        extractErrorText(failure.code);
            }
            notifier.notify(text + "\nデータは取り込む前のままです。", kApplicationTitle,
                            Notifier::Icon::Critical);
            return run;
        }
        if (!installMember(staged, member, file, false, paths, notifier)) return run;
    }
    runImport(kind, paths, notifier, progress, run, compaction);
    for (FileReport& report : run.report.files) {
        for (const std::filesystem::path& file : files) {
            if (upper(file.filename().string()) == report.file) report.source = file.string();
        }
    }
    return run;
}

ImportRun importExtracted(ArchiveKind kind, const AppPaths& paths, Notifier& notifier,
                          const ProgressFn& progress) {
    ImportRun run;
    runImport(kind, paths, notifier, progress, run, MastCompaction::AfterImport);
    return run;
}

std::vector<std::string_view> recordMembers() {
    std::vector<std::string_view> members;
    for (const auto& flow : kFlows) {
        members.insert(members.end(), flow.members.begin(), flow.members.end());
    }
    return members;
}

int importOrder(ArchiveKind kind) {
    switch (kind) {
        case ArchiveKind::Jockeys:
            return 0;
        case ArchiveKind::Trainers:
            return 1;
        case ArchiveKind::Horses:
            return 2;
        case ArchiveKind::Results:
            return 3;
    }
    return 4;
}

std::vector<ArchiveKind> archiveKinds(const ArchiveContents& contents) {
    std::vector<ArchiveKind> kinds;
    for (const auto& flow : kFlows) {
        if (holdsAny(flow, contents)) kinds.push_back(flow.kind);
    }
    std::sort(kinds.begin(), kinds.end(),
              [](ArchiveKind a, ArchiveKind b) { return importOrder(a) < importOrder(b); });
    return kinds;
}

std::optional<ArchiveKind> recordFileKind(std::string_view fileName) {
    const std::string name = upper(fileName);
    for (const auto& flow : kFlows) {
        for (std::string_view member : flow.members) {
            if (name == member) return flow.kind;
        }
    }
    return std::nullopt;
}

std::vector<std::filesystem::path> batchArchives(const AppPaths& paths) {
    std::vector<std::filesystem::path> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(paths.batchFolder(), ec)) {
        if (entry.is_regular_file(ec) && upper(entry.path().extension().string()) == ".LZH") {
            found.push_back(entry.path());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<ImportTask> archiveTasks(const std::filesystem::path& archive,
                                     std::shared_ptr<ArchiveContents> contents) {
    std::vector<ImportTask> tasks;
    for (ArchiveKind kind : archiveKinds(*contents)) tasks.push_back({kind, archive, contents});
    return tasks;
}

void addRecordFile(std::vector<ImportTask>& tasks, ArchiveKind kind,
                   const std::filesystem::path& file) {
    const std::string member = upper(file.filename().string());
    for (ImportTask& task : tasks) {
        if (task.contents || task.kind != kind) continue;
        const bool holds = std::any_of(
            task.recordFiles.begin(), task.recordFiles.end(),
            [&](const std::filesystem::path& f) { return upper(f.filename().string()) == member; });
        if (holds) continue;
        task.recordFiles.push_back(file);
        return;
    }
    tasks.push_back({kind, file, nullptr, {file}});
}

void sortImportTasks(std::vector<ImportTask>& tasks) {
    std::stable_sort(tasks.begin(), tasks.end(), [](const ImportTask& a, const ImportTask& b) {
        return importOrder(a.kind) < importOrder(b.kind);
    });
    bool later = false;  // a jockey or trainer import after this one
    for (auto task = tasks.rbegin(); task != tasks.rend(); ++task) {
        if (task->kind != ArchiveKind::Jockeys && task->kind != ArchiveKind::Trainers) continue;
        task->compaction = later ? MastCompaction::LeftToLaterImport : MastCompaction::AfterImport;
        later = true;
    }
}

ImportRun runImportTask(const ImportTask& task, const AppPaths& paths, Notifier& notifier,
                        const ProgressFn& progress) {
    return task.contents ? importFromArchive(task.kind, task.source, *task.contents, paths,
                                             notifier, progress, task.compaction)
                         : importRecordFiles(task.kind, task.recordFiles, paths, notifier,
                                             progress, task.compaction);
}

BatchImport importBatch(const AppPaths& paths, Notifier& notifier, const ProgressFn& progress,
                        const std::function<void(const std::filesystem::path&)>& starting) {
    BatchImport batch;
    ProblemsOnly problems(notifier);
    std::vector<ImportTask> tasks;
    for (const auto& archive : batchArchives(paths)) {
        const std::string name = archive.filename().string();
        if (starting) starting(archive);
        auto contents = std::make_shared<ArchiveContents>(
            readArchive(archive, paths.extractionFolder(), recordMembers()));
        if (!contents->isArchive()) {
            batch.skipped.push_back(name +
                                    " は、LHA圧縮ファイルではないため、取り込みませんでした。");
            continue;
        }
        if (contents->failure) {
            problems.notify(extractFailureMessage(archive, contents->failure), kApplicationTitle,
                            Notifier::Icon::Critical);
            batch.skipped.push_back(name + " は、壊れているため、取り込みませんでした。");
            continue;
        }
        auto found = archiveTasks(archive, contents);
        if (found.empty()) {
            batch.skipped.push_back(
                name +
                " は、ＪＲＡ－ＶＡＮのデータファイルを含んでいないため、取り込みませんでした。");
        }
        tasks.insert(tasks.end(), found.begin(), found.end());
    }
    sortImportTasks(tasks);
    bool stopped = false;
    for (ImportTask& task : tasks) {
        if (stopped) {
            batch.skipped.push_back(task.source.filename().string() + " の" + kindName(task.kind) +
                                    "は、前の取り込みが失敗したため、取り込みませんでした。");
        } else {
            if (starting) starting(task.source);
            batch.runs.push_back(runImportTask(task, paths, problems, progress));
            stopped = batch.runs.back().outcome != ImportOutcome::Imported;
        }
        task.contents.reset();  // its staged files go as soon as no other kind needs them
    }
    return batch;
}

std::string batchReportText(const BatchImport& batch) {
    std::string text;
    for (const ImportRun& run : batch.runs) {
        const std::string report = importReportText(run.report);
        if (report.empty()) continue;
        if (!text.empty()) text += "\n\n";
        text += std::filesystem::path(run.report.source).filename().string() + "\n" + report;
    }
    std::string passedOver;
    for (const std::string& skipped : batch.skipped) {
        passedOver += (passedOver.empty() ? "" : "\n") + skipped;
    }
    if (!passedOver.empty()) text += (text.empty() ? "" : "\n\n") + passedOver;
    return text;
}

}  // namespace zelvanor
