#include "app/ClosedScreenPictures.h"

#include "render/Image.h"

void ClosedScreenPictures::ScreenClosed(uint64_t presentCount, uint64_t nowMicros) {
    mPending = true;
    mClosedAtFrame = presentCount;
    mClosedAtMicros = nowMicros;
}

bool ClosedScreenPictures::IsDue(uint64_t presentCount, uint64_t nowMicros) const {
    return mPending && presentCount > mClosedAtFrame && nowMicros >= mClosedAtMicros + kWaitMicros;
}

int ClosedScreenPictures::Release(const std::vector<std::shared_ptr<Image>>& pictures) {
    mPending = false;
    int released = 0;
    for (const std::shared_ptr<Image>& picture : pictures) {
        ImageSurface* surface = picture ? picture->GetSurface() : nullptr;
        // A surface drawn in the frame after the close was drawn at that
        // frame's count, which is the count at the close.
        if (!surface || !surface->HasPixelSource() || surface->GetLastDrawnFrame() >= mClosedAtFrame) continue;
        if (surface->HasTextures()) {
            surface->ReleaseTextures();
            ++released;
        }
        surface->DropPixels(true);
    }
    return released;
}
