#include "app/Settings.h"

#include <expat.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/FileUtil.h"
#include "core/StringUtil.h"

namespace {

struct SettingsReader {
    AppSettings* settings;
    bool sawRoot = false;
};

bool ParseBool(const char* v, bool fallback) {
    if (std::strcmp(v, "1") == 0 || std::strcmp(v, "true") == 0) return true;
    if (std::strcmp(v, "0") == 0 || std::strcmp(v, "false") == 0) return false;
    return fallback;
}

double ParseVolume(const char* v, double fallback) {
    double d;
    if (!StringToDouble(std::string(v), d) || !std::isfinite(d)) return fallback;
    return std::clamp(d, 0.0, 1.0);
}

void XMLCALL OnStart(void* user, const XML_Char* name, const XML_Char** attrs) {
    auto* r = static_cast<SettingsReader*>(user);
    AppSettings& s = *r->settings;
    if (std::strcmp(name, "settings") == 0) {
        r->sawRoot = true;
        for (int i = 0; attrs[i]; i += 2) {
            const char* key = attrs[i];
            const char* v = attrs[i + 1];
            int n;
            if (std::strcmp(key, "version") == 0) s.version = v;
            else if (std::strcmp(key, "volume") == 0) s.sfxVolume = ParseVolume(v, s.sfxVolume);
            else if (std::strcmp(key, "mouse-speed") == 0 && StringToInt(std::string(v), n))
                s.mouseSpeed = std::clamp(n, 1, 20);
            else if (std::strcmp(key, "window") == 0) s.windowed = ParseBool(v, s.windowed);
            else if (std::strcmp(key, "vsync") == 0) s.vsync = ParseBool(v, s.vsync);
            else if (std::strcmp(key, "custom-cursors") == 0) s.customCursors = ParseBool(v, s.customCursors);
            else if (std::strcmp(key, "stretch") == 0) s.stretch = ParseBool(v, s.stretch);
        }
    } else if (std::strcmp(name, "music-group") == 0) {
        std::wstring group;
        double volume = -1.0;
        for (int i = 0; attrs[i]; i += 2) {
            if (std::strcmp(attrs[i], "name") == 0) group = StringToWString(attrs[i + 1]);
            else if (std::strcmp(attrs[i], "volume") == 0) volume = ParseVolume(attrs[i + 1], -1.0);
        }
        if (!group.empty() && volume >= 0.0) s.musicGroupVolumes[group] = volume;
    }
}

}  // namespace

bool ReadSettingsFile(const std::string& path, AppSettings& settings, std::string* error) {
    std::string text;
    std::string reason;
    switch (ReadUserFile(path, text, &reason)) {
        case UserFileStatus::Ok: break;
        case UserFileStatus::Missing: return true;  // first run
        default:
            if (error) *error = StrFormat("cannot read File '%s': %s", path.c_str(), reason.c_str());
            return false;
    }
    AppSettings parsed = settings;
    SettingsReader reader{&parsed};
    XML_Parser parser = XML_ParserCreate("UTF-8");
    XML_SetUserData(parser, &reader);
    XML_SetStartElementHandler(parser, OnStart);
    bool ok = XML_Parse(parser, text.data(), static_cast<int>(text.size()), 1) == XML_STATUS_OK;
    if (!ok && error)
        *error = StrFormat("%s on Line %lu in File '%s'", XML_ErrorString(XML_GetErrorCode(parser)),
                           static_cast<unsigned long>(XML_GetCurrentLineNumber(parser)), path.c_str());
    XML_ParserFree(parser);
    if (ok && !reader.sawRoot) {
        ok = false;
        if (error) *error = StrFormat("no settings element in File '%s'", path.c_str());
    }
    if (ok) settings = parsed;
    return ok;
}

std::string FormatSettings(const AppSettings& s) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += StrFormat(
        "<settings version=\"%s\" volume=\"%.3f\" mouse-speed=\"%d\" window=\"%d\" vsync=\"%d\" "
        "custom-cursors=\"%d\" stretch=\"%d\">\n",
        EncodeXmlEntities(s.version).c_str(), s.sfxVolume, s.mouseSpeed, s.windowed ? 1 : 0,
        s.vsync ? 1 : 0, s.customCursors ? 1 : 0, s.stretch ? 1 : 0);
    for (const auto& [group, volume] : s.musicGroupVolumes)
        out += StrFormat("  <music-group name=\"%s\" volume=\"%.3f\"/>\n",
                         EncodeXmlEntities(WStringToString(group)).c_str(), volume);
    out += "</settings>\n";
    return out;
}

bool WriteSettingsFile(const std::string& path, const AppSettings& settings, std::string* reason) {
    return WriteStringToFile(path, FormatSettings(settings), reason);
}
