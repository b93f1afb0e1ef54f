#pragma once
#include <cstdint>
#include <memory>
#include <vector>

class Image;

// Gives back what a closed screen's pictures hold (textures, which llvmpipe
// keeps in our memory, and hit-test masks) once the screens left have shown
// that nothing of theirs needs them. The renderer's own idle pass waits for 16
// frames without a picture, which a screen that goes still may never draw:
// a main menu still within 16 frames kept the title's pictures (4.7 MiB of
// textures) for good. A picture drawn in no frame since the last screen
// closed is not shown; after the wait it is released, and it is decoded again
// from its file if something draws it later.
class ClosedScreenPictures {
public:
    // Long enough for a screen's intro to have drawn what it shows, and for a
    // screen left and soon opened again not to decode its pictures twice.
    static constexpr uint64_t kWaitMicros = 4000000;

    // A screen has closed (its widgets deleted) when `presentCount` frames
    // had been presented.
    void ScreenClosed(uint64_t presentCount, uint64_t nowMicros);
    // A frame has been presented since and the wait is over.
    bool IsDue(uint64_t presentCount, uint64_t nowMicros) const;
    // Releases the pictures among these that can be decoded again and were
    // drawn in no frame since the close, and ends the wait. Main thread (the
    // textures). Returns how many gave textures back.
    int Release(const std::vector<std::shared_ptr<Image>>& pictures);

private:
    bool mPending = false;
    uint64_t mClosedAtFrame = 0;
    uint64_t mClosedAtMicros = 0;
};
