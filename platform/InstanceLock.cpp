#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

InstanceLock::~InstanceLock() { Release(); }

bool InstanceLock::Acquire(const std::string& path) {
    Release();
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    mFd = fd;
    return true;
}

void InstanceLock::Release() {
    if (mFd >= 0) {
        ::flock(mFd, LOCK_UN);
        ::close(mFd);
        mFd = -1;
    }
}
