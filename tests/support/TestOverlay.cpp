#include "tests/support/TestOverlay.h"

#include "data/PakInterface.h"

std::string TestOverlayFolder() {
#ifdef QUILTRO7_TEST_OVERLAY
    return QUILTRO7_TEST_OVERLAY;
#else
    return "tests/data/overlay";
#endif
}

// The layer is remembered: a test may point gPakInterfaceP elsewhere meanwhile.
LaidTestOverlay::LaidTestOverlay(const std::string& dataFolder) : mLayer(gPakInterfaceP) {
    mLayer->LayFolderOver(dataFolder, TestOverlayFolder());
}

LaidTestOverlay::~LaidTestOverlay() { mLayer->LayFolderOver(std::string(), std::string()); }
