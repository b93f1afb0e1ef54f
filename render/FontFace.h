#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <map>
#include <mutex>
#include <string>
#include <vector>

// A FreeType face at one pixel size. All FreeType work goes through one lock:
// fonts are measured on loader threads and rasterised on the main thread.
class FontFace {
public:
    // A face file, read through the file layer (so confined to the data folder).
    static std::shared_ptr<FontFace> LoadFile(const std::string& path, int pixelSize,
                                              std::string* error);
    // A face found through fontconfig from a pattern such as "DejaVu Sans:bold".
    static std::shared_ptr<FontFace> LoadSystem(const std::string& pattern, int pixelSize,
                                                std::string* error);
    // The file fontconfig picks for a pattern; empty when none.
    static std::string FindSystemFontFile(const std::string& pattern);

    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    int GetPixelSize() const { return mPixelSize; }
    int GetAscent() const { return mAscent; }
    int GetDescent() const { return mDescent; }
    int GetLineHeight() const { return mLineHeight; }
    const std::string& GetFileName() const { return mFileName; }

    // Horizontal advance in whole pixels.
    int Advance(uint32_t codePoint);

    struct Bitmap {
        int mWidth = 0;
        int mHeight = 0;
        int mLeft = 0;  // from the pen position to the bitmap's left edge
        int mTop = 0;   // from the baseline up to the bitmap's top edge
        std::vector<uint8_t> mCoverage;
    };
    bool Rasterize(uint32_t codePoint, Bitmap& out);

    static std::recursive_mutex& Lock();

private:
    // A face file's bytes and what keeps them alive (a string or a map).
    struct Bytes {
        std::shared_ptr<const void> mOwner;
        const uint8_t* mData = nullptr;
        size_t mSize = 0;
    };
    FontFace() = default;
    bool Open(const std::string& fileName, Bytes bytes, int pixelSize, std::string* error);
    // A system font file mapped, not copied: pages the system shares between
    // programs, shared too by every size made from it.
    static Bytes MapSystemFile(const std::string& file);

    void* mFace = nullptr;  // FT_Face
    Bytes mBytes;  // a face read from memory keeps its bytes
    std::string mFileName;
    int mPixelSize = 0;
    int mAscent = 0;
    int mDescent = 0;
    int mLineHeight = 0;
    std::unique_ptr<std::atomic<int>[]> mAdvanceCache;  // code points below 256; -1 unknown
};
