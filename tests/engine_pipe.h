// Runs the engine binary as a child process and talks to it over pipes, with timeouts,
// the way a GUI does. Header-only so that any test can include it.
#pragma once
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <vector>

struct EnginePipe {
    pid_t pid = -1;
    int in = -1;   // engine's standard input
    int out = -1;  // engine's standard output
    int err = -1;  // engine's standard error
    std::string out_text, err_text;  // read but not yet consumed
    int status = -1;                 // wait status once the engine has ended

    EnginePipe() = default;
    EnginePipe(const EnginePipe&) = delete;
    EnginePipe& operator=(const EnginePipe&) = delete;
    ~EnginePipe();
};

namespace engine_pipe_detail {

inline long long now_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Moves whatever the engine has written into the buffers; waits at most wait_ms for something.
// False once both output pipes are closed.
inline bool drain(EnginePipe& e, int wait_ms) {
    pollfd fds[2] = {{e.out, POLLIN, 0}, {e.err, POLLIN, 0}};
    if (e.out < 0 && e.err < 0) return false;
    if (poll(fds, 2, wait_ms) <= 0) return true;
    std::string* bufs[2] = {&e.out_text, &e.err_text};
    int* ends[2] = {&e.out, &e.err};
    for (int i = 0; i < 2; i++) {
        if (*ends[i] < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        char chunk[65536];
        const ssize_t n = read(*ends[i], chunk, sizeof chunk);
        if (n > 0) {
            bufs[i]->append(chunk, size_t(n));
        } else {
            close(*ends[i]);
            *ends[i] = -1;
        }
    }
    return true;
}

}  // namespace engine_pipe_detail

// Starts the engine with the given arguments (the program name is added).
inline bool engine_start(EnginePipe& e, const std::vector<std::string>& args = {}) {
    signal(SIGPIPE, SIG_IGN);
    int pin[2], pout[2], perr[2];
    if (pipe(pin) || pipe(pout) || pipe(perr)) return false;
    e.pid = fork();
    if (e.pid == 0) {
        dup2(pin[0], 0);
        dup2(pout[1], 1);
        dup2(perr[1], 2);
        for (int fd : {pin[0], pin[1], pout[0], pout[1], perr[0], perr[1]}) close(fd);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(QUORIL_BINARY));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(QUORIL_BINARY, argv.data());
        _exit(127);
    }
    close(pin[0]);
    close(pout[1]);
    close(perr[1]);
    e.in = pin[1];
    e.out = pout[0];
    e.err = perr[0];
    fcntl(e.in, F_SETFL, O_NONBLOCK);
    return e.pid > 0;
}

// Writes text (a line feed is added) while reading the engine's output, so neither side can block.
inline bool engine_send(EnginePipe& e, const std::string& text, bool newline = true) {
    const std::string data = newline ? text + "\n" : text;
    size_t done = 0;
    const long long deadline = engine_pipe_detail::now_ms() + 30000;
    while (done < data.size() && e.in >= 0 && engine_pipe_detail::now_ms() < deadline) {
        const ssize_t n = write(e.in, data.data() + done, data.size() - done);
        if (n > 0)
            done += size_t(n);
        else if (n < 0 && errno != EAGAIN)
            return false;
        else
            engine_pipe_detail::drain(e, 1);
    }
    return done == data.size();
}

// The next complete line of standard output (line feed removed); false on timeout or end of output.
inline bool engine_read_line(EnginePipe& e, std::string& line, int timeout_ms = 10000) {
    const long long deadline = engine_pipe_detail::now_ms() + timeout_ms;
    for (;;) {
        const size_t nl = e.out_text.find('\n');
        if (nl != std::string::npos) {
            line = e.out_text.substr(0, nl);
            e.out_text.erase(0, nl + 1);
            return true;
        }
        const long long left = deadline - engine_pipe_detail::now_ms();
        if (left <= 0 || e.out < 0) return false;
        engine_pipe_detail::drain(e, int(left < 50 ? left : 50));
    }
}

// Lines up to and including the first that starts with prefix; the last element is not the
// awaited line when the engine did not print it in time.
inline std::vector<std::string> engine_read_until(EnginePipe& e, const std::string& prefix, int timeout_ms = 10000) {
    std::vector<std::string> lines;
    std::string line;
    const long long deadline = engine_pipe_detail::now_ms() + timeout_ms;
    while (engine_read_line(e, line, int(deadline - engine_pipe_detail::now_ms()))) {
        lines.push_back(line);
        if (line.compare(0, prefix.size(), prefix) == 0) break;
    }
    return lines;
}

// Starts the engine and waits until it answers isready, dropping the start-up banner.
inline bool engine_start_ready(EnginePipe& e, const std::vector<std::string>& args = {}) {
    if (!engine_start(e, args) || !engine_send(e, "isready")) return false;
    const std::vector<std::string> lines = engine_read_until(e, "readyok", 20000);
    return !lines.empty() && lines.back() == "readyok";
}

inline bool found_line(const std::vector<std::string>& lines, const std::string& prefix) {
    for (const std::string& l : lines)
        if (l.compare(0, prefix.size(), prefix) == 0) return true;
    return false;
}

// Everything on standard error so far, after waiting wait_ms for more.
inline std::string engine_stderr(EnginePipe& e, int wait_ms = 100) {
    const long long deadline = engine_pipe_detail::now_ms() + wait_ms;
    while (engine_pipe_detail::now_ms() < deadline && engine_pipe_detail::drain(e, 10)) {
    }
    return e.err_text;
}

inline void engine_close_input(EnginePipe& e) {
    if (e.in >= 0) close(e.in);
    e.in = -1;
}

// Exit status of the engine, or -1 when it is still running after timeout_ms (or died of a signal).
inline int engine_wait_exit(EnginePipe& e, int timeout_ms = 10000) {
    const long long deadline = engine_pipe_detail::now_ms() + timeout_ms;
    while (e.pid > 0) {
        const pid_t r = waitpid(e.pid, &e.status, WNOHANG);
        if (r == e.pid) {
            e.pid = -1;
            break;
        }
        if (engine_pipe_detail::now_ms() >= deadline) return -1;
        engine_pipe_detail::drain(e, 5);
    }
    return WIFEXITED(e.status) ? WEXITSTATUS(e.status) : -1;
}

inline bool engine_alive(EnginePipe& e) {
    if (e.pid <= 0) return false;
    if (waitpid(e.pid, &e.status, WNOHANG) != e.pid) return true;
    e.pid = -1;
    return false;
}

inline void engine_kill(EnginePipe& e) {
    if (e.pid > 0) {
        kill(e.pid, SIGKILL);
        waitpid(e.pid, &e.status, 0);
        e.pid = -1;
    }
}

inline EnginePipe::~EnginePipe() {
    engine_kill(*this);
    for (int fd : {in, out, err})
        if (fd >= 0) close(fd);
}
