#pragma once
#include <cstddef>
#include <string>

// expat alone on the bytes, with handlers that only count: the floor any of
// our loaders is measured against. False when expat refuses the bytes.
struct BareExpatCounts {
    int mElements = 0;
    size_t mChars = 0;
};
bool RunBareExpat(const std::string& bytes, BareExpatCounts& counts);
