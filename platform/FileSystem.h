#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The POSIX file services the layers above need, with '/' separated UTF-8 paths.

// Writes the bytes to a temporary file in the same folder, flushes it to the
// disk and renames it over the path. On failure the old file is untouched, the
// temporary file is removed and the reason is put in *error (what failed,
// the path and the system's reason) and *cause (the system's reason alone,
// e.g. "No space left on device").
bool PlatformAtomicWrite(const std::string& path, const void* data, size_t size,
                         std::string* error, std::string* cause = nullptr);

bool PlatformMakeDirectory(const std::string& path);  // one level; true when it exists
bool PlatformFileExists(const std::string& path);     // a regular file
bool PlatformDirectoryExists(const std::string& path);
bool PlatformReadFile(const std::string& path, std::string& out);

// How reading a file the player may have replaced with anything went.
enum class UserFileStatus { Ok, Missing, NotRegular, TooLarge, Unreadable };
// Reads a regular file (or a link to one) of at most maxBytes. Never blocks on
// a FIFO or reads a device; anything but Ok and Missing puts the reason in
// *reason.
UserFileStatus PlatformReadUserFile(const std::string& path, size_t maxBytes, std::string& out,
                                    std::string* reason);

// Whether a file name is one of the temporary files PlatformAtomicWrite makes
// (a name, ".tmp" and eight hex digits); one killed mid-write is left behind.
bool PlatformIsAtomicWriteTemp(const std::string& name);
// Removes such files (regular files only) directly in the folder; only safe
// while no other process writes there. Returns how many went.
int PlatformRemoveAtomicWriteTemps(const std::string& folder);
bool PlatformRemoveFile(const std::string& path);
bool PlatformRenameFile(const std::string& from, const std::string& to);
// Seconds since the epoch of the last write; 0 when the file does not exist.
int64_t PlatformFileModifiedTime(const std::string& path);
int64_t PlatformFileSize(const std::string& path);  // -1 when absent

struct DirEntry {
    std::string name;
    bool isDirectory = false;
};
// The entries of a folder without "." and "..", in no particular order.
bool PlatformListDirectory(const std::string& path, std::vector<DirEntry>& out);

// A read-only memory map of a whole file.
class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool Open(const std::string& path);
    void Close();
    const uint8_t* Data() const { return mData; }
    size_t Size() const { return mSize; }
    bool IsOpen() const { return mData != nullptr || mEmptyOpen; }

private:
    const uint8_t* mData = nullptr;
    size_t mSize = 0;
    bool mEmptyOpen = false;
};

// A file held open and read at any offset. Unlike a memory map, a file cut
// short or written over in place while it is open (as a copy onto it does)
// gives a failed read, not a bus error, and Unchanged() tells it.
class PositionalFile {
public:
    PositionalFile() = default;
    ~PositionalFile();
    PositionalFile(const PositionalFile&) = delete;
    PositionalFile& operator=(const PositionalFile&) = delete;

    bool Open(const std::string& path);  // a regular file
    void Close();
    uint64_t Size() const { return mSize; }  // when it was opened
    // Exactly count bytes from offset; false when the file has fewer there
    // or the read fails.
    bool ReadAt(uint64_t offset, void* dest, size_t count) const;
    // False once the file's size or last-write time is not what it was when
    // opened (a file renamed over its path leaves this one as it was).
    bool Unchanged() const;

private:
    int mFd = -1;
    uint64_t mSize = 0;
    int64_t mWriteSeconds = 0;
    int64_t mWriteNanoseconds = 0;
};

// A new empty folder under the system's temporary folder; empty on failure.
std::string PlatformMakeTempDirectory(const std::string& prefix);
// Removes a folder and everything in it.
bool PlatformRemoveTree(const std::string& path);
// Makes a file or folder read-only (true) or writable again (false) for its owner.
bool PlatformSetReadOnly(const std::string& path, bool readOnly);
// A named pipe (tests: a FIFO where a user file should be).
bool PlatformMakeFifo(const std::string& path);
// The process's current folder.
std::string PlatformCurrentDirectory();
