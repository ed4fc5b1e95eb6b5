#pragma once

// The archive flows: check a chosen .lzh archive, take the expected record files out of it into
// the extraction folder and run the matching import.

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "import/progress.hpp"
#include "shell/app_paths.hpp"
#include "shell/notifier.hpp"

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

// The flow after the user chose an archive: checks it, extracts its members and runs the
// import, telling the user what happened. True when the import ran and succeeded.
bool archiveImport(ArchiveKind kind, const std::filesystem::path& archive, const AppPaths& paths,
                   Notifier& notifier, const ProgressFn& progress);

// The unattended horse and race card flow of the batch import: an archive that is not one, or
// holds neither member, is passed over silently; failures are still reported.
bool importArchive(const std::filesystem::path& archive, const AppPaths& paths, Notifier& notifier,
                   const ProgressFn& progress);

// Extracts the kind's members from an archive known to hold them and runs its import, reporting
// what happens. True when the import succeeded.
bool extractAndImport(ArchiveKind kind, const std::filesystem::path& archive, const AppPaths& paths,
                      Notifier& notifier, const ProgressFn& progress);

// Runs the kind's import on the record files already in the extraction folder. True on success;
// failures are reported through the notifier and change nothing.
bool importExtracted(ArchiveKind kind, const AppPaths& paths, Notifier& notifier,
                     const ProgressFn& progress);

// The kinds whose members an archive holds, in the order they must be imported: jockeys and
// trainers before the horses and race cards that refer to them, results last.
std::vector<ArchiveKind> archiveKinds(const std::filesystem::path& archive);

// The kind a record file belongs to, from its name (any letter case); nothing for other files.
std::optional<ArchiveKind> recordFileKind(std::string_view fileName);

// Where a kind comes in the import order (smaller first).
int importOrder(ArchiveKind kind);

// The *.lzh files of the batch folder, in name order.
std::vector<std::filesystem::path> batchArchives(const AppPaths& paths);

// Removes earlier copies of a record file from the folder; names compare without regard to case.
void removeEarlierCopies(const std::filesystem::path& folder, std::string_view fileName);

}  // namespace zelvanor
