#include "core/shell/housekeeping.hpp"

#include <filesystem>

#include "core/store/safekeeping.hpp"
#include "core/store/store.hpp"

namespace zelvanor {

void compactMast(const AppPaths& paths) {
    namespace fs = std::filesystem;
    const auto mdb = paths.databaseFolder() / "mast.mdb";
    const auto backup = paths.databaseFolder() / "mast.bak";
    const auto backupPart = paths.databaseFolder() / "mast.bak.part";

    fs::remove(paths.databaseFolder() / "mast.new");
    fs::remove(backupPart);  // left by a compaction that broke off
    Database db(mdb);
    try {
        // Checked before it replaces mast.bak: a damaged master must not take the place of the
        // last sound copy, which is what the user restores it from.
        copyDatabase(mdb, backupPart);
    } catch (...) {
        std::error_code ignored;
        fs::remove(backupPart, ignored);
        throw;
    }
    fs::rename(backupPart, backup);
    // A file without free pages has nothing to give back: rewriting it, twice the size of the
    // horse master in writes, would only cost time on every jockey and trainer import.
    bool anyFree = true;
    {
        auto freePages = db.prepare("PRAGMA freelist_count");
        anyFree = !freePages.step() || freePages.int64(0) > 0;
    }
    if (anyFree) db.compact();
}

}  // namespace zelvanor
