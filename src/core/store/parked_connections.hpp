#pragma once

// The connections a Database keeps for reuse after its last user closed it; for the store's own
// units.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <vector>

struct sqlite3;

namespace zelvanor {

// Connections closed by their last user, kept for the next one to open the same file: a new
// connection reads and parses the whole schema, which with many seasons of meetings costs as much
// as a small import. Only a file unchanged since the connection was put aside is handed out again
// (SQLite itself notices what other connections wrote, but not a file copied over).
class ParkedConnections {
  public:
    struct FileState {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        std::int64_t modified = 0;
        bool operator==(const FileState&) const = default;
    };

    static std::optional<FileState> stateOf(const std::filesystem::path& file);

    static ParkedConnections& instance();

    ~ParkedConnections();

    // The connection of the file kept last among those the file has not changed under since
    // they were kept; the others met on the way are closed.
    sqlite3* take(const std::filesystem::path& file);

    // True when the connection was kept; otherwise the caller closes it.
    bool park(const std::filesystem::path& file, const FileState& opened, sqlite3* db);

  private:
    static constexpr std::size_t kLimit = 4;
    struct Entry {
        std::filesystem::path path;
        FileState state;
        sqlite3* db;
    };
    std::mutex mutex_;
    std::vector<Entry> entries_;
};

}  // namespace zelvanor
