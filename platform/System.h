#pragma once
#include <atomic>
#include <string>

// Small services of the desktop that the application asks for.

// A modal message box; written to stderr when no display is available.
void PlatformMessageBox(const std::string& caption, const std::string& text);
// Tests turn modal dialogs off: the text then only goes to stderr.
void PlatformSetDialogsEnabled(bool enabled);

bool PlatformSetClipboardText(const std::string& utf8);

// The per-user data folder "$XDG_DATA_HOME/<company>/<product>/", created when
// missing and ending in '/'. The environment variable QUILTRO7_USER_DATA
// replaces it (tests point it at a temporary folder). Empty on failure.
std::string PlatformUserDataFolder(const std::string& company, const std::string& product);

// SIGINT and SIGTERM set the flag instead of ending the process.
void PlatformInstallQuitSignals(std::atomic<bool>* quitFlag);
void PlatformRemoveQuitSignals();

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
