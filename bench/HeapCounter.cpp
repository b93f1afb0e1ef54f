#include "bench/HeapCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long long> gBytes{0};
std::atomic<long long> gBlocks{0};
// Each block carries its size in front, so an unsized delete can count it.
constexpr size_t kHeader = alignof(std::max_align_t);

void* Allocate(size_t size) {
    void* block = std::malloc(size + kHeader);
    if (!block) throw std::bad_alloc();
    *static_cast<size_t*>(block) = size;
    gBytes.fetch_add(static_cast<long long>(size), std::memory_order_relaxed);
    gBlocks.fetch_add(1, std::memory_order_relaxed);
    return static_cast<char*>(block) + kHeader;
}

void Release(void* pointer) {
    if (!pointer) return;
    void* block = static_cast<char*>(pointer) - kHeader;
    gBytes.fetch_sub(static_cast<long long>(*static_cast<size_t*>(block)), std::memory_order_relaxed);
    gBlocks.fetch_sub(1, std::memory_order_relaxed);
    std::free(block);
}
}  // namespace

HeapUse CurrentHeapUse() { return {gBytes.load(), gBlocks.load()}; }

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* pointer) noexcept { Release(pointer); }
void operator delete[](void* pointer) noexcept { Release(pointer); }
void operator delete(void* pointer, size_t) noexcept { Release(pointer); }
void operator delete[](void* pointer, size_t) noexcept { Release(pointer); }
