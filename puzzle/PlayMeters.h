#pragma once
#include <array>
#include <string>

#include "puzzle/PlayTileGridLinks.h"
#include "widgets/AnimationWidget.h"

// Where a used hint goes: the play screen hands it to the board.
class HintReceiver {
public:
    virtual ~HintReceiver() = default;
    virtual void GiveHint(int sourceX, int sourceY, int cellCount) = 0;
};

// Four bulbs beside the board that fill as revealed tiles land on them. A
// full bulb is one hint in the player's pool ("num-hints", at most four);
// its scripted button ("hint" with the bulb's index) spends it. The bulb
// pictures are script data: "hint_meter", "hint_meter_init",
// "update_hint_meter" and "use_hint" read "hint_bulb" and "hint_frame".
class HintMeter : public AnimationWidget, public HintMeterLink {
public:
    static constexpr int kBulbs = 4;
    static constexpr int kMaxPool = 4;
    static constexpr int kBulbSpacing = 50;
    static constexpr int kFullFrame = 11;

    HintMeter(float x, float y, int width, int height, int gridSize);

    // --- HintMeterLink ---------------------------------------------------------------
    Point GetTargetPoint() override;
    void UpdateFill(int amount) override;

    // --- AnimationWidget ----------------------------------------------------------------
    void DoAction(const std::wstring& action, const std::wstring& parameter, int object) override;
    void Draw(Graphics* g) override;
    // Shows the notice of the first full bulb once the player pauses.
    void Update() override;
    int StepsUntilDue() override;

    int GetHintsUsed() const { return mHintsUsed; }
    bool IsHintNoticeWaiting() const { return mHintNoticeWaiting; }
    int GetCurrentBulb() const { return mCurrentBulb; }
    int GetBulbFill(int bulb) const;
    int GetFullAmount() const { return mFullAmount; }

private:
    void ChooseBulb();
    void ShowBulb(int bulb, int frame, const wchar_t* animation);
    // The first full bulb explains hints. A bulb fills when a tile's trail
    // lands, which may be in the middle of the player's next stroke or
    // clicks: a notice opened then would take them from the board, so it
    // waits for a pause (PlayerPausesForNotice).
    void TellAboutHints();
    bool mHintNoticeWaiting = false;

    int mHintsUsed = 0;
    int mHintReward = 0;
    int mFullAmount = 1;  // never 0: the frame divides by it
    int mPrevFillAmount = 0;
    int mCurrentBulb = 1;
    std::array<int, kBulbs> mBulbs{};
    std::wstring mTitle;
};

// The player's mistake chances as icons (frame 0 unused, 1 used). The
// puzzle is lost when every chance is used; the meter then bursts
// ("explosion", which tells the board "explode").
class MistakeMeter : public DynamicWidget, public MistakeMeterLink {
public:
    MistakeMeter(float x, float y, int width, int height, int gridSize);

    // --- MistakeMeterLink ----------------------------------------------------------
    Point GetChancePoint(int index) override;
    void ConsumeChance() override;

    // The burst, added to the meter's parent; the listener hears its messages.
    AnimationWidget* Explode(AnimationListener* listener) override;
    void Draw(Graphics* g) override;

    int GetArrived() const { return mArrived; }
    int GetChances() const { return mChances; }
    int GetIconCount() const { return static_cast<int>(mIcons.size()); }
    DynamicWidget* GetIcon(int index) const;

private:
    int mArrived = 0;
    int mChances = 0;
    std::vector<DynamicWidget*> mIcons;  // children
    std::wstring mTitle;
};
