#pragma once

// The archive flows: check a chosen .lzh archive, take the expected record files out of it into
// the extraction folder and run the matching import.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/import/archive.hpp"
#include "core/import/import_report.hpp"
#include "core/import/people_import.hpp"
#include "core/import/progress.hpp"
#include "core/shell/app_paths.hpp"
#include "core/shell/notifier.hpp"

namespace zelvanor {

enum class ArchiveKind { Horses, Results, Jockeys, Trainers };

struct ArchiveFlow {
    ArchiveKind kind;
    std::string_view dialogTitle;
    std::vector<std::string_view> members;  // the flow goes on when any of them is present
    std::string_view notFoundText;          // shown after the archive's path
    std::string_view notArchiveText;        // shown after the archive's path
};

const ArchiveFlow& archiveFlow(ArchiveKind kind);

// How an import ended.
enum class ImportOutcome {
    Imported,  // ran to its end
    Failed,    // refused or failed; the user was told why, and the data are as they were
    Partly,    // stopped part-way after storing some of its data: the report says what
};

// What one archive or record file given to an import came to.
struct ImportRun {
    ImportOutcome outcome = ImportOutcome::Failed;
    ImportReport report;
    explicit operator bool() const { return outcome == ImportOutcome::Imported; }
};

// The flow after the user chose an archive: reads it once, checks it, installs its members in
// the extraction folder and runs the import, telling the user what happened.
ImportRun archiveImport(ArchiveKind kind, const std::filesystem::path& archive,
                        const AppPaths& paths, Notifier& notifier, const ProgressFn& progress);

// Extracts the kind's members from an archive known to hold them and runs its import, reporting
// what happens.
ImportRun extractAndImport(ArchiveKind kind, const std::filesystem::path& archive,
                           const AppPaths& paths, Notifier& notifier, const ProgressFn& progress);

// Record files given on their own for one import (JRA#KISI.DAT, or JRA#UMAJ.DAT with
// JRA#DEN1.DAT): each copied into the extraction folder through a temporary file, bounded and
// installed as an archive member would be, then the import runs once. The report's source is
// the first file; each record file it reports names the file given for it.
ImportRun importRecordFiles(ArchiveKind kind, const std::vector<std::filesystem::path>& files,
                            const AppPaths& paths, Notifier& notifier, const ProgressFn& progress,
                            MastCompaction compaction = MastCompaction::AfterImport);

// Runs the kind's import on the record files already in the extraction folder. Failures are
// reported through the notifier.
ImportRun importExtracted(ArchiveKind kind, const AppPaths& paths, Notifier& notifier,
                          const ProgressFn& progress);

// The five record files, as readArchive wants them.
std::vector<std::string_view> recordMembers();

// The kind a record file belongs to, from its name (any letter case); nothing for other files.
std::optional<ArchiveKind> recordFileKind(std::string_view fileName);

// One import among several: a kind of record file out of an archive read once (its record files
// staged, shared by the kinds it holds), or record files given on their own (no contents).
struct ImportTask {
    ArchiveKind kind;
    std::filesystem::path source;
    std::shared_ptr<ArchiveContents> contents;
    // Given on their own: source, then the other files of the same import (addRecordFile).
    std::vector<std::filesystem::path> recordFiles{};
    // For a jockey or trainer import: left to a later one of the same run (sortImportTasks).
    MastCompaction compaction = MastCompaction::AfterImport;
};

// The tasks of an archive already read with recordMembers() staged: one for each kind it holds.
std::vector<ImportTask> archiveTasks(const std::filesystem::path& archive,
                                     std::shared_ptr<ArchiveContents> contents);

// A record file given on its own joins the task of the same kind given before it when that task
// lacks this file (a race card file beside a horse file: the horses go in with their race
// cards, in one import); otherwise it makes a task of its own.
void addRecordFile(std::vector<ImportTask>& tasks, ArchiveKind kind,
                   const std::filesystem::path& file);

// Puts imports in the order they must run (importOrder), keeping the given order within a kind,
// and leaves the compaction of mast.mdb to the last jockey or trainer import.
void sortImportTasks(std::vector<ImportTask>& tasks);

// Runs one import, reporting as the interactive flows do.
ImportRun runImportTask(const ImportTask& task, const AppPaths& paths, Notifier& notifier,
                        const ProgressFn& progress);

// What a batch import came to.
struct BatchImport {
    std::vector<ImportRun> runs;       // the imports that ran, in order
    std::vector<std::string> skipped;  // archives and imports passed over, one sentence each
};

// The batch import: every archive of the batch folder, each read once before anything is
// imported, and every kind of record file found imported in the order the imports need (jockeys,
// trainers, horses and race cards, results; archives in name order within a kind). Archives that
// are none, or hold no record file, are passed over; a damaged archive is reported and passed
// over. Failures are reported as they happen and end the batch, the imports after it being
// passed over. The imports' own completion notices are left out: the report carries their
// figures. `starting` is told the archive of each import before it runs.
BatchImport importBatch(const AppPaths& paths, Notifier& notifier, const ProgressFn& progress,
                        const std::function<void(const std::filesystem::path&)>& starting = {});

// The batch's report: each import's report under its archive's name, then what was passed over.
std::string batchReportText(const BatchImport& batch);

}  // namespace zelvanor
