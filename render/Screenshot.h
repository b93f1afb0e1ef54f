#pragma once
#include <string>

class D3DInterface;

// Writes the device's current frame as the next free "screenshot_NNNN.png" in
// the folder (made when absent). Returns the file's path; empty on failure.
std::string SaveScreenshot(D3DInterface& device, const std::string& folder);
