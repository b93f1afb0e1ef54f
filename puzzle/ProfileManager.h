#pragma once
#include <string>
#include <vector>

#include "data/Parser.h"
#include "puzzle/PlayerState.h"

struct ProfileRecord {
    std::wstring mName;  // empty = free slot
    PlayerState mState;
};

// Always eight slots, in file order. Replaced whole only by PublishProfiles.
extern std::vector<ProfileRecord> gProfiles;
// The selected slot, -1 when none.
extern int gSelectedProfile;

// The slots and the stored selection as read from a profiles.xml text.
struct ProfileTable {
    std::vector<ProfileRecord> mProfiles;  // eight
    int mSelected = -1;
};

// What reading a profiles.xml text gives: the table, and when the XML is
// broken the error with file and line ("... on Line 3 in File '...'"); the
// table then holds what was read before the fault.
struct ProfilesRead {
    ProfileTable mTable;
    std::string mError;
};

// Reads and writes profiles.xml in the user data folder. Every save writes all
// eight slots in one atomic replace of the file. A damaged file is moved aside
// ("profiles.xml.damaged-<n>") before anything is written over it; one that
// exists but cannot be read (no permission, a folder, a FIFO, too large) is
// reported and left where it is, and nothing is saved over it.
class ProfileManager : public Parser {
public:
    static constexpr int kSlotCount = 8;
    static constexpr int kMaxCountry = 12;
    // Counters read from the file (hints, unlocks, best times) are kept in
    // 0..kMaxCount, far from where adding to them could overflow.
    static constexpr int kMaxCount = 1000000;

    // Makes the eight slots, reads the file and selects the stored profile.
    ProfileManager();
    // false: the slots are made but nothing is read (tests, fuzzing).
    explicit ProfileManager(bool loadNow);
    // The loading thread's reader: the slots and the stored selection index
    // are published, but nobody is made the player; the main thread does
    // that (PlayerProgress::SelectStoredProfile) once loading has finished.
    struct NoSelection {};
    explicit ProfileManager(NoSelection);

    static std::string GetProfilesPath();

    // The whole file text that Save writes.
    static std::string WriteXml();
    // How a save went. Skipped: nothing is to be written (screen-saver mode,
    // no slots, no user data folder). Blocked: the file could not be read or
    // kept aside at start, and nothing may replace it. Failed: the disk
    // refused the write; the old file is whole.
    enum class SaveResult { Written, Skipped, Blocked, Failed };
    // Writes the file; `reason` gets why a blocked or failed save did not.
    static SaveResult Save(std::string* reason);
    // True when the file was written.
    static bool Save();

    // Reads a profiles.xml text into a table of its own; gProfiles is not
    // touched.
    static ProfilesRead ReadProfiles(const std::string& bytes, const std::string& nameForErrors);
    // Makes the table gProfiles and gSelectedProfile in one step, under the
    // lock that Save takes too; the current-state pointers are cleared.
    static void PublishProfiles(ProfileTable table);

    // Reads and publishes a profiles.xml text (tests, fuzzing). False when
    // the XML is broken; what was read before the fault is published.
    bool LoadText(const std::string& bytes, const std::string& nameForErrors);

    static PlayerState* GetCurrentState();
    // A negative index selects nothing new (the selection stays).
    static void SelectProfile(int index);
    // Nothing selected at all: no current state and no player name (the
    // selected slot was freed).
    static void SelectNoProfile();
    static void SetProfileName(int slot, const std::wstring& name);
    static void RenameProfile(int slot, const std::wstring& name);
    static void CreateProfile(const std::wstring& name);
    static void ClearProfiles();

    // Why the file could not be read or was damaged; empty when it was sound.
    static const std::string& GetLoadProblem();
    // Where the last load moved a damaged file; empty when it moved none.
    static const std::string& GetLastDamagedCopy();
    // Where a damaged file was moved, empty when none was (for the report).
    const std::string& GetDamagedCopyPath() const { return mDamagedCopy; }
    // A file that could not be read, or a damaged one that could not be moved
    // aside, blocks every save, so defaults never replace what the player may
    // still recover.
    static bool IsSaveBlocked();

    // A name as it stands in the file: UTF-8, XML-escaped; control characters
    // that XML cannot hold are dropped.
    static std::string EncodeName(const std::wstring& name);

protected:
    bool OnElementStart(const XMLElement& element) override;

private:
    struct ReaderOnly {};
    // A reader that fills mTable and leaves the globals alone.
    explicit ProfileManager(ReaderOnly);
    void ResetReader();
    void LoadProfilesFile();
    // A text that is UTF-8 but for some stray bytes: each becomes U+FFFD,
    // and the line of the first goes into `problem`.
    static bool RepairStrayBytes(std::string& bytes, std::string& problem);
    int GetCountAttribute(const wchar_t* name);
    PlayerState* CurrentState();
    SetProgress* CurrentSet();
    void Problem(const std::string& what);

    std::string mFile;
    ProfileTable mTable;  // what the reader fills
    int mProfileIndex = -1;
    int mCurrentRecord = -1;  // slot being read, -1 when its "profile" was skipped
    std::wstring mGameName;
    int mMode = -1;
    int mSet = -1;
    int mPuzzle = -1;
    std::string mDamagedCopy;
};
