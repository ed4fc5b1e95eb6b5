#pragma once

#include <filesystem>

namespace zelvanor {

// Keeps a second copy of the program off the same data folder. The lock is an advisory lock on
// a file in the data folder: the system releases it when the holder ends, crashed or not, so a
// stale lock file never blocks the next start.
class InstanceLock {
  public:
    explicit InstanceLock(const std::filesystem::path& dataFolder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another running instance holds the lock.
    bool acquired() const { return acquired_; }

  private:
    int fd_ = -1;
    bool acquired_ = false;
};

}  // namespace zelvanor
