// Everything the command loop keeps between commands: the options, the book, the game, the commands
// waiting for a search to end and what carries over from one "go" to the next.
#pragma once
#include <cstdint>

#include "board/position.h"
#include "book/book.h"
#include "shell/input.h"
#include "shell/options.h"

constexpr int GAME_HISTORY_SIZE = 2048;
constexpr int DEFERRED_SLOTS = 32;

// Commands that arrive while a search runs and must wait until it has printed its move.
struct DeferredLines {
    char lines[DEFERRED_SLOTS][INPUT_SLOT_SIZE];
    int head;
    int count;
};

struct Session {
    Options options;
    Book book;
    bool bench = false;          // -bench: searches are quiet, deterministic and see no input's end
    bool whole_seconds = false;  // -cpu: the clock counts whole seconds
    // The game: the position reached is history[index]; each one links to the one before.
    Position history[GAME_HISTORY_SIZE];
    int index = 0;
    // After a refused position command the engine has no position until a valid one arrives; this
    // says why, and is empty while there is one.
    char refusal[FEN_NOTE_SIZE] = "";
    DeferredLines deferred = {};
    int poll_depth = 0;  // nested calls come from inside a running search
    bool quit = false;
    bool new_game = true;     // the next search starts from cleared tables
    int ponder_bonus = 0;     // goals are enlarged while above 0: set by "go ponder", worn off by go
    uint64_t strength_random = 0;  // behind a limited strength's choice; seeded from the clock at start
};

// The board, evaluation and search tables every part reads; only the first call builds them.
void build_engine_tables();
// A session with the start position and the clock-seeded generator; needs the tables built.
Session* new_session();
