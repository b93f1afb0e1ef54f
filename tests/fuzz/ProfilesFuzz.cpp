// profiles.xml as a damaged or hostile file: reading it must never write out
// of range, and whatever is read must save and read back the same.
#include <string>

#include "core/Log.h"
#include "puzzle/ProfileManager.h"
#include "puzzle/PuzzleStats.h"
#include "tests/fuzz/FuzzTarget.h"

namespace {
void EnsureCatalogue() {
    static bool done = false;
    if (done) return;
    done = true;
    PuzzleStats stats(false);
    stats.LoadText("<p><game name=\"quiltro7\"><mode><set><puzzle><grid>10 01</grid></puzzle>"
                   "<puzzle><grid>1</grid></puzzle></set><set><puzzle><grid>1</grid></puzzle></set></mode>"
                   "<mode><set><puzzle><grid>1</grid></puzzle></set></mode></game></p>",
                   "fuzz-catalogue");
    stats.Publish();
}
}  // namespace

FUZZ_TARGET(profiles) {
    SetDebugOutputEnabled(false);
    EnsureCatalogue();
    ProfileManager::ClearProfiles();
    std::string text(reinterpret_cast<const char*>(data), size);
    {
        ProfileManager manager(false);
        manager.LoadText(text, "profiles.xml");
        ProfileManager::SelectProfile(gSelectedProfile);
    }
    if (gProfiles.size() != 8) __builtin_trap();
    if (gSelectedProfile < -1 || gSelectedProfile > 7) __builtin_trap();
    for (const ProfileRecord& record : gProfiles) {
        int country = record.mState.mCurrentCountry;
        if (country < 0 || country > 12) __builtin_trap();
    }
    // What was read writes out and reads back to the same text.
    std::string first = ProfileManager::WriteXml();
    ProfileManager::ClearProfiles();
    {
        ProfileManager manager(false);
        if (!manager.LoadText(first, "again.xml")) __builtin_trap();
    }
    if (ProfileManager::WriteXml() != first) __builtin_trap();
    ProfileManager::ClearProfiles();
    return 0;
}
