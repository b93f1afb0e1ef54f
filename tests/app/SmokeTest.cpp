#include <gtest/gtest.h>
#include "app/GameApp.h"
TEST(Smoke, Builds) { SUCCEED(); }
