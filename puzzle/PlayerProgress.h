#pragma once
#include <functional>
#include <string>

#include "puzzle/PlayerState.h"

// What a win changed, for the screens that show it and lead on from it.
struct WinRecord {
    bool mRecorded = false;        // a profile took the win
    bool mFirstCompletion = false;
    PuzzleProgress mBefore;        // the puzzle's record before the win
    bool mLinearSet = false;       // the lessons' set: one puzzle after another
    int mNextPuzzle = -1;          // lessons' set: the puzzle that follows
    int mNextSet = -1;             // lessons' set, after its last puzzle: the next set
    bool mFinishedSet = false;     // the first completion of the set's last puzzle
    bool mOpenedBonus = false;     // ... which also opened the first bonus set
};

// Where the story's play button leads, once the story entry has done its part.
enum class StoryEntry { None, Letter, SetLoading, Map };

// The one owner of player progress. Every change to a puzzle's or a set's
// progress, to the current mode, set and puzzle, to the hint pool and to the
// list of profiles goes through here, and whatever the player would miss
// after a crash is on disk before the call returns: screens say what happened
// (a win, a set shown, the lessons skipped, a profile named) and never touch
// the records themselves.
//
// Progress only grows: an unlock count is never lowered, a completed puzzle
// stays completed and a best time only improves.
//
// Main thread only; the loading thread reads profiles.xml and publishes the
// slots, and the main thread selects the stored profile afterwards.
class PlayerProgress {
public:
    // --- Profiles ------------------------------------------------------------
    // The stored selection of the file just read (after loading).
    static void SelectStoredProfile();
    // A new profile in the first free slot (or the last one), selected.
    static void CreateProfile(const std::wstring& name);
    // The profiles screen: the slot keeps or takes the name (another name
    // resets its progress) and becomes the player.
    static void NameProfile(int slot, const std::wstring& name);
    // The slot is freed and nobody is selected.
    static void DeleteProfile(int slot);
    // Nobody is selected (an empty slot was chosen); the slots stay.
    static void SelectNobody();
    // At exit: the profiles are written one last time and let go.
    static void SaveAndClose(bool save);

    // --- Where the player is -------------------------------------------------
    static void SetMode(int mode);
    // The set whose puzzles are shown or about to be (its mode too).
    static void EnterSet(int mode, int set);
    // The current story set alone (the map does not change the mode).
    static void SetCurrentSet(int set);
    static void ChoosePuzzle(int puzzle);
    // The puzzle's loading screen names the game and mode it plays.
    static void EnterPuzzle(const std::wstring& gameName, int mode);

    // --- The story -------------------------------------------------------------
    // The story's play button: the first set may open the letter, the lessons
    // may be passed, the current set follows the sets completed.
    static StoryEntry EnterStory();
    // The letter has been read: the first set is introduced.
    static void ReadStoryLetter();
    // A set's puzzles were shown: it counts as introduced.
    static void IntroduceSet(int mode, int set);
    // Yes to the lessons: they start from their first puzzle.
    static void BeginLessons();
    // No to the lessons: every lesson counts as done.
    static void DeclineLessons();
    // Leaving the lessons for the menu or the set: the first two count.
    static void LeaveLessons();
    static bool IsInLessons();
    // A solved puzzle: completion, best time, the latest win's stars and
    // every unlock that follows, written together.
    static WinRecord RecordWin(const std::wstring& gameName, int mode, int set, int puzzle, int seconds,
                               int mistakes, int hintsUsed);

    // --- Hints -----------------------------------------------------------------
    // The meter sets the pool at the start of every puzzle.
    static void SetHintPool(int hints);
    static void EarnHint(int most);
    // False when the pool is empty.
    static bool SpendHint();

    // --- Developer codes --------------------------------------------------------
    // Every set open to its last puzzle; `complete`: every puzzle solved too.
    static void OpenAllPuzzles(bool complete);
    // Every set open at least to its first puzzle.
    static void OpenEverySet();

    // Settings and flags of the profile (options, tips, the credits' play
    // time): written now.
    static void SaveSettings();

    // How the player is told what went wrong with profiles.xml: the notice's
    // localization key ("save_failed": the folder and the reason;
    // "profiles_damaged": what was wrong with the file and where it was kept;
    // "profiles_unreadable": the file and the reason). The game installs it;
    // a failed save is told once a session, and later saves still try.
    using Notice = std::function<void(const std::wstring& key, const std::string& first, const std::string& second)>;
    static void SetNotice(Notice notice);
    // Whether a failed save has been told this session; Reset forgets it (a
    // new session, in tests).
    static bool HasToldSaveFailure();
    static void ResetNotices();

private:
    static bool Save();
};
