#pragma once

// Checking a database file for damage and copying it page by page, for the user's own backups.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace zelvanor {

enum class Integrity { Missing, Sound, Damaged };

struct IntegrityCheck {
    Integrity state = Integrity::Missing;
    // What SQLite found wrong, in its own words (at most kIntegrityFindings lines); empty unless
    // Damaged.
    std::vector<std::string> findings;
};

inline constexpr int kIntegrityFindings = 10;

// SQLite's integrity check of the file, opened read-only so that nothing is created or changed.
// A file that is no database at all is Damaged. Throws StoreError when the check cannot run (the
// file cannot be read, or another program holds it locked too long).
IntegrityCheck checkIntegrity(const std::filesystem::path& file);

// Writes a copy of the database at source into target (created; whatever target held is
// replaced) with SQLite's backup API, page by page, reporting 0 to 100 as it goes. The copy is one
// state of the source: a write to it meanwhile makes the copying start over. The copy is checked
// before it counts: throws DamagedDatabaseError when the source (and so the copy) is damaged, and
// StoreError for any other failure. Returns the size of the copy in bytes.
std::uintmax_t copyDatabase(const std::filesystem::path& source,
                            const std::filesystem::path& target,
                            const std::function<void(int percent)>& progress = {});

}  // namespace zelvanor
