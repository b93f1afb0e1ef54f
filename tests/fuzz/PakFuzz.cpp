#include <vector>

#include "data/PakArchive.h"
#include "data/PakFormat.h"
#include "tests/fuzz/FuzzTarget.h"

// Checks the bytes as a main.pak image; an accepted archive must describe only
// bytes inside the image, so reading every entry stays in bounds.
FUZZ_TARGET(pak) {
    PakArchive archive;
    std::string error;
    if (!archive.OpenMemory(data, size, &error)) {
        if (error.empty()) __builtin_trap();
        return 0;
    }
    std::vector<uint8_t> buffer;
    for (const PakArchive::Entry& entry : archive.Entries()) {
        if (entry.mOffset > size || entry.mSize > size - entry.mOffset) __builtin_trap();
        buffer.resize(entry.mSize);
        pakformat::UnscrambleCopy(buffer.data(), archive.EntryBytes(entry), entry.mSize);
        if (!archive.Find(PakLowerKey(entry.mName))) __builtin_trap();
    }
    if (!archive.FolderChildren("")) __builtin_trap();
    return 0;
}
