#include "core/shell/instance_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace zelvanor {

InstanceLock::InstanceLock(const std::filesystem::path& dataFolder) {
    const auto file = dataFolder / ".zelvanor.lock";
    fd_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // A folder where no lock file can be made cannot hold the databases either; let the start go
    // on and fail there with the store's message rather than claim a second instance.
    if (fd_ < 0) {
        acquired_ = true;
        return;
    }
    acquired_ = ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace zelvanor
