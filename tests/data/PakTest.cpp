#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <thread>

#include "core/Log.h"
#include "core/StringUtil.h"
#include "data/PakArchive.h"
#include "data/PakFormat.h"
#include "tests/data/DataFilesTestSupport.h"

using namespace datafiles_test;

namespace {

std::string ReadAll(PakInterface& pak, PFILE* file) {
    std::string out;
    char buffer[7];  // small on purpose: many reads per file
    size_t n;
    while ((n = pak.FRead(buffer, 1, sizeof(buffer), file)) > 0) out.append(buffer, n);
    return out;
}

std::string ReadPath(PakInterface& pak, const std::string& path) {
    PFILE* file = pak.FOpen(path.c_str(), "rb");
    if (!file) return "<absent>";
    std::string text = ReadAll(pak, file);
    pak.FClose(file);
    return text;
}

// Flips the scrambling so a test can damage the plain layout.
std::string Flip(std::string image) {
    for (char& c : image) c = static_cast<char>(static_cast<uint8_t>(c) ^ pakformat::kPakScrambleKey);
    return image;
}

std::vector<PakSourceEntry> SampleEntries() {
    return {
        {"properties/constants.xml", "<constants/>", 1000},
        {"properties/Fonts.xml", "<fonts/>", 2000},
        {"images/ui/button.png", std::string("\x89PNG\0\1\2", 7), 3000},
        {"images/ui/empty.txt", "", 4000},
        {"readme.txt", "0123456789", 5000},
    };
}

class PakTest : public QuietTest {
protected:
    // Writes main.pak with the sample entries into the scratch folder and mounts it.
    void Mount() {
        mFolder.Write("main.pak", BuildPak(SampleEntries()));
        ASSERT_TRUE(mPak.AddPakFile(mFolder / "main.pak")) << mPak.GetLastPakError();
    }

    ScratchFolder mFolder;
    PakInterface mPak;
};

TEST_F(PakTest, ReadsEntriesWithAnyCaseAndBackslashes) {
    Mount();
    EXPECT_EQ(ReadPath(mPak, mFolder / "properties/constants.xml"), "<constants/>");
    EXPECT_EQ(ReadPath(mPak, mFolder / "PROPERTIES\\fonts.XML"), "<fonts/>");
    EXPECT_EQ(ReadPath(mPak, mFolder / "images//ui/./button.png"), std::string("\x89PNG\0\1\2", 7));
    EXPECT_EQ(ReadPath(mPak, mFolder / "images/../images/ui/empty.txt"), "");
    EXPECT_EQ(ReadPath(mPak, mFolder / "properties/missing.xml"), "<absent>");
    // A folder of the archive is not a file.
    EXPECT_EQ(ReadPath(mPak, mFolder / "properties"), "<absent>");
    EXPECT_EQ(mPak.FileModifiedTime(mFolder / "Properties/Fonts.xml"), 2000);
    EXPECT_EQ(mPak.FileModifiedTime(mFolder / "nothing"), 0);
}

TEST_F(PakTest, RelativePathsStartAtTheCurrentFolder) {
    Mount();
    CurrentFolder here(mFolder.Path());
    EXPECT_EQ(ReadPath(mPak, "readme.txt"), "0123456789");
    EXPECT_EQ(ReadPath(mPak, ".\\Properties\\constants.xml"), "<constants/>");
    ASSERT_TRUE(PlatformMakeDirectory(mFolder / "sub"));
    CurrentFolder deeper(mFolder / "sub");
    EXPECT_EQ(ReadPath(mPak, "../readme.txt"), "0123456789");
    EXPECT_EQ(ReadPath(mPak, "readme.txt"), "<absent>");
}

TEST_F(PakTest, LooseFileShadowsThePakEntry) {
    Mount();
    mFolder.Write("properties/CONSTANTS.XML", "loose");
    EXPECT_EQ(ReadPath(mPak, mFolder / "properties/constants.xml"), "loose");
    EXPECT_EQ(ReadPath(mPak, mFolder / "Properties/Fonts.xml"), "<fonts/>");
}

// Names in data files stay inside the data folder, loose or archived.
TEST_F(PakTest, LooseFilesOutsideTheDataRootAreNotServed) {
    mFolder.Write("secret.txt", "outside");
    mFolder.Write("data/inside.txt", "inside");
    mFolder.Write("data/sub/deeper.txt", "deeper");
    mPak.SetDataRoot(mFolder / "data");
    CurrentFolder here(mFolder / "data/sub");
    const char* refused[] = {"../../secret.txt", "..\\..\\secret.txt", "../../data/../secret.txt"};
    for (const char* path : refused) {
        EXPECT_EQ(ReadPath(mPak, path), "<absent>") << path;
        EXPECT_FALSE(mPak.FileExists(path)) << path;
    }
    EXPECT_EQ(ReadPath(mPak, mFolder / "secret.txt"), "<absent>");
    EXPECT_EQ(ReadPath(mPak, "../inside.txt"), "inside");
    EXPECT_EQ(ReadPath(mPak, "deeper.txt"), "deeper");
    mPak.SetDataRoot("");
    EXPECT_EQ(ReadPath(mPak, "../../secret.txt"), "outside");
}

// Tests lay their fixtures over the game's data: the laid folder answers
// first for paths inside its base, ahead of the disk and the archive.
TEST_F(PakTest, ALaidFolderAnswersFirstInsideItsBase) {
    Mount();
    mFolder.Write("properties/extra.xml", "disk");
    mFolder.Write("fixtures/Properties/Constants.XML", "laid");
    mFolder.Write("fixtures/Properties/more.xml", "more");
    mFolder.Write("fixtures/readme.txt", "laid readme");
    mPak.LayFolderOver(mFolder.Path(), mFolder / "fixtures");
    EXPECT_EQ(ReadPath(mPak, mFolder / "properties/constants.xml"), "laid");
    EXPECT_EQ(ReadPath(mPak, mFolder / "properties/MORE.xml"), "more");
    EXPECT_EQ(ReadPath(mPak, mFolder / "properties/extra.xml"), "disk");
    EXPECT_EQ(ReadPath(mPak, mFolder / "properties/fonts.xml"), "<fonts/>");
    EXPECT_TRUE(mPak.FileExists(mFolder / "readme.txt"));
    PakFindData data;
    void* handle = nullptr;
    std::vector<std::string> names;
    ASSERT_TRUE(mPak.FindFirst(mFolder / "properties/*.xml", data, handle));
    do names.push_back(data.mName + ":" + std::to_string(data.mSize)); while (mPak.FindNext(handle, data));
    mPak.FindClose(handle);
    EXPECT_EQ(names, (std::vector<std::string>{"Constants.XML:4", "extra.xml:4", "Fonts.xml:8", "more.xml:4"}));

    // Inside a data root the laid folder still serves, though it lies
    // outside; names that leave the root find nothing in it either.
    mFolder.Write("data/inside.txt", "inside");
    mFolder.Write("laid/inside.txt", "laid inside");
    mFolder.Write("laid/only.txt", "only laid");
    mPak.SetDataRoot(mFolder / "data");
    mPak.LayFolderOver(mFolder / "data", mFolder / "laid");
    CurrentFolder here(mFolder / "data");
    EXPECT_EQ(ReadPath(mPak, "inside.txt"), "laid inside");
    EXPECT_EQ(ReadPath(mPak, "ONLY.txt"), "only laid");
    EXPECT_EQ(ReadPath(mPak, "../laid/only.txt"), "<absent>");

    mPak.LayFolderOver(std::string(), std::string());
    EXPECT_EQ(ReadPath(mPak, "inside.txt"), "inside");
    EXPECT_FALSE(mPak.FileExists("only.txt"));
}

// An entry of the pak and a loose file seek and read alike.
TEST_F(PakTest, SeekWithinAnEntryOrALooseFile) {
    Mount();
    mFolder.Write("Data/Sound.OGG", "0123456789");
    for (const std::string& path : {mFolder / "readme.txt", mFolder / "data\\sound.ogg"}) {
        SCOPED_TRACE(path);
        PFILE* file = mPak.FOpen(path.c_str(), "rb");
        ASSERT_NE(file, nullptr);
        char buffer[16] = {};
        ASSERT_EQ(mPak.FSeek(file, -3, SEEK_END), 0);
        EXPECT_EQ(mPak.FTell(file), 7);
        EXPECT_EQ(mPak.FRead(buffer, 1, 3, file), 3u);
        EXPECT_EQ(std::string(buffer, 3), "789");
        EXPECT_EQ(mPak.FEof(file), 0);
        EXPECT_EQ(mPak.FRead(buffer, 1, 1, file), 0u);
        EXPECT_NE(mPak.FEof(file), 0);

        ASSERT_EQ(mPak.FSeek(file, 2, SEEK_SET), 0);
        EXPECT_EQ(mPak.FEof(file), 0);  // a seek clears the end flag
        ASSERT_EQ(mPak.FSeek(file, 3, SEEK_CUR), 0);
        EXPECT_EQ(mPak.FTell(file), 5);
        // Whole elements only: 5 bytes left give two 2-byte elements.
        EXPECT_EQ(mPak.FRead(buffer, 2, 4, file), 2u);
        EXPECT_EQ(std::string(buffer, 4), "5678");
        EXPECT_EQ(mPak.FClose(file), 0);
    }
    // Outside a pak entry is refused and the position stays.
    PFILE* file = mPak.FOpen((mFolder / "readme.txt").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(mPak.FSeek(file, 4, SEEK_SET), 0);
    EXPECT_NE(mPak.FSeek(file, -1, SEEK_SET), 0);
    EXPECT_NE(mPak.FSeek(file, 1, SEEK_END), 0);
    EXPECT_NE(mPak.FSeek(file, 0, 12345), 0);
    EXPECT_EQ(mPak.FTell(file), 4);
    ASSERT_EQ(mPak.FSeek(file, 0, SEEK_END), 0);
    EXPECT_EQ(mPak.FTell(file), 10);
    mPak.FClose(file);
    // Reading modes only; a folder is not a file.
    EXPECT_EQ(mPak.FOpen((mFolder / "Data/Sound.OGG").c_str(), "wb"), nullptr);
    EXPECT_EQ(mPak.FOpen((mFolder / "Data/Sound.OGG").c_str(), "r+b"), nullptr);
    EXPECT_EQ(mPak.FOpen((mFolder / "data").c_str(), "rb"), nullptr);
    // Null handles are answered, not crashed on.
    char buffer[4];
    EXPECT_EQ(mPak.FRead(buffer, 1, 1, nullptr), 0u);
    EXPECT_NE(mPak.FSeek(nullptr, 0, SEEK_SET), 0);
    EXPECT_EQ(mPak.FTell(nullptr), -1);
}

TEST_F(PakTest, FilesCreatedLaterAreFoundWithoutCase) {
    mFolder.Write("a.txt", "a");
    EXPECT_EQ(ReadPath(mPak, mFolder / "A.TXT"), "a");  // the folder listing is now cached
    mFolder.Write("Later/B.txt", "b");
    EXPECT_EQ(ReadPath(mPak, mFolder / "later/b.TXT"), "b");
    PlatformRemoveFile(mFolder / "a.txt");
    EXPECT_EQ(ReadPath(mPak, mFolder / "A.TXT"), "<absent>");
}

TEST_F(PakTest, FindMergesDiskAndPak) {
    Mount();
    mFolder.Write("properties/extra.xml", "x");
    mFolder.Write("properties/FONTS.xml", "loose fonts");
    PakFindData data;
    void* handle = nullptr;
    std::vector<std::string> names;
    ASSERT_TRUE(mPak.FindFirst(mFolder / "Properties\\*.xml", data, handle));
    do {
        names.push_back(data.mName + (data.mIsDirectory ? "/" : "") + ":" + std::to_string(data.mSize));
    } while (mPak.FindNext(handle, data));
    mPak.FindClose(handle);
    EXPECT_EQ(names, (std::vector<std::string>{"constants.xml:12", "extra.xml:1", "FONTS.xml:11"}));

    names.clear();
    ASSERT_TRUE(mPak.FindFirst(mFolder / "images/*.*", data, handle));
    do names.push_back(data.mName + (data.mIsDirectory ? "/" : "")); while (mPak.FindNext(handle, data));
    mPak.FindClose(handle);
    EXPECT_EQ(names, (std::vector<std::string>{"ui/"}));

    EXPECT_FALSE(mPak.FindFirst(mFolder / "images/ui/*.jpg", data, handle));
    EXPECT_EQ(handle, nullptr);
    EXPECT_TRUE(mPak.FindFirst(mFolder / "images/UI/b?tton.PNG", data, handle));
    EXPECT_EQ(data.mName, "button.png");
    EXPECT_EQ(data.mLastWriteTime, 3000);
    EXPECT_FALSE(mPak.FindNext(handle, data));
    mPak.FindClose(handle);
}

TEST_F(PakTest, BuildsFromAFolderAndServesItAlone) {
    ScratchFolder source;
    source.Write("properties/a.xml", "<a/>");
    source.Write("images/deep/er/b.bin", std::string(100000, '\xB5'));  // the key byte itself
    std::string error;
    ASSERT_TRUE(BuildPakFromFolder(source.Path(), mFolder / "main.pak", &error)) << error;
    ASSERT_TRUE(mPak.AddPakFile(mFolder / "MAIN.PAK"));
    EXPECT_EQ(ReadPath(mPak, mFolder / "properties/a.xml"), "<a/>");
    EXPECT_EQ(ReadPath(mPak, mFolder / "images/deep/er/b.bin"), std::string(100000, '\xB5'));
    EXPECT_TRUE(mPak.FileExists(mFolder / "IMAGES/deep/er/b.bin"));
    EXPECT_FALSE(mPak.FileExists(mFolder / "images/deep"));

    UsePakInterface use(mPak);
    std::string bytes;
    EXPECT_TRUE(ReadDataFile(mFolder / "properties\\A.xml", bytes));
    EXPECT_EQ(bytes, "<a/>");
    EXPECT_TRUE(DataFileExists(mFolder / "properties/a.xml"));
    EXPECT_FALSE(ReadDataFile(mFolder / "properties/b.xml", bytes));
    EXPECT_TRUE(bytes.empty());
}

TEST_F(PakTest, BuilderRefusesNamesTheReaderWouldRefuse) {
    std::string image, error;
    EXPECT_FALSE(BuildPakImage({{"a.txt", "1", 0}, {"A.TXT", "2", 0}}, image, &error));
    EXPECT_NE(error.find("duplicate"), std::string::npos);
    EXPECT_FALSE(BuildPakImage({{"../up.txt", "1", 0}}, image, &error));
    EXPECT_FALSE(BuildPakImage({{"", "1", 0}}, image, &error));
    EXPECT_FALSE(BuildPakImage({{"a", "1", 0}, {"a/b", "2", 0}}, image, &error));
    EXPECT_TRUE(BuildPakImage({}, image, &error)) << error;
}

// Each damage is refused with a reason, and nothing is mounted.
TEST_F(PakTest, DamagedArchivesAreRefused) {
    const std::string plain = Flip(BuildPak(SampleEntries()));
    struct Case {
        const char* what;
        std::string plainBytes;
        const char* reason;
    };
    auto patched = [&plain](size_t at, uint32_t value) {
        std::string p = plain;
        for (int i = 0; i < 4; ++i) p[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
        return p;
    };
    // The first entry's offset, after its name, pointing far past the end.
    std::string farOffset = plain;
    uint16_t nameLength = static_cast<uint8_t>(plain[16]) | (static_cast<uint8_t>(plain[17]) << 8);
    farOffset.replace(16 + 2 + nameLength, 8, 8, '\xFF');
    std::string longName = plain;
    longName.replace(16, 2, 2, '\xFF');
    const Case cases[] = {
        {"bad magic", "X" + plain.substr(1), "magic"},
        {"version", patched(4, 99), "version"},
        {"directory size", patched(12, 0x7FFFFFF0), "directory"},
        {"entry count", patched(8, 0xFFFFFFFF), "entry count"},
        {"count mismatch", patched(8, 4), "directory size"},  // one entry fewer than the directory holds
        {"truncated data", plain.substr(0, plain.size() - 3), "outside the file"},
        {"truncated directory", plain.substr(0, 40), "directory"},
        {"header only", plain.substr(0, 10), "too short"},
        {"empty", std::string(), "too short"},
        {"entry offset", farOffset, "outside the file"},
        {"name length", longName, "name length"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        mFolder.Write("bad.pak", Flip(c.plainBytes));
        PakInterface pak;
        EXPECT_FALSE(pak.AddPakFile(mFolder / "bad.pak"));
        EXPECT_NE(pak.GetLastPakError().find(c.reason), std::string::npos) << pak.GetLastPakError();
        EXPECT_NE(pak.GetLastPakError().find("bad.pak"), std::string::npos);
        EXPECT_EQ(ReadPath(pak, mFolder / "readme.txt"), "<absent>");
    }
    PakInterface pak;
    EXPECT_FALSE(pak.AddPakFile(mFolder / "absent.pak"));
    EXPECT_NE(pak.GetLastPakError().find("cannot open"), std::string::npos);
}

// The game data folder packed into main.pak, with nothing else beside it,
// serves every file of the folder byte for byte.
TEST_F(PakTest, TheGameDataPackedAloneServesEveryFile) {
    std::string error;
    ASSERT_TRUE(BuildPakFromFolder(GameData(), mFolder / "main.pak", &error)) << error;
    CurrentFolder here(mFolder.Path());
    UsePakInterface use(mPak);
    EXPECT_FALSE(DataFileExists("properties/constants.xml"));
    ASSERT_TRUE(mPak.AddPakFile("main.pak")) << mPak.GetLastPakError();
    int files = 0;
    std::function<void(const std::string&)> compare = [&](const std::string& folder) {
        std::vector<DirEntry> entries;
        PlatformListDirectory(GameData() + folder, entries);
        for (const DirEntry& entry : entries) {
            if (entry.isDirectory) {
                compare(folder + entry.name + "/");
                continue;
            }
            std::string loose, packed;
            ASSERT_TRUE(ReadFileToString(GameData() + folder + entry.name, loose));
            // Loaders name files in any case and with either separator.
            EXPECT_TRUE(ReadDataFile(ToUpper(folder) + "\\" + entry.name, packed)) << folder << entry.name;
            EXPECT_EQ(packed, loose) << folder << entry.name;
            ++files;
        }
    };
    compare("");
    EXPECT_GT(files, 100);
}

// The loading thread reads while the main thread does: both through one layer.
TEST_F(PakTest, SeveralThreadsRead) {
    Mount();
    for (int i = 0; i < 20; ++i) mFolder.Write("Loose/F" + std::to_string(i) + ".txt", std::to_string(i));
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 50; ++round) {
                int i = (round + t) % 20;
                if (ReadPath(mPak, mFolder / ("loose/f" + std::to_string(i) + ".TXT")) != std::to_string(i))
                    ++failures;
                if (ReadPath(mPak, mFolder / "README.TXT") != "0123456789") ++failures;
                if (round % 10 == 0) mPak.FlushDirectoryCache();
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(failures.load(), 0);
}

// main.pak cut short in place while it is open (a copy onto it empties it
// first): a read of it fails, with no bus error, later files of it are
// absent, and the layer names the archive that changed.
TEST_F(PakTest, AnArchiveCutShortWhileOpenFailsItsReads) {
    Mount();
    PFILE* open = mPak.FOpen((mFolder / "readme.txt").c_str(), "rb");
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(mPak.GetChangedPak(), "");
    std::fclose(std::fopen((mFolder / "main.pak").c_str(), "wb"));
    char buffer[16];
    EXPECT_EQ(mPak.FRead(buffer, 1, sizeof(buffer), open), 0u);
    EXPECT_NE(mPak.FEof(open), 0);
    mPak.FClose(open);
    EXPECT_EQ(mPak.GetChangedPak(), mFolder / "main.pak");
    EXPECT_EQ(ReadPath(mPak, mFolder / "properties/constants.xml"), "<absent>");
}

// Written over with other bytes of the same size: what was checked at the
// start is gone, so nothing more is read from it. A new archive renamed over
// the path leaves the open one whole.
TEST_F(PakTest, AnArchiveWrittenOverInPlaceIsNoLongerRead) {
    Mount();
    const std::string renamed = BuildPak({{"readme.txt", "renamed", 1}});
    mFolder.Write("next.pak", renamed);
    ASSERT_TRUE(PlatformRenameFile(mFolder / "next.pak", mFolder / "main.pak"));
    EXPECT_EQ(ReadPath(mPak, mFolder / "readme.txt"), "0123456789");
    EXPECT_EQ(mPak.GetChangedPak(), "");

    PakInterface pak;
    ASSERT_TRUE(pak.AddPakFile(mFolder / "main.pak")) << pak.GetLastPakError();
    EXPECT_EQ(ReadPath(pak, mFolder / "readme.txt"), "renamed");
    // File times move in steps of a few milliseconds.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    std::string other = BuildPak({{"readme.txt", "RENAMED", 1}});
    ASSERT_EQ(other.size(), renamed.size());
    FILE* file = std::fopen((mFolder / "main.pak").c_str(), "r+b");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(std::fwrite(other.data(), 1, other.size(), file), other.size());
    std::fclose(file);
    EXPECT_EQ(ReadPath(pak, mFolder / "readme.txt"), "<absent>");
    EXPECT_EQ(pak.GetChangedPak(), mFolder / "main.pak");
}

TEST(PakNormalizePathTest, ResolvesDotsAndSeparators) {
    EXPECT_EQ(PakNormalizePath("/a\\b//c/./d/../e"), "/a/b/c/e");
    EXPECT_EQ(PakNormalizePath("/../.."), "/");
    EXPECT_EQ(PakNormalizePath("rel"), PakNormalizePath(PlatformCurrentDirectory()) + "/rel");
}

}  // namespace
