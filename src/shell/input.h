// Standard input read by a thread of its own into a queue of lines.
#pragma once

constexpr int INPUT_SLOTS = 128;
constexpr int INPUT_SLOT_SIZE = 8192;

// Starts the reader thread; call once.
void input_start();
// Copies the oldest unread line (NUL-terminated, at most INPUT_SLOT_SIZE bytes) into line;
// false when no line is waiting or the reader was never started.
bool input_take(char* line);
