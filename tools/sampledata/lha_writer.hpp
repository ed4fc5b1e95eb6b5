#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// A minimal LHA archive writer for generated sample data: members are stored uncompressed
// (method -lh0-) under level-2 headers, the kind every LHA reader understands.
namespace zelvanor::sample {

struct LhaMember {
    std::string name;        // UTF-8, '/' between folders; stored in code page 932
    std::string data;        // the member's bytes
    std::int64_t mtime = 0;  // seconds since 1970-01-01 UTC
};

// CRC-16 as LHA uses it (reflected polynomial 0xA001, starting at `crc`, 0 for a fresh one).
std::uint16_t lhaCrc16(std::string_view data, std::uint16_t crc = 0);

// The whole archive: each member's header and data, then the end-of-archive byte 0.
// Throws std::invalid_argument for an empty name or name part, a name code page 932 cannot hold,
// a member of 4 GiB or more, or a header too long for its 16-bit size field.
std::string lhaArchive(const std::vector<LhaMember>& members);

// Writes lhaArchive(members) to `path`, replacing the file. Throws std::runtime_error when the
// file cannot be written.
void writeLhaArchive(const std::filesystem::path& path, const std::vector<LhaMember>& members);

}  // namespace zelvanor::sample
