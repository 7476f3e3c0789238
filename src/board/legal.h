// Legality of generated moves judged without making them, and the lists of legal moves.
#pragma once
#include "board/movegen.h"

// What a node needs to judge its moves' legality without making them.
struct LegalityContext {
    int us, them, king;
    Bitboard occ, checkers, pinned;
};

LegalityContext legality_context(const Position& pos);
// Whether a pseudo-legal move of pos leaves its king unattacked.
bool is_legal(const Position& pos, const LegalityContext& c, Move m);
// The legal moves of the side to move, in generation order; returns their count.
int generate_legal_moves(const Position& pos, Move* out);
bool has_legal_move(const Position& pos);
