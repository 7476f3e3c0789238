#include "platform/stack.h"

#if defined(_WIN32)
#include <windows.h>
#elif defined(__linux__)
#include <pthread.h>
#endif

// Measured with GCC 12's -fstack-usage on the release build, link-time optimisation included: a
// search down to MAX_PLY (256) takes at most 4.2 KB a ply (pv_search 4208 bytes, zw_search 4056,
// qsearch 2816), about 1.08 MB; above the root the command loop and the driver take 74 KB, and
// below the last ply an input poll during the search, the evaluation and a first table load about
// 80 KB more: 1.25 MB in all. Four megabytes leave room for other compilers and changes.
const size_t SEARCH_STACK_BYTES = size_t(4) << 20;

#if defined(_WIN32)

void reserve_thread_stacks(size_t) {}

size_t this_thread_stack_size() {
    // From the bottom of the reservation (where a local's region starts) to the top the TIB records.
    MEMORY_BASIC_INFORMATION info;
    const char here = 0;
    if (!VirtualQuery(&here, &info, sizeof info)) return 0;
    const char* top = static_cast<const char*>(reinterpret_cast<NT_TIB*>(NtCurrentTeb())->StackBase);
    return size_t(top - static_cast<const char*>(info.AllocationBase));
}

#elif defined(__linux__)

void reserve_thread_stacks(size_t bytes) {
    pthread_attr_t attr;
    size_t now = 0;
    if (pthread_getattr_default_np(&attr)) return;
    if (!pthread_attr_getstacksize(&attr, &now) && now < bytes && !pthread_attr_setstacksize(&attr, bytes))
        pthread_setattr_default_np(&attr);
    pthread_attr_destroy(&attr);
}

size_t this_thread_stack_size() {
    pthread_attr_t attr;
    size_t size = 0;
    if (pthread_getattr_np(pthread_self(), &attr)) return 0;
    pthread_attr_getstacksize(&attr, &size);
    pthread_attr_destroy(&attr);
    return size;
}

#else

void reserve_thread_stacks(size_t) {}
size_t this_thread_stack_size() { return 0; }

#endif
