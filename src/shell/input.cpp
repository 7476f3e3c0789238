#include "shell/input.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/host.h"

struct InputQueue {
    char slots[INPUT_SLOTS][INPUT_SLOT_SIZE];
    int head = 0;   // slot the reader fills next
    int tail = 0;   // slot taken next
    int count = 0;  // unread lines
    bool ended = false;  // no line will follow the ones queued
    std::mutex lock;
    std::condition_variable room;
    std::condition_variable arrived;
};

namespace {

// Never destroyed: the reader may still be blocked on it when the process ends.
InputQueue* queue = nullptr;

InputQueue& the_queue() {
    if (!queue) queue = new InputQueue;
    return *queue;
}

// Reads one line without its line feed (or CR LF, as Windows GUIs and consoles end lines),
// keeping at most size - 1 characters; the rest of a longer line is read and dropped so that no
// piece of it can pass for a line of its own. False at end of input with nothing read.
bool read_line(char* buf, int size) {
    int n = 0, c;
    long dropped = 0;
    while ((c = getc(stdin)) != EOF && c != '\n') {
        if (c == '\r') {
            const int next = getc(stdin);
            if (next == '\n' || next == EOF) break;
            ungetc(next, stdin);
        }
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
    while (read_line(line, INPUT_SLOT_SIZE - 1)) input_feed(line);
    input_close();
}

}  // namespace

void input_start() {
    the_queue();
    // A browser's worker hands the lines over itself (quoril_feed_line).
    if (!HOST_FEEDS_INPUT) std::thread(reader).detach();
}

void input_feed(const char* line) {
    InputQueue& q = the_queue();
    {
        std::unique_lock<std::mutex> hold(q.lock);
        // A full queue makes the reader wait: no line is overwritten or dropped. Without threads
        // nothing would empty it meanwhile, so there the line is refused instead.
        if (!HOST_HAS_THREADS && q.count == INPUT_SLOTS) {
            fprintf(stderr, "%d input lines waiting: \"%.64s\" dropped\n", INPUT_SLOTS, line);
            return;
        }
        q.room.wait(hold, [&] { return q.count < INPUT_SLOTS; });
        snprintf(q.slots[q.head], INPUT_SLOT_SIZE, "%s", line);
        q.head = (q.head + 1) % INPUT_SLOTS;
        q.count++;
    }
    q.arrived.notify_one();
}

void input_close() {
    InputQueue& q = the_queue();
    {
        std::lock_guard<std::mutex> hold(q.lock);
        q.ended = true;
    }
    q.arrived.notify_one();
}

void input_reset() {
    InputQueue& q = the_queue();
    std::lock_guard<std::mutex> hold(q.lock);
    q.head = q.tail = q.count = 0;
    q.ended = false;
}

bool input_ended() {
    if (!queue) return false;
    std::lock_guard<std::mutex> hold(queue->lock);
    return queue->ended && !queue->count;
}

void input_wait(int timeout_ms) {
    if (!queue) return;
    if (!HOST_HAS_THREADS) {
        // The lines come while the host has the thread.
        constexpr int STEP_MS = 5;
        for (int waited = 0; !queue->count && !queue->ended && (timeout_ms < 0 || waited < timeout_ms); waited += STEP_MS)
            host_sleep(STEP_MS);
        return;
    }
    std::unique_lock<std::mutex> hold(queue->lock);
    auto ready = [] { return queue->count > 0 || queue->ended; };
    if (timeout_ms < 0)
        queue->arrived.wait(hold, ready);
    else
        queue->arrived.wait_for(hold, std::chrono::milliseconds(timeout_ms), ready);
}

bool input_take(char* line) {
    if (!queue) return false;
    host_yield();  // where the host has no threads, its messages arrive meanwhile
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
