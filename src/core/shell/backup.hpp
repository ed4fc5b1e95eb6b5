#pragma once

// The user's own backups of the two databases, and the check that tells whether they are sound.
// Results typed in by hand exist nowhere but in tran.mdb: a backup is how the user keeps them.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/shell/app_paths.hpp"
#include "core/store/safekeeping.hpp"

namespace zelvanor {

// A backup that cannot be made as asked; the message is the text to show. Nothing was written.
class BackupError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct BackedUpFile {
    std::string file;             // "mast.mdb" or "tran.mdb"
    std::filesystem::path path;   // the copy
    std::uintmax_t bytes = 0;
};

// Copies mast.mdb and tran.mdb, those of them that exist, into folder (made when missing),
// reporting 0 to 100 over both. Each copy is written under a temporary name and checked; only
// when both are whole are they renamed into place, replacing an earlier backup there, so the
// folder never holds a half-written database. The caller keeps other writers away (the instance
// lock) so that the two copies belong together. Throws BackupError when the folder is the data
// folder itself or there is no database to copy, DamagedDatabaseError when a database is damaged
// (a sound earlier backup is then kept), and StoreError or filesystem_error for other failures;
// the folder then holds what it held before.
std::vector<BackedUpFile> backupDatabases(const AppPaths& paths,
                                          const std::filesystem::path& folder,
                                          const std::function<void(int percent)>& progress = {});

// "mast.mdb を /backup/mast.mdb に保存しました（1,234 KB）。", a line per copy.
std::string backupDoneText(const std::vector<BackedUpFile>& files);

// What the check found of one database: "mast.mdb は正常です。", "tran.mdb はまだありません。",
// or damagedDatabaseText followed by SQLite's findings.
std::string integrityText(const std::filesystem::path& file, const IntegrityCheck& check);

}  // namespace zelvanor
