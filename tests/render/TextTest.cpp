#include <gtest/gtest.h>

#include <cmath>

#include "render/FontFace.h"
#include "render/Fonts.h"
#include "render/Graphics.h"
#include "render/ImageFont.h"
#include "render/SysFont.h"
#include "render/TextLayout.h"
#include "tests/render/RenderTestSupport.h"

namespace {
// A real face whose draws are recorded instead of rasterised.
class RecordingFont : public Font {
public:
    explicit RecordingFont(std::unique_ptr<Font> inner) : mInner(std::move(inner)) {}
    struct Call {
        float mX, mY;
        std::wstring mText;
    };
    float GetAscent() const override { return mInner->GetAscent(); }
    float GetDescent() const override { return mInner->GetDescent(); }
    float GetHeight() const override { return mInner->GetHeight(); }
    float GetLineSpacing() const override { return mInner->GetLineSpacing(); }
    int StringWidth(const std::wstring& t) const override { return mInner->StringWidth(t); }
    int CharWidth(wchar_t c) const override { return mInner->CharWidth(c); }
    Font* Duplicate() const override { return new RecordingFont(std::unique_ptr<Font>(mInner->Duplicate())); }
    void DrawString(Graphics&, float x, float y, const std::wstring& text, const Color&) override {
        mCalls.push_back(Call{x, y, text});
    }
    std::unique_ptr<Font> mInner;
    std::vector<Call> mCalls;
};

std::unique_ptr<Font> RealFace(int size = 16) {
    std::string error;
    std::unique_ptr<Font> font = SysFont::Create("DejaVu Sans", size, false, false, &error);
    EXPECT_TRUE(font) << error;
    return font;
}

class TextTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto face = RealFace();
        ASSERT_TRUE(face);
        mFont = std::make_unique<RecordingFont>(std::move(face));
        mGraphics = std::make_unique<Graphics>(nullptr);
        mGraphics->SetFont(mFont.get());
    }
    std::unique_ptr<RecordingFont> mFont;
    std::unique_ptr<Graphics> mGraphics;
};
}  // namespace

TEST_F(TextTest, RealFaceHasSensibleMetrics) {
    EXPECT_GT(mFont->GetAscent(), 10.0f);
    EXPECT_GT(mFont->GetDescent(), 1.0f);
    EXPECT_FLOAT_EQ(mFont->GetHeight(), mFont->GetAscent() + mFont->GetDescent());
    EXPECT_GE(mFont->GetLineSpacing(), mFont->GetHeight());
    int w = mFont->StringWidth(L"Hello");
    EXPECT_GT(mFont->StringWidth(L"WWWW"), mFont->StringWidth(L"iiii"));
    EXPECT_EQ(mFont->StringWidth(L"HelloHello"), 2 * w);
    EXPECT_EQ(mFont->StringWidth(L""), 0);
    std::unique_ptr<Font> copy(mFont->Duplicate());
    EXPECT_EQ(copy->StringWidth(L"Hello"), w);
    EXPECT_FLOAT_EQ(copy->GetAscent(), mFont->GetAscent());
}

TEST_F(TextTest, DrawTextLineJustification) {
    const std::wstring text = L"Quiltro";
    int w = mFont->StringWidth(text);
    Graphics& g = *mGraphics;

    EXPECT_EQ(g.DrawTextLine(text, 100, 50, 300, 0), w);  // centred in the width
    EXPECT_EQ(g.DrawTextLine(text, 100, 50, 0, 0), w);    // centred on x
    EXPECT_EQ(g.DrawTextLine(text, 100, 50, 300, 1), w);  // right-aligned
    g.DrawTextLine(text, 100, 50, 300, -1);                 // left
    g.DrawTextLine(text, 100, 50, 300, 7);                  // anything else: left
    ASSERT_EQ(mFont->mCalls.size(), 5u);
    EXPECT_NEAR(mFont->mCalls[0].mX, 100 + (300 - w) / 2.0f, 0.5f);
    EXPECT_NEAR(mFont->mCalls[1].mX, 100 - w / 2.0f, 0.5f);
    EXPECT_NEAR(mFont->mCalls[2].mX, 100 + 300 - w, 0.5f);
    EXPECT_FLOAT_EQ(mFont->mCalls[3].mX, 100);
    EXPECT_FLOAT_EQ(mFont->mCalls[4].mX, 100);
    for (const auto& call : mFont->mCalls) EXPECT_FLOAT_EQ(call.mY, 50);

    // A range of the text, and measuring without drawing.
    mFont->mCalls.clear();
    EXPECT_EQ(g.DrawTextLine(L"abcdef", 0, 0, 0, -1, true, 2, 3), mFont->StringWidth(L"cde"));
    ASSERT_EQ(mFont->mCalls.size(), 1u);
    EXPECT_EQ(mFont->mCalls[0].mText, L"cde");
    EXPECT_EQ(g.DrawTextLine(L"abcdef", 0, 0, 0, -1, false), mFont->StringWidth(L"abcdef"));
    EXPECT_EQ(g.DrawTextLine(L"abc", 0, 0, 0, -1, true, 10), 0);  // start past the end
    EXPECT_EQ(mFont->mCalls.size(), 1u);
}

TEST_F(TextTest, WideWrapGivesOneLinePerLineBreak) {
    Graphics& g = *mGraphics;
    const std::wstring text = L"first line here\r\nsecond one\n\nfourth after a blank";
    int widest = -1;
    int height = g.DrawTextWrapped(Rect(10, 20, 100000, 1000), text, -1, -1, &widest);
    // The blank line is drawn as nothing but still takes its place.
    std::vector<std::wstring> drawn;
    for (const auto& call : mFont->mCalls) drawn.push_back(call.mText);
    EXPECT_EQ(drawn, (std::vector<std::wstring>{L"first line here", L"second one",
                                                L"fourth after a blank"}));
    float spacing = mFont->GetLineSpacing();
    EXPECT_EQ(height, static_cast<int>(std::lround(4 * spacing)));
    EXPECT_NEAR(mFont->mCalls[0].mY, 20 + mFont->GetAscent(), 0.01f);
    EXPECT_NEAR(mFont->mCalls[1].mY, 20 + mFont->GetAscent() + spacing, 0.01f);
    EXPECT_NEAR(mFont->mCalls[2].mY, 20 + mFont->GetAscent() + 3 * spacing, 0.01f);
    EXPECT_EQ(widest, mFont->StringWidth(L"fourth after a blank"));
}

TEST_F(TextTest, WrapsBetweenWordsWithinTheWidth) {
    const std::wstring text = L"the quick brown fox jumps over the lazy dog again and again";
    int width = mFont->StringWidth(L"the quick brown");
    std::vector<TextLine> lines = WrapText(*mFont, text, width);
    ASSERT_GT(lines.size(), 3u);
    std::wstring joined;
    for (const TextLine& line : lines) {
        std::wstring part = text.substr(line.mStart, line.mLength);
        EXPECT_LE(line.mWidth, width) << "line '" << std::string(part.begin(), part.end()) << "'";
        EXPECT_EQ(line.mWidth, mFont->StringWidth(part));
        EXPECT_NE(part.front(), L' ');
        EXPECT_NE(part.back(), L' ');
        joined += (joined.empty() ? L"" : L" ") + part;
    }
    EXPECT_EQ(joined, text);
    EXPECT_EQ(text.substr(lines[0].mStart, lines[0].mLength), L"the quick brown");

    // A word wider than the width keeps a line of its own.
    lines = WrapText(*mFont, L"a extraordinarily b", mFont->StringWidth(L"a b"));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].mLength, std::wstring(L"extraordinarily").size());
    EXPECT_TRUE(WrapText(*mFont, L"", 100).empty());
}

TEST_F(TextTest, WrappedFormsAgreeAndJustify) {
    Graphics& g = *mGraphics;
    const std::wstring text = L"one two three four five six seven eight nine ten";
    int width = mFont->StringWidth(L"one two three");
    int widestMeasured = 0, widestDrawn = 0, widestBaseline = 0;
    int measured = g.MeasureTextWrappedHeight(text, width, &widestMeasured);
    EXPECT_TRUE(mFont->mCalls.empty());
    int drawn = g.DrawTextWrapped(Rect(0, 0, width, 1000), text, -1, 1, &widestDrawn);
    size_t lines = mFont->mCalls.size();
    EXPECT_EQ(measured, drawn);
    EXPECT_EQ(measured, static_cast<int>(std::lround(lines * mFont->GetLineSpacing())));
    EXPECT_EQ(widestMeasured, widestDrawn);
    EXPECT_LE(widestDrawn, width);
    // Right-justified: every line ends at the right edge.
    for (const auto& call : mFont->mCalls)
        EXPECT_NEAR(call.mX + mFont->StringWidth(call.mText), width, 0.5f);

    mFont->mCalls.clear();
    int atBaseline = g.DrawTextWrappedAtBaseline(40, 300, text, width, 0, &widestBaseline);
    EXPECT_EQ(atBaseline, measured);
    EXPECT_EQ(widestBaseline, widestMeasured);
    ASSERT_EQ(mFont->mCalls.size(), lines);
    EXPECT_FLOAT_EQ(mFont->mCalls[0].mY, 300);
    for (const auto& call : mFont->mCalls)
        EXPECT_NEAR(call.mX + mFont->StringWidth(call.mText) / 2.0f, 40 + width / 2.0f, 0.6f);

    // A height limit stops drawing after the lines that fit.
    mFont->mCalls.clear();
    int spacing = static_cast<int>(mFont->GetLineSpacing());
    g.DrawTextWrapped(Rect(0, 0, width, 1000), text, spacing, -1, nullptr, spacing * 2);
    EXPECT_EQ(mFont->mCalls.size(), 2u);
}

TEST(RenderText, NoFontDrawsNothing) {
    ScopedDevice device(std::make_unique<RecordingBackend>());
    auto& backend = static_cast<RecordingBackend&>(device.Device().GetBackend());
    Graphics g(nullptr);
    g.SetFont(FindFont(L"no such font"));
    EXPECT_EQ(g.GetFont(), nullptr);
    g.DrawString(L"text", 10, 10);
    EXPECT_EQ(g.DrawTextLine(L"text", 10, 10, 100, 0), 0);
    int widest = 5;
    EXPECT_EQ(g.DrawTextWrapped(Rect(0, 0, 100, 100), L"a b c", -1, 0, &widest), 0);
    EXPECT_EQ(widest, 0);
    EXPECT_EQ(g.DrawTextWrappedAtBaseline(0, 0, L"a b", 50, 0, &widest), 0);
    EXPECT_EQ(g.MeasureTextWrappedHeight(L"a b", 50, &widest), 0);
    g.FlushBatch();
    EXPECT_TRUE(backend.mDraws.empty());
}

TEST(RenderText, FontsFileLoadsTheNamedFontsAndAFileWithErrorsKeepsThem) {
    ScopedDataFolder data;
    std::string error;
    ASSERT_TRUE(Fonts::LoadFontsFile("properties/fonts.xml", &error)) << error;
    for (const wchar_t* name : {L"menu", L"tiny", L"hud_title", L"hud_title2", L"system"}) {
        Font* font = FindFont(name);
        ASSERT_NE(font, nullptr) << std::string(name, name + wcslen(name));
        EXPECT_GT(font->StringWidth(L"Quiltro"), 0);
    }
    EXPECT_LT(FindFont(L"tiny")->GetHeight(), FindFont(L"menu")->GetHeight());
    size_t count = gFontMap.Size();
    EXPECT_EQ(FindFont(L"unknown"), nullptr);
    EXPECT_EQ(FindFont(L""), nullptr);
    EXPECT_EQ(gFontMap.Size(), count);  // lookups never insert
    const char* bad[] = {
        "<fonts><font name=\"a\" face=\"DejaVu Sans\" size=\"0\"/></fonts>",
        "<fonts><font face=\"DejaVu Sans\" size=\"10\"/></fonts>",
        "<fonts><font name=\"a\" face=\"DejaVu Sans\" size=\"10\" color=\"#12\"/></fonts>",
        "<fonts><font name=\"a\" file=\"fonts/absent.ttf\" size=\"10\"/></fonts>",
        "<fonts><outline width=\"2\"/></fonts>",
        "<fonts><glyph/></fonts>",
        "<fonts><font name=\"a\" face=\"DejaVu Sans\" size=\"10\">",
    };
    for (const char* text : bad) {
        Fonts loader;
        EXPECT_FALSE(loader.LoadFromString(text, "fonts.xml")) << text;
        EXPECT_FALSE(loader.GetErrorText().empty());
    }
    EXPECT_EQ(gFontMap.Size(), count);
    EXPECT_NE(FindFont(L"menu"), nullptr);
    gFontMap.Clear();
}

TEST(RenderText, LayersWidenTheGlyphCellsNotTheAdvance) {
    std::string error;
    auto face = FontFace::LoadSystem("DejaVu Sans", 20, &error);
    ASSERT_TRUE(face) << error;
    FontStyle plain;
    FontStyle layered;
    layered.mOutlineWidth = 2;
    layered.mShadow = true;
    layered.mShadowX = layered.mShadowY = 3;
    ImageFont a(face, plain), b(face, layered);
    EXPECT_EQ(a.StringWidth(L"Layered"), b.StringWidth(L"Layered"));
    FontStyle spaced;
    spaced.mSpacing = 2;
    ImageFont c(face, spaced);
    EXPECT_EQ(c.StringWidth(L"abc"), a.StringWidth(L"abc") + 6);
}

TEST(RenderText, ParseColorText) {
    Color c;
    ASSERT_TRUE(ParseColorText(L"#102030", c));
    EXPECT_EQ(c, Color(0x10, 0x20, 0x30, 255));
    ASSERT_TRUE(ParseColorText(L"#80102030", c));
    EXPECT_EQ(c, Color(0x10, 0x20, 0x30, 0x80));
    ASSERT_TRUE(ParseColorText(L" 1, 2, 3 ", c));
    EXPECT_EQ(c, Color(1, 2, 3, 255));
    EXPECT_FALSE(ParseColorText(L"1,2", c));
    EXPECT_FALSE(ParseColorText(L"1,2,300", c));
    EXPECT_FALSE(ParseColorText(L"#GG0000", c));
    EXPECT_FALSE(ParseColorText(L"", c));
}
