#pragma once
#include <atomic>
#include <map>
#include <memory>
#include <set>
#include <shared_mutex>
#include <mutex>
#include <string>
#include <vector>

#include "data/AssetLookup.h"
#include "data/ImageData.h"

class Image;

// The set of asset names one screen needs, filled by PrepareAssetList on the
// main thread and loaded by LoadAssetList on a worker.
struct AssetList {
    // Assets of the list handled so far (loaded or failed) by LoadAssetList;
    // written by the loading thread, read it after the load has returned.
    int mHandledCount = 0;
    std::set<std::wstring> mImages;
    std::set<std::wstring> mSounds;
    std::set<std::wstring> mTracks;
    std::wstring mSetName;  // the asset set the list was prepared for
};

// Sound ids run from 0 to this bound less one; the sound manager's table has
// as many slots.
constexpr int kMaxAssetSounds = 1024;

// How the asset manager has sounds and music tracks loaded. The application
// supplies one that hands them to its sound manager and music interface;
// without one, sounds and tracks fail to load.
class AssetAudioLoader {
public:
    virtual ~AssetAudioLoader() = default;
    // pathWithoutExtension: the sound manager picks the file kind.
    virtual bool LoadSound(int id, const std::string& pathWithoutExtension) = 0;
    virtual bool LoadTrack(int id, const std::string& file, const std::wstring& group) = 0;
};

// One frame of an image's optional frame table.
struct AssetFrame {
    int mX = 0, mY = 0, mWidth = 0, mHeight = 0;
    bool operator==(const AssetFrame&) const = default;
};

// The definitions read from assets.xml.
struct AssetImageDef {
    std::wstring mName;
    std::string mFile;
    int mCols = 1, mRows = 1;
    std::vector<AssetFrame> mFrames;
};
struct AssetSoundDef {
    std::wstring mName;
    std::string mFile;  // without extension
    int mId = -1;
};
struct AssetTrackDef {
    std::wstring mName;
    std::string mFile;
    std::wstring mMusicGroup;
    int mId = -1;
};

// How the asset manager turns decoded pixels into images. The renderer
// supplies it; the image it returns frees itself the renderer's way. Called
// on loading threads, so it must not touch the GPU.
class AssetImageLoader {
public:
    virtual ~AssetImageLoader() = default;
    // Null when the pixels cannot make an image. `file` is where the pixels
    // came from, to be read again when the image wants them back.
    virtual std::shared_ptr<Image> MakeImage(ImageData&& data, const AssetImageDef& def,
                                             const std::string& file) = 0;
};

// The asset groups of assets.xml and the tables of loaded images, sounds and
// tracks. Definitions and tables are each built privately and published under
// their own lock, so the main thread can look names up while a loading thread
// fills them. Lookups never insert.
class AssetManager {
public:
    AssetManager();
    ~AssetManager();
    AssetManager(const AssetManager&) = delete;
    AssetManager& operator=(const AssetManager&) = delete;

    // Reads assets.xml (through the file access layer) and replaces the
    // definitions. False, with the file and line in *error, on any fault; the
    // old definitions then stay.
    bool LoadDefinitions(const std::string& path, std::string* error);
    bool LoadDefinitionsFromString(const std::string& xml, const std::string& nameForErrors,
                                   std::string* error);

    // Main thread: the assets of every group that belong to the named asset
    // set or to no set.
    void PrepareAssetList(const std::wstring& assetSetName, AssetList& list);
    // Any thread: loads the list's assets that belong to the group, each file
    // path prefixed with `prefix`. Stops between assets once *abort is true.
    // True when it got through the whole list.
    bool LoadAssetList(const std::string& prefix, AssetList* list, const std::atomic<bool>* abort,
                       const std::string& group);
    bool LoadAssetList(const std::string& prefix, AssetList* list, bool* abort, const std::string& group);

    // Every group marked always="true" (assets outside any set), on the
    // calling thread. True when each asset loaded; else the error names the
    // first asset that did not, with the reason.
    bool LoadAlwaysGroups(const std::string& prefix = std::string(), std::string* error = nullptr);
    // Prepares and loads one group for a set; true when each asset loaded.
    bool LoadGroup(const std::string& group, const std::wstring& assetSetName = std::wstring(),
                   const std::string& prefix = std::string(), std::string* error = nullptr);

    // Loads requested during start-up run later, when the game starts.
    void QueueGroupLoad(const std::string& group, const std::wstring& assetSetName = std::wstring(),
                        const std::string& prefix = std::string());
    int RunQueuedRequests();  // returns how many requests ran

    // Lookups.
    Image* FindImage(const std::wstring& name) const;
    int GetSoundId(const std::wstring& name) const;
    int GetTrackId(const std::wstring& name) const;
    bool HasGroup(const std::string& group) const;
    // The definition of an image, false when assets.xml has none.
    bool FindImageDef(const std::wstring& name, AssetImageDef& out) const;
    // Every image of the table, each once (names that share one count once).
    std::vector<std::shared_ptr<Image>> GetLoadedImages() const;

    // Not owned; null means sounds and tracks fail to load.
    void SetAudioLoader(AssetAudioLoader* loader);
    // Not owned; null means images fail to load.
    void SetImageLoader(AssetImageLoader* loader);
    // Puts an image into the table (owned from then on); used for images made
    // by code and by tests. Replaces an image of that name. A template so the
    // image's own type, known where it was made, frees it.
    template <class T>
    void AddImage(const std::wstring& name, T* image) {
        AddSharedImage(name, std::shared_ptr<Image>(image));
    }
    void AddSharedImage(const std::wstring& name, std::shared_ptr<Image> image);
    // Forgets every definition, image and id (shutdown, tests).
    void Clear();

    struct Definitions;

private:
    bool LoadImageAsset(const std::string& prefix, const AssetImageDef& def);
    bool LoadSoundAsset(const std::string& prefix, const AssetSoundDef& def);
    bool LoadTrackAsset(const std::string& prefix, const AssetTrackDef& def);
    bool LoadListEntries(const std::string& prefix, AssetList& list, const std::string& group,
                      const std::atomic<bool>* abort, const bool* plainAbort);
    std::shared_ptr<const Definitions> GetDefinitions() const;
    AssetAudioLoader* GetAudioLoader();
    AssetImageLoader* GetImageLoader();
    void RecordFailure(const char* kind, const std::string& name, const std::string& reason);
    std::string FailureOf(const char* kind, const std::string& name) const;

    mutable std::mutex mFailureLock;
    std::map<std::string, std::string> mFailures;  // "Image 'name'" -> why it did not load

    // Three locks: the definitions, the image table, the sound and track ids.
    mutable std::mutex mDefinitionLock;
    std::shared_ptr<const Definitions> mDefinitions;

    struct LoadedImage {
        std::shared_ptr<Image> mImage;
        std::string mFile;  // where it came from, to tell reloads from replacements
        // How it is cut: names of one file cut alike share one image.
        int mCols = 1, mRows = 1;
        std::vector<AssetFrame> mFrames;
    };
    // A loaded image of that file, cut as the definition asks; needs mImageLock.
    std::shared_ptr<Image> FindLoadedFile(const std::string& file, const AssetImageDef& def) const;
    void StoreImage(const AssetImageDef& def, const std::string& file, std::shared_ptr<Image> image);
    mutable std::shared_mutex mImageLock;
    std::map<std::wstring, LoadedImage> mImages;
    // Replaced images stay alive: screens may still hold them.
    std::vector<std::shared_ptr<Image>> mRetiredImages;
    AssetImageLoader* mImageLoader = nullptr;

    mutable std::shared_mutex mAudioLock;
    std::map<std::wstring, int> mSoundIds;
    std::map<std::wstring, int> mTrackIds;
    AssetAudioLoader* mAudioLoader = nullptr;

    std::mutex mQueueLock;
    struct QueuedLoad {
        std::string mGroup;
        std::wstring mSet;
        std::string mPrefix;
    };
    std::vector<QueuedLoad> mQueue;
};

// Always points at a usable instance.
extern AssetManager* gAssetManager;

// The image table: the named images of the asset tables (gAssetManager).
class ImageTable {
public:
    Image* Find(const std::wstring& name) const;
    bool Contains(const std::wstring& name) const { return Find(name) != nullptr; }
};
extern const ImageTable gImages;

