#include "board/memory.h"

#include <cstdint>
#include <sys/mman.h>

namespace {

constexpr size_t HUGE_PAGE = size_t(2) << 20;

size_t whole_pages(size_t bytes) { return (bytes + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1); }

}  // namespace

void* large_alloc(size_t bytes) {
    if (bytes == 0 || bytes > (SIZE_MAX >> 2)) return nullptr;
    const size_t size = whole_pages(bytes);
    // Mapped one huge page long so that an aligned start fits; the ends outside it go back.
    void* mem = mmap(nullptr, size + HUGE_PAGE, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mem == MAP_FAILED) return nullptr;
    const uintptr_t start = uintptr_t(mem), aligned = (start + HUGE_PAGE - 1) & ~uintptr_t(HUGE_PAGE - 1);
    if (aligned > start) munmap(mem, aligned - start);
    munmap(reinterpret_cast<void*>(aligned + size), start + HUGE_PAGE - aligned);  // never empty
#ifdef MADV_HUGEPAGE
    madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
#endif
    return reinterpret_cast<void*>(aligned);
}

void large_free(void* p, size_t bytes) {
    if (p) munmap(p, whole_pages(bytes));
}
