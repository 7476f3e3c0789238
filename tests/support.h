// Shared helpers for the unit tests.
#pragma once
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "board/move.h"
#include "board/position.h"
#include "shell/notation.h"

// Builds the board, evaluation and search tables, once.
void init_engine_tables();
struct Worker;
// A search worker of the tests' own, for the evaluation and the searches they run directly.
Worker& test_worker();
Position from_fen(const char* fen);
// The piece-square sum filled in from the engine's table, as the engine reads a FEN (the phase is set already).
void fill_eval_fields(Position& p);
std::string fen_of(const Position& p);
// Lines of a data file under tests/data, comments and blank lines dropped.
std::vector<std::string> read_data_lines(const char* name);
// Whole contents of a file; empty when it cannot be read.
std::string read_file(const std::string& path);
// What write wrote on the stream it was given.
std::string capture(const std::function<void(FILE*)>& write);
std::string move_str(Move m);
// The legal move of pos written as text, or 0.
Move legal_move(const Position& pos, const std::string& text);
// Positions along one random legal game from start, in-check flag set and parent link cut: every
// `every`-th one and each with an en-passant chance. When there are captures, one is chosen with
// capture_percent probability.
void random_game(const Position& start, std::mt19937_64& rng, int plies, int every, int capture_percent,
                 std::vector<Position>& out);
// Every position of random legal games (no capture bias) from starts rich in castling, en passant,
// promotions, pins and checks, the start's piece-square sum and phase filled in, until count are met.
std::vector<Position> sample_positions(size_t count, uint64_t seed, int plies = 150);
// FEN of a random legal placement of both kings and pieces (FEN letters), pawns off the back ranks,
// no castling or en passant, the side not to move not in check; move counters "0 1".
std::string random_placement(const std::string& pieces, std::mt19937_64& rng, bool white_to_move);
// The first move of the bestmove line that ends lines, or "".
std::string bestmove_of(const std::vector<std::string>& lines);

// A game from a FEN (piece-square sum and phase filled in) along move texts, one position per ply
// so that each keeps its parent, which the repetition test follows, alive.
struct GameLine {
    std::vector<Position> line;
    explicit GameLine(const char* fen, const std::vector<std::string>& moves = {});
    Position& now() { return line.back(); }
    // Plays a legal move given as text; false, with nothing played, when it is not one.
    bool play(const std::string& text);
};
