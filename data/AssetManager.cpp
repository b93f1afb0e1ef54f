#include "data/AssetManager.h"

#include <algorithm>

#include "core/FileUtil.h"
#include "core/Log.h"
#include "core/StringUtil.h"
#include "data/Parser.h"

namespace {

// One entry of a group: which asset, and the set it belongs to ("" = all).
struct GroupEntry {
    enum Kind { ImageAsset, SoundAsset, TrackAsset } mKind;
    size_t mIndex;  // into the definition vectors
    std::wstring mSet;
};

}  // namespace

struct AssetManager::Definitions {
    std::vector<AssetImageDef> mImages;
    std::vector<AssetSoundDef> mSounds;
    std::vector<AssetTrackDef> mTracks;
    struct Group {
        std::string mName;
        bool mAlways = false;
        std::vector<GroupEntry> mEntries;
    };
    std::vector<Group> mGroups;

    const Group* FindGroup(const std::string& name) const {
        for (const Group& g : mGroups)
            if (g.mName == name) return &g;
        return nullptr;
    }
};

namespace {

// Reads assets.xml into a private Definitions:
//   <assets>
//     <group name="..." [always="true"]>
//       <image name file [cols] [rows]> [<frame x y w h/>...] </image>
//       <sound name file/>
//       <track name file [group]/>
//       <set name="..."> the same elements, for that asset set only </set>
//     </group>
//   </assets>
class AssetsParser : public Parser {
public:
    explicit AssetsParser(AssetManager::Definitions& defs) : mDefs(defs) {}

protected:
    bool OnElementStart(const XMLElement& e) override {
        const std::wstring& n = e.mName;
        if (n == L"assets") return true;
        if (n == L"group") return StartGroup();
        if (!mGroup) return Fail(QuoteValue(n) + " outside a group");
        if (n == L"set") {
            if (!mSet.empty()) return Fail("sets do not nest");
            mSet = GetAttribute(L"name");
            if (mSet.empty()) return Fail("set without a name");
            return true;
        }
        if (n == L"image") return AddImage();
        if (n == L"frame") return AddFrame();
        if (n == L"sound") return AddSound();
        if (n == L"track") return AddTrack();
        return Fail("unknown element " + QuoteValue(n));
    }

    bool OnElementEnd(const XMLElement& e) override {
        if (e.mName == L"group") mGroup = nullptr;
        if (e.mName == L"set") mSet.clear();
        if (e.mName == L"image") mImage = nullptr;
        return true;
    }

private:
    bool Fail(const std::string& message) {
        SetError(message);
        return false;
    }

    bool StartGroup() {
        if (mGroup) return Fail("groups do not nest");
        std::string name = WStringToString(GetAttribute(L"name"));
        if (name.empty()) return Fail("group without a name");
        if (mDefs.FindGroup(name)) return Fail("group " + QuoteValue(name) + " defined twice");
        mDefs.mGroups.push_back({name, GetBoolAttribute(L"always"), {}});
        mGroup = &mDefs.mGroups.back();
        return true;
    }

    // A name may appear once per asset set, across all groups.
    bool Claim(const std::wstring& kind, const std::wstring& name) {
        if (name.empty()) return Fail(WStringToString(kind) + " without a name");
        if (!HasAttribute(L"file") || GetAttribute(L"file").empty()) {
            return Fail(WStringToString(kind) + " " + QuoteValue(name) + " without a file");
        }
        if (!mClaimed.insert(kind + L"\n" + mSet + L"\n" + name).second) {
            return Fail(WStringToString(kind) + " " + QuoteValue(name) + " defined twice");
        }
        return true;
    }

    bool AddImage() {
        AssetImageDef def;
        def.mName = GetAttribute(L"name");
        if (!Claim(L"image", def.mName)) return false;
        def.mFile = WStringToString(GetAttribute(L"file"));
        def.mCols = HasAttribute(L"cols") ? GetIntAttribute(L"cols") : 1;
        def.mRows = HasAttribute(L"rows") ? GetIntAttribute(L"rows") : 1;
        if (def.mCols < 1 || def.mRows < 1 || def.mCols > 4096 || def.mRows > 4096) {
            return Fail("image " + QuoteValue(def.mName) + " has a bad cel grid");
        }
        mDefs.mImages.push_back(std::move(def));
        mGroup->mEntries.push_back({GroupEntry::ImageAsset, mDefs.mImages.size() - 1, mSet});
        mImage = &mDefs.mImages.back();
        return true;
    }

    bool AddFrame() {
        if (!mImage) return Fail("frame outside an image");
        AssetFrame f;
        f.mX = GetIntAttribute(L"x");
        f.mY = GetIntAttribute(L"y");
        f.mWidth = GetIntAttribute(L"w");
        f.mHeight = GetIntAttribute(L"h");
        if (f.mX < 0 || f.mY < 0 || f.mWidth <= 0 || f.mHeight <= 0) {
            return Fail("frame of image " + QuoteValue(mImage->mName) + " is empty or negative");
        }
        mImage->mFrames.push_back(f);
        return true;
    }

    bool AddSound() {
        AssetSoundDef def;
        def.mName = GetAttribute(L"name");
        if (!Claim(L"sound", def.mName)) return false;
        def.mFile = WStringToString(GetAttribute(L"file"));
        // The sound manager picks the kind of file: the path goes without one.
        std::string ext = GetFileExtension(def.mFile);
        if (ext == "wav" || ext == "ogg" || ext == "snd" || ext == "au") {
            def.mFile.resize(def.mFile.size() - ext.size() - 1);
        }
        def.mId = static_cast<int>(mDefs.mSounds.size());
        if (def.mId >= kMaxAssetSounds) return Fail("too many sounds");
        mDefs.mSounds.push_back(std::move(def));
        mGroup->mEntries.push_back({GroupEntry::SoundAsset, mDefs.mSounds.size() - 1, mSet});
        return true;
    }

    bool AddTrack() {
        AssetTrackDef def;
        def.mName = GetAttribute(L"name");
        if (!Claim(L"track", def.mName)) return false;
        def.mFile = WStringToString(GetAttribute(L"file"));
        def.mMusicGroup = GetAttribute(L"group");
        def.mId = static_cast<int>(mDefs.mTracks.size());
        mDefs.mTracks.push_back(std::move(def));
        mGroup->mEntries.push_back({GroupEntry::TrackAsset, mDefs.mTracks.size() - 1, mSet});
        return true;
    }

    AssetManager::Definitions& mDefs;
    AssetManager::Definitions::Group* mGroup = nullptr;
    AssetImageDef* mImage = nullptr;
    std::wstring mSet;
    std::set<std::wstring> mClaimed;
};

// Never destroyed: images may outlive main in screens' static tables, and the
// application releases the tables itself (Clear) while the renderer lives.
AssetManager& DefaultAssetManager() {
    static AssetManager* manager = new AssetManager();
    return *manager;
}

bool AbortRequested(const std::atomic<bool>* abort, const bool* plainAbort) {
    if (abort && abort->load()) return true;
    // The loading screens hand over a plain flag that the main thread sets.
    if (plainAbort && std::atomic_ref<bool>(*const_cast<bool*>(plainAbort)).load()) return true;
    return false;
}

}  // namespace

AssetManager* gAssetManager = &DefaultAssetManager();
const ImageTable gImages;

AssetManager::AssetManager() : mDefinitions(std::make_shared<Definitions>()) {}

AssetManager::~AssetManager() = default;

bool AssetManager::LoadDefinitions(const std::string& path, std::string* error) {
    auto defs = std::make_shared<Definitions>();
    AssetsParser parser(*defs);
    if (!parser.LoadFile(path)) {
        if (error) *error = parser.GetErrorText();
        DebugPrintf("%s\n", parser.GetErrorText().c_str());
        return false;
    }
    std::lock_guard<std::mutex> lock(mDefinitionLock);
    mDefinitions = std::move(defs);
    return true;
}

bool AssetManager::LoadDefinitionsFromString(const std::string& xml, const std::string& nameForErrors,
                                             std::string* error) {
    auto defs = std::make_shared<Definitions>();
    AssetsParser parser(*defs);
    if (!parser.LoadFromString(xml, nameForErrors)) {
        if (error) *error = parser.GetErrorText();
        return false;
    }
    std::lock_guard<std::mutex> lock(mDefinitionLock);
    mDefinitions = std::move(defs);
    return true;
}

std::shared_ptr<const AssetManager::Definitions> AssetManager::GetDefinitions() const {
    std::lock_guard<std::mutex> lock(mDefinitionLock);
    return mDefinitions;
}

void AssetManager::PrepareAssetList(const std::wstring& assetSetName, AssetList& list) {
    auto defs = GetDefinitions();
    list = AssetList();
    list.mSetName = assetSetName;
    for (const Definitions::Group& group : defs->mGroups) {
        for (const GroupEntry& e : group.mEntries) {
            if (!e.mSet.empty() && e.mSet != assetSetName) continue;
            switch (e.mKind) {
                case GroupEntry::ImageAsset: list.mImages.insert(defs->mImages[e.mIndex].mName); break;
                case GroupEntry::SoundAsset: list.mSounds.insert(defs->mSounds[e.mIndex].mName); break;
                case GroupEntry::TrackAsset: list.mTracks.insert(defs->mTracks[e.mIndex].mName); break;
            }
        }
    }
}

bool AssetManager::LoadAssetList(const std::string& prefix, AssetList* list,
                                 const std::atomic<bool>* abort, const std::string& group) {
    return list && LoadListEntries(prefix, *list, group, abort, nullptr);
}

bool AssetManager::LoadAssetList(const std::string& prefix, AssetList* list, bool* abort,
                                 const std::string& group) {
    return list && LoadListEntries(prefix, *list, group, nullptr, abort);
}

bool AssetManager::LoadListEntries(const std::string& prefix, AssetList& list, const std::string& group,
                                const std::atomic<bool>* abort, const bool* plainAbort) {
    auto defs = GetDefinitions();
    const Definitions::Group* g = defs->FindGroup(group);
    if (!g) {
        DebugPrintf("Asset group '%s' is not defined\n", group.c_str());
        return true;
    }
    bool allLoaded = true;
    for (const GroupEntry& e : g->mEntries) {
        if (AbortRequested(abort, plainAbort)) return false;
        // Entries of other sets share names with this set's; only the set's
        // own (or set-less) entries count.
        if (!e.mSet.empty() && e.mSet != list.mSetName) continue;
        switch (e.mKind) {
            case GroupEntry::ImageAsset: {
                const AssetImageDef& def = defs->mImages[e.mIndex];
                if (!list.mImages.count(def.mName)) continue;
                allLoaded &= LoadImageAsset(prefix, def);
                break;
            }
            case GroupEntry::SoundAsset: {
                const AssetSoundDef& def = defs->mSounds[e.mIndex];
                if (!list.mSounds.count(def.mName)) continue;
                allLoaded &= LoadSoundAsset(prefix, def);
                break;
            }
            case GroupEntry::TrackAsset: {
                const AssetTrackDef& def = defs->mTracks[e.mIndex];
                if (!list.mTracks.count(def.mName)) continue;
                allLoaded &= LoadTrackAsset(prefix, def);
                break;
            }
        }
        ++list.mHandledCount;
    }
    if (!allLoaded) DebugPrintf("Some assets of group '%s' failed to load\n", group.c_str());
    return true;
}

bool AssetManager::LoadImageAsset(const std::string& prefix, const AssetImageDef& def) {
    const std::string file = prefix + def.mFile;
    std::shared_ptr<Image> image;
    {
        std::shared_lock<std::shared_mutex> lock(mImageLock);
        auto it = mImages.find(def.mName);
        if (it != mImages.end() && it->second.mFile == file) return true;  // already there
        // Another name of the same picture (the title's backdrop is the main
        // menu's): one decoded image, one texture.
        image = FindLoadedFile(file, def);
    }
    if (image) {
        StoreImage(def, file, std::move(image));
        return true;
    }
    // Decoding happens here, on the loading thread, outside every lock.
    ImageData data;
    std::string error;
    if (!LoadImageData(file, data, &error)) {
        RecordFailure("Image", WStringToString(def.mName), error);
        return false;
    }
    AssetImageLoader* loader = GetImageLoader();
    if (!loader) {
        DebugPrintf("Image '%s': no image loader\n", WStringToString(def.mName).c_str());
        return false;
    }
    image = loader->MakeImage(std::move(data), def, file);
    if (!image) return false;
    StoreImage(def, file, std::move(image));
    return true;
}

std::shared_ptr<Image> AssetManager::FindLoadedFile(const std::string& file, const AssetImageDef& def) const {
    for (const auto& [name, loaded] : mImages) {
        if (loaded.mFile == file && loaded.mCols == def.mCols && loaded.mRows == def.mRows &&
            loaded.mFrames == def.mFrames)
            return loaded.mImage;
    }
    return nullptr;
}

void AssetManager::StoreImage(const AssetImageDef& def, const std::string& file, std::shared_ptr<Image> image) {
    std::unique_lock<std::shared_mutex> lock(mImageLock);
    // Another thread may have decoded the same picture meanwhile: the first
    // one stays, so the names still share it.
    if (std::shared_ptr<Image> first = FindLoadedFile(file, def)) image = std::move(first);
    LoadedImage& slot = mImages[def.mName];
    if (slot.mImage == image) return;
    if (slot.mImage) mRetiredImages.push_back(std::move(slot.mImage));
    slot.mImage = std::move(image);
    slot.mFile = file;
    slot.mCols = def.mCols;
    slot.mRows = def.mRows;
    slot.mFrames = def.mFrames;
}

bool AssetManager::LoadSoundAsset(const std::string& prefix, const AssetSoundDef& def) {
    {
        std::shared_lock<std::shared_mutex> lock(mAudioLock);
        auto it = mSoundIds.find(def.mName);
        if (it != mSoundIds.end() && it->second >= 0) return true;
    }
    AssetAudioLoader* loader = GetAudioLoader();
    bool ok = loader && loader->LoadSound(def.mId, prefix + def.mFile);
    if (!ok) RecordFailure("Sound", prefix + def.mFile, "failed to load");
    std::unique_lock<std::shared_mutex> lock(mAudioLock);
    mSoundIds[def.mName] = ok ? def.mId : -1;
    return ok;
}

bool AssetManager::LoadTrackAsset(const std::string& prefix, const AssetTrackDef& def) {
    {
        std::shared_lock<std::shared_mutex> lock(mAudioLock);
        auto it = mTrackIds.find(def.mName);
        if (it != mTrackIds.end() && it->second >= 0) return true;
    }
    AssetAudioLoader* loader = GetAudioLoader();
    bool ok = loader && loader->LoadTrack(def.mId, prefix + def.mFile, def.mMusicGroup);
    if (!ok) RecordFailure("Track", prefix + def.mFile, "failed to load");
    std::unique_lock<std::shared_mutex> lock(mAudioLock);
    mTrackIds[def.mName] = ok ? def.mId : -1;
    return ok;
}

bool AssetManager::LoadAlwaysGroups(const std::string& prefix, std::string* error) {
    auto defs = GetDefinitions();
    bool ok = true;
    for (const Definitions::Group& g : defs->mGroups) {
        if (g.mAlways) ok &= LoadGroup(g.mName, std::wstring(), prefix, ok ? error : nullptr);
    }
    return ok;
}

// Why an asset did not load, kept for the message that names it: the log
// line alone is not enough when the start-up stops on it.
void AssetManager::RecordFailure(const char* kind, const std::string& name, const std::string& reason) {
    const std::string key = std::string(kind) + " '" + name + "'";
    DebugPrintf("%s: %s\n", key.c_str(), reason.c_str());
    std::lock_guard<std::mutex> lock(mFailureLock);
    mFailures[key] = key + ": " + reason;
}

std::string AssetManager::FailureOf(const char* kind, const std::string& name) const {
    const std::string key = std::string(kind) + " '" + name + "'";
    std::lock_guard<std::mutex> lock(mFailureLock);
    auto found = mFailures.find(key);
    return found != mFailures.end() ? found->second : key + ": did not load";
}

bool AssetManager::LoadGroup(const std::string& group, const std::wstring& assetSetName,
                             const std::string& prefix, std::string* error) {
    AssetList list;
    PrepareAssetList(assetSetName, list);
    // Failures of single assets are reported by their ids and FindImage; here
    // they are counted by comparing what the tables now hold.
    LoadAssetList(prefix, &list, static_cast<const std::atomic<bool>*>(nullptr), group);
    auto defs = GetDefinitions();
    const Definitions::Group* g = defs->FindGroup(group);
    if (!g) return false;
    for (const GroupEntry& e : g->mEntries) {
        if (!e.mSet.empty() && e.mSet != assetSetName) continue;
        switch (e.mKind) {
            case GroupEntry::ImageAsset:
                if (FindImage(defs->mImages[e.mIndex].mName)) break;
                if (error) *error = FailureOf("Image", WStringToString(defs->mImages[e.mIndex].mName));
                return false;
            case GroupEntry::SoundAsset:
                if (GetSoundId(defs->mSounds[e.mIndex].mName) >= 0) break;
                if (error) *error = FailureOf("Sound", prefix + defs->mSounds[e.mIndex].mFile);
                return false;
            case GroupEntry::TrackAsset:
                if (GetTrackId(defs->mTracks[e.mIndex].mName) >= 0) break;
                if (error) *error = FailureOf("Track", prefix + defs->mTracks[e.mIndex].mFile);
                return false;
        }
    }
    return true;
}

void AssetManager::QueueGroupLoad(const std::string& group, const std::wstring& assetSetName,
                                  const std::string& prefix) {
    std::lock_guard<std::mutex> lock(mQueueLock);
    mQueue.push_back({group, assetSetName, prefix});
}

int AssetManager::RunQueuedRequests() {
    std::vector<QueuedLoad> queue;
    {
        std::lock_guard<std::mutex> lock(mQueueLock);
        queue.swap(mQueue);
    }
    for (const QueuedLoad& q : queue) LoadGroup(q.mGroup, q.mSet, q.mPrefix);
    return static_cast<int>(queue.size());
}

Image* AssetManager::FindImage(const std::wstring& name) const {
    std::shared_lock<std::shared_mutex> lock(mImageLock);
    auto it = mImages.find(name);
    return it == mImages.end() ? nullptr : it->second.mImage.get();
}

std::vector<std::shared_ptr<Image>> AssetManager::GetLoadedImages() const {
    std::vector<std::shared_ptr<Image>> images;
    std::shared_lock<std::shared_mutex> lock(mImageLock);
    images.reserve(mImages.size());
    for (const auto& [name, loaded] : mImages)
        if (loaded.mImage && std::find(images.begin(), images.end(), loaded.mImage) == images.end())
            images.push_back(loaded.mImage);
    return images;
}

int AssetManager::GetSoundId(const std::wstring& name) const {
    std::shared_lock<std::shared_mutex> lock(mAudioLock);
    auto it = mSoundIds.find(name);
    return it == mSoundIds.end() ? -1 : it->second;
}

int AssetManager::GetTrackId(const std::wstring& name) const {
    std::shared_lock<std::shared_mutex> lock(mAudioLock);
    auto it = mTrackIds.find(name);
    return it == mTrackIds.end() ? -1 : it->second;
}

bool AssetManager::HasGroup(const std::string& group) const {
    return GetDefinitions()->FindGroup(group) != nullptr;
}

bool AssetManager::FindImageDef(const std::wstring& name, AssetImageDef& out) const {
    auto defs = GetDefinitions();
    for (const AssetImageDef& def : defs->mImages) {
        if (def.mName == name) {
            out = def;
            return true;
        }
    }
    return false;
}

void AssetManager::SetAudioLoader(AssetAudioLoader* loader) {
    std::unique_lock<std::shared_mutex> lock(mAudioLock);
    mAudioLoader = loader;
}

AssetAudioLoader* AssetManager::GetAudioLoader() {
    std::shared_lock<std::shared_mutex> lock(mAudioLock);
    return mAudioLoader;
}

void AssetManager::SetImageLoader(AssetImageLoader* loader) {
    std::unique_lock<std::shared_mutex> lock(mImageLock);
    mImageLoader = loader;
}

AssetImageLoader* AssetManager::GetImageLoader() {
    std::shared_lock<std::shared_mutex> lock(mImageLock);
    return mImageLoader;
}

void AssetManager::AddSharedImage(const std::wstring& name, std::shared_ptr<Image> image) {
    std::unique_lock<std::shared_mutex> lock(mImageLock);
    LoadedImage& slot = mImages[name];
    if (slot.mImage) mRetiredImages.push_back(std::move(slot.mImage));
    slot.mImage = std::move(image);
    slot.mFile.clear();
}

void AssetManager::Clear() {
    {
        std::lock_guard<std::mutex> lock(mDefinitionLock);
        mDefinitions = std::make_shared<Definitions>();
    }
    {
        std::unique_lock<std::shared_mutex> lock(mImageLock);
        mImages.clear();
        mRetiredImages.clear();
    }
    {
        std::unique_lock<std::shared_mutex> lock(mAudioLock);
        mSoundIds.clear();
        mTrackIds.clear();
    }
    std::lock_guard<std::mutex> lock(mQueueLock);
    mQueue.clear();
}

Image* ImageTable::Find(const std::wstring& name) const { return gAssetManager->FindImage(name); }

Image* FindImage(const std::wstring& name) { return gAssetManager->FindImage(name); }
int GetSoundId(const std::wstring& name) { return gAssetManager->GetSoundId(name); }
int GetTrackId(const std::wstring& name) { return gAssetManager->GetTrackId(name); }
