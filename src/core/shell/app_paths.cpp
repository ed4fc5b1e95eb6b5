#include "core/shell/app_paths.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <system_error>

namespace zelvanor {

std::filesystem::path programFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path();
    return exe.parent_path();
}

std::filesystem::path userDataFolder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
        return std::filesystem::path(xdg) / "zelvanor";
    }
    const char* home = std::getenv("HOME");
    const std::filesystem::path base = home && *home ? home : "/tmp";
    return base / ".local" / "share" / "zelvanor";
}

bool isWritableFolder(const std::filesystem::path& folder) {
    const auto probe = folder / (".zelvanor-write-test-" + std::to_string(::getpid()));
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

std::filesystem::path chooseDataFolder(const std::filesystem::path& programFolder) {
    if (isWritableFolder(programFolder)) return programFolder;
    auto folder = userDataFolder();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folder;
}

}  // namespace zelvanor
