// Starting programs from the tests, alike on POSIX and Windows: pipes on the child's standard
// input, output and error, waits with timeouts, kill, exit status, a temporary directory. Programs
// of an emulated target start through the same emulator as the test itself.
#pragma once
#include <memory>
#include <string>
#include <vector>

struct ChildProcess;  // the system's handles, in child_process.cpp

struct EnginePipe {
    std::unique_ptr<ChildProcess> child;
    std::string out_text, err_text;  // read but not yet consumed
    EnginePipe();
    EnginePipe(const EnginePipe&) = delete;
    EnginePipe& operator=(const EnginePipe&) = delete;
    ~EnginePipe();  // kills a child still running
};

long long pipe_now_ms();
// Starts program with the given arguments (the program name is added) on the pipes of e.
bool process_start(EnginePipe& e, const std::string& program, const std::vector<std::string>& args = {});
// Moves whatever the child has written into the buffers, waiting at most wait_ms for something.
// False once both output pipes are closed.
bool pipe_drain(EnginePipe& e, int wait_ms);
// Writes all of data while reading the child's output, so neither side can block; false when the
// child's input is closed or it took more than 30 s.
bool process_write(EnginePipe& e, const std::string& data);
// Ends the child's standard input: it reads end of file.
void process_close_input(EnginePipe& e);
// Exit status once the child has ended, or -1 when it is still running at timeout_ms (or died of
// a signal). Output keeps being read meanwhile.
int process_wait(EnginePipe& e, int timeout_ms);

// A new empty directory under the system's temporary directory, its name holding a space.
std::string make_temp_dir(const std::string& stem);
// Whether the tests run under an emulator (QEMU or Wine), where the heaviest cases are lightened.
bool emulated_target();
