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
// Play only makes progress grow: an unlock count is never lowered, a
// completed puzzle stays completed and a best time only improves. The
// developer codes that exist to set counts ("morvinta") set them.
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
    // The name entry's: the profile is made and selected, `start` starts the
    // game with it (which tries the name as a developer code), and only then
    // is it saved, so a code that stops saving leaves the file as it was.
    static void CreateProfile(const std::wstring& name, const std::function<void()>& start);
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
    // Every set of both modes open to its first puzzle exactly: a set
    // opened further is closed down to it.
    static void OpenEverySet();
    // The code that quits without saving: nothing more is written in this
    // run, the save that follows a profile's name included.
    static void StopSaving();

    // Settings and flags of the profile (options, tips, the credits' play
    // time): written now.
    static void SaveSettings();

    // How the player is told what went wrong with profiles.xml: the notice's
    // localization key ("save_failed": the folder and the reason;
    // "profiles_damaged": what was wrong with the file and where it was kept;
    // "profiles_unreadable": the file and the reason; "settings_save_failed"
    // and "settings_lost": the folder and the reason). The game installs it.
    // A failed save is told when it is the first since a success (or the
    // start): once a failing stretch, not once a run; later saves still try,
    // and a success says nothing.
    using Notice = std::function<void(const std::wstring& key, const std::string& first, const std::string& second)>;
    static void SetNotice(Notice notice);
    // A new run: no failure told yet, and saving allowed again.
    static void ResetSession();

    // settings.xml, which the application writes: how a write of it went
    // (the options' way out), told as a save of the profiles is.
    static void SettingsWritten(bool written, const std::string& reason);
    // settings.xml could not be written when the game last ended.
    static void TellSettingsLostAtExit(const std::string& reason);

private:
    static bool Save();
};
