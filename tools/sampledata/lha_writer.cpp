#include "lha_writer.hpp"

#include <array>
#include <fstream>
#include <limits>
#include <stdexcept>

#include "core/records/cp932.hpp"

namespace zelvanor::sample {

namespace {

constexpr std::array<std::uint16_t, 256> makeCrcTable() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) != 0 ? (crc >> 1) ^ 0xA001 : crc >> 1;
        table[i] = static_cast<std::uint16_t>(crc);
    }
    return table;
}

constexpr auto kCrcTable = makeCrcTable();

// Level-2 header: a 24-byte fixed part, then extended headers, each led by its 16-bit size
// (the size field, the type byte and the data), ending with a size of 0.
constexpr std::size_t kFixedSize = 24;
constexpr unsigned char kExtHeaderCrc = 0x00;
constexpr unsigned char kExtFileName = 0x01;
constexpr unsigned char kExtDirectory = 0x02;
constexpr char kDirectorySeparator = '\xFF';  // between the parts of a level-2 directory name

void put16(std::string& out, std::size_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void put32(std::string& out, std::uint64_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void putExtension(std::string& out, unsigned char type, std::string_view data) {
    put16(out, 3 + data.size());
    out.push_back(static_cast<char>(type));
    out.append(data);
}

// Splits "a/b/c.dat" into the directory ("a\xFFb\xFF", code page 932) and the file name.
std::pair<std::string, std::string> splitName(std::string_view name) {
    std::string directory;
    std::size_t start = 0;
    for (std::size_t slash = name.find('/'); slash != std::string_view::npos;
         slash = name.find('/', start)) {
        const std::string_view part = name.substr(start, slash - start);
        if (part.empty()) throw std::invalid_argument("empty part in member name");
        directory += encodeCp932(part);
        directory += kDirectorySeparator;
        start = slash + 1;
    }
    const std::string_view file = name.substr(start);
    if (file.empty()) throw std::invalid_argument("member name without a file name");
    return {directory, encodeCp932(file)};
}

void appendMember(std::string& out, const LhaMember& member) {
    if (member.data.size() > std::numeric_limits<std::uint32_t>::max()) {
        throw std::invalid_argument("member too large for an LHA header: " + member.name);
    }
    const auto [directory, fileName] = splitName(member.name);

    std::string header;
    put16(header, 0);  // header size, filled in below
    header += "-lh0-";
    put32(header, member.data.size());  // packed size: stored, so the same
    put32(header, member.data.size());
    put32(header, static_cast<std::uint64_t>(member.mtime));
    header.push_back('\x20');  // a level-2 header has 0x20 where older levels keep attributes
    header.push_back('\x02');  // header level
    put16(header, lhaCrc16(member.data));
    header.push_back('M');  // made on MS-DOS: names are code page 932 and nothing else

    const std::size_t crcAt = kFixedSize + 3;  // data of the first extension
    putExtension(header, kExtHeaderCrc, std::string(2, '\0'));
    putExtension(header, kExtFileName, fileName);
    if (!directory.empty()) putExtension(header, kExtDirectory, directory);
    put16(header, 0);
    // A size whose low byte is 0 would read as the end-of-archive mark; one byte of padding,
    // which readers include in the header CRC, avoids it.
    if ((header.size() & 0xFF) == 0) header.push_back('\0');
    if (header.size() > std::numeric_limits<std::uint16_t>::max()) {
        throw std::invalid_argument("member name too long for an LHA header: " + member.name);
    }
    header[0] = static_cast<char>(header.size() & 0xFF);
    header[1] = static_cast<char>(header.size() >> 8);
    const std::uint16_t headerCrc = lhaCrc16(header);  // taken with its own field still 0
    header[crcAt] = static_cast<char>(headerCrc & 0xFF);
    header[crcAt + 1] = static_cast<char>(headerCrc >> 8);

    out += header;
    out += member.data;
}

}  // namespace

std::uint16_t lhaCrc16(std::string_view data, std::uint16_t crc) {
    for (const char c : data) {
        crc = static_cast<std::uint16_t>(kCrcTable[(crc ^ static_cast<unsigned char>(c)) & 0xFF] ^
                                         (crc >> 8));
    }
    return crc;
}

std::string lhaArchive(const std::vector<LhaMember>& members) {
    std::string out;
    for (const LhaMember& member : members) appendMember(out, member);
    out.push_back('\0');
    return out;
}

void writeLhaArchive(const std::filesystem::path& path, const std::vector<LhaMember>& members) {
    const std::string bytes = lhaArchive(members);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace zelvanor::sample
