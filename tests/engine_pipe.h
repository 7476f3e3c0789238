// Runs the engine binary as a child process and talks to it over pipes, with timeouts,
// the way a GUI does. Header-only so that any test can include it.
#pragma once
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <string>
#include <vector>

struct EnginePipe {
    pid_t pid = -1;
    int in = -1, out = -1, err = -1;  // the engine's standard input, output and error
    std::string out_text, err_text;   // read but not yet consumed
    int status = -1;                  // wait status once the engine has ended
    EnginePipe() = default;
    EnginePipe(const EnginePipe&) = delete;
    EnginePipe& operator=(const EnginePipe&) = delete;
    ~EnginePipe() {
        if (pid > 0) kill(pid, SIGKILL), waitpid(pid, &status, 0);
        for (int fd : {in, out, err})
            if (fd >= 0) close(fd);
    }
};

inline long long pipe_now_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Moves whatever the engine has written into the buffers, waiting at most wait_ms for something.
// False once both output pipes are closed.
inline bool pipe_drain(EnginePipe& e, int wait_ms) {
    pollfd fds[2] = {{e.out, POLLIN, 0}, {e.err, POLLIN, 0}};
    if (e.out < 0 && e.err < 0) return false;
    if (poll(fds, 2, wait_ms) <= 0) return true;
    for (auto [fd, buf] : {std::pair{&e.out, &e.out_text}, {&e.err, &e.err_text}}) {
        if (*fd < 0 || !(fds[fd == &e.err].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        char chunk[65536];
        const ssize_t n = read(*fd, chunk, sizeof chunk);
        if (n > 0)
            buf->append(chunk, size_t(n));
        else
            close(*fd), *fd = -1;
    }
    return true;
}

// Starts program with the given arguments (the program name is added) on the pipes of e.
inline bool process_start(EnginePipe& e, const char* program, const std::vector<std::string>& args = {}) {
    signal(SIGPIPE, SIG_IGN);
    int pin[2], pout[2], perr[2];
    if (pipe(pin) || pipe(pout) || pipe(perr)) return false;
    e.pid = fork();
    if (e.pid == 0) {
        dup2(pin[0], 0), dup2(pout[1], 1), dup2(perr[1], 2);
        for (int fd : {pin[0], pin[1], pout[0], pout[1], perr[0], perr[1]}) close(fd);
        std::vector<char*> argv{const_cast<char*>(program)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program, argv.data());
        _exit(127);
    }
    close(pin[0]), close(pout[1]), close(perr[1]);
    e.in = pin[1], e.out = pout[0], e.err = perr[0];
    fcntl(e.in, F_SETFL, O_NONBLOCK);
    return e.pid > 0;
}

// Starts the engine with the given arguments.
inline bool engine_start(EnginePipe& e, const std::vector<std::string>& args = {}) {
    return process_start(e, QUORIL_BINARY, args);
}

// Writes text (a line feed is added) while reading the engine's output, so neither side can block.
inline bool engine_send(EnginePipe& e, const std::string& text) {
    const std::string data = text + "\n";
    size_t done = 0;
    if (e.in < 0) return false;
    for (const long long deadline = pipe_now_ms() + 30000; done < data.size() && pipe_now_ms() < deadline;) {
        const ssize_t n = write(e.in, data.data() + done, data.size() - done);
        if (n < 0 && errno != EAGAIN) return false;
        done += size_t(std::max(n, ssize_t(0)));
        pipe_drain(e, n > 0 ? 0 : 1);
    }
    return done == data.size();
}

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
        if (left <= 0 || e.out < 0) return lines;
        pipe_drain(e, int(std::min(left, 50LL)));
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
inline int engine_wait_exit(EnginePipe& e, int timeout_ms = 10000) {
    const long long deadline = pipe_now_ms() + timeout_ms;
    while (e.pid > 0 && waitpid(e.pid, &e.status, WNOHANG) != e.pid) {
        if (pipe_now_ms() >= deadline) return -1;
        pipe_drain(e, 5);
    }
    e.pid = -1;
    while (pipe_drain(e, 10) && pipe_now_ms() < deadline + 1000) {
    }  // the rest of its output
    return WIFEXITED(e.status) ? WEXITSTATUS(e.status) : -1;
}
