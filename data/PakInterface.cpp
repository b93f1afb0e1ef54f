#include "data/PakInterface.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>

#include "core/Log.h"
#include "data/PakArchive.h"
#include "data/PakFormat.h"
#include "platform/FileSystem.h"

struct PFILE {
    FILE* mFile = nullptr;                   // a loose file
    const PakArchive* mArchive = nullptr;    // or an entry of a pak
    const PakArchive::Entry* mEntry = nullptr;
    uint64_t mSize = 0;
    uint64_t mPos = 0;
    bool mEof = false;
};

struct PakInterface::Listing {
    // Lower-case name -> the entries with that name (folders may hold names
    // that differ only in case).
    std::unordered_map<std::string, std::vector<DirEntry>> mByKey;
    // The folder's modification time before it was read. Folder times move in
    // coarse steps, so an unchanged time only proves an unchanged folder when
    // the folder was already old when listed.
    std::filesystem::file_time_type mFolderTime{};
    bool mTrusted = false;
};

struct PakInterface::Mounted {
    PakArchive mArchive;
    std::string mBaseKey;  // lower-case absolute folder of the archive, no trailing '/'
};

namespace {

PakInterface gDefaultPakInterface;

bool WildcardMatch(const char* pattern, const char* name) {
    // Iterative glob with one back-tracking point; case-blind for ASCII.
    const char* starP = nullptr;
    const char* starN = nullptr;
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    while (*name) {
        if (*pattern == '*') {
            starP = ++pattern;
            starN = name;
        } else if (*pattern == '?' || lower(*pattern) == lower(*name)) {
            ++pattern;
            ++name;
        } else if (starP) {
            pattern = starP;
            name = ++starN;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == '\0';
}

std::vector<std::string> SplitParts(const std::string& absolute) {
    std::vector<std::string> parts;
    size_t start = 1;
    while (start < absolute.size()) {
        size_t end = absolute.find('/', start);
        if (end == std::string::npos) end = absolute.size();
        parts.push_back(absolute.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string ParentOf(const std::string& absolute) {
    size_t slash = absolute.rfind('/');
    return slash == 0 || slash == std::string::npos ? std::string("/") : absolute.substr(0, slash);
}

}  // namespace

PakInterface* gPakInterfaceP = &gDefaultPakInterface;

std::string PakNormalizePath(const std::string& path) {
    std::string p = path;
    for (char& c : p)
        if (c == '\\') c = '/';
    if (p.empty() || p[0] != '/') {
        std::string cwd = PlatformCurrentDirectory();
        p = (cwd.empty() ? std::string("/") : cwd) + "/" + p;
    }
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= p.size()) {
        size_t end = p.find('/', start);
        if (end == std::string::npos) end = p.size();
        std::string part = p.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(std::move(part));
        }
        start = end + 1;
    }
    std::string out;
    for (const std::string& part : parts) out += "/" + part;
    return out.empty() ? std::string("/") : out;
}

PakInterface::PakInterface() = default;
PakInterface::~PakInterface() = default;

bool PakInterface::AddPakFile(const std::string& path) {
    auto mounted = std::make_unique<Mounted>();
    std::string absolute = PakNormalizePath(path);
    std::string actual;
    std::string error;
    if (!ResolveOnDisk(absolute, false, actual)) actual = absolute;
    if (!mounted->mArchive.OpenFile(actual, &error)) {
        DebugPrintf("PakInterface: %s\n", error.c_str());
        std::unique_lock lock(mPakLock);
        mLastPakError = error;
        return false;
    }
    std::string base = ParentOf(actual);
    mounted->mBaseKey = PakLowerKey(base == "/" ? std::string() : base);
    std::unique_lock lock(mPakLock);
    mPaks.push_back(std::move(mounted));
    mLastPakError.clear();
    return true;
}

std::string PakInterface::GetLastPakError() const {
    std::shared_lock lock(mPakLock);
    return mLastPakError;
}

std::string PakInterface::GetChangedPak() const {
    if (!mPakChanged.load(std::memory_order_acquire)) return std::string();
    std::lock_guard lock(mChangedLock);
    return mChangedPath;
}

void PakInterface::NoteChangedPak(const PakArchive& archive) {
    std::lock_guard lock(mChangedLock);
    if (mPakChanged.load(std::memory_order_relaxed)) return;
    DebugPrintf("PakInterface: '%s' changed while it was open\n", archive.GetPath().c_str());
    mChangedPath = archive.GetPath();
    mPakChanged.store(true, std::memory_order_release);
}

void PakInterface::FlushDirectoryCache() {
    std::lock_guard lock(mCacheLock);
    mListings.clear();
}

std::shared_ptr<const PakInterface::Listing> PakInterface::GetListing(const std::string& folder) {
    {
        std::lock_guard lock(mCacheLock);
        auto it = mListings.find(folder);
        if (it != mListings.end()) return it->second;
    }
    auto listing = std::make_shared<Listing>();
    std::error_code error;
    listing->mFolderTime = std::filesystem::last_write_time(folder, error);
    listing->mTrusted = !error && std::filesystem::file_time_type::clock::now() -
                                          listing->mFolderTime > std::chrono::seconds(2);
    std::vector<DirEntry> entries;
    if (!PlatformListDirectory(folder, entries)) return nullptr;
    for (DirEntry& e : entries) {
        std::string key = PakLowerKey(e.name);
        listing->mByKey[key].push_back(std::move(e));
    }
    std::lock_guard lock(mCacheLock);
    mListings[folder] = listing;
    return listing;
}

void PakInterface::SetDataRoot(const std::string& folder) {
    std::unique_lock lock(mPakLock);
    mDataRoot = folder.empty() ? std::string() : PakNormalizePath(folder);
}

bool PakInterface::InsideDataRoot(const std::string& absolute) const {
    std::shared_lock lock(mPakLock);
    if (mDataRoot.empty() || mDataRoot == "/") return true;
    return absolute.size() > mDataRoot.size() && absolute.compare(0, mDataRoot.size(), mDataRoot) == 0 &&
           absolute[mDataRoot.size()] == '/';
}

void PakInterface::LayFolderOver(const std::string& base, const std::string& folder) {
    std::unique_lock lock(mPakLock);
    mLaidBase = folder.empty() ? std::string() : PakNormalizePath(base);
    mLaidFolder = folder.empty() ? std::string() : PakNormalizePath(folder);
}

std::string PakInterface::InLaidFolder(const std::string& absolute) const {
    std::shared_lock lock(mPakLock);
    if (mLaidFolder.empty()) return std::string();
    if (absolute == mLaidBase) return mLaidFolder;
    if (absolute.size() > mLaidBase.size() && absolute.compare(0, mLaidBase.size(), mLaidBase) == 0 &&
        absolute[mLaidBase.size()] == '/')
        return mLaidFolder + absolute.substr(mLaidBase.size());
    return std::string();
}

bool PakInterface::ResolveOnDisk(const std::string& absolute, bool wantDirectory,
                                 std::string& actual) {
    if (!InsideDataRoot(absolute)) return false;
    // The laid folder was named by the program itself, not by a data file,
    // so it serves though it lies outside the data root.
    const std::string laid = InLaidFolder(absolute);
    if (!laid.empty() && ResolveCaseBlind(laid, wantDirectory, actual)) return true;
    return ResolveCaseBlind(absolute, wantDirectory, actual);
}

bool PakInterface::ResolveCaseBlind(const std::string& absolute, bool wantDirectory,
                                    std::string& actual) {
    if (wantDirectory ? PlatformDirectoryExists(absolute) : PlatformFileExists(absolute)) {
        actual = absolute;
        return true;
    }
    std::vector<std::string> parts = SplitParts(absolute);
    if (parts.empty()) return false;
    std::string current;  // "" stands for "/"
    for (size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        const bool needDirectory = !last || wantDirectory;
        const std::string folder = current.empty() ? std::string("/") : current;
        const std::string key = PakLowerKey(parts[i]);
        const DirEntry* match = nullptr;
        // A listing may be older than the folder's contents: on a miss it is
        // read again before giving up, unless the folder provably did not change.
        for (int attempt = 0; attempt < 2 && !match; ++attempt) {
            std::shared_ptr<const Listing> listing = GetListing(folder);
            if (!listing) return false;
            auto it = listing->mByKey.find(key);
            if (it == listing->mByKey.end()) {
                std::error_code error;
                if (attempt == 1 || (listing->mTrusted &&
                                     std::filesystem::last_write_time(folder, error) == listing->mFolderTime &&
                                     !error))
                    return false;
                std::lock_guard lock(mCacheLock);
                mListings.erase(folder);
                continue;
            }
            for (const DirEntry& e : it->second) {
                if (e.isDirectory != needDirectory) continue;
                if (!match || e.name == parts[i]) match = &e;
            }
            if (match) current += "/" + match->name;
        }
        if (!match) return false;
    }
    bool exists = wantDirectory ? PlatformDirectoryExists(current) : PlatformFileExists(current);
    if (!exists) {
        FlushDirectoryCache();
        return false;
    }
    actual = current;
    return true;
}

const PakInterface::Mounted* PakInterface::FindMounted(const std::string& absolute,
                                                       std::string& key) const {
    std::string lower = PakLowerKey(absolute);
    for (const auto& mounted : mPaks) {
        const std::string& base = mounted->mBaseKey;
        if (lower.size() > base.size() + 1 && lower.compare(0, base.size(), base) == 0 &&
            lower[base.size()] == '/') {
            key = lower.substr(base.size() + 1);
            if (mounted->mArchive.Find(key)) return mounted.get();
        }
    }
    return nullptr;
}

PFILE* PakInterface::FOpen(const char* path, const char* mode) {
    if (!path || !mode || mode[0] != 'r' || std::strpbrk(mode, "wa+")) return nullptr;
    std::string absolute = PakNormalizePath(path);
    std::string actual;
    if (ResolveOnDisk(absolute, false, actual)) {
        if (FILE* f = std::fopen(actual.c_str(), "rb")) {
            PFILE* file = new PFILE;
            file->mFile = f;
            return file;
        }
    }
    std::shared_lock lock(mPakLock);
    std::string key;
    if (const Mounted* mounted = FindMounted(absolute, key)) {
        // What the archive held when it was checked is gone once it was
        // written over; its entries are no longer there to read.
        if (!mounted->mArchive.Unchanged()) {
            NoteChangedPak(mounted->mArchive);
            return nullptr;
        }
        const PakArchive::Entry* entry = mounted->mArchive.Find(key);
        PFILE* file = new PFILE;
        file->mArchive = &mounted->mArchive;
        file->mEntry = entry;
        file->mSize = entry->mSize;
        return file;
    }
    return nullptr;
}

size_t PakInterface::FRead(void* ptr, size_t elemSize, size_t count, PFILE* file) {
    if (!file || !ptr || elemSize == 0 || count == 0) return 0;
    if (file->mFile) return std::fread(ptr, elemSize, count, file->mFile);
    size_t wanted = count > std::numeric_limits<size_t>::max() / elemSize
                        ? std::numeric_limits<size_t>::max()
                        : elemSize * count;
    uint64_t available = file->mSize - file->mPos;
    size_t bytes = available < wanted ? static_cast<size_t>(available) : wanted;
    if (bytes > 0 && !file->mArchive->ReadEntry(*file->mEntry, file->mPos, ptr, bytes)) {
        NoteChangedPak(*file->mArchive);
        file->mEof = true;
        return 0;
    }
    file->mPos += bytes;
    if (bytes < wanted) file->mEof = true;
    return bytes / elemSize;
}

int PakInterface::FSeek(PFILE* file, long offset, int origin) {
    if (!file) return -1;
    if (file->mFile) return std::fseek(file->mFile, offset, origin);
    int64_t base;
    switch (origin) {
        case SEEK_SET: base = 0; break;
        case SEEK_CUR: base = static_cast<int64_t>(file->mPos); break;
        case SEEK_END: base = static_cast<int64_t>(file->mSize); break;
        default: return -1;
    }
    // Entries are bounded by the mapped file, so base fits; the sum is checked.
    if ((offset > 0 && base > std::numeric_limits<int64_t>::max() - offset)) return -1;
    int64_t target = base + offset;
    if (target < 0 || static_cast<uint64_t>(target) > file->mSize) return -1;
    file->mPos = static_cast<uint64_t>(target);
    file->mEof = false;
    return 0;
}

long PakInterface::FTell(PFILE* file) {
    if (!file) return -1;
    if (file->mFile) return std::ftell(file->mFile);
    return static_cast<long>(file->mPos);
}

int PakInterface::FEof(PFILE* file) {
    if (!file) return 1;
    if (file->mFile) return std::feof(file->mFile);
    return file->mEof ? 1 : 0;
}

int PakInterface::FClose(PFILE* file) {
    if (!file) return -1;
    int result = file->mFile ? std::fclose(file->mFile) : 0;
    delete file;
    return result;
}

int64_t PakInterface::FileModifiedTime(const std::string& path) {
    std::string absolute = PakNormalizePath(path);
    std::string actual;
    if (ResolveOnDisk(absolute, false, actual)) return PlatformFileModifiedTime(actual);
    std::shared_lock lock(mPakLock);
    std::string key;
    if (const Mounted* mounted = FindMounted(absolute, key))
        return mounted->mArchive.Find(key)->mLastWriteTime;
    return 0;
}

bool PakInterface::FileExists(const std::string& path) {
    std::string absolute = PakNormalizePath(path);
    std::string actual;
    if (ResolveOnDisk(absolute, false, actual)) return true;
    std::shared_lock lock(mPakLock);
    std::string key;
    return FindMounted(absolute, key) != nullptr;
}

namespace {
struct FindState {
    std::vector<PakFindData> mResults;
    size_t mNext = 0;
};
}  // namespace

bool PakInterface::FindFirst(const std::string& pattern, PakFindData& out, void*& handle) {
    handle = nullptr;
    std::string p = pattern;
    for (char& c : p)
        if (c == '\\') c = '/';
    size_t slash = p.rfind('/');
    std::string folderPart = slash == std::string::npos ? std::string(".") : p.substr(0, slash + 1);
    std::string namePattern = slash == std::string::npos ? p : p.substr(slash + 1);
    if (namePattern == "*.*") namePattern = "*";
    if (namePattern.empty()) return false;
    std::string folder = PakNormalizePath(folderPart);

    std::map<std::string, PakFindData> found;  // by lower-case name
    // The laid folder's names first: the first of equal names wins.
    std::vector<std::string> looseFolders;
    if (InsideDataRoot(folder)) {
        std::string actual;
        const std::string laid = InLaidFolder(folder);
        if (!laid.empty() && ResolveCaseBlind(laid, true, actual)) looseFolders.push_back(actual);
        if (ResolveCaseBlind(folder, true, actual)) looseFolders.push_back(actual);
    }
    for (const std::string& actualFolder : looseFolders) {
        std::vector<DirEntry> entries;
        PlatformListDirectory(actualFolder, entries);
        for (const DirEntry& e : entries) {
            if (!WildcardMatch(namePattern.c_str(), e.name.c_str())) continue;
            PakFindData data;
            data.mName = e.name;
            data.mIsDirectory = e.isDirectory;
            std::string full = actualFolder + (actualFolder == "/" ? "" : "/") + e.name;
            data.mSize = e.isDirectory ? 0 : std::max<int64_t>(0, PlatformFileSize(full));
            data.mLastWriteTime = PlatformFileModifiedTime(full);
            found.emplace(PakLowerKey(e.name), data);
        }
    }
    {
        std::shared_lock lock(mPakLock);
        std::string lowerFolder = PakLowerKey(folder == "/" ? std::string() : folder);
        for (const auto& mounted : mPaks) {
            const std::string& base = mounted->mBaseKey;
            std::string key;
            if (lowerFolder == base) {
                key.clear();
            } else if (lowerFolder.size() > base.size() + 1 &&
                       lowerFolder.compare(0, base.size(), base) == 0 &&
                       lowerFolder[base.size()] == '/') {
                key = lowerFolder.substr(base.size() + 1);
            } else {
                continue;
            }
            const auto* children = mounted->mArchive.FolderChildren(key);
            if (!children) continue;
            for (const auto& [childKey, child] : *children) {
                if (found.count(childKey) || !WildcardMatch(namePattern.c_str(), child.mName.c_str()))
                    continue;
                PakFindData data;
                data.mName = child.mName;
                data.mIsDirectory = child.mIsDirectory;
                if (!child.mIsDirectory) {
                    const auto& entry = mounted->mArchive.Entries()[child.mEntryIndex];
                    data.mSize = static_cast<int64_t>(entry.mSize);
                    data.mLastWriteTime = entry.mLastWriteTime;
                }
                found.emplace(childKey, data);
            }
        }
    }
    if (found.empty()) return false;
    auto* state = new FindState;
    for (auto& [key, data] : found) state->mResults.push_back(std::move(data));
    out = state->mResults[0];
    state->mNext = 1;
    handle = state;
    return true;
}

bool PakInterface::FindNext(void* handle, PakFindData& out) {
    auto* state = static_cast<FindState*>(handle);
    if (!state || state->mNext >= state->mResults.size()) return false;
    out = state->mResults[state->mNext++];
    return true;
}

void PakInterface::FindClose(void* handle) { delete static_cast<FindState*>(handle); }

bool ReadDataFile(const std::string& path, std::string& out) {
    out.clear();
    PFILE* file = gPakInterfaceP->FOpen(path.c_str(), "rb");
    if (!file) return false;
    bool ok = true;
    if (!file->mFile) {
        out.resize(static_cast<size_t>(file->mSize));
        ok = gPakInterfaceP->FRead(out.data(), 1, out.size(), file) == out.size();
    } else {
        // The size first, so a large loose file is read in one piece.
        if (gPakInterfaceP->FSeek(file, 0, SEEK_END) == 0) {
            long size = gPakInterfaceP->FTell(file);
            if (size > 0 && gPakInterfaceP->FSeek(file, 0, SEEK_SET) == 0) {
                out.resize(static_cast<size_t>(size));
                out.resize(gPakInterfaceP->FRead(out.data(), 1, out.size(), file));
            } else {
                gPakInterfaceP->FSeek(file, 0, SEEK_SET);
            }
        }
        char buffer[65536];
        size_t n;
        while ((n = gPakInterfaceP->FRead(buffer, 1, sizeof(buffer), file)) > 0) out.append(buffer, n);
        ok = std::ferror(file->mFile) == 0;
    }
    gPakInterfaceP->FClose(file);
    if (!ok) out.clear();
    return ok;
}

bool DataFileExists(const std::string& path) { return gPakInterfaceP->FileExists(path); }
