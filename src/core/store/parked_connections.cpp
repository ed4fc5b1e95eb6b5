#include "core/store/parked_connections.hpp"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>

namespace zelvanor {

std::optional<ParkedConnections::FileState> ParkedConnections::stateOf(
    const std::filesystem::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return std::nullopt;
    return FileState{st.st_dev, st.st_ino, st.st_size,
                     std::int64_t{st.st_mtim.tv_sec} * 1'000'000'000 + st.st_mtim.tv_nsec};
}

ParkedConnections& ParkedConnections::instance() {
    static ParkedConnections parked;
    return parked;
}

ParkedConnections::~ParkedConnections() {
    for (const Entry& e : entries_) sqlite3_close_v2(e.db);
}

sqlite3* ParkedConnections::take(const std::filesystem::path& file) {
    const auto state = stateOf(file);
    const std::lock_guard lock(mutex_);
    for (auto it = entries_.end(); it != entries_.begin();) {
        --it;
        if (it->path != file) continue;
        sqlite3* db = it->db;
        const bool same = state && *state == it->state;
        it = entries_.erase(it);
        if (same) return db;
        sqlite3_close_v2(db);
    }
    return nullptr;
}

bool ParkedConnections::park(const std::filesystem::path& file, const FileState& opened,
                             sqlite3* db) {
    // Only an idle connection of the file it was opened on.
    if (sqlite3_get_autocommit(db) == 0 || sqlite3_next_stmt(db, nullptr) != nullptr) {
        return false;
    }
    const auto state = stateOf(file);
    if (!state || state->device != opened.device || state->inode != opened.inode) return false;
    sqlite3_db_release_memory(db);  // the page cache; the parsed schema is what is kept
    const std::lock_guard lock(mutex_);
    if (entries_.size() >= kLimit) {
        sqlite3_close_v2(entries_.front().db);
        entries_.erase(entries_.begin());
    }
    entries_.push_back({file, *state, db});
    return true;
}

}  // namespace zelvanor
