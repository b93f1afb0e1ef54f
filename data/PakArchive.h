#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class PositionalFile;

// One main.pak image: its directory, checked once when opened, and the still
// scrambled bytes, which stay in the file (or the caller's memory) until a
// reader asks for them. The file is read, not mapped: a file changed in place
// while the game runs then fails a read rather than raising a bus error.
class PakArchive {
public:
    struct Entry {
        std::string mName;  // as stored, '/' separated
        uint64_t mOffset = 0;
        uint64_t mSize = 0;
        int64_t mLastWriteTime = 0;
    };
    struct FolderChild {
        std::string mName;  // last part of the path, as stored
        bool mIsDirectory = false;
        size_t mEntryIndex = 0;  // for files
    };

    PakArchive();
    ~PakArchive();
    PakArchive(const PakArchive&) = delete;
    PakArchive& operator=(const PakArchive&) = delete;

    // Opens the file and checks it. False with the reason in *error when the
    // file is absent or damaged; nothing of a refused archive is kept.
    bool OpenFile(const std::string& path, std::string* error);
    // Checks an image held by the caller, who keeps it alive while this is used.
    bool OpenMemory(const uint8_t* data, size_t size, std::string* error);

    // key: the lower-case '/' separated name relative to the archive.
    const Entry* Find(const std::string& key) const;
    bool IsFolder(const std::string& key) const;  // "" is the top folder
    // The children of a folder keyed by their lower-case names; null when the
    // archive has no such folder.
    const std::map<std::string, FolderChild>* FolderChildren(const std::string& key) const;

    const std::vector<Entry>& Entries() const { return mEntries; }
    // The scrambled bytes of an entry (its size is entry.mSize) of an archive
    // opened from memory; null for one opened from a file.
    const uint8_t* EntryBytes(const Entry& entry) const { return mFile ? nullptr : mData + entry.mOffset; }
    // Unscrambled bytes [pos, pos + count) of an entry (the caller keeps them
    // inside it) into dest. False when the file no longer holds them.
    bool ReadEntry(const Entry& entry, uint64_t pos, void* dest, size_t count) const;
    // False once the archive's file was cut short or written over since it
    // was opened; always true for an image in memory.
    bool Unchanged() const;
    const std::string& GetPath() const { return mPath; }  // "" for an image in memory

private:
    bool Parse(std::string* error);
    void Clear();

    std::unique_ptr<PositionalFile> mFile;
    std::string mPath;
    // The image in memory; for a file, only its header and directory while
    // they are checked.
    const uint8_t* mData = nullptr;
    size_t mSize = 0;
    std::vector<Entry> mEntries;
    std::unordered_map<std::string, size_t> mIndex;
    std::map<std::string, std::map<std::string, FolderChild>> mFolders;
};

// The lower-case ASCII form used for names in the archive and on disk lookups.
std::string PakLowerKey(const std::string& name);
