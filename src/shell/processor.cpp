#include "shell/processor.h"

#include <cpuid.h>
#include <unistd.h>

#include <climits>
#include <cstring>

bool processor_suits_bmi2_copy() {
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("x86-64-v3")) return false;
    if (!__builtin_cpu_is("amd")) return true;
    unsigned eax, ebx, ecx, edx;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
    const unsigned base = (eax >> 8) & 15, family = base == 15 ? base + ((eax >> 20) & 255) : base;
    return family >= 0x19;
}

void start_bmi2_copy_if_faster(char** argv) {
#ifndef __BMI2__
    if (!processor_suits_bmi2_copy()) return;
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return;
    path[n] = 0;
    char* slash = strrchr(path, '/');
    if (!slash || size_t(slash + 1 - path) + strlen(BMI2_COPY_NAME) >= sizeof path) return;
    strcpy(slash + 1, BMI2_COPY_NAME);
    if (access(path, X_OK)) return;
    execv(path, argv);  // returns only when the copy could not start
#else
    (void)argv;
#endif
}
