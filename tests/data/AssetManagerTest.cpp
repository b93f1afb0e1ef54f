#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <set>
#include <thread>

#include "audio/SoundFiles.h"
#include "core/StringUtil.h"
#include "data/AssetManager.h"
#include "render/AssetImages.h"
#include "render/Image.h"
#include "tests/data/DataFilesTestSupport.h"
#include "tests/support/TestOverlay.h"

using namespace datafiles_test;

namespace {

// Records what it is asked to load; names listed in mFail fail.
class FakeAudioLoader : public AssetAudioLoader {
public:
    bool LoadSound(int id, const std::string& path) override {
        mSounds[id] = path;
        if (mAbortAfterFirst) mAbortAfterFirst->store(true);
        return !mFail.count(path);
    }
    bool LoadTrack(int id, const std::string& file, const std::wstring& group) override {
        mTracks[id] = file;
        mTrackGroups[id] = group;
        return !mFail.count(file);
    }
    std::map<int, std::string> mSounds, mTracks;
    std::map<int, std::wstring> mTrackGroups;
    std::set<std::string> mFail;
    std::atomic<bool>* mAbortAfterFirst = nullptr;
};

// Loads the game's sounds as the sound manager would (any of its three
// forms must decode) and finds its tracks, without an audio device.
class DecodingAudioLoader : public AssetAudioLoader {
public:
    bool LoadSound(int, const std::string& path) override {
        PcmBuffer pcm;
        return soundfiles::ReadWav(path + ".wav", pcm) || soundfiles::ReadOgg(path + ".ogg", pcm) ||
               soundfiles::ReadAu(path + ".snd", pcm);
    }
    bool LoadTrack(int, const std::string& file, const std::wstring&) override {
        return gPakInterfaceP->FileExists(file);
    }
};

const char* const kAudioAssets = R"(
<assets>
  <group name="Global" always="true">
    <sound name="click" file="sounds/click"/>
    <sound name="boom" file="sounds/boom.wav"/>
    <sound name="broken" file="sounds/broken"/>
    <track name="menu" file="music/menu.ogg" group="music"/>
    <track name="lost" file="music/lost.ogg"/>
  </group>
  <group name="PlayAssets">
    <sound name="s1" file="a/s1"/>
    <sound name="s2" file="a/s2"/>
    <sound name="s3" file="a/s3"/>
  </group>
</assets>)";

// The sample pictures (test fixtures, not game data) in groups named as the
// game's, read from the game's data folder with the test overlay laid over it.
class AssetManagerTest : public QuietTest {
protected:
    void SetUp() override {
        QuietTest::SetUp();
        std::string error;
        mAssets.SetImageLoader(&RendererImageLoader());
        mAssets.SetAudioLoader(&mDecoding);
        ASSERT_TRUE(mAssets.LoadDefinitions(GameData() + "properties/assets_samples.xml", &error)) << error;
    }

    LaidTestOverlay mOverlay{GameData()};
    DecodingAudioLoader mDecoding;
    AssetManager mAssets;
};

// The audio definitions above, loaded through a fake loader.
class AssetAudioTest : public QuietTest {
protected:
    void SetUp() override {
        QuietTest::SetUp();
        std::string error;
        mAudio.SetImageLoader(&RendererImageLoader());
        mAudio.SetAudioLoader(&mLoader);
        ASSERT_TRUE(mAudio.LoadDefinitionsFromString(kAudioAssets, "audio.xml", &error)) << error;
    }

    FakeAudioLoader mLoader;
    AssetManager mAudio;
};

}  // namespace

TEST_F(AssetManagerTest, PrepareListsTheSetsAssetsOfEveryGroupAndLoadOneGroup) {
    AssetList list;
    mAssets.PrepareAssetList(L"meadow", list);
    EXPECT_EQ(list.mSetName, L"meadow");
    EXPECT_TRUE(list.mImages.count(L"sample_photo"));   // SetAssets, set meadow
    EXPECT_TRUE(list.mImages.count(L"sample_gray"));    // SetAssets, every set
    EXPECT_TRUE(list.mImages.count(L"sample_icon"));    // PlayAssets, every set
    EXPECT_TRUE(list.mImages.count(L"sample_rgba"));    // Global
    EXPECT_FALSE(list.mImages.count(L"sample_palette"));  // set harbor only
    EXPECT_FALSE(list.mImages.count(L"sample_rle"));      // set ipad only
    EXPECT_TRUE(mAssets.HasGroup("SetAssets"));
    EXPECT_FALSE(mAssets.HasGroup("NoSuchGroup"));
    std::atomic<bool> abort{false};
    EXPECT_TRUE(mAssets.LoadAssetList(GameData(), &list, &abort, "SetAssets"));
    EXPECT_EQ(list.mHandledCount, 2);  // sample_gray, sample_photo
    Image* photo = mAssets.FindImage(L"sample_photo");
    ASSERT_NE(photo, nullptr);
    EXPECT_EQ(photo->GetWidth(), 32);
    EXPECT_EQ(photo->mName, "sample_photo");
    EXPECT_NE(mAssets.FindImage(L"sample_gray"), nullptr);
    // Only the group asked for, and only the set's own entries.
    EXPECT_EQ(mAssets.FindImage(L"sample_icon"), nullptr);
    EXPECT_EQ(mAssets.FindImage(L"sample_palette"), nullptr);
    EXPECT_EQ(mAssets.FindImage(L"sample_rgba"), nullptr);
    // A second load of the same list keeps the same images.
    EXPECT_TRUE(mAssets.LoadAssetList(GameData(), &list, &abort, "SetAssets"));
    EXPECT_EQ(mAssets.FindImage(L"sample_photo"), photo);
}

TEST_F(AssetManagerTest, AlwaysGroupWithGridsAndFrameTables) {
    EXPECT_TRUE(mAssets.LoadAlwaysGroups(GameData()));
    Image* cels = mAssets.FindImage(L"sample_cels");
    ASSERT_NE(cels, nullptr);
    EXPECT_EQ(cels->GetCelWidth(), 16);
    EXPECT_EQ(cels->GetCelHeight(), 16);
    EXPECT_EQ(cels->GetCelCount(), 8);
    Image* strip = mAssets.FindImage(L"sample_strip");
    ASSERT_NE(strip, nullptr);
    ASSERT_EQ(strip->GetFrames().size(), 3u);
    EXPECT_EQ(strip->GetCelRect(1), Rect(16, 0, 32, 16));
    EXPECT_NE(mAssets.FindImage(L"sample_masked"), nullptr);
    EXPECT_EQ(mAssets.FindImage(L"sample_gray"), nullptr);  // not an always group
}

TEST_F(AssetManagerTest, LookupsOfAbsentNamesInsertNothing) {
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(mAssets.FindImage(L"missing"), nullptr);
        EXPECT_EQ(mAssets.GetSoundId(L"missing"), -1);
        EXPECT_EQ(mAssets.GetTrackId(L"missing"), -1);
    }
    AssetImageDef def;
    EXPECT_TRUE(mAssets.FindImageDef(L"sample_cels", def));
    EXPECT_EQ(def.mCols, 4);
    EXPECT_FALSE(mAssets.FindImageDef(L"missing", def));
    // The global functions read the global manager.
    AssetManager* saved = gAssetManager;
    gAssetManager = &mAssets;
    ASSERT_TRUE(mAssets.LoadGroup("PlayAssets", L"ipad", GameData()));
    EXPECT_NE(FindImage(L"sample_rle"), nullptr);
    EXPECT_NE(gImages.Find(L"sample_deep"), nullptr);
    EXPECT_FALSE(gImages.Contains(L"missing"));
    gAssetManager = saved;
}

TEST_F(AssetManagerTest, AbortFlagStopsTheLoad) {
    AssetList list;
    mAssets.PrepareAssetList(L"ipad", list);
    std::atomic<bool> abort{true};
    EXPECT_FALSE(mAssets.LoadAssetList(GameData(), &list, &abort, "PlayAssets"));
    EXPECT_EQ(list.mHandledCount, 0);
    EXPECT_EQ(mAssets.FindImage(L"sample_icon"), nullptr);
    bool plainAbort = true;
    EXPECT_FALSE(mAssets.LoadAssetList(GameData(), &list, &plainAbort, "PlayAssets"));
    plainAbort = false;
    EXPECT_TRUE(mAssets.LoadAssetList(GameData(), &list, &plainAbort, "PlayAssets"));
    // Every asset of the group was handled: sample_icon and set ipad's three.
    EXPECT_EQ(list.mHandledCount, 4);
    EXPECT_NE(mAssets.FindImage(L"sample_icon"), nullptr);
}

TEST_F(AssetAudioTest, AbortSetWhileLoadingFinishesOnlyTheAssetInHand) {
    std::atomic<bool> stop{false};
    mLoader.mAbortAfterFirst = &stop;
    AssetList sounds;
    mAudio.PrepareAssetList(L"", sounds);
    EXPECT_FALSE(mAudio.LoadAssetList("", &sounds, &stop, "PlayAssets"));
    EXPECT_EQ(mLoader.mSounds.size(), 1u);
    EXPECT_GE(mAudio.GetSoundId(L"s1"), 0);
    EXPECT_EQ(mAudio.GetSoundId(L"s2"), -1);
}

TEST_F(AssetAudioTest, SoundsAndTracksGoThroughTheAudioLoader) {
    mLoader.mFail = {"sounds/broken", "music/lost.ogg"};
    EXPECT_EQ(mAudio.GetSoundId(L"click"), -1);  // defined but not loaded yet
    EXPECT_FALSE(mAudio.LoadAlwaysGroups());     // two of them fail
    EXPECT_EQ(mAudio.GetSoundId(L"click"), 0);
    EXPECT_EQ(mAudio.GetSoundId(L"boom"), 1);
    EXPECT_EQ(mLoader.mSounds[1], "sounds/boom");  // the extension is the sound manager's choice
    EXPECT_EQ(mAudio.GetSoundId(L"broken"), -1);
    EXPECT_EQ(mAudio.GetTrackId(L"menu"), 0);
    EXPECT_EQ(mLoader.mTrackGroups[0], L"music");
    EXPECT_EQ(mAudio.GetTrackId(L"lost"), -1);
    // Without a loader of its own and without sound devices, loads fail.
    mAudio.SetAudioLoader(nullptr);
    EXPECT_FALSE(mAudio.LoadGroup("PlayAssets"));
    EXPECT_EQ(mAudio.GetSoundId(L"s1"), -1);
}

TEST_F(AssetManagerTest, QueuedRequestsRunWhenAsked) {
    mAssets.QueueGroupLoad("PlayAssets", L"ipad", GameData());
    mAssets.QueueGroupLoad("SetAssets", L"harbor", GameData());
    EXPECT_EQ(mAssets.FindImage(L"sample_icon"), nullptr);
    EXPECT_EQ(mAssets.RunQueuedRequests(), 2);
    EXPECT_NE(mAssets.FindImage(L"sample_icon"), nullptr);
    EXPECT_NE(mAssets.FindImage(L"sample_palette"), nullptr);
    EXPECT_EQ(mAssets.RunQueuedRequests(), 0);
}

TEST_F(AssetManagerTest, WorkerThreadLoadsWhileTheMainThreadLooks) {
    AssetList list;
    mAssets.PrepareAssetList(L"ipad", list);
    std::atomic<bool> abort{false};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        mAssets.LoadAssetList(GameData(), &list, &abort, "PlayAssets");
        mAssets.LoadAssetList(GameData(), &list, &abort, "Global");
        done = true;
    });
    // At least one look, however quick the worker is.
    int lookups = 0;
    do {
        Image* image = mAssets.FindImage(L"sample_rle");
        if (image) {
            EXPECT_EQ(image->GetWidth(), 8);
        }
        ++lookups;
    } while (!done);
    worker.join();
    EXPECT_GT(lookups, 0);
    EXPECT_NE(mAssets.FindImage(L"sample_rle"), nullptr);
    EXPECT_NE(mAssets.FindImage(L"sample_cels"), nullptr);
}

TEST_F(AssetManagerTest, SameNameInTwoSetsReplacesButKeepsTheOldImageAlive) {
    const char* xml = R"(<assets><group name="G">
        <set name="a"><image name="bg" file="images/sample_gray"/></set>
        <set name="b"><image name="bg" file="images/sample_rgba"/></set>
        <image name="missing" file="images/not_there"/>
      </group></assets>)";
    std::string error;
    ASSERT_TRUE(mAssets.LoadDefinitionsFromString(xml, "sets.xml", &error)) << error;
    EXPECT_FALSE(mAssets.LoadGroup("G", L"a", GameData()));  // "missing" fails
    Image* first = mAssets.FindImage(L"bg");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetWidth(), 16);
    EXPECT_EQ(mAssets.FindImage(L"missing"), nullptr);
    mAssets.LoadGroup("G", L"b", GameData());
    Image* second = mAssets.FindImage(L"bg");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->GetWidth(), 32);
    EXPECT_EQ(first->GetWidth(), 16);  // still a live object
}

// Two names of one file cut alike are one image (decoded once, one texture);
// cut another way, the file makes an image of its own.
TEST_F(AssetManagerTest, NamesOfOneFileCutAlikeShareOneImage) {
    const char* xml = R"(<assets>
        <group name="A"><image name="quilt" file="images/sample_gray"/></group>
        <group name="B">
          <image name="backdrop" file="images/sample_gray"/>
          <image name="halves" file="images/sample_gray" cols="2"/>
        </group></assets>)";
    std::string error;
    ASSERT_TRUE(mAssets.LoadDefinitionsFromString(xml, "shared.xml", &error)) << error;
    EXPECT_TRUE(mAssets.LoadGroup("A", L"", GameData()));
    EXPECT_TRUE(mAssets.LoadGroup("B", L"", GameData()));
    Image* quilt = mAssets.FindImage(L"quilt");
    ASSERT_NE(quilt, nullptr);
    EXPECT_EQ(mAssets.FindImage(L"backdrop"), quilt);
    Image* halves = mAssets.FindImage(L"halves");
    ASSERT_NE(halves, nullptr);
    EXPECT_NE(halves, quilt);
    EXPECT_EQ(halves->GetCelCount(), 2);
    EXPECT_EQ(quilt->GetCelCount(), 1);
}

TEST_F(AssetManagerTest, BadDefinitionsFailWithFileAndLine) {
    struct Case {
        const char* xml;
        const char* message;
    };
    const Case cases[] = {
        {"<assets><group name=\"G\">\n<image name=\"a\" file=\"x\"/>\n<image name=\"a\" file=\"y\"/></group></assets>",
         "defined twice on Line 3"},
        {"<assets><group name=\"G\"><image name=\"a\"/></group></assets>", "without a file"},
        {"<assets><image name=\"a\" file=\"x\"/></assets>", "outside a group"},
        {"<assets><group name=\"G\"><frame x=\"0\" y=\"0\" w=\"1\" h=\"1\"/></group></assets>",
         "frame outside an image"},
        {"<assets><group name=\"G\"><image name=\"a\" file=\"x\"><frame w=\"0\" h=\"4\"/></image></group></assets>",
         "empty or negative"},
        {"<assets><group name=\"G\"><image name=\"a\" file=\"x\" cols=\"0\"/></group></assets>", "cel grid"},
        {"<assets><group name=\"G\"/><group name=\"G\"/></assets>", "defined twice"},
        {"<assets><group name=\"G\"><set name=\"s\"><set name=\"t\"/></set></group></assets>", "do not nest"},
        {"<assets><group name=\"G\"><picture/></group></assets>", "unknown element"},
        {"<assets><group name=\"G\">", "bad.xml"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(mAssets.LoadDefinitionsFromString(c.xml, "bad.xml", &error)) << c.xml;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        EXPECT_NE(error.find("bad.xml"), std::string::npos) << error;
    }
    // A failed load keeps the definitions that were there.
    EXPECT_TRUE(mAssets.HasGroup("PlayAssets"));
    std::string error;
    EXPECT_FALSE(mAssets.LoadDefinitions(GameData() + "properties/no_such_assets.xml", &error));
    EXPECT_TRUE(mAssets.HasGroup("PlayAssets"));
    // The same name in different sets is allowed.
    EXPECT_TRUE(mAssets.LoadDefinitionsFromString(
        "<assets><group name=\"G\"><image name=\"a\" file=\"x\"/></group>"
        "<group name=\"H\"><set name=\"s\"><image name=\"a\" file=\"y\"/></set></group></assets>",
        "ok.xml", &error))
        << error;
}

// A huge name in a refused definition is quoted by its start only, so the
// file and the line still end the message.
TEST_F(AssetManagerTest, AHugeNameIsQuotedShort) {
    const std::string huge(200000, 'n');
    for (const std::string& xml :
         {"<assets><group name=\"G\">\n<image name=\"" + huge + "\"/></group></assets>",
          "<assets><group name=\"" + huge + "\"/>\n<group name=\"" + huge + "\"/></assets>"}) {
        std::string error;
        EXPECT_FALSE(mAssets.LoadDefinitionsFromString(xml, "huge.xml", &error));
        EXPECT_LT(error.size(), 300u) << error.substr(0, 300);
        EXPECT_NE(error.find("'" + std::string(kQuotedValueLimit, 'n') + "...'"), std::string::npos) << error;
        const std::string tail = " on Line 2 in File 'huge.xml'";
        ASSERT_GE(error.size(), tail.size());
        EXPECT_EQ(error.substr(error.size() - tail.size()), tail) << error;
    }
}

TEST_F(AssetManagerTest, LoadsDefinitionsAndImagesFromThePak) {
    ScratchFolder temp("assetpak");
    std::string error;
    ASSERT_TRUE(BuildPakFromFolder(GameData(), temp / "main.pak", &error)) << error;
    ASSERT_TRUE(BuildPakFromFolder(TestOverlayFolder(), temp / "samples.pak", &error)) << error;
    PakInterface layer;
    ASSERT_TRUE(layer.AddPakFile(temp / "main.pak"));
    ASSERT_TRUE(layer.AddPakFile(temp / "samples.pak"));
    UsePakInterface use(layer);
    // Nothing of the data is loose in the temporary folder: all comes from the paks.
    AssetManager fromPak;
    fromPak.SetImageLoader(&RendererImageLoader());
    fromPak.SetAudioLoader(&mDecoding);
    auto loadGroups = [&](const std::string& definitions) {
        SCOPED_TRACE(definitions);
        EXPECT_TRUE(fromPak.LoadDefinitions(temp / definitions, &error)) << error;
        EXPECT_TRUE(fromPak.LoadAlwaysGroups(temp.Path() + "/"));
        EXPECT_TRUE(fromPak.LoadGroup("PlayAssets", L"ipad", temp.Path() + "/"));
        EXPECT_TRUE(fromPak.LoadGroup("SetAssets", L"harbor", temp.Path() + "\\"));
    };
    loadGroups("properties/assets.xml");
    for (const wchar_t* name : {L"Dialog", L"G5Numbers_ipad", L"select_bg_harbor"})
        EXPECT_NE(fromPak.FindImage(name), nullptr) << WStringToString(name);
    // Every kind of picture the readers take, from the second archive.
    loadGroups("properties/assets_samples.xml");
    for (const wchar_t* name : {L"sample_rgba", L"sample_masked", L"sample_cels", L"sample_icon",
                                L"sample_rle", L"sample_plain", L"sample_deep", L"sample_gray",
                                L"sample_palette"}) {
        EXPECT_NE(fromPak.FindImage(name), nullptr) << WStringToString(name);
    }
}
