// Input lines in a queue: standard input read by a thread of its own, or lines a browser's worker
// hands over.
#pragma once

constexpr int INPUT_SLOTS = 128;
constexpr int INPUT_SLOT_SIZE = 8192;

// Starts the reader thread, where the host does not feed the lines itself; call once.
void input_start();
// Queues one line (cut to INPUT_SLOT_SIZE - 1 bytes), waiting while the queue is full; without
// threads nothing could empty it meanwhile, so there a full queue drops the line.
void input_feed(const char* line);
// No line follows the ones queued: the reader saw end of input (or a feeder is done).
void input_close();
// Empties the queue and forgets its end (fuzzing runs one input after another).
void input_reset();
// True once the queue is empty and closed.
bool input_ended();
// Sleeps until a line is queued or the input ends; at most timeout_ms unless it is negative.
void input_wait(int timeout_ms);
// Copies the oldest unread line (NUL-terminated, at most INPUT_SLOT_SIZE bytes) into line;
// false when no line is waiting or the reader was never started.
bool input_take(char* line);
