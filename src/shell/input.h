// Standard input read by a thread of its own into a queue of lines.
#pragma once

constexpr int INPUT_SLOTS = 128;
constexpr int INPUT_SLOT_SIZE = 8192;

// Starts the reader thread; call once.
void input_start();
// Queues one line (cut to INPUT_SLOT_SIZE - 1 bytes), waiting while the queue is full.
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
