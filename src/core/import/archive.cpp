#include "core/import/archive.hpp"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <locale.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>
#include <utility>

#include "core/records/numeric.hpp"

namespace zelvanor {
namespace {

constexpr std::size_t kNameLength = 12;
constexpr std::size_t kBufferSize = 64 * 1024;

// What archive_errno holds for errors libarchive finds itself (its private
// ARCHIVE_ERRNO_FILE_FORMAT and ARCHIVE_ERRNO_MISC on Linux); any other value is a system errno.
constexpr int kArchiveErrnoFileFormat = EILSEQ;
constexpr int kArchiveErrnoMisc = -1;

// libarchive converts CP932 member names to the multibyte charset of LC_CTYPE, and fails on
// every non-ASCII name under the "C" locale. The program may never call setlocale, so each
// operation switches only its own thread to a UTF-8 ctype and puts the previous one back.
class Utf8CtypeScope {
  public:
    Utf8CtypeScope() : utf8_(newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0))) {
        if (utf8_ != static_cast<locale_t>(0)) previous_ = uselocale(utf8_);
    }
    ~Utf8CtypeScope() {
        if (utf8_ == static_cast<locale_t>(0)) return;
        uselocale(previous_);
        freelocale(utf8_);
    }
    Utf8CtypeScope(const Utf8CtypeScope&) = delete;
    Utf8CtypeScope& operator=(const Utf8CtypeScope&) = delete;

  private:
    locale_t utf8_;
    locale_t previous_ = static_cast<locale_t>(0);
};

struct ArchiveFree {
    void operator()(archive* a) const { archive_read_free(a); }
};

bool contains(const char* text, std::string_view part) {
    return text != nullptr && std::string_view(text).find(part) != std::string_view::npos;
}

// libarchive has no error numbers finer than "file format" and "misc", so the few places where
// the table tells cases apart look at the message as well.
int openFailureCode(archive* a) {
    const int err = archive_errno(a);
    if (err == ENOMEM) return kExtractOutOfMemory;
    if (err == kArchiveErrnoFileFormat) return kExtractNotLzh;
    return kExtractCannotOpenArchive;
}

int headerFailureCode(archive* a) {
    const int err = archive_errno(a);
    if (err == ENOMEM) return kExtractOutOfMemory;
    const char* message = archive_error_string(a);
    if (contains(message, "sum error") || contains(message, "CRC error")) {
        return kExtractHeaderChecksum;
    }
    // Skipping the data of a member cut short ("Truncated input file …").
    if (contains(message, "Truncated input")) return kExtractReadError;
    if (err == kArchiveErrnoFileFormat || err == kArchiveErrnoMisc) return kExtractBrokenHeader;
    return kExtractReadError;
}

int dataFailureCode(archive* a, la_ssize_t status) {
    const int err = archive_errno(a);
    if (err == ENOMEM) return kExtractOutOfMemory;
    // The LHA reader warns for exactly two things: a method it cannot decode, and a CRC that
    // does not match once the whole member has been read.
    if (status == ARCHIVE_WARN) {
        return contains(archive_error_string(a), "Unsupported") ? kExtractUnknownMethod
                                                                : kExtractChecksum;
    }
    if (status == ARCHIVE_FAILED) return kExtractBrokenData;
    return kExtractReadError;  // truncated member data or a failing read of the archive file
}

// One pass over the member headers of an LHA archive.
class LhaReader {
  public:
    explicit LhaReader(const std::filesystem::path& path) : archive_(archive_read_new()) {
        archive* a = archive_.get();
        if (a == nullptr) {
            error_ = kExtractOutOfMemory;
            return;
        }
        archive_read_support_format_lha(a);
        // Must come before opening: the name converter is made with the current ctype.
        if (archive_read_set_options(a, "lha:hdrcharset=CP932") < ARCHIVE_WARN) {
            error_ = kExtractCannotOpenArchive;
            return;
        }
        if (archive_read_open_filename(a, path.c_str(), 10240) != ARCHIVE_OK) {
            error_ = openFailureCode(a);
        }
    }

    // Moves to the next member; false at the end of the archive or on error (see error()).
    bool next() {
        if (error_ != 0 || ended_) return false;
        const int status = archive_read_next_header(archive_.get(), &entry_);
        if (status == ARCHIVE_EOF) {
            ended_ = true;
            return false;
        }
        if (status < ARCHIVE_WARN) {
            error_ = headerFailureCode(archive_.get());
            return false;
        }
        return true;
    }

    // The current member's stored path in UTF-8; empty if libarchive could not convert it.
    std::string name() const {
        const char* utf8 = archive_entry_pathname_utf8(entry_);
        return utf8 != nullptr ? std::string(utf8) : std::string();
    }

    bool isRegularFile() const { return archive_entry_filetype(entry_) == AE_IFREG; }

    // The member's size as its header gives it; 0 when the header gives none.
    std::uint64_t declaredSize() const {
        if (!archive_entry_size_is_set(entry_) || archive_entry_size(entry_) < 0) return 0;
        return static_cast<std::uint64_t>(archive_entry_size(entry_));
    }

    archive* handle() const { return archive_.get(); }
    int error() const { return error_; }

  private:
    // Declared first: in force before the archive is made and until it has been freed, since
    // its name converters are built for this ctype.
    Utf8CtypeScope ctype_;
    std::unique_ptr<archive, ArchiveFree> archive_;
    archive_entry* entry_ = nullptr;
    int error_ = 0;
    bool ended_ = false;
};

// The first `count` UTF-8 characters of `text`, ASCII letters upper-cased. Member names are
// ASCII; other letters are left as they are.
std::string upperPrefix(std::string_view text, std::size_t count) {
    std::string out;
    std::size_t characters = 0;
    for (const char c : text) {
        const bool continuation = (static_cast<unsigned char>(c) & 0xC0) == 0x80;
        if (!continuation && characters++ == count) break;
        out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return out;
}

bool nameMatches(std::string_view stored, std::string_view wanted) {
    return upperPrefix(stored, kNameLength) == upperPrefix(wanted, std::string_view::npos);
}

// False for any name that could make folder/<member> point anywhere but directly into folder.
bool isPlainFileName(std::string_view member) {
    return !member.empty() && member != "." && member != ".." &&
           member.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

int openFailure(int err) {
    switch (err) {
        case EACCES:
        case EPERM:
        case EROFS:
            return kExtractReadOnly;
        case ENOSPC:
        case EDQUOT:
            return kExtractDiskFull;
        case ENAMETOOLONG:
            return kExtractPathTooLong;
        default:
            return kExtractCannotOpenOutput;
    }
}

int writeFailure(int err) {
    return (err == ENOSPC || err == EDQUOT) ? kExtractDiskFull : kExtractWriteError;
}

// A marked read-only file is kept even though rename could replace it: the user protected it.
bool isReadOnlyFile(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return true;
    return ::access(path.c_str(), W_OK) != 0 && (errno == EACCES || errno == EROFS);
}

// Temporary names: kTempPrefix, the process id, '-', a counter, '-', the member's name.
constexpr std::string_view kTempPrefix = ".zelvanor-part-";

// The process that made a temporary of ours, from its name; 0 when the name is not one of ours.
// Earlier versions named theirs ".<member>.part-<process>-<n>".
pid_t temporaryOwner(std::string_view name) {
    std::string_view rest;
    if (name.starts_with(kTempPrefix)) {
        rest = name.substr(kTempPrefix.size());
    } else if (const auto at = name.find(".part-"); name.starts_with(".") && at != name.npos) {
        rest = name.substr(at + 6);
        const auto dash = rest.find('-');
        if (dash == rest.npos || !allDigits(rest.substr(dash + 1))) return 0;
    } else {
        return 0;
    }
    const auto dash = rest.find('-');
    if (dash == rest.npos || dash > 9 || !allDigits(rest.substr(0, dash))) return 0;
    return static_cast<pid_t>(std::stol(std::string(rest.substr(0, dash))));
}

bool processEnded(pid_t pid) {
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

// A temporary of ours that no running extraction writes. Earlier versions of the command line
// copied a record file given on its own through "<record file>.part", without a process id; only
// one program runs on a data folder at a time, so such a file is left over.
bool isStaleTemporary(std::string_view name) {
    for (std::string_view record :
         {"JRA#UMAJ.DAT", "JRA#DEN1.DAT", "JRA#SEI1.DAT", "JRA#KISI.DAT", "JRA#CHOK.DAT"}) {
        if (name.size() == record.size() + 5 && name.starts_with(record) &&
            name.ends_with(".part")) {
            return true;
        }
    }
    const pid_t owner = temporaryOwner(name);
    return owner > 0 && owner != ::getpid() && processEnded(owner);
}

struct FileDescriptor {
    int fd;
    ~FileDescriptor() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

StagedFile::StagedFile(StagedFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      path_(std::exchange(other.path_, {})),
      size_(std::exchange(other.size_, 0)) {}

StagedFile& StagedFile::operator=(StagedFile&& other) noexcept {
    if (this != &other) {
        discard();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::exchange(other.path_, {});
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

StagedFile::~StagedFile() {
    discard();
}

void StagedFile::discard() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    if (!path_.empty()) ::unlink(path_.c_str());
    path_.clear();
    size_ = 0;
}

int StagedFile::create(const std::filesystem::path& folder, std::string_view member) {
    discard();
    static std::atomic<unsigned> counter{0};
    const std::string stem = std::string(kTempPrefix) + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::filesystem::path candidate =
            folder / (stem + std::to_string(++counter) + "-" + std::string(member));
        // O_EXCL fails on any existing name, a planted link included; O_NOFOLLOW says so twice.
        const int fd =
            ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_ = fd;
            path_ = std::move(candidate);
            return 0;
        }
        if (errno != EEXIST) return openFailure(errno);
    }
    return kExtractCannotOpenOutput;
}

int StagedFile::write(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd_, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return writeFailure(errno);
        }
        data += written;
        size -= static_cast<std::size_t>(written);
        size_ += static_cast<std::uint64_t>(written);
    }
    return 0;
}

int StagedFile::finish() {
    if (fd_ < 0) return 0;
    // The new file must be on disk before it replaces the old one, or a crash could leave
    // neither; delayed allocation can report a full disk only here or at close.
    const int synced = ::fsync(fd_) == 0 ? 0 : errno;
    const int closed = ::close(std::exchange(fd_, -1)) == 0 ? 0 : errno;
    if (synced != 0 && synced != EINVAL) return writeFailure(synced);
    if (closed != 0) return writeFailure(closed);
    return 0;
}

int StagedFile::install(const std::filesystem::path& target) {
    if (path_.empty()) return kExtractCannotOpenOutput;
    if (const int code = finish(); code != 0) return code;
    if (isReadOnlyFile(target)) return kExtractReadOnly;
    if (::rename(path_.c_str(), target.c_str()) != 0) return openFailure(errno);
    path_.clear();
    size_ = 0;
    return 0;
}

std::uint64_t memberSizeLimit(std::string_view member) {
    constexpr std::uint64_t MiB = 1024 * 1024;
    const std::string name = upperPrefix(member, std::string_view::npos);
    if (name == "JRA#UMAJ.DAT") return 256 * MiB;
    if (name == "JRA#SEI1.DAT" || name == "JRA#DEN1.DAT") return 64 * MiB;
    return 16 * MiB;
}

bool ArchiveContents::holds(std::string_view member) const {
    return std::any_of(members.begin(), members.end(), [&](const ArchiveMember& m) {
        return m.regularFile && nameMatches(m.name, member);
    });
}

StagedFile* ArchiveContents::find(std::string_view member) {
    for (auto& [name, file] : staged) {
        if (name == member) return &file;
    }
    return nullptr;
}

namespace {

// Copies the reader's current member into `out`, refusing it beyond `limit` bytes.
ExtractFailure copyCurrentMember(LhaReader& reader, std::string_view member,
                                 const std::filesystem::path& folder, std::uint64_t limit,
                                 StagedFile& out) {
    const auto fail = [&](int code, std::uint64_t bound = 0) {
        out.discard();
        return ExtractFailure{code, std::string(member), bound};
    };
    if (reader.declaredSize() > limit) return fail(kExtractWriteError, limit);
    if (const int code = out.create(folder, member); code != 0) return fail(code);
    std::unique_ptr<char[]> buffer(new char[kBufferSize]);
    for (;;) {
        const la_ssize_t got = archive_read_data(reader.handle(), buffer.get(), kBufferSize);
        if (got == 0) break;
        // ARCHIVE_WARN included: a CRC mismatch is only reported that way.
        if (got < 0) return fail(dataFailureCode(reader.handle(), got));
        // A header may understate what the data decodes to; what is written is bounded too.
        if (out.size() + static_cast<std::uint64_t>(got) > limit) {
            return fail(kExtractWriteError, limit);
        }
        if (const int code = out.write(buffer.get(), static_cast<std::size_t>(got)); code != 0) {
            return fail(code);
        }
    }
    if (const int code = out.finish(); code != 0) return fail(code);
    return {};
}

struct ErrorText {
    int code;
    const char* text;
};

constexpr ErrorText kErrorTexts[] = {
    {32773, "解凍する為のﾃﾞｨｽｸの空きが足りません。"},
    {32774, "解凍先のﾌｧｲﾙはﾘｰﾄﾞｵﾝﾘｰです。"},
    {32775, "ﾕｰｻﾞｰによって解凍をｽｷｯﾌﾟされました。"},
    {32776, "未知の圧縮ﾀｲﾌﾟです。"},
    {32777, "メソットのｴﾗｰです。"},
    {32778, "ﾊﾟｽﾜｰﾄﾞの入ったﾌｧｲﾙです。"},
    {32779, "ﾊﾞｰｼﾞｮﾝが違います。"},
    {32780, "格納ﾌｧｲﾙのﾁｪｯｸｻﾑが合っていません。"},
    {32781, "解凍時にﾌｧｲﾙを開けませんでした。"},
    {32782, "より新しいﾌｧｲﾙが解凍先に存在しています。"},
    {32783, "ﾌｧｲﾙは解凍先に存在していません。"},
    {32784, "既にﾌｧｲﾙが存在します。"},
    {32785, "ﾌｧｲﾙが多すぎます。"},
    {32786, "ﾌｫﾙﾀﾞが作成できません。"},
    {32787, "解凍中に書き込みｴﾗｰが生じました。"},
    {32788, "LZH ﾌｧｲﾙのﾊﾌﾏﾝｺｰﾄﾞが壊れています。"},
    {32789, "LZH ﾌｧｲﾙのｺﾒﾝﾄﾍｯﾀﾞが壊れています。"},
    {32790, "LZH ﾌｧｲﾙのﾍｯﾀﾞのﾁｪｯｸｻﾑが合っていません。"},
    {32791, "LZH ﾌｧｲﾙのﾍｯﾀﾞが壊れています。"},
    {32792, "LZH ﾌｧｲﾙを開く事が出来ません。"},
    {32793, "LZH ﾌｧｲﾙ名の指定がされていません。"},
    {32794, "LZH ﾌｧｲﾙの読み込み時に読み込みｴﾗｰが出ました。"},
    {32795, "指定されたﾌｧｲﾙは LZH ﾌｧｲﾙではありません。"},
    {32796, "ｺﾏﾝﾄﾞ指定が間違っています。"},
    {32797, "作業用のためのﾋｰﾌﾟﾒﾓﾘが不足しています。"},
    {32798, "ｸﾞﾛｰﾊﾞﾙﾒﾓﾘが不足しています。"},
    {32799, "既に UNLHA32.DLL が動作中です。"},
    {32800, "ﾕｰｻﾞｰによって解凍を中断されました。"},
    {32801,
     "UnlhaOpenArchive() で書庫ﾌｧｲﾙとﾊﾝﾄﾞﾙを関連付ける前に UnlhaFindFirst() 等の API を使用した。"},
    {32802,
     "UnlhaFindFirst() を使用する前に UnlhaFindNext() が呼ばれた。または，これらの API "
     "を呼び出す前に UnlhaGetFileName() 等の API が呼ばれた。"},
    {32803, "UNLHA32.DLL でｻﾎﾟｰﾄされていない API が使用されました。"},
    {32804, "日付及び時間の指定形式が間違っています。"},
    {32805, "作業ﾌｧｲﾙがｵｰﾌﾟﾝできません。"},
    {32806, "ﾌｫﾙﾀﾞのﾊﾟｽが長すぎます。"},
    {32807, "書き込み専用属性の書庫ﾌｧｲﾙに対する操作はできません。"},
    {32808, "すでに同じ名前のﾌｧｲﾙが書庫に格納されています。"},
    {32809, "指定されたﾌｫﾙﾀﾞには LZH ﾌｧｲﾙがありませんでした。"},
};

}  // namespace

ArchiveContents readArchive(const std::filesystem::path& archive,
                            const std::filesystem::path& folder,
                            const std::vector<std::string_view>& wanted,
                            const MemberSizeLimit& limit) {
    ArchiveContents contents;
    for (std::string_view member : wanted) {
        if (!isPlainFileName(member)) {
            contents.failure = {kExtractBadMemberName, std::string(member), 0};
            return contents;
        }
    }
    if (!wanted.empty()) removeStaleTemporaries(folder);
    LhaReader reader(archive);
    while (reader.next()) {
        contents.members.push_back({reader.name(), reader.isRegularFile()});
        if (!reader.isRegularFile()) continue;
        for (std::string_view member : wanted) {
            if (contents.find(member) != nullptr || !nameMatches(reader.name(), member)) continue;
            StagedFile file;
            contents.failure = copyCurrentMember(
                reader, member, folder, limit ? limit(member) : memberSizeLimit(member), file);
            if (contents.failure) {
                contents.staged.clear();
                return contents;
            }
            contents.staged.emplace_back(std::string(member), std::move(file));
            break;
        }
    }
    if (reader.error() != 0) {
        contents.failure = {reader.error(), {}, 0};
        contents.staged.clear();
    }
    return contents;
}

ExtractFailure stageCopy(const std::filesystem::path& source, const std::filesystem::path& folder,
                         std::string_view member, StagedFile& staged,
                         const MemberSizeLimit& limit) {
    const auto fail = [&](int code, std::uint64_t bound = 0) {
        staged.discard();
        return ExtractFailure{code, std::string(member), bound};
    };
    if (!isPlainFileName(member)) return fail(kExtractBadMemberName);
    removeStaleTemporaries(folder);
    // Non-blocking, so that a FIFO given by mistake cannot hang the open.
    const FileDescriptor input{::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    const int fd = input.fd;
    if (fd < 0) return fail(errno == ENOMEM ? kExtractOutOfMemory : kExtractCannotOpenArchive);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return fail(kExtractCannotOpenArchive);
    const std::uint64_t bound = limit ? limit(member) : memberSizeLimit(member);
    if (static_cast<std::uint64_t>(st.st_size) > bound) return fail(kExtractWriteError, bound);
    if (const int code = staged.create(folder, member); code != 0) return fail(code);
    std::unique_ptr<char[]> buffer(new char[kBufferSize]);
    for (;;) {
        const ssize_t got = ::read(fd, buffer.get(), kBufferSize);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            return fail(kExtractReadError);
        }
        if (staged.size() + static_cast<std::uint64_t>(got) > bound) {
            return fail(kExtractWriteError, bound);
        }
        if (const int code = staged.write(buffer.get(), static_cast<std::size_t>(got)); code != 0) {
            return fail(code);
        }
    }
    if (const int code = staged.finish(); code != 0) return fail(code);
    return {};
}

void removeStaleTemporaries(const std::filesystem::path& folder) {
    std::error_code ec;
    std::vector<std::filesystem::path> stale;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (!isStaleTemporary(entry.path().filename().string())) continue;
        // Files only (a planted link is removed, never followed); never a folder.
        if (entry.is_symlink(ec) || entry.is_regular_file(ec)) stale.push_back(entry.path());
    }
    for (const auto& path : stale) ::unlink(path.c_str());
}

bool isLhaArchive(const std::filesystem::path& archive) {
    LhaReader reader(archive);
    return reader.next();
}

std::vector<std::string> archiveMembers(const std::filesystem::path& archive) {
    std::vector<std::string> names;
    for (auto& member : readArchive(archive, {}, {}).members)
        names.push_back(std::move(member.name));
    return names;
}

bool archiveHasMember(const std::filesystem::path& archive, std::string_view member) {
    LhaReader reader(archive);
    while (reader.next()) {
        if (reader.isRegularFile() && nameMatches(reader.name(), member)) return true;
    }
    return false;
}

int extractMember(const std::filesystem::path& archive, const std::filesystem::path& folder,
                  std::string_view member) {
    if (!isPlainFileName(member)) return kExtractBadMemberName;
    ArchiveContents contents = readArchive(archive, folder, {member});
    if (contents.failure) return contents.failure.code;
    StagedFile* staged = contents.find(member);
    if (staged == nullptr) return kExtractNotFound;
    return staged->install(folder / std::string(member));
}

std::string extractErrorText(int code) {
    for (const ErrorText& row : kErrorTexts) {
        if (row.code == code) return row.text;
    }
    return "未知のｴﾗｰです。";
}

std::string extractErrorMessage(int code) {
    return "#:" + std::to_string(code) + "\n" + extractErrorText(code);
}

std::string extractFailureMessage(const std::filesystem::path& archive,
                                  const ExtractFailure& failure) {
    std::string text = extractErrorMessage(failure.code) + "\n" + archive.string();
    if (failure.limit > 0) {
        text += " の " + failure.member + " は " + std::to_string(failure.limit / (1024 * 1024)) +
                " MB を超えるため、取り出しませんでした。";
    } else if (failure.member.empty() &&
               (failure.code == kExtractHeaderChecksum || failure.code == kExtractBrokenHeader ||
                failure.code == kExtractReadError)) {
        text += " は壊れているか、途中で切れています。";
    } else if (failure.member.empty()) {
        text += " を読み込めませんでした。";
    } else {
        text += " から " + failure.member + " を取り出せませんでした。";
    }
    return text + "データは取り込む前のままです。";
}

}  // namespace zelvanor
