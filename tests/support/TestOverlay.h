#pragma once
#include <string>

class PakInterface;

// The test fixtures that are not game data (the sample pictures, the object
// showcase) live in tests/data/overlay, laid out as gamedata/ is. A test that
// needs them lays that folder over the game's data folder, so that one data
// folder holds both (docs/data-formats.md).
std::string TestOverlayFolder();

// Lays the overlay over a data folder on the file access layer the game reads
// through, for the guard's lifetime.
class LaidTestOverlay {
public:
    explicit LaidTestOverlay(const std::string& dataFolder);
    ~LaidTestOverlay();
    LaidTestOverlay(const LaidTestOverlay&) = delete;
    LaidTestOverlay& operator=(const LaidTestOverlay&) = delete;

private:
    PakInterface* mLayer;
};
