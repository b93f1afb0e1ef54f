// The report windows without a display: their controls, the user's text box
// and the flow from "Fatal Error!" to the upload's end, driven by events.
#include <gtest/gtest.h>

#include "crash/ReporterFlow.h"
#include "crash/ReporterWindows.h"

namespace {

// Every character 6 pixels wide, lines 10 high; a glyph is a solid block.
class BlockFace : public DialogFace {
public:
    int Ascent() const override { return 8; }
    int LineHeight() const override { return 10; }
    int Advance(uint32_t) override { return 6; }
    const Glyph* Rasterize(uint32_t) override { return &mBlock; }

private:
    Glyph mBlock{4, 6, 1, 6, std::vector<uint8_t>(24, 255)};
};

class FakeUpload : public ReporterUpload {
public:
    void Start(const std::string& userText) override {
        texts.push_back(userText);
        result = 2;
    }
    int Result() override { return result; }
    void Abort() override { result = 5; }
    void Reset() override { result = 1; }

    std::vector<std::string> texts;
    int result = 1;
};

InputEvent Event(InputEvent::Type type, int x = 0, int y = 0) {
    InputEvent e;
    e.type = type;
    e.x = x;
    e.y = y;
    e.button = MouseButton::Left;
    return e;
}

InputEvent Key(int key, bool shift = false) {
    InputEvent e = Event(InputEvent::KeyDown);
    e.key = key;
    e.shift = shift;
    return e;
}

class ReporterWindowsTest : public ::testing::Test {
protected:
    void Open(bool hasHost, bool hasApp, const std::string& report = "line\r\n") {
        auto face = std::make_shared<BlockFace>();
        DialogFaces faces{face, face, face, face};
        mFlow = std::make_unique<ReporterWindows>(
            ReporterContent{"An unexpected error has occured!", report, "Please help out.", hasHost, hasApp}, faces,
            mUpload, [this] {
                ++mAsked;
                return mRetry;
            });
    }
    void Send(const InputEvent& e) { mFlow->Handle(e, mNow); }
    void Click(int x, int y) {
        Send(Event(InputEvent::MouseDown, x, y));
        Send(Event(InputEvent::MouseUp, x, y));
    }
    void Wheel(int steps) {
        InputEvent e = Event(InputEvent::MouseWheel);
        e.wheel = steps;
        Send(e);
    }
    void Click(const Rect& r) { Click(r.mX + r.mWidth / 2, r.mY + r.mHeight / 2); }
    void Click(const std::string& button) {
        ASSERT_NE(mFlow->Current()->FindButton(button), nullptr) << button;
        Click(mFlow->Current()->FindButton(button)->Bounds());
    }
    void Type(const std::u32string& text) {
        for (char32_t c : text) {
            InputEvent e = Event(InputEvent::Char);
            e.character = static_cast<wchar_t>(c);
            Send(e);
        }
    }
    void Wait(int millis) {
        mNow += millis;
        mFlow->Tick(mNow);
    }
    DialogTextBox& Box(ReporterWindows::Stage stage) {
        return *static_cast<DialogTextBox*>(mFlow->Window(stage).Focus());
    }
    // Sends the report with the given user text and comes to the progress window.
    void ReachProgress(const std::u32string& text) {
        Click("Send Report");
        Type(text);
        Click("Continue");
        ASSERT_EQ(mFlow->GetStage(), ReporterWindows::Progress);
    }

    FakeUpload mUpload;
    std::unique_ptr<ReporterWindows> mFlow;
    int64_t mNow = 1000;
    int mAsked = 0;
    bool mRetry = true;
};

TEST_F(ReporterWindowsTest, ButtonsFollowTheEndpointAndTheApplication) {
    struct Case {
        bool hasHost, hasApp;
        const char* report;   // labels, '-' for a disabled one, and x:width
        const char* details;
    } cases[] = {
        {false, true, "Close Now+8:384", "Continue+8:188 Abort+204:188"},
        {true, true, "Send Report+8:188 Close Now+212:188", "Continue+8:188 Abort+204:188"},
        {true, false, "Send Report-8:188 Close Now+212:188", "Continue-8:188 Abort+204:188"},
    };
    auto describe = [](const Dialog& dialog) {
        std::string out;
        for (const DialogButton* b : dialog.Buttons())
            out += (out.empty() ? "" : " ") + b->Label() + (b->Enabled() ? "+" : "-") +
                   std::to_string(b->Bounds().mX) + ":" + std::to_string(b->Bounds().mWidth);
        return out;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.report));
        Open(c.hasHost, c.hasApp);
        EXPECT_EQ(describe(mFlow->Window(ReporterWindows::Report)), c.report);
        EXPECT_EQ(describe(mFlow->Window(ReporterWindows::Details)), c.details);
    }
    EXPECT_EQ(describe(mFlow->Window(ReporterWindows::Progress)), "Abort+72:96");

    // Disabled: drawn in grey, deaf to the mouse, skipped by Tab.
    auto textPixels = [](const Picture& picture, const Rect& r, uint32_t color) {
        int count = 0;
        for (int y = r.mY; y < r.mY + r.mHeight; ++y)
            for (int x = r.mX; x < r.mX + r.mWidth; ++x) count += picture.argb[y * picture.width + x] == color;
        return count;
    };
    Dialog& report = mFlow->Window(ReporterWindows::Report);
    const Picture& picture = report.Paint();
    Rect send = report.FindButton("Send Report")->Bounds();
    EXPECT_EQ(textPixels(picture, send, DialogColor::kText), 0);
    EXPECT_GT(textPixels(picture, send, DialogColor::kGreyText), 0);
    EXPECT_GT(textPixels(picture, report.FindButton("Close Now")->Bounds(), DialogColor::kText), 0);
    Click("Send Report");
    Send(Key(KeyCode::Tab));
    EXPECT_EQ(report.Focus(), report.FindButton("Close Now"));
    Send(Key(KeyCode::Return));
    EXPECT_TRUE(mFlow->Finished());
    EXPECT_FALSE(mFlow->Sent());
}

TEST_F(ReporterWindowsTest, TheUserTextBoxEdits) {
    Open(true, true);
    Click("Send Report");
    DialogTextBox& box = Box(ReporterWindows::Details);
    Type(U"ab\u00e9\u20ac\U0001F600");
    EXPECT_EQ(box.Length(), 5u);
    Send(Key(KeyCode::Backspace));
    EXPECT_EQ(box.Text(), "ab\xc3\xa9\xe2\x82\xac");  // the whole emoji went, no stray bytes
    Send(Key(KeyCode::Left));
    Send(Key(KeyCode::Left));
    Send(Key(KeyCode::Backspace));
    Send(Key(KeyCode::Return));
    Type(U"\x01" U"c");  // control characters are not text
    EXPECT_EQ(box.Text(), "a\nc\xc3\xa9\xe2\x82\xac");
    EXPECT_EQ(box.LineCount(), 2);
    EXPECT_EQ(box.CaretLine(), 1);
    Send(Key(KeyCode::Home));
    Send(Key(KeyCode::Delete));
    Send(Key(KeyCode::Up));
    EXPECT_EQ(box.Caret(), 0u);
    Click(box.TextArea().mX + 6 * 2 + 1, box.TextArea().mY + 10 + 2);  // past the end of its two characters
    EXPECT_EQ(box.Caret(), 4u);
    Send(Key(KeyCode::Up));  // to the end of the shorter "a"
    EXPECT_EQ(box.Caret(), 1u);

    // Many lines: the caret stays in view; Backspace at the start does nothing.
    Send(Key(KeyCode::End, false));
    for (int i = 0; i < 40; ++i) Send(Key(KeyCode::Return));
    EXPECT_EQ(box.TopLine(), box.CaretLine() - box.VisibleLines() + 1);
    InputEvent start = Key(KeyCode::Home);
    start.ctrl = true;
    Send(start);
    EXPECT_EQ(box.TopLine(), 0);
    EXPECT_FALSE(box.Backspace());

    // At most kMaxUserText characters are kept, a paste cut to what fits.
    box.SetText("");
    EXPECT_TRUE(box.Insert(std::u32string(kMaxUserText - 1, U'x') + U"yz"));
    EXPECT_EQ(box.Length(), kMaxUserText);
    EXPECT_EQ(box.Text().back(), 'y');
    EXPECT_FALSE(box.OnChar(U'w'));
    std::string accents;
    for (size_t i = 0; i <= kMaxUserText; ++i) accents += "\xc3\xa9";
    EXPECT_TRUE(LimitUserText(accents) == accents.substr(0, 2 * kMaxUserText));  // never half a character
}

TEST_F(ReporterWindowsTest, TheReportWrapsAndScrolls) {
    std::string report;
    for (int i = 0; i < 98; ++i) report += "frame " + std::to_string(i) + "\r\n";
    // 59 characters fit a line: a word too long is broken anywhere, words wrap whole.
    report += std::string(130, 'A') + "\r\n" + std::string(40, 'b') + " " + std::string(40, 'c');
    Open(false, true, report);
    DialogTextBox& box = Box(ReporterWindows::Report);
    ASSERT_EQ(box.VisibleLines(), 16);
    ASSERT_EQ(box.LineCount(), 98 + 3 + 2);
    const int last = box.LineCount() - box.VisibleLines();

    struct Step {
        const char* what;
        std::function<void()> act;
        int top;
    } steps[] = {
        {"wheel down", [&] { Wheel(-1); }, 3},
        {"down arrow", [&] { Click(box.DownArrow()); }, 4},
        {"key down", [&] { Send(Key(KeyCode::Down)); }, 5},
        {"track below the thumb", [&] { Click(box.Thumb().mX + 3, box.Thumb().mY + box.Thumb().mHeight + 2); }, 21},
        {"page up", [&] { Send(Key(KeyCode::PageUp)); }, 5},
        {"end", [&] { Send(Key(KeyCode::End)); }, last},
        {"wheel down at the end", [&] { Wheel(-1); }, last},
        {"up arrow", [&] { Click(box.UpArrow()); }, last - 1},
        {"home", [&] { Send(Key(KeyCode::Home)); }, 0},
        {"thumb dragged to the bottom",
         [&] {
             Rect thumb = box.Thumb();
             Send(Event(InputEvent::MouseDown, thumb.mX + 3, thumb.mY + 2));
             Send(Event(InputEvent::MouseMove, thumb.mX + 3, box.Track().mY + box.Track().mHeight));
             Send(Event(InputEvent::MouseUp, thumb.mX + 3, box.Track().mY + box.Track().mHeight));
         },
         last},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_EQ(box.TopLine(), step.top);
    }
    Rect thumb = box.Thumb();
    EXPECT_EQ(thumb.mY + thumb.mHeight, box.Track().mY + box.Track().mHeight);
    // The report is read-only.
    Type(U"x");
    EXPECT_EQ(box.Length(), report.size() - 99);  // less the carriage returns
}

TEST_F(ReporterWindowsTest, ContinueSendsTheUserTextAndTheProgressCountsSeconds) {
    Open(true, true);
    ReachProgress(U"it crashed");
    EXPECT_EQ(mUpload.texts, std::vector<std::string>{"it crashed"});
    EXPECT_EQ(mFlow->ProgressLine(), "Please Wait");
    for (int second = 1; second <= 11; ++second) {
        for (int step = 0; step < 1000 / ReporterWindows::kPollMillis; ++step) Wait(ReporterWindows::kPollMillis);
        EXPECT_EQ(mFlow->ProgressLine(), ProgressText(second));
    }
    EXPECT_EQ(mFlow->NextTimer(), mNow + ReporterWindows::kPollMillis);
    mUpload.result = 0;
    Wait(ReporterWindows::kPollMillis);
    EXPECT_TRUE(mFlow->Finished());
    EXPECT_TRUE(mFlow->Sent());
    EXPECT_EQ(mFlow->LastResult(), 0);
    EXPECT_EQ(mFlow->NextTimer(), -1);
}

TEST_F(ReporterWindowsTest, CloseAbortRetryAndCancel) {
    struct Case {
        const char* what;
        std::function<void()> act;
        bool sent;
        int result;
        int asked;
    } cases[] = {
        {"close the report", [&] { Send(Event(InputEvent::Quit)); }, false, 0, 0},
        {"close now", [&] { Click("Close Now"); }, false, 0, 0},
        {"abort the details",
         [&] {
             Click("Send Report");
             Click("Abort");
         },
         false, 0, 0},
        {"escape in the details",
         [&] {
             Click("Send Report");
             Send(Key(KeyCode::Escape));
         },
         false, 0, 0},
        {"abort the progress",
         [&] {
             ReachProgress(U"");
             Click("Abort");
             Wait(ReporterWindows::kPollMillis);
         },
         true, 5, 0},
        {"close the progress",
         [&] {
             ReachProgress(U"");
             Send(Event(InputEvent::Quit));
             Wait(ReporterWindows::kPollMillis);
         },
         true, 5, 0},
        {"fail, retry, fail, cancel",
         [&] {
             ReachProgress(U"again");
             mUpload.result = 8;
             Wait(ReporterWindows::kPollMillis);
             EXPECT_EQ(mUpload.texts, (std::vector<std::string>{"again", "again"}));
             EXPECT_EQ(mFlow->GetStage(), ReporterWindows::Progress);
             mRetry = false;
             mUpload.result = 7;
             Wait(ReporterWindows::kPollMillis);
         },
         true, 7, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        mUpload = FakeUpload();
        mAsked = 0;
        mRetry = true;
        Open(true, true);
        c.act();
        EXPECT_TRUE(mFlow->Finished());
        EXPECT_EQ(mFlow->Sent(), c.sent);
        EXPECT_EQ(mFlow->LastResult(), c.result);
        EXPECT_EQ(mAsked, c.asked);
    }
    // Without the application neither button sends.
    Open(true, false);
    Click("Send Report");
    EXPECT_EQ(mFlow->GetStage(), ReporterWindows::Report);
}

}  // namespace
