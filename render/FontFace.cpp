#include "render/FontFace.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdlib>
#include <map>

#include "core/FileUtil.h"
#include "core/StringUtil.h"
#include "data/PakInterface.h"
#include "platform/FileSystem.h"

namespace {
FT_Library Library() {
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
        return lib;
    }();
    return library;
}

int CeilPixels(FT_Pos value) { return static_cast<int>((value + 63) >> 6); }
}  // namespace

std::recursive_mutex& FontFace::Lock() {
    static std::recursive_mutex* lock = new std::recursive_mutex();
    return *lock;
}

std::shared_ptr<FontFace> FontFace::LoadFile(const std::string& path, int pixelSize,
                                             std::string* error) {
    std::string bytes;
    // Through the file layer only, which keeps data names inside the data folder.
    if (!ReadDataFile(path, bytes)) {
        if (error) *error = "cannot read font file " + QuoteValue(path);
        return nullptr;
    }
    std::shared_ptr<FontFace> face(new FontFace());
    auto shared = std::make_shared<const std::string>(std::move(bytes));
    Bytes held{shared, reinterpret_cast<const uint8_t*>(shared->data()), shared->size()};
    if (!face->Open(path, std::move(held), pixelSize, error)) return nullptr;
    return face;
}

FontFace::Bytes FontFace::MapSystemFile(const std::string& file) {
    std::lock_guard<std::recursive_mutex> lock(Lock());
    static auto* cache = new std::map<std::string, std::weak_ptr<const MappedFile>>();
    auto map = (*cache)[file].lock();
    if (!map) {
        auto opened = std::make_shared<MappedFile>();
        if (!opened->Open(file) || opened->Size() == 0) return {};
        map = opened;
        (*cache)[file] = map;
    }
    return Bytes{map, map->Data(), map->Size()};
}

std::string FontFace::FindSystemFontFile(const std::string& pattern) {
    std::lock_guard<std::recursive_mutex> lock(Lock());
    // fontconfig keeps its configuration until told to let go; at exit it is,
    // so leak checks see only our own memory.
    static bool started = [] {
        if (!FcInit()) return false;
        std::atexit([] { FcFini(); });
        return true;
    }();
    if (!started) return {};
    FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str()));
    if (!pat) return {};
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    std::string file;
    if (match) {
        FcChar8* name = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &name) == FcResultMatch && name)
            file = reinterpret_cast<const char*>(name);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pat);
    return file;
}

std::shared_ptr<FontFace> FontFace::LoadSystem(const std::string& pattern, int pixelSize,
                                               std::string* error) {
    std::string file = FindSystemFontFile(pattern);
    if (file.empty()) {
        if (error) *error = "no system font matches " + QuoteValue(pattern);
        return nullptr;
    }
    Bytes bytes = MapSystemFile(file);
    if (!bytes.mOwner) {
        if (error) *error = "cannot read font file " + QuoteValue(file);
        return nullptr;
    }
    std::shared_ptr<FontFace> face(new FontFace());
    if (!face->Open(file, std::move(bytes), pixelSize, error)) return nullptr;
    return face;
}

bool FontFace::Open(const std::string& fileName, Bytes bytes, int pixelSize, std::string* error) {
    std::lock_guard<std::recursive_mutex> lock(Lock());
    FT_Library library = Library();
    if (!library) {
        if (error) *error = "FreeType could not start";
        return false;
    }
    if (pixelSize <= 0 || pixelSize > 1000) {
        if (error) *error = "bad font size " + std::to_string(pixelSize);
        return false;
    }
    mBytes = std::move(bytes);
    mFileName = fileName;
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(library, mBytes.mData, static_cast<FT_Long>(mBytes.mSize), 0, &face) != 0) {
        if (error) *error = "not a font file: " + QuoteValue(fileName);
        return false;
    }
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
        FT_Done_Face(face);
        if (error) *error = "font " + QuoteValue(fileName) + " has no size " + std::to_string(pixelSize);
        return false;
    }
    mFace = face;
    mPixelSize = pixelSize;
    mAscent = CeilPixels(face->size->metrics.ascender);
    mDescent = CeilPixels(-face->size->metrics.descender);
    mLineHeight = std::max(CeilPixels(face->size->metrics.height), mAscent + mDescent);
    mAdvanceCache = std::make_unique<std::atomic<int>[]>(256);
    for (int i = 0; i < 256; ++i) mAdvanceCache[i].store(-1);
    return true;
}

FontFace::~FontFace() {
    std::lock_guard<std::recursive_mutex> lock(Lock());
    if (mFace) FT_Done_Face(static_cast<FT_Face>(mFace));
}

int FontFace::Advance(uint32_t codePoint) {
    if (codePoint < 256) {
        int cached = mAdvanceCache[codePoint].load(std::memory_order_relaxed);
        if (cached >= 0) return cached;
    }
    std::lock_guard<std::recursive_mutex> lock(Lock());
    auto face = static_cast<FT_Face>(mFace);
    int advance = 0;
    if (FT_Load_Char(face, codePoint, FT_LOAD_DEFAULT) == 0)
        advance = static_cast<int>((face->glyph->advance.x + 32) >> 6);
    if (codePoint < 256) mAdvanceCache[codePoint].store(advance, std::memory_order_relaxed);
    return advance;
}

bool FontFace::Rasterize(uint32_t codePoint, Bitmap& out) {
    std::lock_guard<std::recursive_mutex> lock(Lock());
    auto face = static_cast<FT_Face>(mFace);
    out = Bitmap();
    if (FT_Load_Char(face, codePoint, FT_LOAD_RENDER) != 0) return false;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    out.mWidth = static_cast<int>(bitmap.width);
    out.mHeight = static_cast<int>(bitmap.rows);
    out.mLeft = face->glyph->bitmap_left;
    out.mTop = face->glyph->bitmap_top;
    out.mCoverage.assign(static_cast<size_t>(out.mWidth) * static_cast<size_t>(out.mHeight), 0);
    for (int y = 0; y < out.mHeight; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
        for (int x = 0; x < out.mWidth; ++x) {
            uint8_t value = 0;
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                value = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
            else
                value = row[x];
            out.mCoverage[static_cast<size_t>(y) * out.mWidth + x] = value;
        }
    }
    return true;
}
