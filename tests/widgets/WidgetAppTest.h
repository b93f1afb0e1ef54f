#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "app/GameApp.h"
#include "tests/support/AppHarness.h"
#include "widgets/WidgetManager.h"

// The game application of the usual size, for tests to hook into.
class TestGameApp : public GameApp {
public:
    TestGameApp() : GameApp("Widget Test", "v1.2", 1024, 768) {}
};

// Boots App without a window. The harness shuts the application down in
// TearDown, while the members of a derived fixture (listeners, fonts, logs
// the tree reports to or draws with as it goes) are still alive.
template <class App = TestGameApp>
class WidgetAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        mApp = &mHarness.template Boot<App>();
        ASSERT_TRUE(mHarness.InitSucceeded());
        mManager = mApp->mWidgetManager;
    }
    void TearDown() override { mOwnedHarness.reset(); }

    std::unique_ptr<AppHarness> mOwnedHarness = std::make_unique<AppHarness>();
    AppHarness& mHarness = *mOwnedHarness;
    App* mApp = nullptr;
    WidgetManager* mManager = nullptr;
};
