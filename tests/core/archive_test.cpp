#include "import/archive.hpp"

#include <gtest/gtest.h>
#include <locale.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace zelvanor {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(ZELVANOR_TEST_DATA) / "lha";

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Every file below `root`, relative to it, sorted: shows stray temporary or escaped files.
std::vector<std::string> filesUnder(const fs::path& root) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), root).string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

class ArchiveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "zelvanor-archive-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(dir_, ignored);
    }

    fs::path dir_;
};

TEST_F(ArchiveTest, ExtractsEveryMethodAndHeaderLevel) {
    const std::string expected = readFile(kData / "plain" / "JRA#KISI.DAT");
    ASSERT_EQ(expected.size(), 576u);
    for (const char* name :
         {"kisi_lh5_h0.lzh", "kisi_lh6_h1.lzh", "kisi_lh7_h2.lzh", "kisi_lh0_h2.lzh"}) {
        const fs::path folder = dir_ / name;
        fs::create_directory(folder);
        EXPECT_EQ(extractMember(kData / name, folder, "JRA#KISI.DAT"), 0) << name;
        EXPECT_EQ(readFile(folder / "JRA#KISI.DAT"), expected) << name;
        EXPECT_EQ(filesUnder(folder), std::vector<std::string>{"JRA#KISI.DAT"}) << name;
    }
}

TEST_F(ArchiveTest, ExtractsEachOfTwoMembersAndReplacesEarlierCopy) {
    writeFile(dir_ / "JRA#DEN1.DAT", "earlier import");
    EXPECT_EQ(extractMember(kData / "umaj_den1.lzh", dir_, "JRA#UMAJ.DAT"), 0);
    EXPECT_EQ(extractMember(kData / "umaj_den1.lzh", dir_, "JRA#DEN1.DAT"), 0);
    EXPECT_EQ(readFile(dir_ / "JRA#UMAJ.DAT"), readFile(kData / "plain" / "JRA#UMAJ.DAT"));
    EXPECT_EQ(readFile(dir_ / "JRA#DEN1.DAT"), readFile(kData / "plain" / "JRA#DEN1.DAT"));
    EXPECT_EQ(filesUnder(dir_), (std::vector<std::string>{"JRA#DEN1.DAT", "JRA#UMAJ.DAT"}));
}

TEST(ArchiveMembers, ListsStoredNamesInUtf8) {
    const struct {
        const char* archive;
        std::vector<std::string> names;
    } cases[] = {
        {"umaj_den1.lzh", {"JRA#UMAJ.DAT", "JRA#DEN1.DAT"}},
        {"prefix.lzh", {"data/JRA#UMAJ.DAT", "JRA#DEN1.DAT.OLD"}},
        // Level-0 names, where '\' separates folders: the 0x5C ending ソ and 表 is no separator.
        {"names_cp932.lzh", {"ソ表.DAT", "馬①.DAT"}},
        {"escape.lzh", {"../JRA#KISI.DAT", "JRA#KISI.DAT/../../ESCAPED.DAT"}},
        {"not_archive.zip", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(archiveMembers(kData / c.archive), c.names) << c.archive;
    }
}

TEST(ArchiveMembers, ConvertsNamesUnderCLocaleAndKeepsThreadLocale) {
    locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    ASSERT_NE(cLocale, static_cast<locale_t>(0));
    const locale_t previous = uselocale(cLocale);

    const std::vector<std::string> names = archiveMembers(kData / "names_cp932.lzh");
    const locale_t after = uselocale(static_cast<locale_t>(0));

    uselocale(previous);
    freelocale(cLocale);
    EXPECT_EQ(names, (std::vector<std::string>{"ソ表.DAT", "馬①.DAT"}));
    EXPECT_EQ(after, cLocale);
}

TEST(ArchiveHasMember, ComparesFirstTwelveCharactersUpperCased) {
    const struct {
        const char* archive;
        const char* member;
        bool present;
    } cases[] = {
        {"umaj_den1.lzh", "JRA#UMAJ.DAT", true},    {"umaj_den1.lzh", "JRA#DEN1.DAT", true},
        {"umaj_den1.lzh", "JRA#SEI1.DAT", false},   {"umaj_den1.lzh", "jra#den1.dat", true},
        {"prefix.lzh", "JRA#UMAJ.DAT", false},  // stored as data/JRA#UMAJ.DAT
        {"prefix.lzh", "JRA#DEN1.DAT", true},   // stored as JRA#DEN1.DAT.OLD
        {"escape.lzh", "JRA#KISI.DAT", true},   // JRA#KISI.DAT/../../ESCAPED.DAT
        {"kisi_lh5_h0.lzh", "JRA#KISI.DAT", true},  {"kisi_lh5_h0.lzh", "JRA#KISI.DA", false},
        {"not_archive.txt", "JRA#KISI.DAT", false}, {"missing.lzh", "JRA#KISI.DAT", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(archiveHasMember(kData / c.archive, c.member), c.present)
            << c.archive << " " << c.member;
    }
}

TEST_F(ArchiveTest, RecognisesOnlyReadableLhaArchives) {
    writeFile(dir_ / "empty.lzh", "");
    writeFile(dir_ / "end_mark_only.lzh", std::string(1, '\0'));
    const struct {
        fs::path file;
        bool lha;
    } cases[] = {
        {kData / "kisi_lh5_h0.lzh", true},     {kData / "kisi_lh6_h1.lzh", true},
        {kData / "kisi_lh7_h2.lzh", true},     {kData / "umaj_den1.lzh", true},
        {kData / "bad_crc.lzh", true},  // the headers are sound, only the data is not
        {kData / "bad_header_sum.lzh", false}, {kData / "truncated_header.lzh", false},
        {kData / "not_archive.txt", false},    {kData / "not_archive.zip", false},
        {dir_ / "empty.lzh", false},           {dir_ / "end_mark_only.lzh", false},
        {dir_ / "missing.lzh", false},         {dir_, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isLhaArchive(c.file), c.lha) << c.file;
    }
}

TEST_F(ArchiveTest, FailureLeavesNoFileAndKeepsEarlierCopy) {
    const struct {
        const char* archive;
        int code;
    } cases[] = {
        {"bad_crc.lzh", kExtractChecksum},
        {"bad_huffman.lzh", kExtractBrokenData},
        {"unsupported_method.lzh", kExtractUnknownMethod},
        {"truncated_data.lzh", kExtractReadError},
        {"bad_header_sum.lzh", kExtractHeaderChecksum},
        {"bad_header_crc.lzh", kExtractHeaderChecksum},
        {"truncated_header.lzh", kExtractBrokenHeader},
        {"not_archive.txt", kExtractNotLzh},
        {"not_archive.zip", kExtractNotLzh},
        {"missing.lzh", kExtractCannotOpenArchive},
        {"umaj_den1.lzh", kExtractNotFound},
    };
    for (const auto& c : cases) {
        const fs::path folder = dir_ / c.archive;
        fs::create_directory(folder);
        writeFile(folder / "JRA#KISI.DAT", "earlier import");
        EXPECT_EQ(extractMember(kData / c.archive, folder, "JRA#KISI.DAT"), c.code) << c.archive;
        EXPECT_EQ(filesUnder(folder), std::vector<std::string>{"JRA#KISI.DAT"}) << c.archive;
        EXPECT_EQ(readFile(folder / "JRA#KISI.DAT"), "earlier import") << c.archive;
    }
}

TEST_F(ArchiveTest, WritesMatchedMemberUnderWantedNameOnly) {
    EXPECT_EQ(extractMember(kData / "prefix.lzh", dir_, "JRA#DEN1.DAT"), 0);
    EXPECT_EQ(readFile(dir_ / "JRA#DEN1.DAT"), "longer name\r\n");
    EXPECT_EQ(extractMember(kData / "prefix.lzh", dir_, "JRA#UMAJ.DAT"), kExtractNotFound);
    EXPECT_EQ(filesUnder(dir_), std::vector<std::string>{"JRA#DEN1.DAT"});
}

TEST_F(ArchiveTest, StoredPathsNeverLeaveTheFolder) {
    const fs::path folder = dir_ / "a" / "b" / "out";
    fs::create_directories(folder);
    // The first member, ../JRA#KISI.DAT, does not match; the second begins with the name and
    // then climbs two folders up.
    EXPECT_EQ(extractMember(kData / "escape.lzh", folder, "JRA#KISI.DAT"), 0);
    EXPECT_EQ(readFile(folder / "JRA#KISI.DAT"), "climbs out\r\n");
    for (const char* wanted : {"../JRA#KISI.DAT", "b/JRA#KISI.DAT", "..", ".", ""}) {
        EXPECT_EQ(extractMember(kData / "escape.lzh", folder, wanted), kExtractBadMemberName)
            << wanted;
    }
    EXPECT_EQ(filesUnder(dir_), std::vector<std::string>{"a/b/out/JRA#KISI.DAT"});
}

TEST_F(ArchiveTest, ReadOnlyTargetIsKept) {
    const fs::path target = dir_ / "JRA#KISI.DAT";
    writeFile(target, "protected");
    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(extractMember(kData / "kisi_lh5_h0.lzh", dir_, "JRA#KISI.DAT"), kExtractReadOnly);
    EXPECT_EQ(readFile(target), "protected");
    EXPECT_EQ(filesUnder(dir_), std::vector<std::string>{"JRA#KISI.DAT"});
}

TEST_F(ArchiveTest, WriteErrorLeavesNoFileAndKeepsEarlierCopy) {
    writeFile(dir_ / "JRA#KISI.DAT", "earlier import");
    // A file size limit below the member's 576 bytes makes write() fail with EFBIG.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 100;
    const sighandler_t oldHandler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int code = extractMember(kData / "kisi_lh7_h2.lzh", dir_, "JRA#KISI.DAT");
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(code, kExtractWriteError);
    EXPECT_EQ(filesUnder(dir_), std::vector<std::string>{"JRA#KISI.DAT"});
    EXPECT_EQ(readFile(dir_ / "JRA#KISI.DAT"), "earlier import");
}

TEST_F(ArchiveTest, MissingFolderCannotTakeTheFile) {
    EXPECT_EQ(extractMember(kData / "kisi_lh5_h0.lzh", dir_ / "missing", "JRA#KISI.DAT"),
              kExtractCannotOpenOutput);
    EXPECT_TRUE(filesUnder(dir_).empty());
}

TEST(ExtractErrorText, GivesTheTableTextOrUnknown) {
    const struct {
        int code;
        const char* text;
    } cases[] = {
        {32773, "解凍する為のﾃﾞｨｽｸの空きが足りません。"},
        {32777, "メソットのｴﾗｰです。"},
        {32783, "ﾌｧｲﾙは解凍先に存在していません。"},
        {32788, "LZH ﾌｧｲﾙのﾊﾌﾏﾝｺｰﾄﾞが壊れています。"},
        {32795, "指定されたﾌｧｲﾙは LZH ﾌｧｲﾙではありません。"},
        {32802,
         "UnlhaFindFirst() を使用する前に UnlhaFindNext() が呼ばれた。または，これらの API "
         "を呼び出す前に UnlhaGetFileName() 等の API が呼ばれた。"},
        {32809, "指定されたﾌｫﾙﾀﾞには LZH ﾌｧｲﾙがありませんでした。"},
        {32772, "未知のｴﾗｰです。"},
        {32810, "未知のｴﾗｰです。"},
        {0, "未知のｴﾗｰです。"},
        {-1, "未知のｴﾗｰです。"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(extractErrorText(c.code), c.text) << c.code;
    }
    EXPECT_EQ(extractErrorMessage(32780), "#:32780\n格納ﾌｧｲﾙのﾁｪｯｸｻﾑが合っていません。");
}

}  // namespace
}  // namespace zelvanor
