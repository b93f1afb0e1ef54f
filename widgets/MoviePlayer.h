#pragma once
#include <memory>
#include <string>

class FlashListener;
class ImageSurface;

// What a movie widget needs of a movie player. A real video backend would
// plug in here; the game ships only the null one, which plays nothing.
class MoviePlayer {
public:
    virtual ~MoviePlayer() = default;
    // False when the movie cannot be played.
    virtual bool StartMovie(const std::string& relativePath) = 0;
    // One update step; a backend tells the listener when the movie stops.
    virtual void Tick() = 0;
    // Draws the current frame into the surface; false when nothing was drawn.
    virtual bool Render() = 0;
    virtual bool IsPlaying() const = 0;
    virtual void Rewind() = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    virtual void SetLoop(bool loop) = 0;
    virtual void SetQuality() = 0;
};

// The player of a system without movie playback: the movie never starts, so
// the widget shows its empty surface and never keeps a script waiting.
class NullMoviePlayer : public MoviePlayer {
public:
    NullMoviePlayer(FlashListener* listener, ImageSurface* surface);
    // Logs once per run that movies are not played, naming the file.
    bool StartMovie(const std::string& relativePath) override;
    void Tick() override {}
    bool Render() override { return false; }
    bool IsPlaying() const override { return false; }
    void Rewind() override {}
    void Pause() override {}
    void Resume() override {}
    void SetLoop(bool) override {}
    void SetQuality() override {}
};

// The player the movie widget gets.
std::unique_ptr<MoviePlayer> CreateMoviePlayer(FlashListener* listener, ImageSurface* surface);
