#include "core/shell/data_session.hpp"

#include <chrono>

#include "core/store/store.hpp"

namespace zelvanor {

DataSession::DataSession(AppPaths paths) : paths_(std::move(paths)) {}

namespace {

// The windows read a few rows at a time, and the verification scans every meeting once: a page
// cache as large as the imports want for making tables only costs memory and allocations here.
constexpr const char* kWindowsCache = "PRAGMA cache_size = -2048";

std::unique_ptr<Database> openForWindows(const std::filesystem::path& file) {
    auto db = std::make_unique<Database>(file);
    db->exec(kWindowsCache);
    return db;
}

std::unique_ptr<Database> openWithSchema(const std::filesystem::path& file) {
    auto db = openForWindows(file);
    // Any statement makes SQLite parse the whole schema, the costly part with many meetings.
    db->hasTable("定数");
    return db;
}

}  // namespace

Database& DataSession::ready(std::unique_ptr<Database>& db,
                             std::future<std::unique_ptr<Database>>& loading,
                             const std::filesystem::path& file) {
    if (loading.valid()) {
        const bool waits =
            waitNotice_ && loading.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
        if (waits) waitNotice_(true);
        std::unique_ptr<Database> loaded;
        try {
            loaded = loading.get();  // rethrows what the worker met
        } catch (...) {
            if (waits) waitNotice_(false);
            throw;
        }
        if (waits) waitNotice_(false);
        if (!db) db = std::move(loaded);
    }
    if (!db) db = openForWindows(file);
    return *db;
}

DataSession::~DataSession() {
    // A worker still opening must finish before its result is thrown away.
    for (auto* f : {&loadingMast_, &loadingTran_}) {
        if (f->valid()) f->wait();
    }
}

void DataSession::preload() {
    // Opening creates a missing file; that is left to the first real use.
    std::error_code ec;
    if (!mast_ && !loadingMast_.valid() && std::filesystem::exists(paths_.mastPath(), ec)) {
        loadingMast_ = std::async(std::launch::async, openWithSchema, paths_.mastPath());
    }
    if (!tran_ && !loadingTran_.valid() && std::filesystem::exists(paths_.tranPath(), ec)) {
        loadingTran_ = std::async(std::launch::async, openWithSchema, paths_.tranPath());
    }
}

bool DataSession::schemaRead(std::chrono::milliseconds wait) const {
    const auto until = std::chrono::steady_clock::now() + wait;
    for (const auto* f : {&loadingMast_, &loadingTran_}) {
        if (f->valid() && f->wait_until(until) != std::future_status::ready) return false;
    }
    return true;
}

Database& DataSession::mast() {
    return ready(mast_, loadingMast_, paths_.mastPath());
}

Database& DataSession::tran() {
    return ready(tran_, loadingTran_, paths_.tranPath());
}

namespace {

bool fileExists(const std::filesystem::path& file) {
    std::error_code ec;
    return std::filesystem::exists(file, ec);
}

}  // namespace

Database* DataSession::existingMast() {
    if (!mast_ && !loadingMast_.valid() && !fileExists(paths_.mastPath())) return nullptr;
    return &mast();
}

Database* DataSession::existingTran() {
    if (!tran_ && !loadingTran_.valid() && !fileExists(paths_.tranPath())) return nullptr;
    return &tran();
}

WorkConnections::WorkConnections(const AppPaths& paths)
    : mast(paths.mastPath()), tran(paths.tranPath()) {}

void DataSession::close() {
    for (auto* f : {&loadingMast_, &loadingTran_}) {
        if (f->valid()) {
            try {
                f->get();
            } catch (...) {
                // Closing: what the worker met no longer matters.
            }
        }
    }
    mast_.reset();
    tran_.reset();
}

LentConnections::LentConnections(DataSession& session) : session_(session) {
    session_.close();
}

LentConnections::~LentConnections() {
    try {
        session_.preload();
    } catch (const std::exception&) {
        // No worker to take them back: the next use opens them on its own thread instead.
    }
}

}  // namespace zelvanor
