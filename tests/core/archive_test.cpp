#include "core/import/archive.hpp"

#include <gtest/gtest.h>
#include <locale.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "archive_fixture.hpp"

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

TEST_F(ArchiveTest, DamageAnywhereFailsTheWholeArchiveAndKeepsEarlierCopies) {
    const std::string sound = readFile(kData / "umaj_den1.lzh");
    const std::size_t second = fixture::secondHeaderAt(sound);
    std::string badCrc = sound;
    badCrc[second + 21] =
        static_cast<char>(badCrc[second + 21] ^ 0xFF);  // in the header CRC's span
    const struct {
        const char* label;
        std::string bytes;
        int code;
    } cases[] = {
        {"cut inside the second header", sound.substr(0, second + 10), kExtractBrokenHeader},
        {"second header damaged", badCrc, kExtractHeaderChecksum},
        {"cut inside the second member", sound.substr(0, sound.size() - 30), kExtractReadError},
    };
    for (const auto& c : cases) {
        const fs::path folder = dir_ / c.label;
        fs::create_directory(folder);
        const fs::path archive = dir_ / (std::string(c.label) + ".lzh");
        writeFile(archive, c.bytes);
        writeFile(folder / "JRA#UMAJ.DAT", "earlier import");
        // The first member reads whole; the archive still fails.
        EXPECT_EQ(extractMember(archive, folder, "JRA#UMAJ.DAT"), c.code) << c.label;
        EXPECT_EQ(filesUnder(folder), std::vector<std::string>{"JRA#UMAJ.DAT"}) << c.label;
        EXPECT_EQ(readFile(folder / "JRA#UMAJ.DAT"), "earlier import") << c.label;

        ArchiveContents contents = readArchive(archive, folder, {"JRA#UMAJ.DAT", "JRA#DEN1.DAT"});
        EXPECT_EQ(contents.failure.code, c.code) << c.label;
        EXPECT_TRUE(contents.staged.empty()) << c.label;
        EXPECT_TRUE(contents.isArchive()) << c.label;
    }
}

TEST_F(ArchiveTest, ReadsOnceStagingEveryWantedMemberAndLeavesNothingUnlessInstalled) {
    {
        ArchiveContents contents = readArchive(kData / "umaj_den1.lzh", dir_,
                                               {"JRA#DEN1.DAT", "JRA#SEI1.DAT", "JRA#UMAJ.DAT"});
        ASSERT_FALSE(contents.failure);
        EXPECT_TRUE(contents.holds("jra#umaj.dat"));
        EXPECT_FALSE(contents.holds("JRA#SEI1.DAT"));
        EXPECT_EQ(contents.find("JRA#SEI1.DAT"), nullptr);
        ASSERT_NE(contents.find("JRA#UMAJ.DAT"), nullptr);
        ASSERT_NE(contents.find("JRA#DEN1.DAT"), nullptr);
        EXPECT_EQ(contents.staged.size(), 2u);
        for (const auto& name : filesUnder(dir_)) {
            EXPECT_EQ(name.rfind(".zelvanor-part-", 0), 0u) << name;
        }
        EXPECT_EQ(contents.find("JRA#UMAJ.DAT")->install(dir_ / "JRA#UMAJ.DAT"), 0);
        EXPECT_EQ(readFile(dir_ / "JRA#UMAJ.DAT"), readFile(kData / "plain" / "JRA#UMAJ.DAT"));
    }
    // The member never installed went with its contents.
    EXPECT_EQ(filesUnder(dir_), std::vector<std::string>{"JRA#UMAJ.DAT"});
}

TEST_F(ArchiveTest, MemberBeyondItsBoundIsRefusedAndNotWritten) {
    constexpr std::uint32_t kMiB = 1024 * 1024;
    // Declares more than a jockey file may hold; a few bytes of data are all there is.
    const fs::path declared = dir_ / "declared.lzh";
    writeFile(declared, fixture::lhaArchive({{"JRA#KISI.DAT", "0123456789", 16 * kMiB + 1}}));
    EXPECT_EQ(extractMember(declared, dir_, "JRA#KISI.DAT"), kExtractWriteError);
    EXPECT_EQ(filesUnder(dir_), std::vector<std::string>{"declared.lzh"});

    // Declares 50 bytes and holds 5000: the writing stops at the bound.
    const fs::path understated = dir_ / "understated.lzh";
    writeFile(understated, fixture::lhaArchive({{"JRA#KISI.DAT", std::string(5000, 'x'), 50}}));
    const fs::path out = dir_ / "out";
    fs::create_directory(out);
    const auto bound = [](std::string_view) -> std::uint64_t { return 100; };
    ArchiveContents contents = readArchive(understated, out, {"JRA#KISI.DAT"}, bound);
    EXPECT_EQ(contents.failure.code, kExtractWriteError);
    EXPECT_EQ(contents.failure.member, "JRA#KISI.DAT");
    EXPECT_EQ(contents.failure.limit, 100u);
    EXPECT_TRUE(filesUnder(out).empty());
    const std::string message = extractFailureMessage(understated, contents.failure);
    EXPECT_EQ(
        message.rfind(extractErrorMessage(kExtractWriteError) + "\n" + understated.string(), 0), 0u)
        << message;

    // Up to the bound is fine.
    writeFile(understated, fixture::lhaArchive({{"JRA#KISI.DAT", std::string(100, 'x')}}));
    EXPECT_FALSE(readArchive(understated, out, {"JRA#KISI.DAT"}, bound).failure);
    EXPECT_GE(memberSizeLimit("jra#umaj.dat"), 10u * 22 * 1000 * 1000);
}

TEST_F(ArchiveTest, TemporariesOfEndedExtractionsGoAtTheNextOne) {
    // A process id above the system's limit: no process can have it. The id of a child that
    // ended could be taken by another process before the extraction looks.
    long pidMax = 0;
    std::ifstream("/proc/sys/kernel/pid_max") >> pidMax;
    ASSERT_GT(pidMax, 0);
    const std::string dead = std::to_string(pidMax + 1);
    const std::string alive = std::to_string(getppid());
    const fs::path outside = dir_ / "outside.txt";
    writeFile(outside, "kept");
    const fs::path folder = dir_ / "data";
    fs::create_directory(folder);
    for (const std::string name :
         {".zelvanor-part-" + dead + "-1-JRA#KISI.DAT", ".JRA#UMAJ.DAT.part-" + dead + "-7",
          std::string("JRA#DEN1.DAT.part"), ".zelvanor-part-" + alive + "-1-JRA#CHOK.DAT",
          std::string(".zelvanor-part-x-JRA#KISI.DAT"), std::string("notes.part")}) {
        writeFile(folder / name, std::string(1000, 'p'));
    }
    fs::create_symlink(outside, folder / (".zelvanor-part-" + dead + "-2-JRA#SEI1.DAT"));
    fs::create_directory(folder / (".zelvanor-part-" + dead + "-3-dir"));

    EXPECT_EQ(extractMember(kData / "kisi_lh5_h0.lzh", folder, "JRA#KISI.DAT"), 0);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder)) {
        left.push_back(entry.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    std::vector<std::string> kept{".zelvanor-part-" + alive + "-1-JRA#CHOK.DAT",
                                  ".zelvanor-part-" + dead + "-3-dir",
                                  ".zelvanor-part-x-JRA#KISI.DAT", "JRA#KISI.DAT", "notes.part"};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(left, kept);
    EXPECT_EQ(readFile(outside), "kept");
}

}  // namespace
}  // namespace zelvanor
