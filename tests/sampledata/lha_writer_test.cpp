#include "sampledata/lha_writer.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/import/archive.hpp"
#include "temp_folder.hpp"

namespace zelvanor::sample {
namespace {

std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every byte value, so that nothing in the data can be mistaken for header structure.
std::string allBytes(std::size_t length) {
    std::string data;
    for (std::size_t i = 0; i < length; ++i) data.push_back(static_cast<char>((i * 7 + 3) & 0xFF));
    return data;
}

TEST(LhaCrc16, MatchesTheCheckValueOfCrc16Arc) {
    EXPECT_EQ(lhaCrc16("123456789"), 0xBB3D);
    EXPECT_EQ(lhaCrc16(""), 0);
    // Feeding the data in two pieces gives the same result as in one.
    EXPECT_EQ(lhaCrc16("6789", lhaCrc16("12345")), 0xBB3D);
}

TEST(LhaWriter, MembersReadBackThroughTheCoreExtraction) {
    TempFolder folder;
    // ソ (83 5C) and 表 (95 5C) end in the byte of '\', which must not split the name.
    const std::vector<LhaMember> members = {
        {"JRA#UMAJ.DAT", allBytes(100000), 907372800},
        {"JRA#DEN1.DAT", "", 907372800},
        {"ソ表.DAT", "so hyo\r\n", 907372800},
        {"data/JRA#SEI1.DAT", "under a folder\r\n", 907372800},
    };
    const auto archive = folder / "test.lzh";
    writeLhaArchive(archive, members);

    ASSERT_TRUE(isLhaArchive(archive));
    EXPECT_EQ(archiveMembers(archive), (std::vector<std::string>{"JRA#UMAJ.DAT", "JRA#DEN1.DAT",
                                                                 "ソ表.DAT", "data/JRA#SEI1.DAT"}));
    for (const std::string name : {"JRA#UMAJ.DAT", "JRA#DEN1.DAT", "ソ表.DAT"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(extractMember(archive, folder.path(), name), 0);
        const auto& expected = name == "JRA#UMAJ.DAT"   ? members[0].data
                               : name == "JRA#DEN1.DAT" ? members[1].data
                                                        : members[2].data;
        EXPECT_EQ(readAll(folder / name), expected);
    }
    // A member under a folder is listed but never taken for a plain file name.
    EXPECT_FALSE(archiveHasMember(archive, "JRA#SEI1.DAT"));
}

TEST(LhaWriter, HeaderSizeNeverStartsWithTheEndMark) {
    // A header whose size has a low byte of 0 would read as the end of the archive; names of
    // every length around that size must still read back.
    TempFolder folder;
    for (std::size_t length = 200; length <= 240; ++length) {
        const std::string name = std::string(length, 'A').substr(0, length - 4) + ".DAT";
        const auto archive = folder / "long.lzh";
        writeLhaArchive(archive, {{name, "x", 0}, {"JRA#KISI.DAT", "second", 0}});
        ASSERT_EQ(archiveMembers(archive), (std::vector<std::string>{name, "JRA#KISI.DAT"}))
            << "name length " << length;
    }
}

TEST(LhaWriter, DamageIsCaughtByTheChecksums) {
    TempFolder folder;
    const std::string bytes = lhaArchive({{"JRA#KISI.DAT", "KISI record\r\n", 0}});
    const std::size_t headerSize =
        static_cast<unsigned char>(bytes[0]) | static_cast<unsigned char>(bytes[1]) << 8;

    struct Case {
        const char* what;
        std::size_t at;
        int code;
    };
    const Case cases[] = {
        {"data byte", headerSize + 2, kExtractChecksum},
        {"data CRC, which the header CRC covers too", 21, kExtractHeaderChecksum},
        {"file name in the header", headerSize - 5, kExtractHeaderChecksum},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string damaged = bytes;
        damaged[c.at] = static_cast<char>(damaged[c.at] ^ 0x01);
        const auto archive = folder / "damaged.lzh";
        std::ofstream(archive, std::ios::binary) << damaged;
        EXPECT_EQ(extractMember(archive, folder.path(), "JRA#KISI.DAT"), c.code);
    }
}

TEST(LhaWriter, RefusesWhatTheFormatCannotHold) {
    EXPECT_THROW(lhaArchive({{"", "x", 0}}), std::invalid_argument);
    EXPECT_THROW(lhaArchive({{"data/", "x", 0}}), std::invalid_argument);
    EXPECT_THROW(lhaArchive({{"a//b.DAT", "x", 0}}), std::invalid_argument);
    EXPECT_THROW(lhaArchive({{"😀.DAT", "x", 0}}), std::invalid_argument);  // not in CP932
    EXPECT_THROW(lhaArchive({{std::string(70000, 'A'), "x", 0}}), std::invalid_argument);
}

}  // namespace
}  // namespace zelvanor::sample
