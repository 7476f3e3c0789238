#include "eval/material.h"

#include "eval/params.h"
#include "eval/tables.h"

// No configuration's key is all ones but by a chance of 2^-64, the risk every key check takes.
constexpr uint64_t EMPTY_SLOT = ~0ULL;

void material_table_clear(MaterialTable& t) {
    for (MaterialEntry& e : t.entries) e.key = EMPTY_SLOT;
}

namespace {

MaterialSide count_side(const Bitboard* own) {
    MaterialSide s;
    s.pawns = uint8_t(popcount(own[PAWN]));
    s.knights = uint8_t(popcount(own[KNIGHT]));
    s.bishops = uint8_t(popcount(own[BISHOP]));
    s.rooks = uint8_t(popcount(own[ROOK]));
    s.queens = uint8_t(popcount(own[QUEEN]));
    s.pieces = uint8_t(s.knights + s.bishops + s.rooks + s.queens);
    s.material = int16_t(8 * (3 * s.knights + 3 * s.bishops + 5 * s.rooks + 9 * s.queens) + 4 * s.bishops);
    return s;
}

// Terms every piece of a kind earns alike, times the count: each piece's value shifts with its own
// side's pawn count, and every rook earns the connection term (its test includes the rook's own
// square). The pairs and a queen with a rook add their own.
ScorePair count_terms(const MaterialSide& s) {
    ScorePair t = pair_mul(knight_pawns[s.pawns], s.knights);
    t = pair_add(t, pair_mul(pair_add(eval_weights.rconnected, rook_pawns[s.pawns]), s.rooks));
    t = pair_add(t, pair_mul(queen_pawns[s.pawns], s.queens));
    if (s.bishops == 2) t = pair_add(t, eval_weights.bpair);
    if (s.rooks >= 2) t = pair_add(t, eval_weights.rpair);
    if (s.rooks >= 1 && s.queens) t = pair_add(t, eval_weights.qpair);
    return t;
}

}  // namespace

void fill_material_entry(const Position& pos, MaterialEntry& e) {
    const MaterialSide& w = e.side[WHITE] = count_side(pos.bb[WHITE]);
    const MaterialSide& b = e.side[BLACK] = count_side(pos.bb[BLACK]);
    ScorePair terms = pair_sub(count_terms(w), count_terms(b));
    // Two pieces up is worth more than their values.
    if (w.pieces - b.pieces >= 2) terms = pair_add(terms, eval_weights.extra);
    if (b.pieces - w.pieces >= 2) terms = pair_sub(terms, eval_weights.extra);
    e.terms = terms;
    const EndingSlot* ending = find_ending(pos.material_key);
    e.evaluator = ending ? ending->evaluator : nullptr;
    e.scale = ending ? ending->scale : 1000;
    e.bonus = ending ? ending->bonus : 0;
    e.key = pos.material_key;
}
