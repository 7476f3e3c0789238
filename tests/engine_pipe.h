// Runs the engine binary as a child process and talks to it over pipes, with timeouts,
// the way a GUI does. Header-only so that any test can include it.
#pragma once
#include <algorithm>
#include <string>
#include <vector>

#include "child_process.h"

// Starts the engine with the given arguments.
inline bool engine_start(EnginePipe& e, const std::vector<std::string>& args = {}) {
    return process_start(e, QUORIL_BINARY, args);
}

// Writes text (a line feed is added) while reading the engine's output, so neither side can block.
inline bool engine_send(EnginePipe& e, const std::string& text) { return process_write(e, text + "\n"); }

// Lines up to and including the first that starts with prefix; the last element is not the
// awaited line when the engine did not print it in time.
inline std::vector<std::string> engine_read_until(EnginePipe& e, const std::string& prefix, int timeout_ms = 10000) {
    std::vector<std::string> lines;
    const long long deadline = pipe_now_ms() + timeout_ms;
    for (size_t nl;;) {
        while ((nl = e.out_text.find('\n')) != std::string::npos) {
            lines.push_back(e.out_text.substr(0, nl));
            e.out_text.erase(0, nl + 1);
            if (lines.back().compare(0, prefix.size(), prefix) == 0) return lines;
        }
        const long long left = deadline - pipe_now_ms();
        if (left <= 0 || !pipe_drain(e, int(std::min(left, 50LL)))) return lines;
    }
}

inline std::vector<std::string> send_and_read(EnginePipe& e, const std::string& commands, const std::string& until,
                                              int timeout_ms = 20000) {
    engine_send(e, commands);
    return engine_read_until(e, until, timeout_ms);
}

// What the engine printed for the commands, up to the answer of an isready sent after them
// (left out); a missing answer adds "no readyok".
inline std::vector<std::string> replies(EnginePipe& e, const std::string& commands) {
    std::vector<std::string> lines = send_and_read(e, commands + "\nisready", "readyok");
    if (!lines.empty() && lines.back() == "readyok")
        lines.pop_back();
    else
        lines.push_back("no readyok");
    return lines;
}

inline bool found_line(const std::vector<std::string>& lines, const std::string& prefix) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
}

// Whether some line contains text.
inline bool any_line_has(const std::vector<std::string>& lines, const std::string& text) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(text) != std::string::npos; });
}

// Starts the engine and waits until it answers isready, dropping the start-up banner.
inline bool engine_start_ready(EnginePipe& e, const std::vector<std::string>& args = {}) {
    return engine_start(e, args) && found_line(send_and_read(e, "isready", "readyok"), "readyok");
}

// Everything on standard error so far, after waiting wait_ms for more.
inline std::string engine_stderr(EnginePipe& e, int wait_ms = 100) {
    const long long deadline = pipe_now_ms() + wait_ms;
    while (pipe_now_ms() < deadline && pipe_drain(e, 10)) {
    }
    return e.err_text;
}

// Exit status of the engine once it has ended and all its output is read, or -1 when it is still
// running after timeout_ms (or died of a signal).
inline int engine_wait_exit(EnginePipe& e, int timeout_ms = 10000) { return process_wait(e, timeout_ms); }
