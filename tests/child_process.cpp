#include "child_process.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#endif

long long pipe_now_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool emulated_target() { return std::getenv("QUORIL_EMULATED") != nullptr; }

namespace {

// The command that starts program: the emulator's words first where the target needs one.
std::vector<std::string> command_words(const std::string& program, const std::vector<std::string>& args) {
    std::vector<std::string> words;
#ifdef QUORIL_EMULATOR
    const std::string emulator = QUORIL_EMULATOR;
    for (size_t at = 0, bar; at <= emulator.size(); at = bar + 1) {
        bar = std::min(emulator.find('|', at), emulator.size());
        words.push_back(emulator.substr(at, bar - at));
    }
#endif
    words.push_back(program);
    words.insert(words.end(), args.begin(), args.end());
    return words;
}

}  // namespace

#ifdef _WIN32

struct ChildProcess {
    HANDLE process = nullptr;
    HANDLE in = nullptr, out = nullptr, err = nullptr;  // our ends of the child's pipes
    int status = -1;
};

namespace {

void close_handle(HANDLE& h) {
    if (h) CloseHandle(h);
    h = nullptr;
}

// One word of a command line, quoted as the C runtime's parser reads it back.
std::string quoted(const std::string& word) {
    if (!word.empty() && word.find_first_of(" \t\"") == std::string::npos) return word;
    std::string q = "\"";
    for (size_t i = 0;; i++) {
        size_t slashes = 0;
        while (i < word.size() && word[i] == '\\') i++, slashes++;
        if (i == word.size()) {
            q.append(slashes * 2, '\\');
            break;
        }
        q.append(word[i] == '"' ? slashes * 2 + 1 : slashes, '\\');
        q += word[i];
    }
    return q + "\"";
}

// Text-mode output ends lines in CR LF: the tests read them as LF, as on POSIX systems.
void append_text(std::string& buf, const char* chunk, size_t n) {
    const size_t from = buf.empty() ? 0 : buf.size() - 1;  // a CR may end the last chunk
    buf.append(chunk, n);
    size_t to = from;
    for (size_t at = from; at < buf.size(); at++)
        if (buf[at] != '\r' || at + 1 == buf.size() || buf[at + 1] != '\n') buf[to++] = buf[at];
    buf.resize(to);
}

// Moves what one pipe holds into buf; false once the pipe is closed.
bool read_available(HANDLE& h, std::string& buf) {
    if (!h) return false;
    DWORD avail = 0;
    if (!PeekNamedPipe(h, nullptr, 0, nullptr, &avail, nullptr)) {
        // The writer is gone, but what it wrote last may still wait: Wine reports the break early,
        // and not always as ERROR_BROKEN_PIPE. With no writer left these reads cannot block.
        char chunk[65536];
        DWORD n = 0;
        while (ReadFile(h, chunk, sizeof chunk, &n, nullptr) && n > 0) append_text(buf, chunk, n);
        close_handle(h);
        return false;
    }
    while (avail > 0) {
        char chunk[65536];
        DWORD n = 0;
        if (!ReadFile(h, chunk, std::min<DWORD>(avail, sizeof chunk), &n, nullptr) || n == 0) break;
        append_text(buf, chunk, n);
        avail -= n;
    }
    return true;
}

}  // namespace

EnginePipe::EnginePipe() : child(new ChildProcess) {}

EnginePipe::~EnginePipe() {
    ChildProcess& c = *child;
    if (c.process) TerminateProcess(c.process, 9), WaitForSingleObject(c.process, 5000);
    for (HANDLE* h : {&c.process, &c.in, &c.out, &c.err}) close_handle(*h);
}

bool process_start(EnginePipe& e, const std::string& program, const std::vector<std::string>& args) {
    ChildProcess& c = *e.child;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE child_in, child_out, child_err;
    // Large buffers, so that neither side blocks on a full pipe while the other waits on it.
    constexpr DWORD BUFFER = 1 << 20;
    if (!CreatePipe(&child_in, &c.in, &inherit, BUFFER) || !CreatePipe(&c.out, &child_out, &inherit, BUFFER) ||
        !CreatePipe(&c.err, &child_err, &inherit, BUFFER))
        return false;
    for (HANDLE h : {c.in, c.out, c.err}) SetHandleInformation(h, HANDLE_FLAG_INHERIT, 0);
    std::string line;
    for (const std::string& w : command_words(program, args)) {
        if (!line.empty()) line += ' ';
        line += quoted(w);
    }
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = child_in, si.hStdOutput = child_out, si.hStdError = child_err;
    PROCESS_INFORMATION pi{};
    const bool started =
        CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    for (HANDLE h : {child_in, child_out, child_err}) CloseHandle(h);
    if (!started) return false;
    CloseHandle(pi.hThread);
    c.process = pi.hProcess;
    return true;
}

bool pipe_drain(EnginePipe& e, int wait_ms) {
    ChildProcess& c = *e.child;
    for (const long long deadline = pipe_now_ms() + wait_ms;;) {
        const size_t had = e.out_text.size() + e.err_text.size();
        const bool open = read_available(c.out, e.out_text) | read_available(c.err, e.err_text);
        if (!open) return false;
        if (e.out_text.size() + e.err_text.size() > had || pipe_now_ms() >= deadline) return true;
        Sleep(1);
    }
}

bool process_write(EnginePipe& e, const std::string& data) {
    ChildProcess& c = *e.child;
    for (size_t done = 0; done < data.size();) {
        DWORD n = 0;
        const DWORD chunk = DWORD(std::min<size_t>(data.size() - done, 4096));
        if (!c.in || !WriteFile(c.in, data.data() + done, chunk, &n, nullptr)) return false;
        done += n;
        pipe_drain(e, 0);
    }
    return true;
}

void process_close_input(EnginePipe& e) { close_handle(e.child->in); }

int process_wait(EnginePipe& e, int timeout_ms) {
    ChildProcess& c = *e.child;
    const long long deadline = pipe_now_ms() + timeout_ms;
    while (c.process && WaitForSingleObject(c.process, 0) != WAIT_OBJECT_0) {
        if (pipe_now_ms() >= deadline) return -1;
        pipe_drain(e, 5);
    }
    if (c.process) {
        DWORD code = 0;
        GetExitCodeProcess(c.process, &code);
        c.status = int(code);
        close_handle(c.process);
    }
    // The rest of its output. With the child gone no writer is left, so these reads end; unlike a
    // peek they do not depend on which error Wine gives for the broken pipe.
    for (auto [h, buf] : {std::pair{&c.out, &e.out_text}, {&c.err, &e.err_text}}) {
        char chunk[65536];
        DWORD n = 0;
        while (*h && ReadFile(*h, chunk, sizeof chunk, &n, nullptr) && n > 0) append_text(*buf, chunk, n);
        close_handle(*h);
    }
    return c.status;
}

#else

struct ChildProcess {
    pid_t pid = -1;
    int in = -1, out = -1, err = -1;  // our ends of the child's pipes
    int status = -1;                  // wait status once the child has ended
};

namespace {

void close_fd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

}  // namespace

EnginePipe::EnginePipe() : child(new ChildProcess) {}

EnginePipe::~EnginePipe() {
    ChildProcess& c = *child;
    if (c.pid > 0) kill(c.pid, SIGKILL), waitpid(c.pid, &c.status, 0);
    for (int* fd : {&c.in, &c.out, &c.err}) close_fd(*fd);
}

bool process_start(EnginePipe& e, const std::string& program, const std::vector<std::string>& args) {
    ChildProcess& c = *e.child;
    signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string> words = command_words(program, args);
    std::vector<char*> argv;
    for (const std::string& w : words) argv.push_back(const_cast<char*>(w.c_str()));
    argv.push_back(nullptr);
    int pin[2], pout[2], perr[2];
    if (pipe(pin) || pipe(pout) || pipe(perr)) return false;
    c.pid = fork();
    if (c.pid == 0) {
        dup2(pin[0], 0), dup2(pout[1], 1), dup2(perr[1], 2);
        for (int fd : {pin[0], pin[1], pout[0], pout[1], perr[0], perr[1]}) close(fd);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(pin[0]), close(pout[1]), close(perr[1]);
    c.in = pin[1], c.out = pout[0], c.err = perr[0];
    fcntl(c.in, F_SETFL, O_NONBLOCK);
    return c.pid > 0;
}

bool pipe_drain(EnginePipe& e, int wait_ms) {
    ChildProcess& c = *e.child;
    pollfd fds[2] = {{c.out, POLLIN, 0}, {c.err, POLLIN, 0}};
    if (c.out < 0 && c.err < 0) return false;
    if (poll(fds, 2, wait_ms) <= 0) return true;
    for (auto [fd, buf] : {std::pair{&c.out, &e.out_text}, {&c.err, &e.err_text}}) {
        if (*fd < 0 || !(fds[fd == &c.err].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        char chunk[65536];
        const ssize_t n = read(*fd, chunk, sizeof chunk);
        if (n > 0)
            buf->append(chunk, size_t(n));
        else
            close_fd(*fd);
    }
    return true;
}

bool process_write(EnginePipe& e, const std::string& data) {
    ChildProcess& c = *e.child;
    size_t done = 0;
    if (c.in < 0) return false;
    for (const long long deadline = pipe_now_ms() + 30000; done < data.size() && pipe_now_ms() < deadline;) {
        const ssize_t n = write(c.in, data.data() + done, data.size() - done);
        if (n < 0 && errno != EAGAIN) return false;
        done += size_t(std::max(n, ssize_t(0)));
        pipe_drain(e, n > 0 ? 0 : 1);
    }
    return done == data.size();
}

void process_close_input(EnginePipe& e) { close_fd(e.child->in); }

int process_wait(EnginePipe& e, int timeout_ms) {
    ChildProcess& c = *e.child;
    const long long deadline = pipe_now_ms() + timeout_ms;
    while (c.pid > 0 && waitpid(c.pid, &c.status, WNOHANG) != c.pid) {
        if (pipe_now_ms() >= deadline) return -1;
        pipe_drain(e, 5);
    }
    c.pid = -1;
    while (pipe_drain(e, 10) && pipe_now_ms() < deadline + 1000) {
    }  // the rest of its output
    return WIFEXITED(c.status) ? WEXITSTATUS(c.status) : -1;
}

#endif

std::string make_temp_dir(const std::string& stem) {
    namespace fs = std::filesystem;
    std::random_device seed;
    std::error_code error;
    for (int attempt = 0; attempt < 100; attempt++) {
        const fs::path dir = fs::temp_directory_path() / (stem + " " + std::to_string(seed() % 1000000000u));
        if (fs::create_directory(dir, error)) return dir.string();
    }
    return "";
}
