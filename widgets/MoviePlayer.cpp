#include "widgets/MoviePlayer.h"

#include <atomic>

#include "core/Log.h"

// The widget's surface is made transparent and stays so.
NullMoviePlayer::NullMoviePlayer(FlashListener*, ImageSurface*) {}

bool NullMoviePlayer::StartMovie(const std::string& relativePath) {
    static std::atomic<bool> logged{false};
    if (!logged.exchange(true)) DebugPrintf("movie playback unavailable: %s\n", relativePath.c_str());
    return false;
}

std::unique_ptr<MoviePlayer> CreateMoviePlayer(FlashListener* listener, ImageSurface* surface) {
    return std::make_unique<NullMoviePlayer>(listener, surface);
}
