#include "core/FileUtil.h"

#include <atomic>

#include "core/Log.h"
#include "core/StringUtil.h"
#include "platform/FileSystem.h"

std::string GetFileDir(const std::string& path) {
    size_t pos = path.find_last_of("\\/");
    return pos == std::string::npos ? std::string() : path.substr(0, pos + 1);
}

std::string GetFileName(const std::string& path) {
    size_t pos = path.find_last_of("\\/");
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::string GetFileBaseName(const std::string& path) {
    std::string name = GetFileName(path);
    size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string GetFileExtension(const std::string& path) {
    std::string name = GetFileName(path);
    size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? std::string() : ToLower(name.substr(dot + 1));
}

std::string JoinPath(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    bool aSep = a.back() == '/' || a.back() == '\\';
    bool bSep = b.front() == '/' || b.front() == '\\';
    if (aSep && bSep) return a + b.substr(1);
    if (aSep || bSep) return a + b;
    return a + "/" + b;
}

std::string NormalizeSlashes(const std::string& path) {
    std::string out = path;
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

bool CreateDirectories(const std::string& path) {
    std::string p = NormalizeSlashes(path);
    if (p.empty()) return true;
    for (size_t i = 1; i <= p.size(); ++i) {
        if (i == p.size() || p[i] == '/') {
            std::string part = p.substr(0, i);
            if (part.empty() || part == ".") continue;
            if (!PlatformMakeDirectory(part)) return false;
        }
    }
    return true;
}

bool FileExists(const std::string& path) { return PlatformFileExists(NormalizeSlashes(path)); }

bool ReadFileToString(const std::string& path, std::string& out) {
    return PlatformReadFile(NormalizeSlashes(path), out);
}

UserFileStatus ReadUserFile(const std::string& path, std::string& out, std::string* reason) {
    return PlatformReadUserFile(NormalizeSlashes(path), kMaxUserFileBytes, out, reason);
}

std::string KeepDamagedFileAside(const std::string& path) {
    for (int n = 1; n < 1000; ++n) {
        std::string aside = path + ".damaged-" + std::to_string(n);
        if (PlatformFileSize(aside) >= 0) continue;  // taken: a file or a folder
        return PlatformRenameFile(path, aside) ? aside : std::string();
    }
    return std::string();
}

bool WriteStringToFile(const std::string& path, const std::string& text, std::string* reason) {
    std::string p = NormalizeSlashes(path);
    std::string dir = GetFileDir(p);
    if (!dir.empty() && !CreateDirectories(dir)) {
        DebugPrintf("WriteStringToFile: cannot create the folder '%s'\n", dir.c_str());
        if (reason) *reason = "the folder cannot be made";
        return false;
    }
    std::string error;
    if (!PlatformAtomicWrite(p, text.data(), text.size(), &error, reason)) {
        DebugPrintf("WriteStringToFile: %s\n", error.c_str());
        return false;
    }
    return true;
}

void GrantEveryoneFileAccess(const std::string&) {}

namespace {
std::atomic<AppDataFolderSource> gAppDataFolderSource{nullptr};
}

void SetAppDataFolderSource(AppDataFolderSource source) { gAppDataFolderSource.store(source); }

std::string GetAppDataFolder() {
    AppDataFolderSource source = gAppDataFolderSource.load();
    return source ? source() : std::string();
}
