#include <gtest/gtest.h>

#include "render/Image.h"
#include "tests/script/ScriptFixture.h"
#include "widgets/FlashWidget.h"
#include "widgets/MoviePlayer.h"

// Movies are not played: the object is an empty picture of its size, and a
// script waiting on it (looping or not) goes on at once.
TEST_F(ScriptTest, AMovieIsAnEmptyPictureThatNeverKeepsAScriptWaiting) {
    Load(R"(<animation name="movie">
      <add video="'missing_intro'" x="10" y="20" width="64" height="32" loop="true" id="'m'"/>
      <wait-for id="m"/><probe v="'after'"/></animation>)");
    ProbeScript* probe = Run(L"movie");
    mHarness.RunSteps(5);
    EXPECT_EQ(Joined(probe->mLog), L"after");
    FlashWidget* movie = nullptr;
    for (Widget* child : probe->GetWidgets())
        if (auto* found = dynamic_cast<FlashWidget*>(child)) movie = found;
    ASSERT_NE(movie, nullptr);
    EXPECT_FALSE(movie->IsBusy());
    EXPECT_FALSE(movie->GetPlayer()->IsPlaying());
    EXPECT_EQ(movie->StepsUntilDue(), movie->DynamicWidget::StepsUntilDue());
    auto* surface = movie->GetImage()->GetSurface();
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->GetWidth(), 64);
    EXPECT_EQ(surface->GetHeight(), 32);
    for (uint32_t pixel : surface->GetImageData().mBits) ASSERT_EQ(pixel >> 24, 0u);
}
