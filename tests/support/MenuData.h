#pragma once
#include <gtest/gtest.h>

// What menus need of the data folder: assets.xml with its always-loaded
// groups, constants, fonts and animations (the current folder's).
::testing::AssertionResult LoadMenuData();
