#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Log.h"
#include "core/StringUtil.h"
#include "data/Constants.h"
#include "data/EncodingParser.h"
#include "data/Parser.h"
#include "tests/data/DataFilesTestSupport.h"

using namespace datafiles_test;

namespace {

using Texts = std::vector<std::wstring>;

// Records what the hooks see, and reads attributes the way loaders do.
class RecordingParser : public Parser {
public:
    Texts mEvents;
    std::wstring mFailOn;      // element name whose start fails the load
    std::string mFailMessage;  // given to SetError when failing
    std::function<void(RecordingParser&, const XMLElement&)> mOnStart;

    using Parser::GetAttribute;
    using Parser::GetBoolAttribute;
    using Parser::GetFloatAttribute;
    using Parser::GetIntAttribute;
    using Parser::GetTrackIdAttribute;
    using Parser::HasAttribute;
    using Parser::CurrentElement;

protected:
    bool OnElementStart(const XMLElement& element) override {
        std::wstring event = L"<" + element.mName;
        for (const auto& [key, value] : element.mAttributes) event += L" " + key + L"=" + value;
        mEvents.push_back(event + L">");
        if (mOnStart) mOnStart(*this, element);
        if (element.mName == mFailOn) {
            if (!mFailMessage.empty()) SetError(mFailMessage);
            return false;
        }
        return true;
    }
    bool OnElementEnd(const XMLElement& element) override {
        mEvents.push_back(L"</" + element.mName + L">");
        return true;
    }
    bool OnText(const std::wstring& text) override {
        mEvents.push_back(L"[" + text + L"]@" + CurrentElement().mName);
        return true;
    }
};

Texts Events(const std::string& xml) {
    RecordingParser parser;
    EXPECT_TRUE(parser.LoadFromString(xml, "test.xml")) << parser.GetErrorText();
    return parser.mEvents;
}

using XmlTextTest = QuietTest;
using ParserAttributeTest = QuietTest;
using ParserErrorTest = QuietTest;
using XmlEncodingTest = QuietTest;

TEST_F(XmlTextTest, TrimsAndCollapsesWhiteSpace) {
    EXPECT_EQ(Events("<a>  a \n\t b </a>"), (Texts{L"<a>", L"[a b]@a", L"</a>"}));
    EXPECT_EQ(Events("<a>\r\n x\r\ny  </a>"), (Texts{L"<a>", L"[x y]@a", L"</a>"}));
    // White space alone delivers nothing; other space characters are kept.
    EXPECT_EQ(Events("<a> \n\t\r <b/>  </a>"), (Texts{L"<a>", L"<b>", L"</b>", L"</a>"}));
    EXPECT_EQ(Events("<a>\u00a0</a>"), (Texts{L"<a>", L"[\u00a0]@a", L"</a>"}));
}

TEST_F(XmlTextTest, TextBelongsToTheElementAroundIt) {
    EXPECT_EQ(Events("<r>one<b>two</b> three <c/>four</r>"),
              (Texts{L"<r>", L"[one]@r", L"<b>", L"[two]@b", L"</b>", L"[three]@r", L"<c>", L"</c>", L"[four]@r",
                     L"</r>"}));
    // Text split by a comment or CDATA is still one text.
    EXPECT_EQ(Events("<r> a <!-- c --> b <![CDATA[ <x> ]]></r>"), (Texts{L"<r>", L"[a b <x>]@r", L"</r>"}));
}

TEST_F(XmlTextTest, DecodesEntitiesAndKeepsAttributesInDocumentOrder) {
    EXPECT_EQ(Events("<a v=\"x &lt; y &amp;&amp; &quot;q&quot; &#65;&#x263A;\">&gt;&apos;&#x1D11E;</a>"),
              (Texts{L"<a v=x < y && \"q\" A\u263a>", L"[>'\U0001D11E]@a", L"</a>"}));
    EXPECT_EQ(Events("<a z='1' b='2' m='3' a='4'/>"), (Texts{L"<a z=1 b=2 m=3 a=4>", L"</a>"}));
}

TEST_F(ParserAttributeTest, TypedReaders) {
    auto saved = GetConstantsSnapshot();
    PublishConstants(VariableMap{{L"tile_size", ScriptValue(24)}, {L"half", ScriptValue(0.5f)}});
    RecordingParser parser;
    parser.mOnStart = [](RecordingParser& p, const XMLElement&) {
        EXPECT_EQ(p.GetIntAttribute(L"sum"), 5);
        EXPECT_EQ(p.GetIntAttribute(L"constant"), 24);
        EXPECT_EQ(p.GetIntAttribute(L"scaled"), 48);
        EXPECT_EQ(p.GetIntAttribute(L"absent"), 0);
        EXPECT_EQ(p.GetIntAttribute(L"empty"), 0);
        EXPECT_EQ(p.GetIntAttribute(L"words"), 0);
        EXPECT_FLOAT_EQ(p.GetFloatAttribute(L"half"), 0.5f);
        EXPECT_FLOAT_EQ(p.GetFloatAttribute(L"absent"), 0.0f);

        EXPECT_TRUE(p.GetBoolAttribute(L"t1"));
        EXPECT_TRUE(p.GetBoolAttribute(L"t2"));
        EXPECT_FALSE(p.GetBoolAttribute(L"upper"));
        EXPECT_FALSE(p.GetBoolAttribute(L"yes"));
        EXPECT_FALSE(p.GetBoolAttribute(L"spaced"));
        EXPECT_FALSE(p.GetBoolAttribute(L"absent"));

        EXPECT_TRUE(p.HasAttribute(L"empty"));
        EXPECT_FALSE(p.HasAttribute(L"absent"));
        EXPECT_EQ(p.GetAttribute(L"sum"), L"2+3");  // raw text
        EXPECT_EQ(p.GetAttribute(L"absent"), L"");
        EXPECT_EQ(p.GetTrackIdAttribute(L"absent"), -1);
    };
    bool ok = parser.LoadFromString(
        "<e sum='2+3' constant='tile_size' scaled='tile_size * 2' empty='' words='hello there'"
        " half='half' t1='true' t2='1' upper='TRUE' yes='yes' spaced=' true'/>",
        "t");
    PublishConstants(*saved);
    EXPECT_TRUE(ok) << parser.GetErrorText();
}

TEST_F(ParserAttributeTest, TenMegabyteAttribute) {
    std::string big(10 * 1024 * 1024, 'x');
    big[12345] = '&';
    big.replace(12345, 1, "&amp;");
    RecordingParser parser;
    size_t length = 0;
    wchar_t at = 0;
    parser.mOnStart = [&](RecordingParser& p, const XMLElement&) {
        std::wstring value = p.GetAttribute(L"data");
        length = value.size();
        at = value[12345];
    };
    ASSERT_TRUE(parser.LoadFromString("<a data=\"" + big + "\"/>", "big.xml")) << parser.GetErrorText();
    EXPECT_EQ(length, 10u * 1024 * 1024);
    EXPECT_EQ(at, L'&');
}

TEST_F(ParserErrorTest, UnopenableAndTruncatedFilesFailWithFileAndLine) {
    RecordingParser parser;
    EXPECT_FALSE(parser.LoadFile("no/such/file.xml"));
    EXPECT_NE(parser.GetErrorText().find("in File 'no/such/file.xml'"), std::string::npos)
        << parser.GetErrorText();
    ScratchFolder folder;
    std::string path = folder.Write("profiles.xml", "<profiles>\n  <player name='a'>\n    <set id='1'/>\n  </pla");
    EXPECT_FALSE(parser.LoadFile(path));
    const std::string& error = parser.GetErrorText();
    EXPECT_NE(error.find(" on Line 4"), std::string::npos) << error;
    EXPECT_NE(error.find(" in File '" + path + "'"), std::string::npos) << error;

    // Cut after a whole element but before the root closes.
    EXPECT_FALSE(parser.LoadFromString("<profiles>\n<player/>\n", "cut.xml"));
    EXPECT_NE(parser.GetErrorText().find("in File 'cut.xml'"), std::string::npos);
    EXPECT_FALSE(parser.LoadFromString("", "empty.xml"));
    EXPECT_FALSE(parser.LoadFromString("   ", "blank.xml"));
}

TEST_F(ParserErrorTest, MalformedFileFailsAtTheRightLine) {
    RecordingParser parser;
    EXPECT_FALSE(parser.LoadFromString("<a>\n<b>\n</c>\n</a>", "bad.xml"));
    EXPECT_NE(parser.GetErrorText().find("mismatched tag on Line 3 in File 'bad.xml'"), std::string::npos)
        << parser.GetErrorText();
    EXPECT_FALSE(parser.LoadFromString("<a x='1' x='2'/>", "dup.xml"));
    EXPECT_FALSE(parser.LoadFromString("<a/><b/>", "two-roots.xml"));
    EXPECT_FALSE(parser.LoadFromString("<a>&unknown;</a>", "entity.xml"));
    EXPECT_FALSE(parser.LoadFromString("<a>\xff\xfe\xfd</a>trailing", "bytes.xml"));
    // A good load after a bad one clears the error.
    EXPECT_TRUE(parser.LoadFromString("<a/>", "good.xml"));
    EXPECT_EQ(parser.GetErrorText(), "");
}

TEST_F(ParserErrorTest, HookFailureStopsTheLoad) {
    RecordingParser parser;
    parser.mFailOn = L"bad";
    parser.mFailMessage = "Unknown element <bad>";
    EXPECT_FALSE(parser.LoadFromString("<r>\n<ok/>\n<bad/>\n<after/>\n</r>", "hook.xml"));
    EXPECT_EQ(parser.GetErrorText(), "Unknown element <bad> on Line 3 in File 'hook.xml'");
    // Nothing after the failure reaches the hooks.
    EXPECT_EQ(parser.mEvents.back(), L"<bad>");
    RecordingParser silent;
    silent.mFailOn = L"bad";
    EXPECT_FALSE(silent.LoadFromString("<bad/>", "x.xml"));
    EXPECT_NE(silent.GetErrorText().find("on Line 1 in File 'x.xml'"), std::string::npos);
}

TEST_F(ParserErrorTest, HookMayLoadAnotherFile) {
    RecordingParser parser;
    bool inner = false;
    parser.mOnStart = [&](RecordingParser& p, const XMLElement& e) {
        if (e.mName != L"include") return;
        inner = p.LoadFromString("<inner v='1'/>", "inner.xml");
        EXPECT_EQ(p.GetAttribute(L"file"), L"x");  // back on the outer element
    };
    ASSERT_TRUE(parser.LoadFromString("<r><include file='x'/><tail/></r>", "outer.xml"));
    EXPECT_TRUE(inner);
    EXPECT_EQ(parser.mEvents, (Texts{L"<r>", L"<include file=x>", L"<inner v=1>", L"</inner>", L"</include>",
                                     L"<tail>", L"</tail>", L"</r>"}));
}

TEST_F(ParserErrorTest, LoadPropertiesFileReadsFromTheProperties) {
    ScratchFolder folder;
    folder.Write("Properties/Thing.xml", "<thing/>");
    CurrentFolder here(folder.Path());
    RecordingParser parser;
    EXPECT_TRUE(parser.LoadPropertiesFile("thing.xml")) << parser.GetErrorText();
    EXPECT_FALSE(parser.LoadPropertiesFile("other.xml"));
    EXPECT_NE(parser.GetErrorText().find("properties/other.xml"), std::string::npos);
}

std::string Utf16(const std::wstring& text, bool bigEndian, bool bom) {
    std::string out;
    auto put = [&](uint32_t unit) {
        char hi = static_cast<char>(unit >> 8), lo = static_cast<char>(unit & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    };
    if (bom) put(0xFEFF);
    for (wchar_t c : text) {
        uint32_t cp = static_cast<uint32_t>(c);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            put(0xD800 + (cp >> 10));
            put(0xDC00 + (cp & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}

TEST_F(XmlEncodingTest, ReadsUtf16AndUtf8) {
    const std::wstring doc = L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<a t=\"\u00e9\U0001D11E\">  caf\u00e9\n x </a>";
    const Texts expected{L"<a t=\u00e9\U0001D11E>", L"[caf\u00e9 x]@a", L"</a>"};
    EXPECT_EQ(Events(Utf16(doc, false, true)), expected);
    EXPECT_EQ(Events(Utf16(doc, true, true)), expected);
    EXPECT_EQ(Events(Utf16(doc, false, false)), expected);
    const std::wstring plainDoc = L"<a t=\"\u00e9\U0001D11E\">  caf\u00e9\n x </a>";
    EXPECT_EQ(Events("\xEF\xBB\xBF" + WStringToString(plainDoc)), expected);
    EXPECT_EQ(Events(WStringToString(plainDoc)), expected);
}

// Single-byte text from older editors: with no byte order mark and no
// declared encoding, bytes that are not UTF-8, with no multi-byte sequence
// of UTF-8 among them, are Latin-1. Anything declared
// or marked keeps UTF-8's rules, so a stray byte there is still an error.
TEST_F(XmlEncodingTest, UndeclaredTextThatIsNotUtf8IsLatin1) {
    const Texts expected{L"<a t=Mu\u00f1oz>", L"[caf\u00e9 \u00bfs\u00ed?]@a", L"</a>"};
    EXPECT_EQ(Events("<a t=\"Mu\xF1oz\">caf\xE9 \xBFs\xED?</a>"), expected);
    EXPECT_EQ(Events("<?xml version=\"1.0\"?>\n<a t=\"Mu\xF1oz\">caf\xE9 \xBFs\xED?</a>"), expected);
    EXPECT_EQ(EncodingParser::Decode("\xE9t\xE9"), L"\u00e9t\u00e9");
    RecordingParser parser;
    // UTF-8 with one stray byte is damaged UTF-8, not Latin-1 (which would
    // turn its every accented letter into two): an error at the byte's line.
    EXPECT_EQ(EncodingParser::Detect("caf\xC3\xA9 \xE9", 7), EncodingParser::Utf8);
    EXPECT_FALSE(parser.LoadFromString("<a t=\"Jos\xC3\xA9\">\n\xE9</a>", "mixed.xml"));
    EXPECT_NE(parser.GetErrorText().find("on Line 2 in File 'mixed.xml'"), std::string::npos) << parser.GetErrorText();
    EXPECT_EQ(EncodingParser::RepairUtf8("Jos\xC3\xA9 \xE9!\xE2\x82"), "Jos\xC3\xA9 \xEF\xBF\xBD!\xEF\xBF\xBD");
    for (const char* xml : {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>caf\xE9</a>", "\xEF\xBB\xBF<a>\n\xE9</a>"}) {
        EXPECT_FALSE(parser.LoadFromString(xml, "declared.xml")) << xml;
        EXPECT_NE(parser.GetErrorText().find("on Line 2 in File 'declared.xml'"), std::string::npos)
            << parser.GetErrorText();
    }
}

// Lines are counted as expat counts them: "\n", "\r\n" and a lone "\r".
TEST_F(XmlEncodingTest, ElementLinesCountEveryKindOfLineBreak) {
    std::vector<int> lines;
    RecordingParser parser;
    parser.mOnStart = [&](RecordingParser&, const XMLElement& element) { lines.push_back(element.mLine); };
    const std::string gap(40, ' ');
    ASSERT_TRUE(parser.LoadFromString("<a>\n<b/>\r\n<c/>\r<d/>\r\n\r\n<e/>" + gap + "\n<f/></a>", "l"));
    EXPECT_EQ(lines, (std::vector<int>{1, 2, 3, 4, 6, 7}));
    lines.clear();
    ASSERT_TRUE(parser.LoadFromString("<a>\n\n<b/>" + gap + "\n\n\n" + gap + "<c/>\n" + gap + "\n<d x=\"\n\n\"/><e/></a>", "l"));
    EXPECT_EQ(lines, (std::vector<int>{1, 3, 6, 8, 10}));
}

TEST_F(XmlEncodingTest, DecodesToWideText) {
    EXPECT_EQ(EncodingParser::Decode(Utf16(L"h\u00e9\U0001F600", true, true)), L"h\u00e9\U0001F600");
    EXPECT_EQ(EncodingParser::Decode(Utf16(L"x", false, true) + "\x01"), L"x\ufffd");  // odd byte
    std::string lone = Utf16(L"a", false, true);
    lone += std::string("\x00\xD8" "b\x00", 4);  // a high surrogate, then "b"
    EXPECT_EQ(EncodingParser::Decode(lone), L"a\ufffdb");
    EXPECT_EQ(EncodingParser::Decode("\xEF\xBB\xBFok\xC3"), L"ok\ufffd");
    EXPECT_EQ(EncodingParser::ToUtf8(Utf16(L"\u00e9", false, true)), "\xC3\xA9");
    EXPECT_EQ(EncodingParser::Detect("<\0", 2), EncodingParser::Utf16LE);
    EXPECT_EQ(EncodingParser::Detect("\0<", 2), EncodingParser::Utf16BE);
    EXPECT_EQ(EncodingParser::Detect("", 0), EncodingParser::Utf8);
}

}  // namespace
