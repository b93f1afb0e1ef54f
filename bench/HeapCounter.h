#pragma once
#include <cstddef>

// The bytes and blocks the program holds from operator new right now (every
// allocation of this benchmark program is counted). Take the difference
// around what is built to learn what it keeps; malloc's own bookkeeping, some
// 8-16 bytes a block, comes on top.
struct HeapUse {
    long long mBytes = 0;
    long long mBlocks = 0;
};
HeapUse CurrentHeapUse();
