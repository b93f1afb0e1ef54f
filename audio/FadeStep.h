#pragma once

// Fades add a fixed step once per update. A decimal step never sums exactly
// (a hundred steps of 0.01 miss 1.0 by a rounding error), so an end counts as
// reached within this margin, on the update a person would count.
constexpr double kFadeMargin = 1e-9;
