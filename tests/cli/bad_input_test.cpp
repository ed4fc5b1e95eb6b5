// What users and attackers feed the program: damaged archives, broken record files, databases
// that are not ours, a folder that cannot be written. Each case runs zelvanor-cli over a copy of
// an imported state and checks the exit status, the kind of message and that every table of
// both databases is exactly as it was.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <ostream>
#include <sstream>
#include <string>

#include "sampledata/lha_writer.hpp"
#include "shell_run.hpp"
#include "temp_folder.hpp"

namespace fs = std::filesystem;

namespace {

Outcome run(const std::string& command) {
    return runShell(command);
}

std::string quoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeFile(const fs::path& p, std::string_view bytes) {
    std::ofstream(p, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
}

// Every table of a database with its rows, each row as text, sorted: equal maps, equal
// contents. A file that does not open as a database is kept as its bytes.
using Tables = std::map<std::string, std::multiset<std::string>>;

Tables tablesOf(const fs::path& file) {
    Tables tables;
    if (!fs::exists(file)) return tables;
    if (!fs::is_regular_file(file)) {
        tables["<not a file>"];
        return tables;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_exec(db, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr) !=
            SQLITE_OK) {
        sqlite3_close(db);
        tables["<bytes>"].insert(readFile(file));
        return tables;
    }
    std::vector<std::string> names;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_schema WHERE type = 'table'", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    }
    sqlite3_finalize(st);
    for (const auto& name : names) {
        auto& rows = tables[name];
        sqlite3_prepare_v2(db, ("SELECT * FROM \"" + name + "\"").c_str(), -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            std::string row;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                const auto* text = sqlite3_column_blob(st, c);
                row.append(text ? static_cast<const char*>(text) : "<null>",
                           text ? sqlite3_column_bytes(st, c) : 6);
                row += '\x1f';
            }
            rows.insert(row);
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return tables;
}

struct State {
    Tables mast;
    Tables tran;
    bool operator==(const State&) const = default;
};

State stateOf(const fs::path& folder) {
    return {tablesOf(folder / "mast.mdb"), tablesOf(folder / "tran.mdb")};
}

// Offsets of the fields the record checks look at (the same in race cards and results).
constexpr std::size_t kMonthAt = 8;
constexpr std::size_t kDayAt = 10;
constexpr std::size_t kRaceAt = 6;
constexpr std::size_t kDen1Length = 584;
constexpr std::size_t kSei1Length = 1323;
constexpr std::size_t kKisiLength = 1065;
constexpr std::size_t kChokLength = 811;

// The archive's second member header: after the first header (its size in the first two bytes)
// and the first member's stored bytes.
std::size_t secondHeaderAt(const std::string& archive) {
    const auto u8 = [&](std::size_t i) { return static_cast<unsigned char>(archive.at(i)); };
    const std::size_t headerSize = u8(0) | (u8(1) << 8);
    const std::size_t packed = u8(7) | (u8(8) << 8) | (u8(9) << 16) | (u8(10) << 24);
    return headerSize + packed;
}

struct Env {
    fs::path samples;  // the generated record files and archives
    fs::path data;     // the data folder the case runs on, an imported meeting
    fs::path scratch;  // where a case puts its input
};

struct Case {
    const char* name;
    // Prepares the input and the environment; returns the command's arguments after --data.
    std::function<std::string(const Env&)> arrange;
    int status;
    const char* message;  // a fragment the output must hold
};

// gtest names a case by this instead of dumping its bytes.
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

std::string withRecord(const Env& env, const char* file, std::size_t at, std::string_view bytes) {
    std::string data = readFile(env.samples / file);
    data.replace(at, bytes.size(), bytes);
    writeFile(env.scratch / file, data);
    return "import " + quoted(env.scratch / file);
}

std::string truncated(const Env& env, const char* file, std::size_t size) {
    writeFile(env.scratch / file, readFile(env.samples / file).substr(0, size));
    return "import " + quoted(env.scratch / file);
}

std::string archiveOf(const Env& env, const std::string& bytes, const char* name = "a.lzh") {
    writeFile(env.scratch / name, bytes);
    return "import " + quoted(env.scratch / name);
}

// The first meeting of the data folder's race database, as the command line names it.
std::string firstMeeting(const Env& env) {
    sqlite3* db = nullptr;
    std::string name;
    sqlite3_open_v2((env.data / "tran.mdb").c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT name FROM sqlite_schema WHERE type = 'table' AND name LIKE 'D%' "
                       "ORDER BY name",
                       -1, &st, nullptr);
    if (sqlite3_step(st) == SQLITE_ROW) {
        name = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return name;
}

// A database cut to half its length, as a copy broken off or a full disk leaves it.
void cutShort(const fs::path& file) {
    fs::resize_file(file, fs::file_size(file) / 2);
}

// A database with garbage over some of its pages: those of its middle, or the rest of the first
// page after the file header, where the list of tables starts.
enum class Where { Middle, TableList };
void garbageOverPages(const fs::path& file, Where where) {
    std::string bytes = readFile(file);
    if (where == Where::Middle) {
        bytes.replace(bytes.size() / 2, 16384, 16384, '\x5a');
    } else {
        bytes.replace(100, 3996, 3996, '\x5a');
    }
    writeFile(file, bytes);
}

bool isRoot() {
    return ::geteuid() == 0;
}

const Case kCases[] = {
    // Archives.
    {"NotAnArchive", [](const Env& e) { return archiveOf(e, "this is not an archive\n"); }, 2,
     "LHA圧縮ファイルではありません"},
    {"EmptyArchiveFile", [](const Env& e) { return archiveOf(e, ""); }, 2,
     "LHA圧縮ファイルではありません"},
    {"ArchiveWithoutRecordFiles",
     [](const Env& e) {
         return archiveOf(e, zelvanor::sample::lhaArchive({{"readme.txt", "hello", 0}}));
     },
     2, "a.lzh"},
    {"ArchiveCutInsideTheSecondHeader",
     [](const Env& e) {
         const std::string lzh = readFile(e.samples / "umaj.lzh");
         return archiveOf(e, lzh.substr(0, secondHeaderAt(lzh) + 10), "umaj.lzh");
     },
     1, "umaj.lzh"},
    {"ArchiveWithTheSecondHeaderDamaged",
     [](const Env& e) {
         std::string lzh = readFile(e.samples / "umaj.lzh");
         const std::size_t at = secondHeaderAt(lzh);
         for (std::size_t i = at + 7; i < at + 15; ++i) lzh[i] = '\x5a';
         return archiveOf(e, lzh, "umaj.lzh");
     },
     1, "umaj.lzh"},
    {"ArchiveWhoseMemberFailsItsChecksum",
     [](const Env& e) {
         std::string lzh = readFile(e.samples / "kisi.lzh");
         const auto u8 = [&](std::size_t i) { return static_cast<unsigned char>(lzh[i]); };
         const std::size_t at = (u8(0) | (u8(1) << 8)) + 100;
         lzh[at] = static_cast<char>(lzh[at] ^ 0x01);
         return archiveOf(e, lzh, "kisi.lzh");
     },
     1, "ﾁｪｯｸｻﾑ"},
    // Record files.
    {"EmptyJockeyFile", [](const Env& e) { return truncated(e, "JRA#KISI.DAT", 0); }, 1,
     "JRA#KISI.DAT"},
    {"TrainerFileShorterThanARecord",
     [](const Env& e) { return truncated(e, "JRA#CHOK.DAT", kChokLength - 1); }, 1, "JRA#CHOK.DAT"},
    {"JockeyFileEndingInHalfARecord",
     [](const Env& e) { return truncated(e, "JRA#KISI.DAT", kKisiLength + 500); }, 1,
     "JRA#KISI.DAT"},
    {"EmptyHorseFile", [](const Env& e) { return truncated(e, "JRA#UMAJ.DAT", 0); }, 1,
     "JRA#UMAJ.DAT"},
    {"RaceCardInMonth13",
     [](const Env& e) { return withRecord(e, "JRA#DEN1.DAT", kMonthAt, "13"); }, 1, "JRA#DEN1.DAT"},
    {"RaceCardOnDay99", [](const Env& e) { return withRecord(e, "JRA#DEN1.DAT", kDayAt, "99"); }, 1,
     "JRA#DEN1.DAT"},
    {"RaceCardOfRace13",
     [](const Env& e) { return withRecord(e, "JRA#DEN1.DAT", kDen1Length + kRaceAt, "13"); }, 1,
     "JRA#DEN1.DAT"},
    {"RaceCardWithALetterInItsCourse",
     [](const Env& e) { return withRecord(e, "JRA#DEN1.DAT", 0, "0A"); }, 1, "JRA#DEN1.DAT"},
    {"ResultInMonth00", [](const Env& e) { return withRecord(e, "JRA#SEI1.DAT", kMonthAt, "00"); },
     1, "JRA#SEI1.DAT"},
    // A byte no code page 932 character is made of, in the second record of each kind of file.
    {"JockeyFileWithBytesThatAreNoText",
     [](const Env& e) { return withRecord(e, "JRA#KISI.DAT", kKisiLength + 40, "\xFF"); }, 1,
     "JRA#KISI.DAT の 2 件目のレコードは、欄「"},
    {"HorseFileWithBytesThatAreNoText",
     [](const Env& e) { return withRecord(e, "JRA#UMAJ.DAT", 1825 + 20, "\xFF"); }, 1,
     "文字として読めないバイト"},
    {"RaceCardWithBytesThatAreNoText",
     [](const Env& e) { return withRecord(e, "JRA#DEN1.DAT", kDen1Length + 31, "\xFF\xFF"); }, 1,
     "JRA#DEN1.DAT の 2 件目のレコードは、欄「"},
    {"ResultWithBytesThatAreNoText",
     [](const Env& e) { return withRecord(e, "JRA#SEI1.DAT", kSei1Length + 30, "\xFF"); }, 1,
     "文字として読めないバイト"},
    // The first win entry's payout (offset 175 + 2) with a letter among its digits.
    {"ResultWithALetterInAPayout",
     [](const Env& e) { return withRecord(e, "JRA#SEI1.DAT", kSei1Length + 177 + 3, "X"); }, 1,
     "JRA#SEI1.DAT の 2 件目のレコードは、欄「winPay1」が数字ではない"},
    {"ResultsOfAMeetingNeverImported",
     [](const Env& e) { return withRecord(e, "JRA#SEI1.DAT", 2, "77"); }, 1,
     "出馬表データが存在しません"},
    {"RecordFileThatIsAFolder",
     [](const Env& e) {
         fs::create_directory(e.scratch / "JRA#KISI.DAT");
         return "import " + quoted(e.scratch / "JRA#KISI.DAT");
     },
     2, "JRA#KISI.DAT"},
    {"RecordFileThatIsAFifo",
     [](const Env& e) {
         ::mkfifo((e.scratch / "JRA#CHOK.DAT").c_str(), 0600);
         return "import " + quoted(e.scratch / "JRA#CHOK.DAT");
     },
     2, "JRA#CHOK.DAT"},
    {"FileThatDoesNotExist",
     [](const Env& e) { return "import " + quoted(e.scratch / "JRA#SEI1.DAT"); }, 2,
     "JRA#SEI1.DAT"},
    // Databases.
    {"MastThatIsNotADatabase",
     [](const Env& e) {
         writeFile(e.data / "mast.mdb", std::string(4096, 'x'));
         return "import " + quoted(e.samples / "kisi.lzh");
     },
     1, "mast.mdb"},
    {"TranThatIsNotADatabase",
     [](const Env& e) {
         writeFile(e.data / "tran.mdb", "SQLite format 3" + std::string(4000, '\0'));
         return "import " + quoted(e.samples / "umaj.lzh");
     },
     1, "tran.mdb"},
    {"MastThatIsAFolder",
     [](const Env& e) {
         fs::remove(e.data / "mast.mdb");
         fs::create_directory(e.data / "mast.mdb");
         return "import " + quoted(e.samples / "chok.lzh");
     },
     1, "mast.mdb"},
    // Damaged databases: named in the user's words, with what to do.
    {"RaceCardFromATranCutShort",
     [](const Env& e) {
         const std::string meeting = firstMeeting(e);
         cutShort(e.data / "tran.mdb");
         return "card " + meeting;
     },
     1, "tran.mdb が壊れています"},
    {"MeetingsFromATranWithGarbageOverPages",
     [](const Env& e) {
         garbageOverPages(e.data / "tran.mdb", Where::TableList);
         return std::string("meetings");
     },
     1, "tran.mdb が壊れています"},
    {"RaceCardImportIntoATranCutShort",
     [](const Env& e) {
         cutShort(e.data / "tran.mdb");
         return "import " + quoted(e.samples / "umaj.lzh");
     },
     1, "tran.mdb が壊れています"},
    {"JockeyImportIntoAMastWithGarbageOverPages",
     [](const Env& e) {
         garbageOverPages(e.data / "mast.mdb", Where::TableList);
         return "import " + quoted(e.samples / "kisi.lzh");
     },
     1, "mast.bak"},
    {"CheckOfADamagedTran",
     [](const Env& e) {
         garbageOverPages(e.data / "tran.mdb", Where::Middle);
         return std::string("check");
     },
     1, "tran.mdb が壊れています"},
    {"BackupOfADamagedTran",
     [](const Env& e) {
         cutShort(e.data / "tran.mdb");
         return "backup " + quoted(e.scratch / "backup");
     },
     1, "tran.mdb が壊れています"},
    {"BackupIntoTheDataFolder", [](const Env& e) { return "backup " + quoted(e.data / "."); }, 2,
     "データフォルダ"},
    // The environment.
    {"DataFolderThatIsAFile",
     [](const Env& e) {
         writeFile(e.scratch / "file", "x");
         return "--data " + quoted(e.scratch / "file") + " import " +
                quoted(e.samples / "kisi.lzh");
     },
     2, "file"},
    // Files may grow to 128 KiB: more than the jockey file, less than the horse file and the
    // databases, as if the disk filled up at that point.
    {"DiskFullWhileExtracting",
     [](const Env& e) { return "import " + quoted(e.samples / "umaj.lzh") + "#ulimit"; }, 1,
     "取り込む前のまま"},
    {"DiskFullWhileWritingTheDatabase",
     [](const Env& e) { return "import " + quoted(e.samples / "kisi.lzh") + "#ulimit"; }, 1,
     "mast.mdb"},
    {"DatabaseLockedByAnotherProgram",
     [](const Env& e) { return "import " + quoted(e.samples / "sei1.lzh") + "#locked"; }, 1,
     "tran.mdb"},
    {"ReadOnlyDataFolder",
     [](const Env& e) {
         ::chmod(e.data.c_str(), 0555);
         return "import " + quoted(e.samples / "kisi.lzh") + "#unprivileged";
     },
     1, "取り込む前のまま"},
};

class BadInput : public ::testing::TestWithParam<Case> {
  protected:
    static void SetUpTestSuite() {
        samples_ = new TempFolder;
        base_ = new TempFolder;
        const std::string gen = std::string(ZELVANOR_SAMPLE) + " --size meeting --seed 11 --out " +
                                quoted(samples_->path()) + " > /dev/null";
        ASSERT_EQ(std::system(gen.c_str()), 0);
        const fs::path s = samples_->path();
        const Outcome imported =
            run(std::string(ZELVANOR_CLI) + " --data " + quoted(base_->path()) + " import " +
                quoted(s / "kisi.lzh") + " " + quoted(s / "chok.lzh") + " " +
                quoted(s / "umaj.lzh") + " " + quoted(s / "sei1.lzh"));
        ASSERT_EQ(imported.status, 0) << imported.out;
        // Readable by the unprivileged user that the read-only case runs as.
        fs::permissions(s, fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
        for (const auto& entry : fs::directory_iterator(s)) {
            fs::permissions(entry.path(), fs::perms::others_read, fs::perm_options::add);
        }
    }
    static void TearDownTestSuite() {
        delete samples_;
        delete base_;
    }
    static TempFolder* samples_;
    static TempFolder* base_;
};

TempFolder* BadInput::samples_ = nullptr;
TempFolder* BadInput::base_ = nullptr;

TEST_P(BadInput, IsRefusedAndChangesNothing) {
    const Case& c = GetParam();
    TempFolder work;
    const Env env{samples_->path(), work / "data", work / "input"};
    fs::copy(base_->path(), env.data, fs::copy_options::recursive);
    fs::create_directory(env.scratch);
    std::string args = c.arrange(env);
    const State before = stateOf(env.data);
    std::string prefix;
    if (const auto mark = args.find("#ulimit"); mark != std::string::npos) {
        args.erase(mark);
        // SIGXFSZ ignored: a write past the limit fails with EFBIG instead of killing the program.
        prefix = "trap '' XFSZ; ulimit -f 128; ";
    }
    if (const auto mark = args.find("#unprivileged"); mark != std::string::npos) {
        args.erase(mark);
        if (isRoot()) {
            // Permissions do not stop root: run as nobody, who may read but not write.
            if (run("command -v setpriv").status != 0) GTEST_SKIP() << "no setpriv to drop root";
            fs::permissions(work.path(), fs::perms::all);
            fs::permissions(env.data.parent_path(), fs::perms::owner_all | fs::perms::others_exec,
                            fs::perm_options::replace);
            prefix = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
            for (const auto& entry : fs::recursive_directory_iterator(env.data)) {
                fs::permissions(entry.path(), fs::perms::others_read, fs::perm_options::add);
            }
            fs::permissions(work.path(), fs::perms::others_exec, fs::perm_options::add);
            for (fs::path p = work.path().parent_path(); p != p.root_path(); p = p.parent_path()) {
                if ((fs::status(p).permissions() & fs::perms::others_exec) == fs::perms::none) {
                    GTEST_SKIP() << p << " is closed to other users";
                }
            }
        }
    }
    sqlite3* locker = nullptr;
    if (const auto mark = args.find("#locked"); mark != std::string::npos) {
        args.erase(mark);
        // Another program holds tran.mdb: the import waits its while, then gives up.
        ASSERT_EQ(sqlite3_open((env.data / "tran.mdb").c_str(), &locker), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(locker, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    }
    const std::string data =
        args.rfind("--data ", 0) == 0 ? "" : "--data " + quoted(env.data) + " ";
    const Outcome r = run(prefix + ZELVANOR_CLI + " " + data + args);

    if (locker != nullptr) {
        sqlite3_exec(locker, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(locker);
    }
    EXPECT_EQ(r.status, c.status) << args << "\n" << r.out;
    EXPECT_NE(r.out.find(c.message), std::string::npos) << args << "\n" << r.out;
    EXPECT_EQ(r.out.find("filesystem error"), std::string::npos) << r.out;
    ::chmod(env.data.c_str(), 0755);
    EXPECT_TRUE(stateOf(env.data) == before) << "a table changed: " << args << "\n" << r.out;
}

INSTANTIATE_TEST_SUITE_P(Catalogue, BadInput, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
