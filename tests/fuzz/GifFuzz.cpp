#include "tests/fuzz/FuzzTarget.h"
#include "tests/fuzz/ImageFuzz.h"

FUZZ_TARGET(gif) { return FuzzImageDecoder(DecodeGIF, data, size); }
