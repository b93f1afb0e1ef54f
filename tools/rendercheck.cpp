// Opens the game window and draws a test picture of images and text from the
// data folder, with the sample pictures of the test overlay
// (tests/data/overlay) laid over it, to check the renderer by eye or by
// screenshot:
//   rendercheck [-changedir <gamedata>] [--shot]
// With --shot it writes one screenshot to the user data folder's
// "_screenshots", prints its path and quits.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/Matrix4.h"
#include "app/PomoAppBase.h"
#include "data/ImageData.h"
#include "data/PakInterface.h"
#include "platform/FileSystem.h"
#include "platform/System.h"
#include "render/Font.h"
#include "render/Fonts.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "widgets/WidgetManager.h"

namespace {
class RenderCheckApp : public PomoAppBase {
public:
    RenderCheckApp() {
        mProductName = "Quiltro7RenderCheck";
        mTitle = "Grand Quiltro 7 - render check";
    }
    bool mShot = false;
    std::string mShotPath;

protected:
    void InitHook() override {
        // The samples are test fixtures, not game data.
        gPakInterfaceP->LayFolderOver(PlatformCurrentDirectory(), QUILTRO7_TEST_OVERLAY);
        std::string error;
        if (!Fonts::LoadFontsFile("properties/fonts.xml", &error))
            std::fprintf(stderr, "fonts: %s\n", error.c_str());
        const char* names[] = {"images/sample_cels", "images/sample_rgba", "images/sample_photo",
                               "images/sample_masked", "images/sample_palette"};
        for (const char* name : names) {
            ImageData data;
            std::string why;
            if (!LoadImageData(name, data, &why)) {
                std::fprintf(stderr, "%s: %s\n", name, why.c_str());
                mImages.emplace_back(nullptr);
                continue;
            }
            bool cels = std::string(name) == "images/sample_cels";
            mImages.emplace_back(CreateImageFromData(std::move(data), cels ? 4 : 1, cels ? 2 : 1));
        }
    }

    void ShutdownHook() override { mImages.clear(); }

    void UpdateFrames() override {
        PomoAppBase::UpdateFrames();
        ++mSteps;
        // The picture turns: every step is a new frame, which the main loop
        // draws only when told.
        if (mWidgetManager) mWidgetManager->MarkDirty();
    }

    void DrawScreen(Graphics& g) override {
        ++mFrames;
        g.SetBatching(true);
        // Background bands and a frame.
        for (int i = 0; i < 8; ++i) {
            g.SetColor(Color(30 + i * 8, 40 + i * 6, 70 + i * 10));
            g.FillRect(0, static_cast<float>(i * 96), 1024, 96);
        }
        g.SetColor(Color(255, 255, 255, 60));
        g.FillRect(20, 20, 984, 4);
        g.FillRect(20, 744, 984, 4);

        Image* cels = mImages.size() > 0 ? mImages[0].get() : nullptr;
        Image* rgba = mImages.size() > 1 ? mImages[1].get() : nullptr;
        Image* photo = mImages.size() > 2 ? mImages[2].get() : nullptr;
        Image* masked = mImages.size() > 3 ? mImages[3].get() : nullptr;
        if (cels) {
            for (int cel = 0; cel < cels->GetCelCount(); ++cel)
                g.DrawImageScaled(cels, 40.0f + cel * 70.0f, 60, 64, 64, cel);
        }
        if (photo) g.DrawImageStretched(photo, Rect(0, 0, photo->GetWidth(), photo->GetHeight()),
                                        FRect(620, 60, 160, 120));
        if (masked) g.DrawImageScaled(masked, 800, 60, 128, 128);
        if (rgba) {
            // A turning image, and the draw modes side by side.
            Transform t;
            t.Scale(3, 3);
            t.RotateDeg(static_cast<float>(mSteps % 360));
            g.DrawImageTransformed(rgba, t, 0, 120, 250);
            const int modes[] = {DRAWMODE_NORMAL, DRAWMODE_ADDITIVE, DRAWMODE_MULTIPLY,
                                 DRAWMODE_OVERLAY, DRAWMODE_SOFTLIGHT, DRAWMODE_SUBTRACTIVE};
            for (int i = 0; i < 6; ++i) {
                g.SetColor(Color(128, 128, 128));
                g.SetDrawMode(DRAWMODE_NORMAL);
                g.FillRect(240.0f + i * 120, 200, 110, 100);
                g.SetDrawMode(modes[i]);
                g.SetColorizeImages(false);
                g.DrawImageScaled(rgba, 250.0f + i * 120, 210, 90, 80);
            }
            g.SetDrawMode(DRAWMODE_NORMAL);
        }

        // Text in every named font, justified three ways, and a wrapped block.
        g.SetColor(Color::White);
        g.SetFont(FindFont(L"hud_title"));
        g.DrawTextLine(L"Grand Quiltro 7", 0, 380, 1024, 0);
        g.SetFont(FindFont(L"hud_title2"));
        g.DrawTextLine(L"left", 40, 430, 944, -1);
        g.DrawTextLine(L"centre", 40, 430, 944, 0);
        g.DrawTextLine(L"right", 40, 430, 944, 1);
        g.SetFont(FindFont(L"menu"));
        g.SetColor(Color(255, 230, 160));
        g.DrawString(L"Play   Options   Quit", 40, 490);
        g.SetFont(FindFont(L"tiny"));
        g.SetColor(Color(220, 230, 255));
        g.DrawTextWrapped(Rect(40, 520, 450, 200),
                          L"Every picture in a quilt is hidden behind numbers. Each row and "
                          L"column says how many squares run together; fill them in and the "
                          L"picture appears. This paragraph wraps inside a box 450 pixels wide, "
                          L"and the line below it is centred.\nA second paragraph after a line "
                          L"break.",
                          -1, -1);
        g.SetFont(FindFont(L"system"));
        g.SetColor(Color(255, 255, 255));
        g.DrawTextWrapped(Rect(540, 520, 440, 200),
                          L"System font through fontconfig.\nFrame " + std::to_wstring(mFrames), -1,
                          0);
        g.SetBatching(false);

        if (mShot && mFrames == 3) {
            g.FlushBatch();
            mShotPath = TakeScreenshot();
            Shutdown();
        }
    }

private:
    std::vector<std::unique_ptr<Image>> mImages;
    int mFrames = 0;
    int mSteps = 0;
};
}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args;
    bool shot = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--shot") shot = true;
        else args.push_back(argv[i]);
    }
    int code = 0;
    {
        RenderCheckApp app;
        app.mShot = shot;
        AppBootOptions boot;
        boot.singleInstance = false;
        app.SetBootOptions(boot);
        if (app.Init(args)) app.Start();
        code = app.mExitCode;
        if (shot) {
            if (app.mShotPath.empty()) {
                std::fprintf(stderr, "no screenshot written\n");
                code = 1;
            } else {
                std::printf("%s\n", app.mShotPath.c_str());
            }
        }
    }
    PlatformShutdown();
    return code;
}
