#pragma once

// The program's two databases, each opened once and kept open for the program's life: opening a
// SQLite file re-reads its whole schema, which with many seasons stored costs far more than
// showing a race. The windows share one session; imports and recomputation open connections of
// their own, which SQLite tells when another one changed the schema, taking up the session's
// when it lends them (LentConnections).

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>

#include "core/shell/app_paths.hpp"
#include "core/store/database.hpp"

namespace zelvanor {

class DataSession {
  public:
    explicit DataSession(AppPaths paths);
    ~DataSession();
    DataSession(const DataSession&) = delete;
    DataSession& operator=(const DataSession&) = delete;

    const AppPaths& paths() const { return paths_; }
    // Opened on first use (created when missing) and kept.
    Database& mast();
    Database& tran();
    // The same, or null when the file does not exist: reading creates nothing.
    Database* existingMast();
    Database* existingTran();
    // Opens those that exist on a worker thread and reads their schemas there, so that the first
    // window to use them does not wait for it; the first use waits for the worker when it is still
    // busy, and a failure of the worker surfaces there as it would have on opening.
    void preload();
    // Whether preload's worker has read the schemas, waiting at most `wait` for it: when false, a
    // use now would wait, and a window can show itself first and read once this turns true.
    bool schemaRead(std::chrono::milliseconds wait = std::chrono::milliseconds(0)) const;
    // Closes both; the next use opens them again. For work that replaces or removes the files.
    void close();
    // Told (true) before a use waits for preload's worker, and (false) when the wait ends: with
    // many seasons stored reading the schema takes seconds, and a window shows it is busy.
    void setWaitNotice(std::function<void(bool waiting)> notice) {
        waitNotice_ = std::move(notice);
    }

  private:
    Database& ready(std::unique_ptr<Database>& db, std::future<std::unique_ptr<Database>>& loading,
                    const std::filesystem::path& file);

    AppPaths paths_;
    std::function<void(bool)> waitNotice_;
    std::unique_ptr<Database> mast_;
    std::unique_ptr<Database> tran_;
    std::future<std::unique_ptr<Database>> loadingMast_;
    std::future<std::unique_ptr<Database>> loadingTran_;
};

// Connections of their own for long work on a worker thread (a recomputation), with the store's
// large page cache rather than the windows' small one. Under LentConnections they take up the
// session's, whose schemas are read already.
struct WorkConnections {
    explicit WorkConnections(const AppPaths& paths);
    Database mast;
    Database tran;
};

// Lends the session's connections to work that opens its own on the same files (an import, a
// recomputation) for as long as it lives. The store keeps a closed connection for the next one
// opened on its file: the work takes up these, whose schemas are read already, and they are taken
// back, with the work's changes, on a worker thread at the end. With many seasons stored, reading
// the schema again would otherwise cost the work, and then the next window, a second or more.
class LentConnections {
  public:
    explicit LentConnections(DataSession& session);
    ~LentConnections();
    LentConnections(const LentConnections&) = delete;
    LentConnections& operator=(const LentConnections&) = delete;

  private:
    DataSession& session_;
};

}  // namespace zelvanor
