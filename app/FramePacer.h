#pragma once
#include <cstdint>

// Decides when the main loop draws: only after something visible changed
// (Request), and, when the display does not pace the frames itself (no
// vsync), never sooner than one refresh period after the last frame. Times
// are the main loop's clock, in microseconds.
class FramePacer {
public:
    // 0 leaves the pace to the display's vsync.
    void SetMinInterval(uint64_t micros) { mMinInterval = micros; }
    uint64_t GetMinInterval() const { return mMinInterval; }

    void Request() { mRequested = true; }
    bool IsRequested() const { return mRequested; }
    // When a requested frame may be drawn at the earliest.
    uint64_t EarliestDraw() const;
    bool ShouldDraw(uint64_t now) const { return mRequested && now >= EarliestDraw(); }
    void Drawn(uint64_t now);

private:
    uint64_t mMinInterval = 0;
    uint64_t mLastDraw = 0;
    bool mHaveDrawn = false;
    bool mRequested = true;  // the first frame is always wanted
};
