#include "puzzle/PlayerState.h"

#include "core/StringUtil.h"
#include "puzzle/PuzzleRecord.h"

PlayerState* gPlayerState = nullptr;

PlayerState::PlayerState() {
    mProgressGameName = gGameId;
    mGameName = gGameId;
    static const GamePuzzles kNoPuzzles;
    const GamePuzzles* found = FindGamePuzzles(gGameId);
    const GamePuzzles& game = found ? *found : kNoPuzzles;
    for (int mode = 0; mode < kModeCount; ++mode) {
        for (const PuzzleSet& set : game.mModes[mode]) {
            SetProgress progress;
            progress.mPuzzles.resize(set.size());
            mProgress[mode].push_back(std::move(progress));
        }
    }
    // An empty catalogue is refused by the loading steps; never write past it.
    if (!mProgress[0].empty()) mProgress[0][0].mUnlock = 1;
}

PlayerState::~PlayerState() {
    if (gPlayerState == this) gPlayerState = nullptr;
}

void PlayerState::MakeCurrent() {
    BasicPlayerState::MakeCurrent();
    gPlayerState = this;
}

std::string PlayerState::WriteXml() const {
    std::string out = StrFormat(
        "<state seen-tutorial=\"%d\" num-hints=\"%d\" made-mistake=\"%d\" seen-hint=\"%d\" "
        "disable-tips=\"%d\" toggle-mode=\"%d\" show-numbers=\"%d\" %s>\n",
        mSeenTutorial ? 1 : 0, mNumHints, mMadeMistake ? 1 : 0, mSeenHint ? 1 : 0, mDisableTips ? 1 : 0,
        mToggleMode ? 1 : 0, mShowNumbers ? 1 : 0, WStringToString(FormatPlayTime()).c_str());
    out += "<game name=\"" + EncodeXmlEntities(WStringToString(mProgressGameName)) + "\">\n";
    out += StrFormat("<game-state current-country=\"%d\"/>\n", mCurrentCountry);
    for (int mode = 0; mode < kModeCount; ++mode) {
        out += "<mode>\n";
        for (const SetProgress& set : mProgress[mode]) {
            out += StrFormat("<set unlock=\"%d\" introduced=\"%d\">\n", set.mUnlock, set.mIntroduced ? 1 : 0);
            for (const PuzzleProgress& p : set.mPuzzles)
                out += StrFormat(
                    "<puzzle completed=\"%d\" best-time=\"%d\" without-hints=\"%d\" without-mistakes=\"%d\"/>\n",
                    p.mCompleted ? 1 : 0, p.mBestTime, p.mWithoutHints ? 1 : 0, p.mWithoutMistakes ? 1 : 0);
            out += "</set>\n";
        }
        out += "</mode>\n";
    }
    out += "</game>\n</state>\n";
    return out;
}

int PlayerState::CountCompletedSets(int mode) const {
    if (mode < 0 || mode >= kModeCount) return 0;
    int count = 0;
    for (const SetProgress& set : mProgress[mode]) {
        if (set.mPuzzles.empty()) continue;
        bool all = true;
        for (const PuzzleProgress& p : set.mPuzzles)
            if (!p.mCompleted) all = false;
        if (all) ++count;
    }
    return count;
}

int PlayerState::CountCompletedPuzzles(int mode, int set) const {
    const SetProgress* progress = FindSet(mode, set);
    if (!progress) return 0;
    int count = 0;
    for (const PuzzleProgress& p : progress->mPuzzles)
        if (p.mCompleted) ++count;
    return count;
}

const SetProgress* PlayerState::FindSet(int mode, int set) const {
    if (mode < 0 || mode >= kModeCount || set < 0 || set >= static_cast<int>(mProgress[mode].size()))
        return nullptr;
    return &mProgress[mode][static_cast<size_t>(set)];
}

SetProgress* PlayerState::FindSet(int mode, int set) {
    return const_cast<SetProgress*>(static_cast<const PlayerState&>(*this).FindSet(mode, set));
}
