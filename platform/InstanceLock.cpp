#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

InstanceLock::~InstanceLock() { Release(); }

InstanceLock::Result InstanceLock::Acquire(const std::string& path, std::string* reason) {
    Release();
    // O_NONBLOCK: a FIFO in the lock's place must not stop the start.
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (reason) *reason = std::strerror(errno);
        return Result::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int saved = errno;
        ::close(fd);
        if (saved == EWOULDBLOCK) return Result::HeldElsewhere;
        if (reason) *reason = std::strerror(saved);
        return Result::Failed;
    }
    mFd = fd;
    return Result::Acquired;
}

void InstanceLock::Release() {
    if (mFd >= 0) {
        ::flock(mFd, LOCK_UN);
        ::close(mFd);
        mFd = -1;
    }
}
