// The controls driven by real input events through the application's main
// loop: buttons, links, check boxes, sliders and edit fields.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "audio/SoundManager.h"
#include "data/Animation.h"
#include "data/Localization.h"
#include "render/Font.h"
#include "render/D3DInterface.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "tests/support/FakeAudio.h"
#include "tests/support/FixedFont.h"
#include "tests/support/GLTestWindow.h"
#include "tests/widgets/WidgetAppTest.h"
#include "widgets/AnimationWidget.h"
#include "widgets/ButtonWidget.h"
#include "widgets/Checkbox.h"
#include "widgets/EditWidget.h"
#include "widgets/HyperlinkWidget.h"
#include "widgets/Slider.h"

namespace {

class ControlsApp : public TestGameApp {
public:
    SoundManager* CreateSoundManager() override { return new FakeSoundManager(); }
    FakeSoundManager& Sounds() { return *static_cast<FakeSoundManager*>(mSoundManager); }
};

class Buttons : public ButtonListener {
public:
    void ButtonPress(int id) override { mLog.push_back("press " + std::to_string(id)); }
    void ButtonDepress(int id) override { mLog.push_back("depress " + std::to_string(id)); }
    void ButtonMouseEnter(int id) override { mLog.push_back("enter " + std::to_string(id)); }
    void ButtonMouseLeave(int id) override { mLog.push_back("leave " + std::to_string(id)); }
    int Count(const std::string& what) const {
        int n = 0;
        for (const std::string& s : mLog)
            if (s.rfind(what, 0) == 0) ++n;
        return n;
    }
    std::vector<std::string> mLog;
};

class ControlsTest : public WidgetAppTest<ControlsApp> {
protected:
    ButtonWidget* AddButton(int x, int y, int w, int h) {
        auto* button = new ButtonWidget(static_cast<float>(x), static_cast<float>(y), L"no_such_image");
        button->Resize(static_cast<float>(x), static_cast<float>(y), w, h);
        button->mButtonListener = &mButtons;
        mManager->AddWidget(button);
        return button;
    }
    // An opaque white image that lives as long as the tree.
    Image* SolidImage(int w, int h) {
        ImageData data;
        data.mWidth = w;
        data.mHeight = h;
        data.mBits.assign(static_cast<size_t>(w) * h, 0xFFFFFFFFu);
        mImages.emplace_back(CreateImageFromData(std::move(data), 1, 1));
        return mImages.back().get();
    }

    Buttons mButtons;
    FixedFont mFont;  // 10 pixels a letter, 20 high, the baseline at 16
    std::vector<std::unique_ptr<Image>> mImages;
};

TEST_F(ControlsTest, ClickOnAButtonReachesItsListenerOnceUnderTheHandCursor) {
    ButtonWidget* button = AddButton(100, 100, 80, 30);
    button->mHoverSound = 7;
    button->mPressSound = 9;
    mHarness.Click(120, 110);
    std::string id = std::to_string(button->mId);
    EXPECT_EQ(mButtons.mLog, (std::vector<std::string>{"enter " + id, "press " + id, "depress " + id}));
    EXPECT_EQ(mApp->Sounds().mPlayed, (std::vector<int>{7, 9}));
    EXPECT_EQ(button->GetState(), ButtonWidget::Over);
    EXPECT_EQ(mApp->GetCursor(), 1);  // the hand
    mHarness.MouseMove(500, 500);
    EXPECT_EQ(mButtons.Count("leave"), 1);
    EXPECT_EQ(button->GetState(), ButtonWidget::Normal);
    EXPECT_EQ(mApp->GetCursor(), 0);

    // A fast click depresses at the press only.
    button->mFastClick = true;
    mHarness.MouseDown(120, 110);
    EXPECT_EQ(mButtons.Count("depress"), 2);
    mHarness.MouseUp(120, 110);
    EXPECT_EQ(mButtons.Count("depress"), 2);
    // The hand turned off while the pointer is over the button still goes
    // when the pointer leaves; after that the button shows no hand.
    button->mHandCursor = false;
    mHarness.MouseMove(500, 500);
    EXPECT_EQ(mApp->GetCursor(), 0);
    mHarness.MouseMove(130, 110);
    EXPECT_EQ(mApp->GetCursor(), 0);
}

TEST_F(ControlsTest, PressDragOutAndReleaseDoesNotClickWhenDepressOnlyWhenOver) {
    ButtonWidget* button = AddButton(100, 100, 80, 30);
    ASSERT_TRUE(button->mDepressOnlyWhenOver);
    mHarness.MouseMove(120, 110);
    mHarness.MouseDown(120, 110);
    EXPECT_EQ(button->GetState(), ButtonWidget::Down);
    mHarness.MouseMove(400, 400);
    EXPECT_EQ(button->GetState(), ButtonWidget::Normal);
    EXPECT_TRUE(button->mIsDown);
    mHarness.MouseUp(400, 400);
    EXPECT_EQ(mButtons.Count("press"), 1);
    EXPECT_EQ(mButtons.Count("depress"), 0);

    // Out and back in before the release: a click.
    mHarness.MouseMove(120, 110);
    mHarness.MouseDown(120, 110);
    mHarness.MouseMove(400, 400);
    mHarness.MouseMove(130, 115);
    mHarness.MouseUp(130, 115);
    EXPECT_EQ(mButtons.Count("depress"), 1);

    // Without the flag a release anywhere clicks.
    button->mDepressOnlyWhenOver = false;
    mHarness.MouseDown(130, 115);
    mHarness.MouseMove(600, 600);
    mHarness.MouseUp(600, 600);
    EXPECT_EQ(mButtons.Count("depress"), 2);
}

// Right clicks press no button, nor a plain animated widget with a button
// listener; a disabled button takes no click at all.
TEST_F(ControlsTest, RightClicksAndDisabledButtonsDoNotPress) {
    ButtonWidget* button = AddButton(0, 0, 50, 50);
    auto* plain = new DynamicWidget(100.0f, 100.0f, SolidImage(40, 40));
    plain->mButtonListener = &mButtons;
    mManager->AddWidget(plain);
    for (Point p : {Point(10, 10), Point(110, 110)}) mHarness.Click(p.mX, p.mY, MouseButton::Right);
    EXPECT_EQ(mButtons.Count("press"), 0);
    EXPECT_EQ(mButtons.Count("depress"), 0);
    mHarness.Click(110, 110);
    std::string id = std::to_string(plain->mId);
    EXPECT_EQ(mButtons.Count("press " + id), 1);
    EXPECT_EQ(mButtons.Count("depress " + id), 1);
    button->SetDisabled(true);
    EXPECT_EQ(button->GetState(), ButtonWidget::Disabled);
    mHarness.Click(10, 10);
    EXPECT_EQ(mButtons.Count("press"), 1);
    EXPECT_EQ(mButtons.Count("depress"), 1);
}

TEST_F(ControlsTest, AButtonOutlivingItsListenerReportsNothing) {
    auto* listener = new Buttons();
    ButtonWidget* button = AddButton(0, 0, 50, 50);
    button->mButtonListener = listener;
    delete listener;
    mHarness.Click(10, 10);
    EXPECT_EQ(button->mButtonListener.Get(), nullptr);
}

TEST_F(ControlsTest, AnimationNamedButtonShowsAChildThePointerPassesThrough) {
    AnimationTable table;
    Animation& look = table[L"test_button_look"];
    look.mName = L"test_button_look";
    look.mCommands.resize(1);
    look.mCommands[0].mName = L"test-noop";
    PublishAnimations(std::move(table));

    auto* button = new ButtonWidget(100, 100, L"test_button_look");
    button->mButtonListener = &mButtons;
    ASSERT_NE(button->GetAnimation(), nullptr);
    EXPECT_EQ(button->GetWidgetCount(), 1u);
    EXPECT_EQ(button->mWidth, 0);
    mManager->AddWidget(button);
    button->GetAnimation()->Resize(0, 0, 40, 20);
    mHarness.RunSteps(1);
    EXPECT_EQ(button->mWidth, 40);
    EXPECT_EQ(button->mHeight, 20);
    mHarness.Click(110, 110);
    EXPECT_EQ(mButtons.Count("depress"), 1);

    // A name that is neither an image nor an animation: a plain button.
    auto* plain = new ButtonWidget(0, 0, L"no_image_and_no_animation");
    EXPECT_EQ(plain->GetAnimation(), nullptr);
    EXPECT_EQ(plain->GetWidgetCount(), 0u);
    delete plain;
}

TEST_F(ControlsTest, StateFontsAreDuplicatesWithTheNormalOneAsFallback) {
    ButtonWidget* button = AddButton(0, 0, 50, 50);
    EXPECT_EQ(button->GetStateFont(ButtonWidget::Over), nullptr);
    int before = FixedFont::sDuplicates;
    {
        FixedFont normal, over;
        button->SetStateFont(&normal, ButtonWidget::Normal);
        button->SetStateFont(&over, ButtonWidget::Over);
        EXPECT_EQ(FixedFont::sDuplicates, before + 2);
        EXPECT_NE(button->GetStateFont(ButtonWidget::Normal), &normal);
    }
    Font* normalCopy = button->GetStateFont(ButtonWidget::Normal);
    ASSERT_NE(normalCopy, nullptr);
    EXPECT_NE(button->GetStateFont(ButtonWidget::Over), normalCopy);
    EXPECT_EQ(button->GetStateFont(ButtonWidget::Down), normalCopy);
    EXPECT_EQ(button->GetStateFont(99), normalCopy);
    button->SetStateFont(nullptr, ButtonWidget::Over);
    EXPECT_EQ(button->GetStateFont(ButtonWidget::Over), normalCopy);

    // The label is drawn in the fonts kept.
    button->SetLabel(L"OK", false);
    int drawn = FixedFont::sDrawn;
    mHarness.RunSteps(1);
    EXPECT_GT(FixedFont::sDrawn, drawn);
}

TEST_F(ControlsTest, LabelsAreLocalizedAndMeasuredWithWrapping) {
    auto saved = gLocalizedStrings.Snapshot();
    gLocalizedStrings.Publish({{L"greeting", L"ab cd"}});
    ButtonWidget* button = AddButton(0, 0, 1, 1);
    FixedFont font;
    button->SetFont(&font);
    button->SetLabel(L"greeting", true);
    EXPECT_EQ(button->GetDisplayLabel(), L"ab cd");
    button->SizeToLabel();
    EXPECT_EQ(button->mWidth, 50);
    EXPECT_EQ(button->mHeight, 20);
    button->mWrapWidth = 25;
    EXPECT_EQ(button->MeasureLabel(), Point(20, 40));
    button->SetLabel(L"missing_key", true);
    EXPECT_EQ(button->GetDisplayLabel(), L"");
    button->SetLabel(L"plain", false);
    EXPECT_EQ(button->GetDisplayLabel(), L"plain");
    gLocalizedStrings.Publish(*saved);
}

TEST_F(ControlsTest, HyperlinkSizesToItsTextAndClicks) {
    auto* link = new HyperlinkWidget(&mButtons);
    FixedFont font;
    link->SetStateFont(&font, 0);
    link->SetLabel(L"abcd efgh", false);
    link->SizeToText(500, 300, 60);
    EXPECT_EQ(link->mWidth, 40);
    EXPECT_EQ(link->mHeight, 40);
    EXPECT_EQ(link->mX, 480.0f);
    EXPECT_EQ(link->mY, 300.0f);
    mManager->AddWidget(link);
    mHarness.Click(490, 310);
    EXPECT_EQ(mButtons.Count("depress"), 1);
}

class Boxes : public CheckboxListener {
public:
    void CheckboxChecked(int id, bool checked) override { mCalls.emplace_back(id, checked); }
    std::vector<std::pair<int, bool>> mCalls;
};

TEST_F(ControlsTest, CheckboxTogglesOnAClickAndTellsItsListener) {
    Boxes boxes;
    auto* box = new Checkbox(nullptr, nullptr, nullptr, nullptr, &boxes);
    box->Resize(10, 10, 20, 20);
    mManager->AddWidget(box);
    mHarness.Click(15, 15);
    ASSERT_EQ(boxes.mCalls.size(), 1u);
    EXPECT_EQ(boxes.mCalls[0], std::make_pair(box->mId, true));
    EXPECT_TRUE(box->IsChecked());
    mHarness.Click(15, 15, MouseButton::Right);
    EXPECT_TRUE(box->IsChecked());
    mHarness.Click(15, 15);
    EXPECT_FALSE(box->IsChecked());
    EXPECT_EQ(boxes.mCalls.back(), std::make_pair(box->mId, false));
    box->SetChecked(true, false);  // set directly: no report
    EXPECT_EQ(boxes.mCalls.size(), 2u);
    EXPECT_TRUE(box->mChecked);
    mHarness.RunSteps(1);  // draws without images
}

TEST_F(ControlsTest, CheckboxShowsOneOfItsFourImages) {
    Image* off = SolidImage(24, 22);
    Image* offHover = SolidImage(24, 22);
    Image* on = SolidImage(24, 22);
    Image* onHover = SolidImage(24, 22);
    auto* box = new Checkbox(off, offHover, on, onHover, nullptr);
    EXPECT_EQ(box->mWidth, 24);
    EXPECT_EQ(box->mHeight, 22);
    box->Move(100, 100);
    mManager->AddWidget(box);
    EXPECT_EQ(box->GetStateImage(), off);
    mHarness.MouseMove(105, 105);
    EXPECT_EQ(box->GetStateImage(), offHover);
    mHarness.MouseDown(105, 105);
    mHarness.MouseUp(105, 105);
    EXPECT_EQ(box->GetStateImage(), onHover);
    mHarness.MouseMove(300, 300);
    EXPECT_EQ(box->GetStateImage(), on);
    mHarness.RunSteps(1);
}

class Sliders : public SliderListener {
public:
    void SliderValueChanged(Slider* slider, double value) override {
        mValues.push_back(value);
        mDraggingSeen.push_back(slider->IsDragging());
    }
    void SliderReleased(Slider*) override { ++mReleased; }
    std::vector<double> mValues;
    std::vector<bool> mDraggingSeen;
    int mReleased = 0;
};

TEST_F(ControlsTest, SliderValueIsClampedAndDraggedByItsThumb) {
    Sliders sliders;
    auto* slider = new Slider(nullptr, nullptr, &sliders);
    slider->Resize(100, 100, 200, 20);  // thumb 20 wide: 180 pixels of travel
    mManager->AddWidget(slider);
    slider->SetValue(-1.0);
    EXPECT_EQ(slider->GetValue(), 0.0);
    slider->SetValue(2.0);
    EXPECT_EQ(slider->GetValue(), 1.0);
    slider->SetValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(slider->GetValue(), 0.0);
    EXPECT_TRUE(sliders.mValues.empty());  // SetValue is not reported

    mHarness.MouseMove(105, 110);
    mHarness.MouseDown(105, 110);  // on the thumb, 5 pixels in
    EXPECT_TRUE(slider->IsDragging());
    EXPECT_TRUE(sliders.mValues.empty());
    mHarness.MouseMove(195, 110);
    ASSERT_EQ(sliders.mValues.size(), 1u);
    EXPECT_DOUBLE_EQ(sliders.mValues[0], 0.5);
    EXPECT_TRUE(sliders.mDraggingSeen[0]);
    mHarness.MouseMove(900, 110);  // past the end
    EXPECT_DOUBLE_EQ(slider->GetValue(), 1.0);
    mHarness.MouseUp(900, 110);
    EXPECT_FALSE(slider->IsDragging());
    EXPECT_EQ(sliders.mReleased, 1);

    // A press on the track moves the thumb's centre there at once.
    mHarness.MouseMove(110, 110);
    mHarness.MouseDown(110, 110);
    EXPECT_DOUBLE_EQ(slider->GetValue(), 0.0);
    mHarness.MouseUp(110, 110);
    mHarness.MouseDown(200, 110);
    EXPECT_DOUBLE_EQ(slider->GetValue(), 0.5);
    EXPECT_FALSE(sliders.mDraggingSeen.back());
    mHarness.MouseUp(200, 110);
    EXPECT_EQ(sliders.mReleased, 3);
}

class Edits : public EditListener {
public:
    bool AllowKey(int, int key) override { return key != mRefusedKey; }
    bool AllowChar(int, wchar_t c) override {
        ++mAsked;
        return c != L'x';
    }
    void EditWidgetText(int, const std::wstring& text) override { mEntered = text; }
    int mRefusedKey = -1;
    int mAsked = 0;
    std::wstring mEntered;
};

TEST_F(ControlsTest, EditWidgetRefusesWhatItsListenerRefuses) {
    Edits edits;
    auto* edit = new EditWidget(&edits);
    edit->SetFont(&mFont);
    edit->ResizeEdit(10, 10, 200, 30);
    mManager->AddWidget(edit);
    mHarness.TypeText(L"abc");  // without the focus: nothing
    EXPECT_EQ(edit->GetText(), L"");
    mHarness.Click(50, 20);  // the click gives it the focus
    ASSERT_EQ(mManager->GetFocus(), edit);

    mHarness.TypeText(L"axbx");
    EXPECT_EQ(edit->GetText(), L"ab");
    EXPECT_EQ(edits.mAsked, 4);
    mHarness.TypeText(std::wstring(1, L'\x01'));  // control characters never enter
    EXPECT_EQ(edit->GetText(), L"ab");

    edits.mRefusedKey = KeyCode::Backspace;
    mHarness.PressKey(KeyCode::Backspace);
    EXPECT_EQ(edit->GetText(), L"ab");
    edits.mRefusedKey = -1;
    mHarness.PressKey(KeyCode::Backspace);
    EXPECT_EQ(edit->GetText(), L"a");

    mHarness.PressKey(KeyCode::Home);
    mHarness.TypeText(L"z");
    EXPECT_EQ(edit->GetText(), L"za");
    EXPECT_EQ(edit->GetCaret(), 1);
    mHarness.PressKey(KeyCode::Delete);
    EXPECT_EQ(edit->GetText(), L"z");

    edit->PasteText(L"1x2\n3");  // pasted text goes through the same questions
    EXPECT_EQ(edit->GetText(), L"z123");
    edit->mMaxChars = 5;
    mHarness.TypeText(L"456");
    EXPECT_EQ(edit->GetText(), L"z1234");
    mHarness.PressKey(KeyCode::Return);
    EXPECT_EQ(edits.mEntered, L"z1234");

    // Ctrl+A selects everything; what is typed next replaces it.
    InputEvent selectAll;
    selectAll.type = InputEvent::KeyDown;
    selectAll.key = 'a';
    selectAll.ctrl = true;
    mHarness.Push(selectAll);
    mHarness.DrainInput();
    EXPECT_TRUE(edit->HasSelection());
    edit->mMaxChars = -1;
    mHarness.TypeText(L"q");
    EXPECT_EQ(edit->GetText(), L"q");

    edit->SetColor(EditWidget::Highlight, Color(1, 2, 3));
    EXPECT_EQ(edit->GetColor(EditWidget::Highlight).mBlue, 3);
    edit->SetColor(9, Color(9, 9, 9));  // out of range: ignored
    mHarness.RunSteps(60);  // caret blinks; draws without crashing

    // On a still screen the blink redraws only the field, where it was drawn,
    // and that part drawn alone gives the whole frame's pixels.
    std::unique_ptr<D3DInterface> device = StartTestGLDevice();
    D3DInterface* drawer = device ? device.get() : D3DInterface::Get();
    Rect drawnPart;
    auto frame = [&](bool whole) {
        WidgetManager::Changes changes;
        mManager->TakeDirty(&changes);
        drawer->BeginFrame(Color(0x14, 0x1A, 0x29));
        {
            Graphics g(nullptr);
            mManager->DrawToGraphics(g);
        }
        changes.AddDrawnAreas();
        drawnPart = changes.mWhole ? Rect() : changes.mRegion.Bounds();
        drawer->Present(whole || changes.mWhole ? nullptr : &changes.mRegion);
        if (!device) return ImageData();
        std::unique_ptr<ImageSurface> shot(device->CopyScreenImage());
        return shot->GetImageData();
    };
    const ImageData before = frame(true);
    EXPECT_FALSE(mManager->HasDirty());
    for (int i = 0; i < 50; ++i) edit->Update();
    ASSERT_TRUE(mManager->HasDirty());
    const ImageData part = frame(false);
    const Rect field = edit->LocalToScreenRect(Rect(0, 0, edit->mWidth, edit->mHeight));
    EXPECT_EQ(drawnPart, field);
    if (!device) return;
    const ImageData whole = frame(true);
    D3DInterface::Install(nullptr);
    EXPECT_NE(part.mBits, before.mBits);  // the caret changed
    EXPECT_EQ(part.mBits, whole.mBits);
}

}  // namespace
