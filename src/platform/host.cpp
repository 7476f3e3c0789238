#include "platform/host.h"

#include <chrono>
#include <thread>

#if defined(__EMSCRIPTEN__)
#include <emscripten.h>
#include <emscripten/threading.h>
#endif

#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)

namespace {

// A stop arrives at most this late; each hand-over costs the host's timer granularity (about
// 4 ms in browsers), so the share of time lost stays small.
constexpr double YIELD_SECONDS = 0.05;

double seconds_now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

void host_sleep(int ms) { emscripten_sleep(unsigned(ms)); }

void host_yield() {
    static double last = 0;
    const double now = seconds_now();
    if (now - last < YIELD_SECONDS) return;
    emscripten_sleep(0);
    last = seconds_now();
}

int host_thread_limit(int) { return 1; }

#else

void host_sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void host_yield() {}

#if defined(__EMSCRIPTEN__)
int host_thread_limit(int engine_limit) {
    const int cores = emscripten_num_logical_cores();
    return cores < 1 ? 1 : (cores < engine_limit ? cores : engine_limit);
}
#else
int host_thread_limit(int engine_limit) { return engine_limit; }
#endif

#endif
