#pragma once

#include <filesystem>
#include <string>
#include <string_view>
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
// and never the stored path, so stored paths cannot reach outside `folder`. The data goes to a
// temporary file in `folder` first and replaces folder/<member> only once the whole member has
// been read and checked; on failure nothing is left behind and an earlier folder/<member> stays
// as it was. `member` must be a plain file name. Returns 0 or one of the kExtract* codes.
int extractMember(const std::filesystem::path& archive, const std::filesystem::path& folder,
                  std::string_view member);

// The text of the error table for `code`; "未知のｴﾗｰです。" for a code not in it.
std::string extractErrorText(int code);

// What the error box shows: "#:" + code + line break + text.
std::string extractErrorMessage(int code);

}  // namespace zelvanor
