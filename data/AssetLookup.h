#pragma once
#include <string>

class Image;

// Lookups in the asset tables of gAssetManager, for code that only needs a
// name's image or id. Null or -1 when absent (nothing is inserted).
Image* FindImage(const std::wstring& name);
int GetSoundId(const std::wstring& name);
int GetTrackId(const std::wstring& name);
