#include "platform/exit.h"

#include <cstdio>
#include <cstdlib>

#if defined(_WIN32)
#include <windows.h>
#endif

void leave_process(int status) {
    fflush(stdout);
    fflush(stderr);
#if defined(_WIN32)
    TerminateProcess(GetCurrentProcess(), UINT(status));
#endif
    std::exit(status);
}
