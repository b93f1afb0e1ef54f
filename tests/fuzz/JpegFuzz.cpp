#include "tests/fuzz/FuzzTarget.h"
#include "tests/fuzz/ImageFuzz.h"

FUZZ_TARGET(jpeg) { return FuzzImageDecoder(DecodeJPEG, data, size); }
