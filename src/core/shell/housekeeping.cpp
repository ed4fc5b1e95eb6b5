#include "shell/housekeeping.hpp"

#include <filesystem>

#include "store/store.hpp"

namespace zelvanor {

void compactMast(const AppPaths& paths) {
    namespace fs = std::filesystem;
    const auto mdb = paths.databaseFolder() / "mast.mdb";
    const auto fresh = paths.databaseFolder() / "mast.new";
    const auto backup = paths.databaseFolder() / "mast.bak";

    fs::remove(fresh);  // left by a compaction that broke off
    {
        Database db(mdb);
        db.compactInto(fresh);
    }
    fs::remove(backup);
    std::error_code linkError;
    fs::create_hard_link(mdb, backup, linkError);
    if (linkError) fs::copy_file(mdb, backup, fs::copy_options::overwrite_existing);
    fs::rename(fresh, mdb);
}

}  // namespace zelvanor
