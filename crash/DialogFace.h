#pragma once
#include <cstdint>
#include <memory>
#include <vector>

// A font face at one pixel size as the reporter's windows draw with it. The
// crash layer has no font code of its own: the program's entry point, which
// sits above the renderer, hands in faces made with the renderer's.
class DialogFace {
public:
    struct Glyph {
        int width = 0;
        int height = 0;
        int left = 0;  // from the pen position to the bitmap's left edge
        int top = 0;   // from the baseline up to the bitmap's top edge
        std::vector<uint8_t> coverage;
    };
    virtual ~DialogFace() = default;
    virtual int Ascent() const = 0;
    virtual int LineHeight() const = 0;
    virtual int Advance(uint32_t codePoint) = 0;
    // The glyph's coverage, kept by the face (a window is drawn again on
    // every key and scroll step); null when it draws nothing.
    virtual const Glyph* Rasterize(uint32_t codePoint) = 0;
};

// The faces of the three windows. Without all four the reporter falls back
// to the desktop's message boxes.
struct DialogFaces {
    std::shared_ptr<DialogFace> label;  // header, prompt and the larger buttons (bold)
    std::shared_ptr<DialogFace> mono;   // the report
    std::shared_ptr<DialogFace> text;   // the user's text and the small "Abort"
    std::shared_ptr<DialogFace> title;  // "Please Wait" (larger, bold)
    bool Complete() const { return label && mono && text && title; }
};
using DialogFaceLoader = DialogFaces (*)();
