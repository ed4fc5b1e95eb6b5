#pragma once

#include "shell/app_paths.hpp"

namespace zelvanor {

// Compacts mast.mdb: a compacted copy is written to mast.new, the previous file is kept as
// mast.bak, and the copy takes the name mast.mdb. At no moment is mast.mdb missing: the old file
// is linked (or copied) to mast.bak and the new one renamed over it in one step.
// Throws StoreError or std::filesystem::filesystem_error; mast.mdb is then unchanged.
void compactMast(const AppPaths& paths);

}  // namespace zelvanor
