#include "puzzle/PlayerProgress.h"

#include <algorithm>
#include <utility>

#include "core/FileUtil.h"
#include "core/Log.h"
#include "core/StringUtil.h"
#include "data/Constants.h"
#include "puzzle/ProfileManager.h"
#include "puzzle/PuzzleRecord.h"
#include "puzzle/SetStats.h"

namespace {

PlayerProgress::Notice sNotice;

// A failed save is told when it starts a failing stretch: the first failure
// after a success (or the start). A player who freed the disk and fills it
// again must hear of it again; one whose disk stays full hears it once.
class FailingStretch {
public:
    // True when this failure is the one to tell.
    bool Fail() { return !std::exchange(mFailing, true); }
    void Succeed() { mFailing = false; }

private:
    bool mFailing = false;
};
FailingStretch sProfileSaves;
FailingStretch sSettingsSaves;
bool sSavingStopped = false;

// The lessons come first and one after another: the story's first set of
// our game.
bool IsLessonsSet(const std::wstring& game, int mode, int set) {
    return game == gGameId && mode == 0 && set == 0;
}

// Unlock counts only ever rise.
void RaiseUnlock(SetProgress& set, int to) { set.mUnlock = std::max<int32_t>(set.mUnlock, to); }

// The story's first two sets, or null when the profile lacks them (one
// sized from a smaller catalogue is left alone).
std::vector<SetProgress>* FirstStorySets() {
    if (!gPlayerState || gPlayerState->mProgress[0].size() < 2) return nullptr;
    return &gPlayerState->mProgress[0];
}

void ContinueInSetOne(std::vector<SetProgress>& sets) {
    RaiseUnlock(sets[1], 1);
    gPlayerState->mCurrentCountry = 1;
    gPlayerState->mCurrentMode = 0;
}

// Every lesson counts as done and the story goes on in set 1.
void PassLessons() {
    std::vector<SetProgress>* sets = FirstStorySets();
    if (!sets) return;
    SetProgress& lessons = (*sets)[0];
    for (PuzzleProgress& puzzle : lessons.mPuzzles) puzzle.mCompleted = true;
    RaiseUnlock(lessons, static_cast<int>(lessons.mPuzzles.size()));
    ContinueInSetOne(*sets);
}

// The puzzle's record, the set's list grown first to the catalogue's size
// (a profile written for a shorter set, or one without the set at all).
PuzzleProgress* GrowToPuzzle(PlayerState& ps, const std::wstring& game, int mode, int set, int puzzle) {
    if (mode < 0 || mode >= PlayerState::kModeCount || set < 0 || puzzle < 0) return nullptr;
    auto& sets = ps.mProgress[mode];
    if (static_cast<int>(sets.size()) <= set) sets.resize(static_cast<size_t>(set) + 1);
    auto& puzzles = sets[static_cast<size_t>(set)].mPuzzles;
    const size_t needed = std::max(static_cast<size_t>(CountCatalogPuzzles(game, mode, set)),
                                   static_cast<size_t>(puzzle) + 1);
    if (puzzles.size() < needed) puzzles.resize(needed);
    return &puzzles[static_cast<size_t>(puzzle)];
}

// Each set of both modes that both the progress and the set table hold,
// with its puzzle count in the catalogue.
template <typename Apply>
void ForEachKnownSet(PlayerState& ps, Apply apply) {
    std::shared_ptr<const SetTable> table = gSetTable.Get();
    const GameSets& sets = SetStats::FindGame(*table, ps.mGameName);
    for (int mode = 0; mode < PlayerState::kModeCount; ++mode) {
        const size_t count = std::min(ps.mProgress[mode].size(), sets.mModes[mode].size());
        for (size_t set = 0; set < count; ++set)
            apply(ps.mProgress[mode][set], CountCatalogPuzzles(ps.mGameName, mode, static_cast<int>(set)));
    }
}

void Tell(const std::wstring& key, const std::string& first, const std::string& second) {
    if (sNotice) sNotice(key, first, second);
}

// A reader's message without the file's path, which the notice names apart:
// "... on Line 3 in File '/home/...'" becomes "... on Line 3".
std::string WithoutFile(std::string problem) {
    for (size_t at; (at = problem.find(" in File '")) != std::string::npos;) {
        const size_t end = problem.find('\'', at + 10);
        problem.erase(at, end == std::string::npos ? std::string::npos : end + 1 - at);
    }
    return problem;
}

// "in /home/ana/.local/share/...: no space left on device."
void TellFailure(const std::wstring& key, std::string reason) {
    std::string folder = GetAppDataFolder();
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (!reason.empty() && reason[0] >= 'A' && reason[0] <= 'Z') reason[0] = static_cast<char>(reason[0] - 'A' + 'a');
    Tell(key, folder, reason);
}

}  // namespace

// --- Saving ------------------------------------------------------------------------------------------

bool PlayerProgress::Save() {
    if (sSavingStopped) return false;
    std::string reason;
    const ProfileManager::SaveResult result = ProfileManager::Save(&reason);
    if (result == ProfileManager::SaveResult::Written) {
        sProfileSaves.Succeed();
        return true;
    }
    if (result == ProfileManager::SaveResult::Skipped || !sProfileSaves.Fail()) return false;
    WriteShortLog(StrFormat("Progress could not be saved in %s: %s", GetAppDataFolder().c_str(), reason.c_str()),
                  true);
    TellFailure(L"save_failed", reason);
    return false;
}

void PlayerProgress::SaveSettings() { Save(); }

void PlayerProgress::StopSaving() { sSavingStopped = true; }

void PlayerProgress::SetNotice(Notice notice) { sNotice = std::move(notice); }

void PlayerProgress::ResetSession() {
    sProfileSaves = {};
    sSettingsSaves = {};
    sSavingStopped = false;
}

void PlayerProgress::SettingsWritten(bool written, const std::string& reason) {
    if (written) {
        sSettingsSaves.Succeed();
        return;
    }
    if (!sSettingsSaves.Fail()) return;
    WriteShortLog(StrFormat("Settings could not be saved in %s: %s", GetAppDataFolder().c_str(), reason.c_str()),
                  true);
    TellFailure(L"settings_save_failed", reason);
}

void PlayerProgress::TellSettingsLostAtExit(const std::string& reason) { TellFailure(L"settings_lost", reason); }

// --- Profiles ------------------------------------------------------------------------------------------

void PlayerProgress::SelectStoredProfile() {
    ProfileManager::SelectProfile(gSelectedProfile);
    const std::string& problem = ProfileManager::GetLoadProblem();
    if (problem.empty()) return;
    const std::string& kept = ProfileManager::GetLastDamagedCopy();
    if (!kept.empty()) {
        Tell(L"profiles_damaged", WithoutFile(problem), GetFileName(kept));
    } else if (ProfileManager::IsSaveBlocked()) {
        // The one notice says that nothing will be saved: no second one
        // (no save can succeed and end the stretch).
        sProfileSaves.Fail();
        Tell(L"profiles_unreadable", ProfileManager::GetProfilesPath(), problem);
    }
}

void PlayerProgress::CreateProfile(const std::wstring& name) { CreateProfile(name, {}); }

void PlayerProgress::CreateProfile(const std::wstring& name, const std::function<void()>& start) {
    ProfileManager::CreateProfile(name);
    if (start) start();
    Save();
}

void PlayerProgress::NameProfile(int slot, const std::wstring& name) {
    if (name.empty()) return;
    ProfileManager::RenameProfile(slot, name);
    ProfileManager::SelectProfile(slot);
    Save();
}

void PlayerProgress::DeleteProfile(int slot) {
    ProfileManager::RenameProfile(slot, L"");
    ProfileManager::SelectNoProfile();
    Save();
}

void PlayerProgress::SelectNobody() {
    if (gSelectedProfile < 0 && !gPlayerState) return;
    ProfileManager::SelectNoProfile();
    Save();
}

void PlayerProgress::SaveAndClose(bool save) {
    if (save) Save();
    ProfileManager::ClearProfiles();
}

// --- Where the player is ------------------------------------------------------------------------------

void PlayerProgress::SetMode(int mode) {
    if (gPlayerState) gPlayerState->mCurrentMode = mode;
}

void PlayerProgress::EnterSet(int mode, int set) {
    if (!gPlayerState) return;
    gPlayerState->mCurrentMode = mode;
    SetCurrentSet(set);
}

void PlayerProgress::SetCurrentSet(int set) {
    if (!gPlayerState || gPlayerState->mCurrentCountry == set) return;
    gPlayerState->mCurrentCountry = set;
    Save();
}

void PlayerProgress::ChoosePuzzle(int puzzle) {
    if (gPlayerState) gPlayerState->mCurrentPuzzle = puzzle;
}

void PlayerProgress::EnterPuzzle(const std::wstring& gameName, int mode) {
    if (!gPlayerState) return;
    gPlayerState->mGameName = gameName;
    gPlayerState->mCurrentMode = mode;
}

// --- The story ---------------------------------------------------------------------------------------

StoryEntry PlayerProgress::EnterStory() {
    PlayerState* ps = gPlayerState;
    // The catalogue check at load refuses a story of fewer than two sets;
    // progress sized from another catalogue is not trusted either.
    if (!ps || ps->mProgress[0].size() < 2) return StoryEntry::None;
    std::vector<SetProgress>& sets = ps->mProgress[0];
    if (ps->mCurrentCountry == 0 && ps->mCurrentMode == 0 && !sets[0].mIntroduced) {
        RaiseUnlock(sets[1], 1);
        Save();
        return StoryEntry::Letter;
    }
    if (ps->mCurrentMode != 0) return StoryEntry::SetLoading;
    // Play after the letter, with the lessons neither played through nor
    // declined: they are passed.
    if (ps->mCurrentCountry == 0) PassLessons();
    const int last = static_cast<int>(sets.size()) - 1;
    const int completed = ps->CountCompletedSets(0);
    ps->mCurrentCountry = std::min(completed, last);
    Save();
    return completed > last ? StoryEntry::Map : StoryEntry::SetLoading;
}

void PlayerProgress::ReadStoryLetter() {
    if (SetProgress* first = FindSetProgress(0, 0)) first->mIntroduced = true;
    Save();
}

void PlayerProgress::IntroduceSet(int mode, int set) {
    SetProgress* progress = FindSetProgress(mode, set);
    if (!progress || progress->mIntroduced) return;
    progress->mIntroduced = true;
    Save();
}

void PlayerProgress::BeginLessons() {
    if (!gPlayerState) return;
    gPlayerState->mSeenTutorial = true;
    gPlayerState->mCurrentPuzzle = 0;
    gPlayerState->mCurrentCountry = 0;
    gPlayerState->mCurrentMode = 0;
    Save();
}

void PlayerProgress::DeclineLessons() {
    PassLessons();
    if (gPlayerState) gPlayerState->mSeenTutorial = true;
    Save();
}

void PlayerProgress::LeaveLessons() {
    std::vector<SetProgress>* sets = FirstStorySets();
    if (!sets) return;
    SetProgress& lessons = (*sets)[0];
    const size_t counted = std::min<size_t>(2, lessons.mPuzzles.size());
    for (size_t i = 0; i < counted; ++i) lessons.mPuzzles[i].mCompleted = true;
    RaiseUnlock(lessons, 2);
    ContinueInSetOne(*sets);
    Save();
}

bool PlayerProgress::IsInLessons() {
    return gPlayerState && gPlayerState->mCurrentMode == 0 && gPlayerState->mCurrentCountry == 0;
}

WinRecord PlayerProgress::RecordWin(const std::wstring& gameName, int mode, int set, int puzzle, int seconds,
                                    int mistakes, int hintsUsed) {
    WinRecord win;
    PlayerState* ps = gPlayerState;
    if (!ps) return win;
    PuzzleProgress* progress = GrowToPuzzle(*ps, gameName, mode, set, puzzle);
    if (!progress) return win;
    SetProgress& setProgress = ps->mProgress[mode][static_cast<size_t>(set)];
    const int puzzleCount = static_cast<int>(setProgress.mPuzzles.size());
    win.mRecorded = true;
    win.mBefore = *progress;
    win.mFirstCompletion = !progress->mCompleted;
    win.mLinearSet = IsLessonsSet(gameName, mode, set);
    // A stored 0 means no best time yet.
    if (progress->mBestTime == 0 || progress->mBestTime > seconds) progress->mBestTime = seconds;
    progress->mCompleted = true;

    if (win.mLinearSet) {
        win.mNextPuzzle = puzzle + 1;
        ++ps->mCurrentPuzzle;
        if (win.mNextPuzzle < puzzleCount) {
            RaiseUnlock(setProgress, win.mNextPuzzle + 1);
        } else {
            win.mNextSet = set + 1;
            if (SetProgress* next = ps->FindSet(mode, win.mNextSet)) RaiseUnlock(*next, 1);
            ps->mCurrentCountry = win.mNextSet;
        }
        Save();
        return win;
    }

    // The stars tell of the latest win, not the best one.
    progress->mWithoutHints = hintsUsed == 0;
    progress->mWithoutMistakes = mistakes == 0;
    if (win.mFirstCompletion) {
        // The puzzle after the last open one opens.
        const int unlock = setProgress.mUnlock;
        if (puzzle == unlock - 1 && unlock < CountCatalogPuzzles(gameName, mode, set))
            RaiseUnlock(setProgress, unlock + 1);
        if (puzzle == puzzleCount - 1) {
            win.mFinishedSet = true;
            const int setCount = SetStats::CountSets(gameName, mode);
            const int nextSet = set + 1 < setCount ? set + 1 : setCount - 1;
            if (nextSet > set)
                if (SetProgress* next = ps->FindSet(mode, nextSet)) ++next->mUnlock;
            if (mode == 0 && set + 1 == GetConstantInt(L"sets_before_extra_puzzles")) {
                if (SetProgress* bonus = ps->FindSet(1, 0)) ++bonus->mUnlock;
                win.mOpenedBonus = true;
            }
        }
    }
    Save();
    return win;
}

// --- Hints ----------------------------------------------------------------------------------------

void PlayerProgress::SetHintPool(int hints) {
    if (gPlayerState) gPlayerState->mNumHints = hints;
}

void PlayerProgress::EarnHint(int most) {
    if (gPlayerState && gPlayerState->mNumHints < most) ++gPlayerState->mNumHints;
}

bool PlayerProgress::SpendHint() {
    if (!gPlayerState || gPlayerState->mNumHints <= 0) return false;
    --gPlayerState->mNumHints;
    Save();
    return true;
}

// --- Developer codes ------------------------------------------------------------------------------

void PlayerProgress::OpenAllPuzzles(bool complete) {
    if (!gPlayerState) return;
    ForEachKnownSet(*gPlayerState, [complete](SetProgress& set, int puzzleCount) {
        RaiseUnlock(set, puzzleCount);
        if (complete)
            for (PuzzleProgress& puzzle : set.mPuzzles) puzzle.mCompleted = true;
    });
    Save();
}

void PlayerProgress::OpenEverySet() {
    if (!gPlayerState) return;
    // Set, not raised: the code exists to put every set back to its first
    // puzzle as much as to open it.
    ForEachKnownSet(*gPlayerState, [](SetProgress& set, int) { set.mUnlock = 1; });
    Save();
}
