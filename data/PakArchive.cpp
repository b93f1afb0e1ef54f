#include "data/PakArchive.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/StringUtil.h"
#include "data/PakFormat.h"
#include "platform/FileSystem.h"

using namespace pakformat;

std::string PakLowerKey(const std::string& name) {
    std::string out = name;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

namespace {

// Reads unscrambled little-endian fields from the scrambled image, never past
// its end: every read checks the remaining room first.
class ScrambledReader {
public:
    ScrambledReader(const uint8_t* data, size_t size, size_t pos) : mData(data), mSize(size), mPos(pos) {}

    bool Bytes(void* out, size_t count) {
        if (count > mSize - mPos) return false;
        UnscrambleCopy(static_cast<uint8_t*>(out), mData + mPos, count);
        mPos += count;
        return true;
    }
    template <typename T>
    bool Value(T& out) {
        uint8_t raw[sizeof(T)];
        if (!Bytes(raw, sizeof(T))) return false;
        uint64_t v = 0;
        for (size_t i = 0; i < sizeof(T); ++i) v |= static_cast<uint64_t>(raw[i]) << (8 * i);
        out = static_cast<T>(v);
        return true;
    }
    size_t Pos() const { return mPos; }

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mPos;
};

bool ValidName(const std::string& name) {
    if (name.empty() || name.front() == '/' || name.back() == '/') return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string::npos) end = name.size();
        std::string part = name.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") return false;
        start = end + 1;
    }
    for (char c : name)
        if (c == '\0' || c == '\\') return false;
    return true;
}

}  // namespace

PakArchive::PakArchive() = default;
PakArchive::~PakArchive() = default;

void PakArchive::Clear() {
    mFile.reset();
    mPath.clear();
    mData = nullptr;
    mSize = 0;
    mEntries.clear();
    mIndex.clear();
    mFolders.clear();
}

bool PakArchive::OpenFile(const std::string& path, std::string* error) {
    Clear();
    auto file = std::make_unique<PositionalFile>();
    if (!file->Open(path) || file->Size() > SIZE_MAX) {
        if (error) *error = "cannot open '" + path + "'";
        return false;
    }
    // Only the header and the directory are read now; Parse refuses a
    // directory size the file cannot hold before it reads the directory.
    const size_t size = static_cast<size_t>(file->Size());
    std::vector<uint8_t> head(std::min(size, kPakHeaderSize));
    bool read = file->ReadAt(0, head.data(), head.size());
    if (read && head.size() == kPakHeaderSize) {
        uint32_t directorySize = 0;
        ScrambledReader(head.data(), head.size(), 12).Value(directorySize);
        if (directorySize <= size - kPakHeaderSize) {
            head.resize(kPakHeaderSize + directorySize);
            read = file->ReadAt(kPakHeaderSize, head.data() + kPakHeaderSize, directorySize);
        }
    }
    if (!read) {
        if (error) *error = "cannot read '" + path + "'";
        return false;
    }
    mData = head.data();
    mSize = size;
    mFile = std::move(file);
    mPath = path;
    if (!Parse(error)) {
        if (error) *error = "'" + path + "' is damaged: " + *error;
        Clear();
        return false;
    }
    mData = nullptr;
    return true;
}

bool PakArchive::ReadEntry(const Entry& entry, uint64_t pos, void* dest, size_t count) const {
    auto* out = static_cast<uint8_t*>(dest);
    if (!mFile) {
        UnscrambleCopy(out, mData + entry.mOffset + pos, count);
        return true;
    }
    // Through a piece that stays in the cache: the caller's bytes are then
    // written once, as a copy from a map wrote them.
    uint8_t piece[16 * 1024];
    for (size_t done = 0; done < count;) {
        const size_t size = std::min(sizeof(piece), count - done);
        if (!mFile->ReadAt(entry.mOffset + pos + done, piece, size)) return false;
        UnscrambleCopy(out + done, piece, size);
        done += size;
    }
    return true;
}

bool PakArchive::Unchanged() const { return !mFile || mFile->Unchanged(); }

bool PakArchive::OpenMemory(const uint8_t* data, size_t size, std::string* error) {
    Clear();
    mData = data;
    mSize = data ? size : 0;
    if (!Parse(error)) {
        Clear();
        return false;
    }
    return true;
}

bool PakArchive::Parse(std::string* error) {
    std::string scratch;
    std::string& err = error ? *error : scratch;
    if (mSize < kPakHeaderSize) {
        err = "too short for a header";
        return false;
    }
    ScrambledReader header(mData, mSize, 0);
    char magic[4];
    uint32_t version = 0, count = 0, directorySize = 0;
    header.Bytes(magic, 4);
    header.Value(version);
    header.Value(count);
    header.Value(directorySize);
    if (std::memcmp(magic, kPakMagic, 4) != 0) {
        err = "bad magic";
        return false;
    }
    if (version != kPakVersion) {
        err = "unknown version " + std::to_string(version);
        return false;
    }
    if (directorySize > mSize - kPakHeaderSize) {
        err = "directory runs past the end of the file";
        return false;
    }
    if (count > directorySize / kPakMinEntrySize) {
        err = "entry count does not fit the directory";
        return false;
    }

    const size_t dirEnd = kPakHeaderSize + directorySize;
    ScrambledReader dir(mData, dirEnd, kPakHeaderSize);
    mEntries.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        uint16_t nameLength = 0;
        Entry entry;
        if (!dir.Value(nameLength) || nameLength == 0 || nameLength > kPakMaxNameLength) {
            err = "bad name length in entry " + std::to_string(i);
            return false;
        }
        entry.mName.resize(nameLength);
        if (!dir.Bytes(entry.mName.data(), nameLength) || !dir.Value(entry.mOffset) ||
            !dir.Value(entry.mSize) || !dir.Value(entry.mLastWriteTime)) {
            err = "directory truncated in entry " + std::to_string(i);
            return false;
        }
        if (!ValidName(entry.mName)) {
            err = "bad name in entry " + std::to_string(i);
            return false;
        }
        if (entry.mOffset > mSize || entry.mSize > mSize - entry.mOffset) {
            err = "data of " + QuoteValue(entry.mName) + " lies outside the file";
            return false;
        }
        std::string key = PakLowerKey(entry.mName);
        if (!mIndex.emplace(key, mEntries.size()).second) {
            err = "duplicate entry " + QuoteValue(entry.mName);
            return false;
        }
        mEntries.push_back(std::move(entry));
    }
    if (dir.Pos() != dirEnd) {
        err = "directory size does not match its entries";
        return false;
    }

    // The folder tree, for finding files and telling folders from files.
    mFolders[""];
    for (size_t i = 0; i < mEntries.size(); ++i) {
        const std::string& name = mEntries[i].mName;
        std::string key = PakLowerKey(name);
        size_t slash = name.rfind('/');
        std::string folder = slash == std::string::npos ? std::string() : key.substr(0, slash);
        FolderChild file;
        file.mName = slash == std::string::npos ? name : name.substr(slash + 1);
        file.mEntryIndex = i;
        mFolders[folder][PakLowerKey(file.mName)] = file;
        // Each folder along the path is a child of the one above it.
        while (slash != std::string::npos) {
            std::string childKey = key.substr(0, slash);
            size_t up = childKey.rfind('/');
            std::string parent = up == std::string::npos ? std::string() : childKey.substr(0, up);
            FolderChild sub;
            sub.mName = name.substr(up == std::string::npos ? 0 : up + 1,
                                    slash - (up == std::string::npos ? 0 : up + 1));
            sub.mIsDirectory = true;
            auto& children = mFolders[parent];
            auto it = children.find(PakLowerKey(sub.mName));
            if (it != children.end()) {
                if (!it->second.mIsDirectory) {
                    err = QuoteValue(childKey) + " is both a file and a folder";
                    return false;
                }
                break;  // the rest of the chain is already there
            }
            children.emplace(PakLowerKey(sub.mName), sub);
            mFolders[childKey];
            slash = up;
        }
    }
    // A file added before a folder of the same name was seen.
    for (const auto& [folderKey, children] : mFolders) {
        if (!folderKey.empty() && mIndex.count(folderKey)) {
            err = QuoteValue(folderKey) + " is both a file and a folder";
            return false;
        }
    }
    return true;
}

const PakArchive::Entry* PakArchive::Find(const std::string& key) const {
    auto it = mIndex.find(key);
    return it == mIndex.end() ? nullptr : &mEntries[it->second];
}

bool PakArchive::IsFolder(const std::string& key) const { return mFolders.count(key) != 0; }

const std::map<std::string, PakArchive::FolderChild>* PakArchive::FolderChildren(
    const std::string& key) const {
    auto it = mFolders.find(key);
    return it == mFolders.end() ? nullptr : &it->second;
}
