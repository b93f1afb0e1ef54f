#pragma once
#include <string>

// The version of the SDL library this process runs with ("2.26.5").
std::string PlatformSdlVersion();
