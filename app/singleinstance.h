// The single-instance object "Vantrel": one running copy per user and desktop.
// In: the user's runtime directory (XDG_RUNTIME_DIR) and the display the program runs on.
// Out: whether another copy already holds the object.
// Realised as an advisory lock on a file, so the kernel drops it when the holder ends in any
// way, a crash included: a killed copy never blocks the next start.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

class InstanceLock {
  public:
    enum class Result { Acquired, AlreadyRunning, Unavailable };

    InstanceLock() = default;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    ~InstanceLock() { close(); }

    // Creates or opens the object named `name` and tries to own it. Unavailable means the
    // object could not be made at all (no usable directory, a planted link); the caller runs on.
    Result acquire(const std::string& name);
    void close();
    bool held() const { return fd_ >= 0; }

    // The places the lock file for `name` may live, in the order they are tried: the
    // runtime directory, then a private directory under /tmp.
    static std::vector<std::string> lockPaths(const std::string& name);

  private:
    int fd_ = -1;
};

} // namespace vantrel
