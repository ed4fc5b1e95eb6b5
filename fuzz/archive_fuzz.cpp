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
#include "import/archive.hpp"

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
    return 0;
}
