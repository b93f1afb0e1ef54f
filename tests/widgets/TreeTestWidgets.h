#pragma once
#include <functional>
#include <string>
#include <vector>

#include "widgets/Widget.h"

// A widget that writes what happens to it into a shared log and can run a
// test's code from its hooks.
class LogWidget : public Widget {
public:
    LogWidget(std::vector<std::string>* log, std::string tag, float x = 0, float y = 0, int w = 100,
              int h = 100)
        : mLog(log), mTag(std::move(tag)) {
        Resize(x, y, w, h);
    }

    void Update() override {
        ++mUpdates;
        Note("update");
        if (mOnUpdate) mOnUpdate(this);
    }
    void UpdateF(float f) override {
        mLastF = f;
        ++mUpdateFs;
    }
    void Draw(Graphics*) override {
        ++mDraws;
        Note("draw");
        if (mOnDraw) mOnDraw(this);
    }
    void DrawOverlay(Graphics*) override { Note("overlay"); }
    void MouseEnter() override { Note("enter"); }
    void MouseLeave() override { Note("leave"); }
    void MouseMove(int x, int y) override { Note("move " + Pos(x, y)); }
    void MouseDown(int x, int y, int count) override {
        Note("down " + Pos(x, y) + " " + std::to_string(count));
    }
    void MouseDrag(int x, int y) override { Note("drag " + Pos(x, y)); }
    void MouseUpAt(int x, int y, int count) override {
        Note("up " + Pos(x, y) + " " + std::to_string(count));
    }
    void KeyDown(int key) override { Note("key " + std::to_string(key)); }
    void KeyChar(wchar_t c) override { Note("char " + std::to_string(static_cast<int>(c))); }
    void GotFocus() override {
        Widget::GotFocus();
        Note("focus");
    }
    void LostFocus() override {
        Widget::LostFocus();
        Note("blur");
    }
    void AddedToManager(WidgetManager*) override { Note("added"); }
    void RemovedFromManager(WidgetManager*) override { Note("removed"); }
    bool IsModal() override { return mModal; }

    void Note(const std::string& what) {
        if (mLog) mLog->push_back(mTag + ":" + what);
    }
    static std::string Pos(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }

    std::vector<std::string>* mLog;
    std::string mTag;
    int mUpdates = 0;
    int mUpdateFs = 0;
    int mDraws = 0;
    float mLastF = 0;
    bool mModal = false;
    std::function<void(LogWidget*)> mOnUpdate;
    std::function<void(LogWidget*)> mOnDraw;
};
