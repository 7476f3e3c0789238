// The host the engine runs in: a process whose input thread reads standard input, or a browser's
// Web Worker that hands the engine its lines. Without WebAssembly threads the worker's one thread
// is the engine's too, so the engine must lend it back for the host's messages to arrive.
#pragma once

#if defined(__EMSCRIPTEN__)
constexpr bool HOST_FEEDS_INPUT = true;  // lines come from the host (quoril_feed_line), not stdin
#else
constexpr bool HOST_FEEDS_INPUT = false;
#endif
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
constexpr bool HOST_HAS_THREADS = false;  // nothing may sleep on a condition variable: no one would wake it
#else
constexpr bool HOST_HAS_THREADS = true;
#endif

// Functions the host calls by name.
#if defined(__EMSCRIPTEN__)
#define HOST_EXPORT __attribute__((used, visibility("default")))
#else
#define HOST_EXPORT
#endif

// Hands the thread to the host for about `ms` milliseconds (its messages are delivered then).
// Only where the host has no threads.
void host_sleep(int ms);
// Inside a search, lends the thread to the host now and then (every few dozen milliseconds), so
// that "stop" can arrive; does nothing where the host has threads.
void host_yield();
// Most search threads the host can run: 1 without threads, the browser's cores with them.
int host_thread_limit(int engine_limit);
