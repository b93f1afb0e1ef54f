#pragma once
#include <map>
#include <memory>
#include <string>

#include "core/Color.h"
#include "data/Parser.h"
#include "render/Font.h"
#include "render/ImageFont.h"

// The loader of fonts.xml:
//   <fonts>
//     <font name="menu" face="DejaVu Sans:bold" size="26" color="#FFFFFF"
//           spacing="0" line_spacing="0">
//       <outline width="2" color="#1A2A40"/>
//       <shadow x="2" y="2" color="#80000000"/>
//     </font>
//     <sysfont name="system" family="DejaVu Sans" size="14" bold="false"/>
//   </fonts>
// A face is a fontconfig pattern, or a font file (".ttf", ".otf") read through
// the file layer or from disk. Fonts are built privately and published whole.
class Fonts : public Parser {
public:
    // Loads a fonts file (default "properties/fonts.xml") and publishes it to
    // gFontMap. False, with the reason in error, when anything is wrong; the
    // published table is then left as it was.
    static bool LoadFontsFile(const std::string& path = "properties/fonts.xml",
                              std::string* error = nullptr);

    bool Load(const std::string& path);
    std::map<std::wstring, std::unique_ptr<Font>> TakeFonts() { return std::move(mFonts); }

protected:
    bool OnElementStart(const XMLElement& element) override;
    bool OnElementEnd(const XMLElement& element) override;

private:
    bool ReadColor(const std::wstring& attribute, Color& out);
    bool FinishFont();

    std::map<std::wstring, std::unique_ptr<Font>> mFonts;
    bool mInFont = false;
    std::wstring mName;
    std::string mFace;
    bool mSystem = false;
    std::string mFamily;
    bool mBold = false, mItalic = false;
    int mSize = 0;
    FontStyle mStyle;
};

// "#RRGGBB", "#AARRGGBB" or "r,g,b[,a]" with channels 0..255.
bool ParseColorText(const std::wstring& text, Color& out);
