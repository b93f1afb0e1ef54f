#include "tests/fuzz/FuzzTarget.h"
#include "tests/fuzz/ImageFuzz.h"

FUZZ_TARGET(png) { return FuzzImageDecoder(DecodePNG, data, size); }
