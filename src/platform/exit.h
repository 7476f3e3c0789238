// Ending the process while the input thread still waits for a line.
#pragma once

// Ends the process with `status` once standard output and error are written. On Windows the C
// runtime's exit locks every open stream, standard input too, which the input thread holds while
// it waits in getc: exit would wait for a line that never comes. There the process ends without
// the runtime's clean-up (the log is unbuffered, so nothing is lost); elsewhere through exit().
[[noreturn]] void leave_process(int status);
