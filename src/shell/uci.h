// The UCI command loop: reads queued input lines and carries out one command per line.
#pragma once
#include <cstdint>

#include "shell/session.h"

constexpr int MAX_WORDS = 4096;
constexpr int SEARCHMOVES_SIZE = 4096;

// Handles at most one queued input line; inside a running search, the commands that must wait for
// its move are kept and carried out after it.
void poll_input(Session& s);

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
void set_position(Session& s, char* const* words, int count);
// False after a refused position command, until a valid one arrives.
bool have_position(const Session& s);
