#pragma once
#include <cstddef>
#include <cstdint>
#include <atomic>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <unordered_map>
#include <vector>

class PakArchive;

// An open file of the file access layer: a loose file or an entry of a pak.
struct PFILE;

struct PakFindData {
    std::string mName;  // the name within its folder
    bool mIsDirectory = false;
    int64_t mSize = 0;
    int64_t mLastWriteTime = 0;
};

// The file access layer every loader reads through: the loose file on disk
// first, then the archives added with AddPakFile. Paths may use '\' and match
// names without regard to case, on disk and in the archives. Relative paths
// start at the current folder; an archive's entries are relative to the folder
// that holds the archive. Safe to use from several threads; one PFILE belongs
// to one thread at a time.
class PakInterface {
public:
    PakInterface();
    virtual ~PakInterface();
    PakInterface(const PakInterface&) = delete;
    PakInterface& operator=(const PakInterface&) = delete;

    // Opens the archive and checks its directory. False, with a message on the
    // debug output and in GetLastPakError(), when it is absent or damaged.
    bool AddPakFile(const std::string& path);
    std::string GetLastPakError() const;
    // The path of an archive found cut short or written over since it was
    // added (a read of it then failed, or a file of it did not open); empty
    // while none was. The game cannot go on with such an archive.
    std::string GetChangedPak() const;

    // Only reading modes ("rb", "r") are served; null when the file is absent.
    PFILE* FOpen(const char* path, const char* mode);
    size_t FRead(void* ptr, size_t elemSize, size_t count, PFILE* file);
    int FSeek(PFILE* file, long offset, int origin);  // 0 on success
    long FTell(PFILE* file);
    int FEof(PFILE* file);
    int FClose(PFILE* file);

    // Seconds since the epoch of the last write; 0 when absent.
    int64_t FileModifiedTime(const std::string& path);
    bool FileExists(const std::string& path);

    // Wildcards ('*', '?') in the last part of the pattern. Disk and archive
    // entries are merged (the disk wins on equal names) and given in name
    // order. handle is null when nothing matches.
    bool FindFirst(const std::string& pattern, PakFindData& out, void*& handle);
    bool FindNext(void* handle, PakFindData& out);
    void FindClose(void* handle);

    // Confines loose files to a folder and what lies under it: a path that
    // leads outside ("../../etc/passwd", "/etc/passwd") finds no loose file,
    // as the archive refuses such names. Empty: no confinement (tools, tests).
    void SetDataRoot(const std::string& folder);

    // Lays a loose folder over `base`: a path inside base is looked up in
    // `folder` first (the same path below it, without regard to case), then
    // as usual. One folder at a time; an empty folder takes it away. The game
    // never lays one: tests, benchmarks and tools lay their fixtures over the
    // game's data this way (docs/data-formats.md).
    void LayFolderOver(const std::string& base, const std::string& folder);

    // Folder listings used for case-blind names on disk are kept; a program
    // that renames files with other cases while running flushes them here.
    void FlushDirectoryCache();

private:
    struct Listing;
    struct Mounted;

    // The loose file for a normalized absolute path, matched without case:
    // the laid folder's, else the disk's inside the data root.
    bool ResolveOnDisk(const std::string& absolute, bool wantDirectory, std::string& actual);
    bool ResolveCaseBlind(const std::string& absolute, bool wantDirectory, std::string& actual);
    // Where a normalized absolute path lies in the laid folder; empty when
    // none is laid or the path is outside its base.
    std::string InLaidFolder(const std::string& absolute) const;
    std::shared_ptr<const Listing> GetListing(const std::string& folder);
    // The archive and entry key for a normalized absolute path, if any.
    const Mounted* FindMounted(const std::string& absolute, std::string& key) const;

    // Whether a normalized absolute path may be served from the disk.
    bool InsideDataRoot(const std::string& absolute) const;
    void NoteChangedPak(const PakArchive& archive);

    mutable std::shared_mutex mPakLock;
    std::string mDataRoot;  // normalized; guarded by mPakLock
    std::string mLaidBase, mLaidFolder;  // normalized; guarded by mPakLock
    std::vector<std::unique_ptr<Mounted>> mPaks;
    std::string mLastPakError;
    std::atomic<bool> mPakChanged{false};
    mutable std::mutex mChangedLock;
    std::string mChangedPath;  // guarded by mChangedLock

    std::mutex mCacheLock;
    std::unordered_map<std::string, std::shared_ptr<const Listing>> mListings;
};

// Always points at a usable instance: without archives it reads loose files.
extern PakInterface* gPakInterfaceP;

// Convenience for loaders: the whole file through the layer.
bool ReadDataFile(const std::string& path, std::string& out);
bool DataFileExists(const std::string& path);

// A path with '\' turned into '/', repeated separators, "." and ".." resolved
// and made absolute against the current folder. Exposed for tests.
std::string PakNormalizePath(const std::string& path);
