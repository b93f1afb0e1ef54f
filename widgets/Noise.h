#pragma once

// One-dimensional gradient noise for wandering oscillations. The tables hold
// 256 entries followed by a copy of the first 258, so a lattice index up to
// 257 past the end needs no wrap.
constexpr int kNoiseTableSize = 256;
constexpr int kNoiseTableEntries = kNoiseTableSize + kNoiseTableSize + 2;

extern int gNoisePerm[kNoiseTableEntries];
extern float gNoiseGrad1[kNoiseTableEntries];

// Fills the tables from the shared random generator; the order of draws fixes
// the tables for a given generator state. Called once at start-up.
void InitNoise();

// 0 at every integer, never more than 0.5 in magnitude, smooth in between.
double Noise1D(double x);
