#include "data/PakBuilder.h"

#include <algorithm>
#include <set>

#include "core/FileUtil.h"
#include "data/PakArchive.h"
#include "data/PakFormat.h"
#include "data/PakInterface.h"
#include "platform/FileSystem.h"

using namespace pakformat;

namespace {

template <typename T>
void PutValue(std::string& out, T value) {
    uint64_t v = static_cast<uint64_t>(value);
    for (size_t i = 0; i < sizeof(T); ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

bool CollectFolder(const std::string& root, const std::string& relative,
                   std::vector<PakSourceEntry>& entries, const std::string& skipPath,
                   std::string* error) {
    std::string folder = relative.empty() ? root : root + "/" + relative;
    std::vector<DirEntry> listing;
    if (!PlatformListDirectory(folder, listing)) {
        if (error) *error = "cannot list '" + folder + "'";
        return false;
    }
    std::sort(listing.begin(), listing.end(),
              [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    for (const DirEntry& e : listing) {
        std::string name = relative.empty() ? e.name : relative + "/" + e.name;
        std::string full = root + "/" + name;
        if (e.isDirectory) {
            if (!CollectFolder(root, name, entries, skipPath, error)) return false;
            continue;
        }
        if (!skipPath.empty() && PakNormalizePath(full) == skipPath) continue;
        PakSourceEntry entry;
        entry.mName = name;
        entry.mLastWriteTime = PlatformFileModifiedTime(full);
        if (!PlatformReadFile(full, entry.mData)) {
            if (error) *error = "cannot read '" + full + "'";
            return false;
        }
        entries.push_back(std::move(entry));
    }
    return true;
}

}  // namespace

bool BuildPakImage(const std::vector<PakSourceEntry>& entries, std::string& image, std::string* error) {
    std::string directory;
    std::set<std::string> seen;
    uint64_t offset = 0;
    size_t directorySize = 0;
    for (const PakSourceEntry& e : entries)
        directorySize += 2 + NormalizeSlashes(e.mName).size() + 24;
    if (directorySize > UINT32_MAX) {
        if (error) *error = "too many entries";
        return false;
    }
    offset = kPakHeaderSize + directorySize;
    for (const PakSourceEntry& e : entries) {
        std::string name = NormalizeSlashes(e.mName);
        if (name.empty() || name.size() > kPakMaxNameLength) {
            if (error) *error = "bad entry name '" + name + "'";
            return false;
        }
        if (!seen.insert(PakLowerKey(name)).second) {
            if (error) *error = "duplicate entry '" + name + "' (names are compared without case)";
            return false;
        }
        PutValue<uint16_t>(directory, static_cast<uint16_t>(name.size()));
        directory += name;
        PutValue<uint64_t>(directory, offset);
        PutValue<uint64_t>(directory, e.mData.size());
        PutValue<int64_t>(directory, e.mLastWriteTime);
        offset += e.mData.size();
    }
    image.clear();
    image.reserve(static_cast<size_t>(offset));
    image.append(kPakMagic, 4);
    PutValue<uint32_t>(image, kPakVersion);
    PutValue<uint32_t>(image, static_cast<uint32_t>(entries.size()));
    PutValue<uint32_t>(image, static_cast<uint32_t>(directorySize));
    image += directory;
    for (const PakSourceEntry& e : entries) image += e.mData;
    for (char& c : image) c = static_cast<char>(static_cast<uint8_t>(c) ^ kPakScrambleKey);

    // The reader's checks are the final word on names (".." parts and the like).
    PakArchive check;
    std::string reason;
    if (!check.OpenMemory(reinterpret_cast<const uint8_t*>(image.data()), image.size(), &reason)) {
        if (error) *error = reason;
        image.clear();
        return false;
    }
    return true;
}

bool CollectPakEntries(const std::string& folder, std::vector<PakSourceEntry>& entries,
                       const std::string& skipPath, std::string* error) {
    std::string root = NormalizeSlashes(folder);
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    if (!PlatformDirectoryExists(root)) {
        if (error) *error = "'" + folder + "' is not a folder";
        return false;
    }
    return CollectFolder(root, "", entries, skipPath.empty() ? skipPath : PakNormalizePath(skipPath),
                         error);
}

bool BuildPakFromFolder(const std::string& folder, const std::string& outPath, std::string* error) {
    std::vector<PakSourceEntry> entries;
    if (!CollectPakEntries(folder, entries, outPath, error)) return false;
    std::string image;
    if (!BuildPakImage(entries, image, error)) return false;
    if (!PlatformAtomicWrite(outPath, image.data(), image.size(), error)) return false;
    return true;
}
