#pragma once
#include <memory>
#include <string>

#include "render/ImageFont.h"

// A font from the system's faces, found through fontconfig by family name.
class SysFont : public ImageFont {
public:
    // Null when no face can be loaded.
    static std::unique_ptr<SysFont> Create(const std::string& family, int pixelSize,
                                           bool bold = false, bool italic = false,
                                           std::string* error = nullptr);
    const std::string& GetFamily() const { return mFamily; }
    Font* Duplicate() const override;

private:
    SysFont(std::shared_ptr<FontFace> face, std::string family);
    std::string mFamily;
};
