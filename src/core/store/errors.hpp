#pragma once

// The store's failures: what SQLite reports, in the user's words, and a damaged database file
// named with what the user can do about it.

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;

namespace zelvanor {

// Every store failure. The message is meant for the user: it says what failed and carries the
// store's own text.
class StoreError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A database file SQLite finds damaged: pages that do not read as they should, or a file that is
// no database at all. The message (damagedDatabaseText) names the file and what the user can do.
class DamagedDatabaseError : public StoreError {
  public:
    using StoreError::StoreError;
};

// What to tell the user of a damaged database file: that it is damaged, where it is, and how to
// get the data back (for mast.mdb its copy mast.bak, for tran.mdb a backup or importing the
// archives again, which loses the results typed in by hand).
std::string damagedDatabaseText(const std::filesystem::path& file);

// Throws the StoreError (or DamagedDatabaseError) for SQLite's result code rc on the connection
// db (which may be null), in the user's words and naming the database unless `what` does.
[[noreturn]] void throwStoreFailure(sqlite3* db, int rc, std::string_view what = {});

}  // namespace zelvanor
