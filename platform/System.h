#pragma once
#include <atomic>
#include <string>

// Small services of the desktop that the application asks for.

enum class MessageBoxResult {
    Shown,      // the desktop's box was shown (or dialogs are off)
    NoDisplay,  // no display to show anything on
    Failed,     // a display, but the desktop's box could not be shown
    Quit,       // a quit signal closed the box (or came before it)
};
// A modal message box of the desktop; the text always goes to stderr too.
// QUILTRO7_MESSAGE_BOX=own in the environment skips the desktop's box, as if
// it had failed, so the game's own window shows the text. A quit signal
// closes the box (QuitWatch).
MessageBoxResult PlatformMessageBox(const std::string& caption, const std::string& text);
// Whether a display is named at all (or video is up); without one no window
// or box is tried, so a run without a desktop never waits on a connection.
bool PlatformHasDisplayName();
// Tests turn modal dialogs off: the text then only goes to stderr.
void PlatformSetDialogsEnabled(bool enabled);

bool PlatformSetClipboardText(const std::string& utf8);

// The per-user data folder "$XDG_DATA_HOME/<company>/<product>/", ending in
// '/' and always absolute; each missing level is created where possible. A
// relative XDG_DATA_HOME is ignored (the XDG rule): "$HOME/.local/share" serves
// then. The environment variable QUILTRO7_USER_DATA replaces it (tests point
// it at a temporary folder); a relative one is taken from the current folder.
// Empty when no absolute folder can be named.
std::string PlatformUserDataFolder(const std::string& company, const std::string& product);

// SIGINT, SIGTERM and SIGHUP set the flag instead of ending the process, so
// the shutdown order runs. SIGXFSZ is ignored: a write past the file-size
// limit then fails and is reported instead of killing the game mid-save.
void PlatformInstallQuitSignals(std::atomic<bool>* quitFlag);
// Sets the action of the three quit signals (SIGINT, SIGTERM, SIGHUP): the
// handler, or null for the default. Only sigaction(2): safe in the child of
// a fork in a threaded process.
void PlatformSetQuitSignalsAction(void (*handler)(int));
void PlatformRemoveQuitSignals();
// Whether one of them came since they were installed: a modal box or window
// that waits on the player closes on it.
bool PlatformQuitSignalled();
// Sends this process SIGTERM, as a session manager would (tests).
bool PlatformSendQuitSignal();

// Releases the platform library at process end.
void PlatformShutdown();

// Environment lookup without reaching for POSIX above this layer.
std::string PlatformGetEnv(const char* name);
// Sets a variable for this process (tests pick SDL's video driver with it).
bool PlatformSetEnv(const char* name, const char* value);

// Changes the process's current folder; false when it does not exist.
bool PlatformChangeDirectory(const std::string& path);

// For tests that simulate a full disk: caps the size of files this process may
// write (writes past it fail with an error instead of a signal). A negative
// value removes the cap.
bool PlatformLimitFileSize(long long bytes);
// True when running with super-user rights (permissions do not stop writes).
bool PlatformIsSuperUser();

// Hands the heap's free pages back to the system (after a load has freed
// its decoding buffers, which would otherwise stay counted as ours).
void PlatformReleaseFreeMemory();
// Large blocks (decoded pictures, textures in a software GL) are mapped on
// their own, so freeing one gives it back at once instead of leaving a hole
// in the heap; the allocator would otherwise raise that size limit each time
// such a block is freed.
void PlatformMapLargeAllocations();
