#pragma once
#include <cstddef>
#include <string>

#include "platform/FileSystem.h"

// The directory part of a path, up to and including its last '\' or '/'.
std::string GetFileDir(const std::string& path);
// The part after the last separator.
std::string GetFileName(const std::string& path);
// The file name without folder and extension.
std::string GetFileBaseName(const std::string& path);
// The extension without the dot, lower case; empty when there is none.
std::string GetFileExtension(const std::string& path);
// Joins two parts with exactly one '/'.
std::string JoinPath(const std::string& a, const std::string& b);
// Turns '\' into '/'.
std::string NormalizeSlashes(const std::string& path);

// Creates every directory along the path (the last part counts as a folder
// when the path ends in a separator or names no file).
bool CreateDirectories(const std::string& path);
bool FileExists(const std::string& path);
bool ReadFileToString(const std::string& path, std::string& out);

// The most a file of the user data folder (settings.xml, profiles.xml) may
// hold; anything larger is not the game's and is never read whole.
constexpr size_t kMaxUserFileBytes = size_t{8} << 20;
// Reads a file of the user data folder: a regular file (or a link to one) up
// to kMaxUserFileBytes; a FIFO, a device or a folder is refused at once.
UserFileStatus ReadUserFile(const std::string& path, std::string& out, std::string* reason);
// Renames a damaged file to "<path>.damaged-<n>" (the first free n) so that
// nothing is ever written over it; the new name, empty when it could not move.
std::string KeepDamagedFileAside(const std::string& path);

// Replaces the file with the text in one step: a crash or a full disk leaves
// the old file whole. Creates the missing folders first. False on failure, with
// the reason written to the debug output and, when asked, into *reason (the
// system's words, e.g. "No space left on device").
bool WriteStringToFile(const std::string& path, const std::string& text, std::string* reason = nullptr);

// The user data folder (settings, profiles), ending in '/'; empty before the
// application has set it up.
std::string GetAppDataFolder();
// Where GetAppDataFolder asks: the application installs its own source, so
// the folder it settles on at start is the one every file helper sees.
using AppDataFolderSource = std::string (*)();
void SetAppDataFolderSource(AppDataFolderSource source);

// Permissions are never widened on this system; kept so callers need no #if.
void GrantEveryoneFileAccess(const std::string& path);
