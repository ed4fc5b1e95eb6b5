#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zelvanor {

// Result codes of extractMember (0 is success). The numbers and their texts are the ones the
// user sees in the error box; extractErrorText knows every code of the table, these are the
// ones extraction actually produces.
inline constexpr int kExtractDiskFull = 32773;
inline constexpr int kExtractReadOnly = 32774;
inline constexpr int kExtractUnknownMethod = 32776;
inline constexpr int kExtractChecksum = 32780;
inline constexpr int kExtractCannotOpenOutput = 32781;
inline constexpr int kExtractNotFound = 32783;
inline constexpr int kExtractWriteError = 32787;
inline constexpr int kExtractBrokenData = 32788;
inline constexpr int kExtractHeaderChecksum = 32790;
inline constexpr int kExtractBrokenHeader = 32791;
inline constexpr int kExtractCannotOpenArchive = 32792;
inline constexpr int kExtractReadError = 32794;
inline constexpr int kExtractNotLzh = 32795;
inline constexpr int kExtractBadMemberName = 32796;
inline constexpr int kExtractOutOfMemory = 32797;
inline constexpr int kExtractPathTooLong = 32806;

// A member's "name" throughout is its stored path as libarchive reports it, converted from
// CP932 to UTF-8, with '/' between folders ("data/JRA#UMAJ.DAT"); nothing is normalised.

// The most a member may expand to when it is extracted. A few bytes of archive can declare, or
// decode to, gigabytes; a member beyond its bound is refused and its writing stops there. The
// bounds are generous multiples of a season (1998 in the sample data: JRA#UMAJ.DAT some 22 MB,
// JRA#SEI1.DAT 5 MB, JRA#DEN1.DAT 2 MB, the jockey and trainer files well under 1 MB):
//   JRA#UMAJ.DAT 256 MiB; JRA#SEI1.DAT and JRA#DEN1.DAT 64 MiB; JRA#KISI.DAT, JRA#CHOK.DAT and
//   any other member 16 MiB (names compare without regard to case).
std::uint64_t memberSizeLimit(std::string_view member);

using MemberSizeLimit = std::function<std::uint64_t(std::string_view member)>;

// Why an archive could not be read or a member not be extracted.
struct ExtractFailure {
    int code = 0;             // a kExtract* code; 0 when nothing failed
    std::string member;       // the wanted member it concerns; empty for the archive itself
    std::uint64_t limit = 0;  // the bound, when the member was refused for its size
    explicit operator bool() const { return code != 0; }
};

// A member being extracted into the extraction folder under a temporary name of its own
// (".zelvanor-part-<process>-<n>-<member>"), created so that it can neither follow a link nor
// take another file's place. It is removed again unless install() moves it to its final name.
class StagedFile {
  public:
    StagedFile() = default;
    StagedFile(StagedFile&& other) noexcept;
    StagedFile& operator=(StagedFile&& other) noexcept;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;
    ~StagedFile();

    // A new empty file in `folder` that will become folder/<member>; 0 or a kExtract* code.
    int create(const std::filesystem::path& folder, std::string_view member);
    int write(const char* data, std::size_t size);
    // Flushes the file to disk and closes it; 0 or a kExtract* code.
    int finish();
    // Renames the finished file to `target`, replacing a file of that name; 0 or a kExtract*
    // code. A target the user made read-only is kept (kExtractReadOnly).
    int install(const std::filesystem::path& target);
    // Removes the file now.
    void discard();

    bool valid() const { return !path_.empty(); }
    const std::filesystem::path& path() const { return path_; }
    std::uint64_t size() const { return size_; }

  private:
    int fd_ = -1;
    std::filesystem::path path_;
    std::uint64_t size_ = 0;
};

struct ArchiveMember {
    std::string name;
    bool regularFile = false;
};

// An archive read in one pass: every member header to the end, the wanted members extracted on
// the way into temporary files of the folder.
struct ArchiveContents {
    std::vector<ArchiveMember> members;  // in archive order, up to the damage if there is one
    // The first failure: a header or member that cannot be read (the archive is damaged or cut
    // short), a wanted member too large or that cannot be written. Nothing is staged then.
    ExtractFailure failure;
    std::vector<std::pair<std::string, StagedFile>> staged;  // by the wanted name, as given

    // False when not even a first member could be read: the file is no LHA archive.
    bool isArchive() const { return !members.empty(); }
    // The member archiveHasMember would match (regular files only), among those listed.
    bool holds(std::string_view member) const;
    // The staged file of a wanted member; nullptr when the archive does not hold it.
    StagedFile* find(std::string_view member);
};

// Reads the archive once. Each wanted member (a plain file name) is the first regular-file member
// whose name matches as in archiveHasMember; it is extracted to a StagedFile in `folder`, bounded
// by `limit`. Any failure, anywhere in the archive, leaves nothing staged and nothing in `folder`.
// Temporaries left in `folder` by an extraction that was killed are removed first.
ArchiveContents readArchive(const std::filesystem::path& archive,
                            const std::filesystem::path& folder,
                            const std::vector<std::string_view>& wanted,
                            const MemberSizeLimit& limit = memberSizeLimit);

// Copies a record file given on its own to a StagedFile in `folder` that will become
// folder/<member>, bounded like an archive member. Code kExtractCannotOpenArchive when `source`
// cannot be opened or is not a regular file, kExtractReadError when it cannot be read.
ExtractFailure stageCopy(const std::filesystem::path& source, const std::filesystem::path& folder,
                         std::string_view member, StagedFile& staged,
                         const MemberSizeLimit& limit = memberSizeLimit);

// Removes temporary files of our own naming from `folder` whose process has ended: extractions
// that were killed. Those of a process still running are left alone.
void removeStaleTemporaries(const std::filesystem::path& folder);

// True when the file opens as an LHA archive and its first member header reads without error.
// An archive without members has nothing to import and answers false.
bool isLhaArchive(const std::filesystem::path& archive);

// The names of all members in archive order, directories included. Stops at the first header
// that cannot be read, so a damaged archive lists the members before the damage; a file that
// is not an archive lists nothing.
std::vector<std::string> archiveMembers(const std::filesystem::path& archive);

// True when a regular-file member's first 12 characters, upper-cased, equal `member` upper-cased.
// A member under a folder therefore never matches; a longer name beginning with `member` does.
bool archiveHasMember(const std::filesystem::path& archive, std::string_view member);

// Writes the first member that archiveHasMember would match to folder/<member>, the wanted name
// and never the stored path, so stored paths cannot reach outside `folder`. The whole archive is
// read: a damaged or truncated archive fails even when the member itself reads whole. The data
// goes to a StagedFile first and replaces folder/<member> only once the whole archive has been
// read and the member checked; on failure nothing is left behind and an earlier folder/<member>
// stays as it was. `member` must be a plain file name. Returns 0 or one of the kExtract* codes.
int extractMember(const std::filesystem::path& archive, const std::filesystem::path& folder,
                  std::string_view member);

// The text of the error table for `code`; "未知のｴﾗｰです。" for a code not in it.
std::string extractErrorText(int code);

// What the error box shows: "#:" + code + line break + text.
std::string extractErrorMessage(int code);

// The error box for a failed archive: extractErrorMessage, then a line naming the archive (and
// the member) and saying that nothing was imported from it.
std::string extractFailureMessage(const std::filesystem::path& archive,
                                  const ExtractFailure& failure);

}  // namespace zelvanor
