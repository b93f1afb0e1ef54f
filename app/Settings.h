#pragma once
#include <map>
#include <string>

// What settings.xml in the user data folder keeps between runs.
struct AppSettings {
    std::string version;
    double sfxVolume = 0.8;                          // "volume"
    std::map<std::wstring, double> musicGroupVolumes;  // <music-group name= volume=>
    int mouseSpeed = 10;                              // "mouse-speed", 1..20
    bool windowed = true;                             // "window"
    bool vsync = true;                                // "vsync"
    bool customCursors = true;                        // "custom-cursors"
    bool stretch = false;                             // "stretch"
};

// Reads settings.xml. A missing file leaves the defaults and returns true; a
// damaged one, or one that exists but cannot be read (no permission, not a
// regular file, too large), leaves the defaults, reports the file (and line)
// in *error and returns false. Values out of range are clamped.
bool ReadSettingsFile(const std::string& path, AppSettings& settings, std::string* error);
std::string FormatSettings(const AppSettings& settings);
// False when the disk refused it, with the system's reason in *reason.
bool WriteSettingsFile(const std::string& path, const AppSettings& settings, std::string* reason = nullptr);
