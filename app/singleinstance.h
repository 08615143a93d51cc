// The single-instance object "Vantrel": one running copy per user and desktop.
// In: the user's runtime directory (XDG_RUNTIME_DIR) and the display the program runs on.
// Out: whether another copy already holds the object.
// Realised as an advisory lock on a file, so the kernel drops it when the holder ends in any
// way, a crash included: a killed copy never blocks the next start.
#pragma once

#include <string>

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

    // Where the lock file for `name` lives, or empty when no safe place exists.
    static std::string lockPath(const std::string& name);

  private:
    int fd_ = -1;
};

} // namespace vantrel
