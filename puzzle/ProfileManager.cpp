#include "puzzle/ProfileManager.h"

#include <algorithm>
#include <mutex>

#include "core/FileUtil.h"
#include "app/GameApp.h"
#include "core/Log.h"
#include "core/StringUtil.h"
#include "data/EncodingParser.h"
#include "platform/FileSystem.h"

std::vector<ProfileRecord> gProfiles;
int gSelectedProfile = -1;

namespace {
bool sSaveBlocked = false;
// Why profiles.xml could not be read whole at start; empty when it was sound.
std::string sLoadProblem;
// Where the damaged file of this start was moved; empty when none was.
std::string sDamagedCopy;
// Publishing a table and writing the file out never overlap.
std::mutex sProfilesLock;

// Replacing the slot list may move it: the current-state pointers must not
// keep pointing into the old one.
void ForgetCurrentState() {
    for (ProfileRecord& record : gProfiles)
        if (gPlayerState == &record.mState || gCurrentPlayerState == &record.mState) {
            gPlayerState = nullptr;
            gCurrentPlayerState = nullptr;
        }
}

void ResizeSlots(size_t count) {
    std::lock_guard<std::mutex> lock(sProfilesLock);
    if (gProfiles.size() == count) return;
    ForgetCurrentState();
    gProfiles.resize(count);
}
}  // namespace

ProfileManager::ProfileManager() : ProfileManager(true) {}

ProfileManager::ProfileManager(bool loadNow) {
    mFile = "profiles.xml";
    gSelectedProfile = -1;
    ResizeSlots(kSlotCount);
    if (!loadNow) return;
    LoadProfilesFile();
    SelectProfile(gSelectedProfile);
}

ProfileManager::ProfileManager(NoSelection) {
    mFile = "profiles.xml";
    gSelectedProfile = -1;
    ResizeSlots(kSlotCount);
    LoadProfilesFile();
}

ProfileManager::ProfileManager(ReaderOnly) { mTable.mProfiles.resize(kSlotCount); }

std::string ProfileManager::GetProfilesPath() {
    std::string path = GetAppDataFolder() + "profiles.xml";
    GrantEveryoneFileAccess(path);
    return path;
}

bool ProfileManager::IsSaveBlocked() { return sSaveBlocked; }

const std::string& ProfileManager::GetLoadProblem() { return sLoadProblem; }

const std::string& ProfileManager::GetLastDamagedCopy() { return sDamagedCopy; }

bool ProfileManager::RepairStrayBytes(std::string& bytes, std::string& problem) {
    size_t bom = 0;
    if (EncodingParser::Detect(bytes.data(), bytes.size(), &bom) != EncodingParser::Utf8) return false;
    const EncodingParser::Utf8Survey survey = EncodingParser::SurveyUtf8(bytes.data() + bom, bytes.size() - bom);
    if (survey.mFirstBad == std::string::npos) return false;
    const size_t at = bom + survey.mFirstBad;
    const int line = 1 + static_cast<int>(std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
    problem = StrFormat("a byte that is not UTF-8 on Line %d", line);
    bytes = bytes.substr(0, bom) + EncodingParser::RepairUtf8(bytes.substr(bom));
    return true;
}

void ProfileManager::ResetReader() {
    mProfileIndex = -1;
    mCurrentRecord = -1;
    mGameName.clear();
    mMode = mSet = mPuzzle = -1;
}

ProfilesRead ProfileManager::ReadProfiles(const std::string& bytes, const std::string& nameForErrors) {
    ProfileManager reader{ReaderOnly{}};
    reader.ResetReader();
    reader.mFile = nameForErrors;
    ProfilesRead result;
    // Stray bytes in UTF-8 text (a damaged sector, a hand edit) are damage:
    // everything around them is read, and the caller keeps the file aside.
    std::string text = bytes;
    std::string strayBytes;
    RepairStrayBytes(text, strayBytes);
    if (!reader.LoadFromString(text, nameForErrors)) result.mError = reader.GetErrorText();
    if (!strayBytes.empty())
        result.mError = strayBytes + " in File '" + nameForErrors + "'" +
                        (result.mError.empty() ? "" : "; " + result.mError);
    result.mTable = std::move(reader.mTable);
    return result;
}

void ProfileManager::PublishProfiles(ProfileTable table) {
    std::lock_guard<std::mutex> lock(sProfilesLock);
    ForgetCurrentState();
    gProfiles = std::move(table.mProfiles);
    gSelectedProfile = table.mSelected;
}

void ProfileManager::LoadProfilesFile() {
    std::string path = GetProfilesPath();
    mFile = path;
    sSaveBlocked = false;
    sLoadProblem.clear();
    sDamagedCopy.clear();
    std::string bytes;
    std::string reason;
    UserFileStatus status = ReadUserFile(path, bytes, &reason);
    if (status == UserFileStatus::Missing) return;  // a first run: nothing selected, no message
    if (status != UserFileStatus::Ok) {
        // Not damaged, only out of reach (permissions, a folder, a FIFO): the
        // file may be sound, so it stays where it is and nothing replaces it.
        sSaveBlocked = true;
        sLoadProblem = reason;
        WriteShortLog(StrFormat("profiles.xml cannot be read (%s); profiles will not be saved "
                                "this session", reason.c_str()), true);
        return;
    }
    ProfilesRead read = ReadProfiles(bytes, path);
    PublishProfiles(std::move(read.mTable));
    if (read.mError.empty()) return;
    sLoadProblem = read.mError;

    // Keep the player's file: the next save would otherwise replace it with
    // whatever could be read of it, or with fresh defaults.
    if (gAppBase && gAppBase->mScreenSaverMode) {
        // The screen saver writes nothing at all, so it leaves the file alone.
        WriteShortLog(StrFormat("profiles.xml is damaged (%s)", read.mError.c_str()), true);
        return;
    }
    mDamagedCopy = KeepDamagedFileAside(path);
    sDamagedCopy = mDamagedCopy;
    if (mDamagedCopy.empty()) {
        sSaveBlocked = true;
        WriteShortLog(StrFormat("profiles.xml is damaged (%s) and could not be moved aside; "
                                "profiles will not be saved this session", read.mError.c_str()), true);
    } else {
        WriteShortLog(StrFormat("profiles.xml is damaged (%s); kept as %s", read.mError.c_str(),
                                mDamagedCopy.c_str()), true);
    }
}

bool ProfileManager::LoadText(const std::string& bytes, const std::string& nameForErrors) {
    ProfilesRead read = ReadProfiles(bytes, nameForErrors);
    PublishProfiles(std::move(read.mTable));
    return read.mError.empty();
}

std::string ProfileManager::EncodeName(const std::wstring& name) {
    return WStringToString(EncodeXmlEntities(name));
}

std::string ProfileManager::WriteXml() {
    std::string out = StrFormat("<profiles selected=\"%d\">", gSelectedProfile);
    for (const ProfileRecord& record : gProfiles) {
        out += "<profile name=\"";
        out += EncodeName(record.mName);
        out += "\">";
        out += record.mState.WriteXml();
        out += "</profile>";
    }
    out += "</profiles>";
    return out;
}

bool ProfileManager::Save() { return Save(nullptr) == SaveResult::Written; }

ProfileManager::SaveResult ProfileManager::Save(std::string* reason) {
    if (gProfiles.empty()) return SaveResult::Skipped;
    if (gAppBase && gAppBase->mScreenSaverMode) return SaveResult::Skipped;
    if (sSaveBlocked) {
        DebugPrintf("ProfileManager: not saving over a profiles.xml that could not be read or kept aside\n");
        if (reason) *reason = sLoadProblem.empty() ? "profiles.xml could not be read" : sLoadProblem;
        return SaveResult::Blocked;
    }
    if (GetAppDataFolder().empty()) {
        DebugPrintf("ProfileManager: no user data folder; profiles not saved\n");
        return SaveResult::Skipped;
    }
    std::string text;
    {
        std::lock_guard<std::mutex> lock(sProfilesLock);
        text = WriteXml();
    }
    return WriteStringToFile(GetProfilesPath(), text, reason) ? SaveResult::Written : SaveResult::Failed;
}

PlayerState* ProfileManager::GetCurrentState() {
    if (gSelectedProfile < 0 || gSelectedProfile >= static_cast<int>(gProfiles.size())) return nullptr;
    return &gProfiles[gSelectedProfile].mState;
}

void ProfileManager::SelectProfile(int index) {
    if (index < 0 || index >= static_cast<int>(gProfiles.size())) return;
    gSelectedProfile = index;
    ProfileRecord& record = gProfiles[index];
    record.mState.MakeCurrent();
    if (!gPlayerState) return;
    gPlayerState->mVariables[L"player_name"] = ScriptValue(record.mName);
    if (!gGameApp) return;
    gGameApp->mPlayerName = record.mName;
    gGameApp->HandleTypedCode(record.mName);
}

void ProfileManager::SelectNoProfile() {
    gSelectedProfile = -1;
    gPlayerState = nullptr;
    gCurrentPlayerState = nullptr;
    if (gGameApp) gGameApp->mPlayerName.clear();
}

void ProfileManager::SetProfileName(int slot, const std::wstring& name) {
    if (slot < 0 || slot >= static_cast<int>(gProfiles.size())) return;
    ProfileRecord& record = gProfiles[slot];
    if (record.mName == name) return;
    record.mName = name;
    // In place: gPlayerState and gCurrentPlayerState stay valid.
    record.mState = PlayerState();
    if (slot == gSelectedProfile && gGameApp) gGameApp->mPlayerName = name;
}

void ProfileManager::RenameProfile(int slot, const std::wstring& name) {
    if (slot >= 0 && slot < static_cast<int>(gProfiles.size())) SetProfileName(slot, name);
}

void ProfileManager::CreateProfile(const std::wstring& name) {
    if (gProfiles.empty()) return;
    int slot = static_cast<int>(gProfiles.size()) - 1;
    for (int i = 0; i < static_cast<int>(gProfiles.size()); ++i) {
        if (gProfiles[i].mName.empty()) {
            slot = i;
            break;
        }
    }
    SetProfileName(slot, name);
    SelectProfile(slot);
}

void ProfileManager::ClearProfiles() {
    std::lock_guard<std::mutex> lock(sProfilesLock);
    gPlayerState = nullptr;
    gCurrentPlayerState = nullptr;
    gProfiles.clear();
    gSelectedProfile = -1;
}

void ProfileManager::Problem(const std::string& what) {
    DebugPrintf("%s, line %d: %s\n", mFile.c_str(), CurrentLine(), what.c_str());
}

PlayerState* ProfileManager::CurrentState() {
    if (mCurrentRecord < 0 || mCurrentRecord >= static_cast<int>(mTable.mProfiles.size())) return nullptr;
    return &mTable.mProfiles[mCurrentRecord].mState;
}

int ProfileManager::GetCountAttribute(const wchar_t* name) {
    return std::clamp(GetIntAttribute(name), 0, kMaxCount);
}

SetProgress* ProfileManager::CurrentSet() {
    PlayerState* state = CurrentState();
    if (!state || mMode < 0 || mMode >= PlayerState::kModeCount) return nullptr;
    auto& sets = state->mProgress[mMode];
    if (mSet < 0 || mSet >= static_cast<int>(sets.size())) return nullptr;
    return &sets[mSet];
}

bool ProfileManager::OnElementStart(const XMLElement& element) {
    const std::wstring& name = element.mName;
    if (name == L"profiles") {
        int selected = GetIntAttribute(L"selected");
        if (selected < -1 || selected >= static_cast<int>(mTable.mProfiles.size())) {
            Problem(StrFormat("selected profile %d does not exist; none selected", selected));
            selected = -1;
        }
        mTable.mSelected = selected;
    } else if (name == L"game") {
        mGameName = GetAttribute(L"name");
        mMode = -1;
        mSet = mPuzzle = -1;
    } else if (name == L"profile") {
        ++mProfileIndex;
        mCurrentRecord = -1;
        mMode = mSet = mPuzzle = -1;
        if (mProfileIndex >= static_cast<int>(mTable.mProfiles.size())) {
            Problem("more than eight profiles; the extra one is skipped");
            return true;
        }
        mCurrentRecord = mProfileIndex;
        mTable.mProfiles[mCurrentRecord].mName = GetAttribute(L"name");
    } else if (name == L"state") {
        PlayerState* state = CurrentState();
        mMode = mSet = mPuzzle = -1;
        if (!state) return true;
        state->mStarted = GetBoolAttribute(L"started") ? 1 : 0;
        state->mNumHints = GetCountAttribute(L"num-hints");
        state->mSeenTutorial = GetIntAttribute(L"seen-tutorial") != 0;
        state->mMadeMistake = GetIntAttribute(L"made-mistake") != 0;
        state->mSeenHint = GetIntAttribute(L"seen-hint") != 0;
        state->mDisableTips = GetIntAttribute(L"disable-tips") != 0;
        state->mToggleMode = GetIntAttribute(L"toggle-mode") != 0;
        state->mShowNumbers = GetIntAttribute(L"show-numbers") != 0;
        state->mHours = GetIntAttribute(L"hours");
        state->mMinutes = GetIntAttribute(L"minutes");
        state->mCentiseconds = GetIntAttribute(L"centiseconds");
        state->ClampPlayTime();
    } else if (name == L"game-state") {
        PlayerState* state = CurrentState();
        if (!state) return true;
        // The current story set: within the catalogue's story sets and never
        // above the last one the map can show.
        int last = std::min<int>(kMaxCountry, std::max<int>(0, static_cast<int>(state->mProgress[0].size()) - 1));
        int country = GetIntAttribute(L"current-country");
        if (country < 0 || country > last) {
            Problem(StrFormat("current-country %d is not a story set; read as %d", country,
                              std::clamp(country, 0, last)));
            country = std::clamp(country, 0, last);
        }
        state->mCurrentCountry = country;
    } else if (name == L"mode") {
        mSet = mPuzzle = -1;
        if (!CurrentState()) return true;
        ++mMode;
        if (mMode >= PlayerState::kModeCount) Problem("a third \"mode\" is skipped");
    } else if (name == L"set") {
        mPuzzle = -1;
        PlayerState* state = CurrentState();
        if (!state || mMode < 0 || mMode >= PlayerState::kModeCount) {
            if (state) Problem("\"set\" outside a \"mode\" is skipped");
            return true;
        }
        ++mSet;
        auto& sets = state->mProgress[mMode];
        // A set the catalogue no longer has is kept, so that it is written back.
        if (mSet >= static_cast<int>(sets.size())) sets.resize(mSet + 1);
        SetProgress& set = sets[mSet];
        set.mUnlock = GetCountAttribute(L"unlock");
        set.mIntroduced = GetIntAttribute(L"introduced") != 0;
    } else if (name == L"puzzle") {
        SetProgress* set = CurrentSet();
        if (!set) {
            if (CurrentState()) Problem("\"puzzle\" outside a \"set\" is skipped");
            return true;
        }
        ++mPuzzle;
        if (mPuzzle >= static_cast<int>(set->mPuzzles.size())) set->mPuzzles.resize(mPuzzle + 1);
        PuzzleProgress& p = set->mPuzzles[mPuzzle];
        p.mCompleted = GetIntAttribute(L"completed") != 0;
        p.mBestTime = GetCountAttribute(L"best-time");
        p.mWithoutHints = GetIntAttribute(L"without-hints") != 0;
        p.mWithoutMistakes = GetIntAttribute(L"without-mistakes") != 0;
    }
    return true;
}
