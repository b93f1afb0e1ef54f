#include "render/SysFont.h"

#include "render/FontFace.h"

SysFont::SysFont(std::shared_ptr<FontFace> face, std::string family)
    : ImageFont(std::move(face), FontStyle()), mFamily(std::move(family)) {}

std::unique_ptr<SysFont> SysFont::Create(const std::string& family, int pixelSize, bool bold,
                                         bool italic, std::string* error) {
    std::string pattern = family;
    if (bold) pattern += ":bold";
    if (italic) pattern += ":italic";
    std::shared_ptr<FontFace> face = FontFace::LoadSystem(pattern, pixelSize, error);
    if (!face) return nullptr;
    return std::unique_ptr<SysFont>(new SysFont(std::move(face), family));
}

Font* SysFont::Duplicate() const { return new SysFont(*this); }
