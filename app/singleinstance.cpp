#include "app/singleinstance.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vantrel {
namespace {

bool usableDirectory(const std::string& dir) {
    struct stat st {};
    if (dir.empty() || dir[0] != '/' || lstat(dir.c_str(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && access(dir.c_str(), W_OK | X_OK) == 0;
}

// A private directory of our own under /tmp for when the runtime directory is missing:
// it must be ours, a real directory and closed to others, or it is not used.
std::string fallbackDirectory() {
    const std::string dir = "/tmp/vantrel-" + std::to_string(getuid());
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    struct stat st {};
    if (lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid() ||
        (st.st_mode & 077) != 0)
        return {};
    return dir;
}

// The display the program is shown on, so that two desktops of one user each get one copy.
std::string sessionSuffix() {
    const char* display = std::getenv("WAYLAND_DISPLAY");
    if (!display || !*display)
        display = std::getenv("DISPLAY");
    std::string out;
    if (display) {
        for (const char* p = display; *p && out.size() < 64; ++p) {
            const char c = *p;
            const bool plain = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') ||
                               (c >= 'A' && c <= 'Z') || c == '-' || c == '_';
            out += plain ? c : '_';
        }
    }
    return out.empty() ? std::string() : "." + out;
}

} // namespace

std::vector<std::string> InstanceLock::lockPaths(const std::string& name) {
    const std::string file = "/" + name + sessionSuffix() + ".lock";
    std::vector<std::string> paths;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && usableDirectory(runtime))
        paths.push_back(runtime + file);
    if (const std::string fallback = fallbackDirectory(); !fallback.empty())
        paths.push_back(fallback + file);
    return paths;
}

InstanceLock::Result InstanceLock::acquire(const std::string& name) {
    close();
    // The first place where a lock file can be made decides; one that cannot be used (a
    // read-only directory, a link planted at the path) passes the turn to the next.
    for (const std::string& path : lockPaths(name)) {
        // O_NOFOLLOW: a link planted at the path is never followed, its target never touched.
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0)
            continue;
        struct stat st {};
        if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            continue;
        }
        int rc = 0;
        do {
            rc = flock(fd, LOCK_EX | LOCK_NB);
        } while (rc != 0 && errno == EINTR);
        if (rc == 0) {
            fd_ = fd;
            return Result::Acquired;
        }
        const bool busy = errno == EWOULDBLOCK;
        ::close(fd);
        if (busy)
            return Result::AlreadyRunning;
    }
    return Result::Unavailable;
}

void InstanceLock::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

} // namespace vantrel
