#pragma once

class ImageSurface;

// A half-transparent white picture of w x h split into cols x rows cels,
// standing in for the game's pictures in benchmarks that run without data.
ImageSurface* BenchPicture(int w, int h, int cols = 1, int rows = 1);
