#include "platform/FileSystem.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <random>

namespace {
constexpr char kTempMark[] = ".tmp";
constexpr size_t kTempDigits = 8;

// A descriptor of the regular file at the path (its status in `st`), or -1.
int OpenRegularFile(const std::string& path, struct stat& st) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}
}  // namespace

bool PlatformAtomicWrite(const std::string& path, const void* data, size_t size,
                         std::string* error, std::string* cause) {
    auto fail = [&](const char* what) {
        const std::string reason = std::strerror(errno);
        if (error) *error = std::string(what) + " '" + path + "': " + reason;
        if (cause) *cause = reason;
        return false;
    };
    std::random_device rd;
    char suffix[32];
    std::snprintf(suffix, sizeof(suffix), "%s%08x", kTempMark, static_cast<unsigned>(rd()));
    std::string temp = path + suffix;
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return fail("cannot create a temporary file for");
    const char* p = static_cast<const char*>(data);
    size_t left = size;
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            int saved = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            errno = saved;
            return fail("cannot write");
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0) {
        int saved = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        errno = saved;
        return fail("cannot flush");
    }
    if (::close(fd) != 0) {
        int saved = errno;
        ::unlink(temp.c_str());
        errno = saved;
        return fail("cannot close");
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        int saved = errno;
        ::unlink(temp.c_str());
        errno = saved;
        return fail("cannot replace");
    }
    // Make the rename itself durable.
    std::string dir = path.substr(0, path.find_last_of('/') == std::string::npos
                                         ? 0
                                         : path.find_last_of('/'));
    int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

bool PlatformMakeDirectory(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) == 0) return true;
    return errno == EEXIST && PlatformDirectoryExists(path);
}

bool PlatformFileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool PlatformDirectoryExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PlatformReadFile(const std::string& path, std::string& out) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    out.clear();
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof(buf));
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        out.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

UserFileStatus PlatformReadUserFile(const std::string& path, size_t maxBytes, std::string& out,
                                    std::string* reason) {
    out.clear();
    auto fail = [&](UserFileStatus status, const std::string& why) {
        if (reason) *reason = why;
        out.clear();
        return status;
    };
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return UserFileStatus::Missing;
        return fail(UserFileStatus::Unreadable, std::strerror(errno));
    }
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        int saved = errno;
        ::close(fd);
        return fail(UserFileStatus::Unreadable, std::strerror(saved));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(UserFileStatus::NotRegular, S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file");
    }
    std::string tooLarge = "it is larger than " + std::to_string(maxBytes) + " bytes";
    if (static_cast<uint64_t>(st.st_size) > maxBytes) {
        ::close(fd);
        return fail(UserFileStatus::TooLarge, tooLarge);
    }
    // The file may grow while it is read: never read more than the cap. The
    // buffer starts at the file's size, not the cap's (megabytes to clear
    // for a file of a few hundred bytes), and doubles while there is more.
    const size_t limit = maxBytes + 1;
    out.resize(std::min<uint64_t>(static_cast<uint64_t>(st.st_size), maxBytes) + 1);
    size_t got = 0;
    for (;;) {
        if (got == out.size()) {
            if (out.size() >= limit) break;
            out.resize(std::min(limit, out.size() * 2));
        }
        ssize_t n = ::read(fd, out.data() + got, out.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            int saved = errno;
            ::close(fd);
            return fail(UserFileStatus::Unreadable, std::strerror(saved));
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    if (got > maxBytes) return fail(UserFileStatus::TooLarge, tooLarge);
    out.resize(got);
    return UserFileStatus::Ok;
}

bool PlatformIsAtomicWriteTemp(const std::string& name) {
    const size_t mark = sizeof(kTempMark) - 1;
    if (name.size() <= mark + kTempDigits) return false;
    size_t at = name.size() - kTempDigits - mark;
    if (name.compare(at, mark, kTempMark) != 0) return false;
    for (size_t i = at + mark; i < name.size(); ++i)
        if (!std::isxdigit(static_cast<unsigned char>(name[i]))) return false;
    return true;
}

int PlatformRemoveAtomicWriteTemps(const std::string& folder) {
    std::vector<DirEntry> entries;
    if (!PlatformListDirectory(folder, entries)) return 0;
    int removed = 0;
    for (const DirEntry& e : entries) {
        if (!PlatformIsAtomicWriteTemp(e.name)) continue;
        std::string path = folder + (folder.empty() || folder.back() == '/' ? "" : "/") + e.name;
        struct stat st;
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::unlink(path.c_str()) == 0)
            ++removed;
    }
    return removed;
}

bool PlatformRemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool PlatformRenameFile(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

int64_t PlatformFileModifiedTime(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return 0;
    return static_cast<int64_t>(st.st_mtime);
}

int64_t PlatformFileSize(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
}

bool PlatformListDirectory(const std::string& path, std::vector<DirEntry>& out) {
    DIR* d = ::opendir(path.empty() ? "." : path.c_str());
    if (!d) return false;
    while (dirent* e = ::readdir(d)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        DirEntry entry;
        entry.name = e->d_name;
        if (e->d_type == DT_DIR) {
            entry.isDirectory = true;
        } else if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            entry.isDirectory = PlatformDirectoryExists(path + "/" + entry.name);
        }
        out.push_back(std::move(entry));
    }
    ::closedir(d);
    return true;
}

MappedFile::~MappedFile() { Close(); }

bool MappedFile::Open(const std::string& path) {
    Close();
    struct stat st;
    const int fd = OpenRegularFile(path, st);
    if (fd < 0) return false;
    if (st.st_size == 0) {
        ::close(fd);
        mEmptyOpen = true;
        return true;
    }
    void* p = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (p == MAP_FAILED) return false;
    mData = static_cast<const uint8_t*>(p);
    mSize = static_cast<size_t>(st.st_size);
    return true;
}

void MappedFile::Close() {
    if (mData) ::munmap(const_cast<uint8_t*>(mData), mSize);
    mData = nullptr;
    mSize = 0;
    mEmptyOpen = false;
}

PositionalFile::~PositionalFile() { Close(); }

bool PositionalFile::Open(const std::string& path) {
    Close();
    struct stat st;
    const int fd = OpenRegularFile(path, st);
    if (fd < 0) return false;
    mFd = fd;
    mSize = static_cast<uint64_t>(st.st_size);
    mWriteSeconds = static_cast<int64_t>(st.st_mtim.tv_sec);
    mWriteNanoseconds = static_cast<int64_t>(st.st_mtim.tv_nsec);
    return true;
}

void PositionalFile::Close() {
    if (mFd >= 0) ::close(mFd);
    mFd = -1;
    mSize = 0;
}

bool PositionalFile::ReadAt(uint64_t offset, void* dest, size_t count) const {
    auto* out = static_cast<uint8_t*>(dest);
    while (count > 0) {
        ssize_t n = ::pread(mFd, out, count, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        out += n;
        offset += static_cast<uint64_t>(n);
        count -= static_cast<size_t>(n);
    }
    return true;
}

bool PositionalFile::Unchanged() const {
    struct stat st;
    if (mFd < 0 || ::fstat(mFd, &st) != 0) return false;
    return static_cast<uint64_t>(st.st_size) == mSize && st.st_mtim.tv_sec == mWriteSeconds &&
           st.st_mtim.tv_nsec == mWriteNanoseconds;
}

std::string PlatformMakeTempDirectory(const std::string& prefix) {
    const char* base = std::getenv("TMPDIR");
    std::string templ = std::string(base && *base ? base : "/tmp") + "/" + prefix + "XXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data())) return std::string();
    return std::string(buf.data());
}

bool PlatformRemoveTree(const std::string& path) {
    std::vector<DirEntry> entries;
    if (PlatformListDirectory(path, entries)) {
        for (const DirEntry& e : entries) {
            std::string child = path + "/" + e.name;
            struct stat st;
            if (::lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
                ::chmod(child.c_str(), 0755);
                PlatformRemoveTree(child);
            } else {
                ::unlink(child.c_str());
            }
        }
    }
    return ::rmdir(path.c_str()) == 0;
}

bool PlatformSetReadOnly(const std::string& path, bool readOnly) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    mode_t mode = st.st_mode & 07777;
    mode = readOnly ? (mode & ~static_cast<mode_t>(0222)) : (mode | S_IWUSR);
    return ::chmod(path.c_str(), mode) == 0;
}

bool PlatformMakeFifo(const std::string& path) { return ::mkfifo(path.c_str(), 0644) == 0; }

std::string PlatformCurrentDirectory() {
    char buf[4096];
    return ::getcwd(buf, sizeof(buf)) ? std::string(buf) : std::string();
}
