#pragma once

// LHA archives made in the tests: members stored uncompressed (-lh0-) under level-0 headers,
// with sizes that may lie, and damaged copies of an archive.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace zelvanor::fixture {

struct LhaEntry {
    std::string name;  // ASCII
    std::string data;
    std::optional<std::uint32_t> declaredSize = {};  // the original size the header gives
};

inline std::uint16_t lhaCrc(const std::string& data) {
    std::uint16_t crc = 0;
    for (const unsigned char b : data) {
        crc ^= b;
        for (int i = 0; i < 8; ++i) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

inline std::string lhaArchive(const std::vector<LhaEntry>& entries) {
    const auto put32 = [](std::string& out, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    std::string out;
    for (const auto& e : entries) {
        std::string body = "-lh0-";
        put32(body, static_cast<std::uint32_t>(e.data.size()));
        put32(body, e.declaredSize.value_or(static_cast<std::uint32_t>(e.data.size())));
        put32(body, 0x58260000);  // 2024-01-06 00:00 in DOS form
        body += '\x20';           // attribute
        body += '\x00';           // header level
        body += static_cast<char>(e.name.size());
        body += e.name;
        const std::uint16_t crc = lhaCrc(e.data);
        body += static_cast<char>(crc & 0xFF);
        body += static_cast<char>(crc >> 8);
        unsigned sum = 0;
        for (const unsigned char c : body) sum += c;
        out += static_cast<char>(body.size());
        out += static_cast<char>(sum & 0xFF);
        out += body + e.data;
    }
    return out + '\0';
}

inline std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Where the second member's header begins in an archive of level-0 or level-2 headers.
inline std::size_t secondHeaderAt(const std::string& archive) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(archive.at(i)); };
    const std::size_t compressed = byte(7) | byte(8) << 8 | byte(9) << 16 | byte(10) << 24;
    const std::size_t header = byte(20) == 2 ? (byte(0) | byte(1) << 8) : byte(0) + 2u;
    return header + compressed;
}

}  // namespace zelvanor::fixture
