#include "tests/fuzz/FuzzTarget.h"
#include "tests/fuzz/ImageFuzz.h"

FUZZ_TARGET(tga) { return FuzzImageDecoder(DecodeTGA, data, size); }
