#pragma once

#include <filesystem>

namespace zelvanor {

// Where the program keeps its files. The extraction folder (record files taken out of archives)
// and the database folder (mast.mdb, tran.mdb) are the same folder; each use names its purpose.
class AppPaths {
  public:
    explicit AppPaths(std::filesystem::path dataFolder) : root_(std::move(dataFolder)) {}

    const std::filesystem::path& dataFolder() const { return root_; }
    const std::filesystem::path& extractionFolder() const { return root_; }
    const std::filesystem::path& databaseFolder() const { return root_; }
    std::filesystem::path mastPath() const { return root_ / "mast.mdb"; }
    std::filesystem::path tranPath() const { return root_ / "tran.mdb"; }
    // Every *.lzh here is taken by the batch import.
    std::filesystem::path batchFolder() const { return root_ / "batch"; }

  private:
    std::filesystem::path root_;
};

// The folder holding the running executable.
std::filesystem::path programFolder();

// The per-user data folder: $XDG_DATA_HOME/zelvanor, or ~/.local/share/zelvanor.
std::filesystem::path userDataFolder();

// The program folder when files can be created there, otherwise the per-user data folder
// (created when missing).
std::filesystem::path chooseDataFolder(const std::filesystem::path& programFolder);

// True when a file can be created in the folder (tested by creating one, which also holds for
// root, for whom permission bits say little).
bool isWritableFolder(const std::filesystem::path& folder);

}  // namespace zelvanor
