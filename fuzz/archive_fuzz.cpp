// Archive checking, listing and extraction on arbitrary files. Each input is written to a file,
// every member the importers would ask for is extracted into a fresh folder, and the folder
// must then hold exactly the member extracted, or nothing when extraction failed.

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.hpp"
#include "core/import/archive.hpp"

using zelvanor::fuzz::require;

namespace {

namespace fs = std::filesystem;

std::vector<std::string> folderContents(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

bool isPlainName(std::string_view name) {
    return !name.empty() && name.size() <= 64 && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

void extractInto(const fs::path& archive, const fs::path& folder, const std::string& member) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    const int code = zelvanor::extractMember(archive, folder, member);
    const std::vector<std::string> left = folderContents(folder);
    if (code == 0) {
        require(left.size() == 1 && left[0] == member, "a member is extracted under its name");
    } else {
        require(left.empty(), "a failed extraction leaves nothing behind");
        require(!zelvanor::extractErrorText(code).empty(), "every failure has a text");
    }
    fs::remove_all(folder);
}

// The one-pass reader the imports use: either everything wanted is staged in the folder, or
// nothing is and the failure says why. Staged files vanish with the contents unless installed.
void readWhole(const fs::path& archive, const fs::path& folder, std::uint64_t bound) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::vector<std::string_view> wanted = {"JRA#UMAJ.DAT", "JRA#DEN1.DAT", "JRA#SEI1.DAT"};
    {
        zelvanor::ArchiveContents contents = zelvanor::readArchive(
            archive, folder, wanted, [bound](std::string_view) { return bound; });
        if (contents.failure) {
            require(contents.staged.empty(), "a failed read stages nothing");
            require(folderContents(folder).empty(), "a failed read leaves nothing behind");
            require(!zelvanor::extractFailureMessage(archive, contents.failure).empty(),
                    "every failure has a message");
        } else {
            require(contents.staged.size() == folderContents(folder).size(),
                    "each staged member is one file of the folder");
            for (auto& [name, file] : contents.staged) {
                require(contents.holds(name), "only members the archive holds are staged");
                require(file.valid() && fs::file_size(file.path()) == file.size(),
                        "a staged member is whole on disk");
                require(file.size() <= bound, "a staged member keeps within its bound");
            }
        }
    }
    require(folderContents(folder).empty(), "staged members not installed are removed");
    fs::remove_all(folder);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path& scratch = zelvanor::fuzz::scratch().path();
    const fs::path archive = scratch / "input.lzh";
    const fs::path folder = scratch / "out";
    zelvanor::fuzz::writeFile(archive, std::string_view(reinterpret_cast<const char*>(data), size));

    const bool isArchive = zelvanor::isLhaArchive(archive);
    const std::vector<std::string> members = zelvanor::archiveMembers(archive);
    require(!isArchive || !members.empty(), "an archive lists its first member");

    // Every member the importers would ask for that the archive has, one it lacks (which must
    // fail cleanly, never half written) and the first members under their stored names.
    std::set<std::string> wanted;
    bool lackingTried = false;
    for (const char* name :
         {"JRA#UMAJ.DAT", "JRA#DEN1.DAT", "JRA#SEI1.DAT", "JRA#KISI.DAT", "JRA#CHOK.DAT"}) {
        if (zelvanor::archiveHasMember(archive, name)) {
            wanted.insert(name);
        } else if (!lackingTried) {
            wanted.insert(name);
            lackingTried = true;
        }
    }
    for (std::size_t i = 0; i < members.size() && i < 8; ++i) {
        if (isPlainName(members[i])) wanted.insert(members[i]);
    }
    for (const std::string& member : wanted) extractInto(archive, folder, member);
    // Bounds small enough that the seeds' members run into them, and one they never reach.
    readWhole(archive, folder, size > 0 && data[size - 1] % 2 ? 1000 : (1u << 20));
    return 0;
}
