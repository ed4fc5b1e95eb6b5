#pragma once

#include "core/shell/app_paths.hpp"

namespace zelvanor {

// Compacts mast.mdb and keeps the state before it as mast.bak.
//
// The file is compacted in place, inside SQLite's own locking and journal: another program (or
// connection) that has mast.mdb open keeps a valid file under its feet, and a compaction killed
// half way is rolled back the next time the file is opened. Swapping in a compacted copy by
// renaming it would leave such a connection writing into the unlinked old file, or its journal
// rolling back into the new one. mast.bak is a consistent copy written first under a temporary
// name, checked, and renamed into place, so it is never half written, nor a damaged master's
// copy in place of the last sound one. A mast.new left by an older
// version's compaction is removed.
// A file without free pages is left as it is, the backup still written.
// Throws StoreError or std::filesystem::filesystem_error; mast.mdb is then unchanged.
void compactMast(const AppPaths& paths);

}  // namespace zelvanor
