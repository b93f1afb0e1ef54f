#pragma once
#include <cstddef>
#include <cstdint>

// Declares a fuzz target. Built with libFuzzer it becomes the program's entry
// point; in the normal build it registers itself so that the corpus replay
// test can feed it every file under tests/corpus/<name>/.
using FuzzFunction = int (*)(const uint8_t* data, size_t size);
bool RegisterFuzzTarget(const char* name, FuzzFunction fn);

#ifdef QUILTRO_FUZZ_REPLAY
#define FUZZ_TARGET(name)                                                     \
    static int FuzzEntry_##name(const uint8_t* data, size_t size);            \
    static const bool kFuzzRegistered_##name =                                \
        RegisterFuzzTarget(#name, &FuzzEntry_##name);                         \
    static int FuzzEntry_##name(const uint8_t* data, size_t size)
#else
#define FUZZ_TARGET(name) extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
#endif
