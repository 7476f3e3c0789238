#include "shell/input.h"

#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

struct InputQueue {
    char slots[INPUT_SLOTS][INPUT_SLOT_SIZE];
    int head = 0;   // slot the reader fills next
    int tail = 0;   // slot taken next
    int count = 0;  // unread lines
    std::mutex lock;
    std::condition_variable room;
};

namespace {

// Never destroyed: the reader may still be blocked on it when the process ends.
InputQueue* queue = nullptr;

// Reads one line without its line feed, keeping at most size - 1 characters; the rest of a
// longer line is read and dropped so that no piece of it can pass for a line of its own.
// False at end of input with nothing read.
bool read_line(char* buf, int size) {
    int n = 0, c;
    long dropped = 0;
    while ((c = getc(stdin)) != EOF && c != '\n') {
        if (n < size - 1)
            buf[n++] = c ? char(c) : ' ';
        else
            dropped++;
    }
    buf[n] = 0;
    if (dropped)
        fprintf(stderr, "input line of %ld characters cut to its first %d; the rest was ignored\n", n + dropped, n);
    return c != EOF || n > 0 || dropped > 0;
}

void reader() {
    static char line[INPUT_SLOT_SIZE];
    // 8190 characters at most, as a slot also held the line feed.
    while (read_line(line, INPUT_SLOT_SIZE - 1)) {
        std::unique_lock<std::mutex> hold(queue->lock);
        // A full queue makes the reader wait: no line is overwritten or dropped.
        queue->room.wait(hold, [] { return queue->count < INPUT_SLOTS; });
        memcpy(queue->slots[queue->head], line, strlen(line) + 1);
        queue->head = (queue->head + 1) % INPUT_SLOTS;
        queue->count++;
    }
}

}  // namespace

void input_start() {
    queue = new InputQueue;
    std::thread(reader).detach();
}

bool input_take(char* line) {
    if (!queue) return false;
    {
        std::lock_guard<std::mutex> hold(queue->lock);
        if (!queue->count) return false;
        const char* slot = queue->slots[queue->tail];
        memcpy(line, slot, strlen(slot) + 1);
        queue->tail = (queue->tail + 1) % INPUT_SLOTS;
        queue->count--;
    }
    queue->room.notify_one();
    return true;
}
