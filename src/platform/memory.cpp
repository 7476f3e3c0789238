#include "platform/memory.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#elif defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

constexpr size_t HUGE_PAGE = size_t(2) << 20;

size_t whole_pages(size_t bytes) { return (bytes + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1); }

}  // namespace

#if defined(_WIN32)

namespace {

// Large pages need the "lock pages in memory" right, which an administrator grants per user; the
// process must still switch it on. 0 when it cannot, and plain pages are used.
size_t large_page_size() {
    static const size_t size = [] {
        const size_t minimum = GetLargePageMinimum();
        HANDLE token;
        if (!minimum || !OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
            return size_t(0);
        TOKEN_PRIVILEGES tp{};
        tp.PrivilegeCount = 1;
        tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        const bool enabled = LookupPrivilegeValueA(nullptr, "SeLockMemoryPrivilege", &tp.Privileges[0].Luid) &&
                             AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr) &&
                             GetLastError() == ERROR_SUCCESS;  // "not all assigned" also returns true
        CloseHandle(token);
        return enabled ? minimum : size_t(0);
    }();
    return size;
}

}  // namespace

void* large_alloc(size_t bytes) {
    if (bytes == 0 || bytes > (SIZE_MAX >> 2)) return nullptr;
    if (const size_t page = large_page_size()) {
        const size_t size = (bytes + page - 1) & ~(page - 1);
        if (void* p = VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT | MEM_LARGE_PAGES, PAGE_READWRITE)) return p;
    }
    // Plain pages: reserved one huge page long, and committed (zeroed) from the aligned start on.
    const size_t size = whole_pages(bytes);
    void* mem = VirtualAlloc(nullptr, size + HUGE_PAGE, MEM_RESERVE, PAGE_NOACCESS);
    if (!mem) return nullptr;
    void* aligned = reinterpret_cast<void*>((uintptr_t(mem) + HUGE_PAGE - 1) & ~uintptr_t(HUGE_PAGE - 1));
    if (VirtualAlloc(aligned, size, MEM_COMMIT, PAGE_READWRITE)) return aligned;
    VirtualFree(mem, 0, MEM_RELEASE);
    return nullptr;
}

// Either kind is released through the start of its reservation.
void large_free(void* p, size_t) {
    MEMORY_BASIC_INFORMATION info;
    if (p && VirtualQuery(p, &info, sizeof info)) VirtualFree(info.AllocationBase, 0, MEM_RELEASE);
}

#elif defined(__linux__)

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

#else

// Any other system: zeroed memory on a huge-page boundary, in whatever pages the system gives.
void* large_alloc(size_t bytes) {
    if (bytes == 0 || bytes > (SIZE_MAX >> 2)) return nullptr;
    void* p = std::aligned_alloc(HUGE_PAGE, whole_pages(bytes));
    if (p) memset(p, 0, whole_pages(bytes));
    return p;
}

void large_free(void* p, size_t) { std::free(p); }

#endif
