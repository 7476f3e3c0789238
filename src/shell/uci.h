// The UCI command processor: handles at most one queued input line per call.
#pragma once
#include "board/position.h"

constexpr int GAME_HISTORY_SIZE = 2048;

extern Position game_history[GAME_HISTORY_SIZE];
extern int game_index;

void poll_input();

#include <cstdint>

#include "shell/driver.h"

constexpr int MAX_WORDS = 4096;

// Splits line in place at blanks, tabs, line feeds and carriage returns; at most max_words words.
int split_words(char* line, char** words, int max_words);
// What one go command asked for.
struct GoRequest {
    double time[2];  // remaining seconds, white and black
    double inc[2];
    double movetime;
    int movestogo;
    int depth;
    int mate;  // moves, 0 when not asked
    bool clock_given;
    bool infinite;
    bool ponder;
    bool nodes_given;
    uint64_t nodes;
    char searchmoves[SEARCHMOVES_SIZE];  // move words, each followed by one space
};

// Reads the words after "go" (words[0] is "go").
void parse_go(char* const* words, int count, GoRequest& go);
// The position command: words[0] is "position". A refused one leaves the engine without a position.
void set_position(char* const* words, int count);
// False after a refused position command, until a valid one arrives.
bool have_position();
