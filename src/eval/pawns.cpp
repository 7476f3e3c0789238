#include "eval/pawns.h"

#include "eval/params.h"
#include "eval/tables.h"

void pawn_table_clear(PawnTable& t) {
    for (PawnEntry& e : t.entries) e.key = 0;
}

namespace {

constexpr int SQ_G1 = 6, SQ_G8 = 62;

// Shelter of the side's pawns around a king square; own-file pawns count twice.
ScorePair shelter_sum(int side, int king, Bitboard own) {
    ScorePair sum = 0;
    Bitboard b = own & three_file_mask[king];
    const Bitboard king_file = file_through(king);
    while (b) {
        const int s = pop_lsb(b);
        const ScorePair v = shelter_rank[relative_rank(side, s)];
        sum = pair_add(sum, v);
        if (square_bit[s] & king_file) sum = pair_add(sum, v);
    }
    return sum;
}

ScorePair king_shelter(int side, int king, Bitboard own) {
    ScorePair s = shelter_sum(side, king, own);
    // An uncastled king is credited with the castled shelter when that is better.
    if (king == (side == WHITE ? SQ_E1 : SQ_E8)) {
        const ScorePair castled = shelter_sum(side, side == WHITE ? SQ_G1 : SQ_G8, own);
        if (pair_open(castled) > pair_open(s)) s = castled;
    }
    return s;
}

ScorePair pawn_storm(int side, int enemy_king, Bitboard own) {
    ScorePair sum = 0;
    Bitboard b = own & three_file_mask[enemy_king];
    while (b) sum = pair_add(sum, storm_rank[relative_rank(side, pop_lsb(b))]);
    return sum;
}

struct PawnSide {
    const int us, them;
    const Bitboard own, enemy;
    const Bitboard own_att, enemy_att;
    const Bitboard own_span, enemy_span;  // see pawn_attack_span
    ScorePair* total;

    // Doubled files, isolated and defended pawns, backward pawns.
    void structure() {
        const int pawns = popcount(own);
        const unsigned file_set = unsigned(fill_down(own) & RANK_1_BB);
        total[us] = pair_add(total[us], islands_table[file_set]);

        const Bitboard own_files = file_fill(own), enemy_files = file_fill(enemy);
        const Bitboard behind_own = us == WHITE ? fill_down(own >> 8) : fill_up(own << 8);
        const Bitboard front = own & ~behind_own;
        const Bitboard doubled_front = front & file_fill(own & behind_own);
        total[us] = pair_add(total[us], pdoubled_count[pawns - popcount(file_set)]);
        for (Bitboard b = doubled_front & ~own_att; b; b &= b - 1) total[us] = pair_add(total[us], eval_weights.pdoubndef);

        total[us] = pair_add(total[us], predundant_count[popcount(own_att)]);

        const Bitboard isolated_sq = ~beside(own_files);
        const Bitboard isolated = own & isolated_sq;
        total[us] = pair_add(total[us], isoh_count[popcount(isolated & enemy_files)]);
        total[us] = pair_add(total[us], isoo_count[popcount(isolated & ~enemy_files)]);
        total[us] = pair_add(total[us], disoh_count[popcount(doubled_front & isolated_sq & enemy_files)]);
        total[us] = pair_add(total[us], disoo_count[popcount(doubled_front & isolated_sq & ~enemy_files)]);

        const Bitboard d1 = doubled_front & own_att;
        const Bitboard d2 = own & ~doubled_front & (own_att | beside(own));
        total[us] = pair_add(total[us], duofended_count[popcount(d1)]);
        total[us] = pair_add(total[us], duofended_count[popcount(d2)]);

        const Bitboard backward = own & ~isolated & ~d1 & ~d2 & ~own_span;
        const Bitboard stops = push(us, backward);
        total[us] = pair_add(total[us], pbkwd_count[popcount(stops & ((own | enemy) | enemy_att))]);
        total[us] = pair_add(total[us], blockedopen_count[popcount(stops & enemy_att & open_squares())]);
    }

    // No own pawn ahead, no enemy pawn on the square or ahead of it.
    Bitboard open_squares() const {
        return us == WHITE ? ~(fill_down(own >> 8) | fill_down(enemy)) : ~(fill_up(own << 8) | fill_up(enemy));
    }

    // Passed and candidate pawns; returns the passed ones.
    Bitboard passers(const int kings[2]) {
        const Bitboard open = open_squares();
        const Bitboard passed = own & open & ~enemy_span;
        for (Bitboard b = passed; b;) {
            const int s = pop_lsb(b);
            const int ahead = us == WHITE ? s + 8 : s - 8;
            for (int k = 0; k < 2; k++)
                total[k] = pair_add(total[k], king_pawn_distance[square_distance(kings[k], ahead)]);
        }
        if (popcount(passed) >= 2) total[us] = pair_add(total[us], eval_weights.twopassed);

        for (Bitboard b = passed & (beside(passed) | pawn_attacks(us, passed)); b;)
            total[us] = pair_add(total[us], connected_passer[us][pop_lsb(b)]);

        for (Bitboard b = own & open & ~passed & (own_att | beside(own)); b;) {
            const int s = pop_lsb(b);
            if (popcount(enemy & pawn_attack_span(us, square_bit[s])) < 2)
                total[us] = pair_add(total[us], candidate_passer[us][s]);
        }
        return passed;
    }
};

}  // namespace

ScorePair fill_pawn_entry(const Position& pos, PawnEntry& e) {
    e.key = pos.pawn_key;

    const Bitboard wp = pos.bb[WHITE][PAWN], bp = pos.bb[BLACK][PAWN];
    const Bitboard watt = white_pawn_attacks(wp), batt = black_pawn_attacks(bp);
    const Bitboard wspan = pawn_attack_span(WHITE, wp), bspan = pawn_attack_span(BLACK, bp);
    const int kings[2] = {king_square(pos, WHITE), king_square(pos, BLACK)};
    ScorePair total[2] = {0, 0};
    PawnSide sides[2] = {{WHITE, BLACK, wp, bp, watt, batt, wspan, bspan, total},
                         {BLACK, WHITE, bp, wp, batt, watt, bspan, wspan, total}};
    for (int s = 0; s < 2; s++) {
        sides[s].structure();
        e.passed[s] = sides[s].passers(kings);
    }
    e.attacks[WHITE] = watt;
    e.attacks[BLACK] = batt;
    e.span[WHITE] = wspan;
    e.span[BLACK] = bspan;

    total[WHITE] = pair_add(total[WHITE], king_shelter(WHITE, kings[WHITE], wp));
    total[BLACK] = pair_add(total[BLACK], king_shelter(BLACK, kings[BLACK], bp));
    total[WHITE] = pair_add(total[WHITE], pawn_storm(WHITE, kings[BLACK], wp));
    total[BLACK] = pair_add(total[BLACK], pawn_storm(BLACK, kings[WHITE], bp));
    // A king on its back rank walled in by its own pawns.
    if ((pos.bb[WHITE][KING] & RANK_1_BB) && (king_attacks[kings[WHITE]] & RANK_2_BB & ~wp) == 0)
        total[WHITE] = pair_add(total[WHITE], eval_weights.luftp);
    if ((pos.bb[BLACK][KING] & RANK_8_BB) && (king_attacks[kings[BLACK]] & RANK_7_BB & ~bp) == 0)
        total[BLACK] = pair_add(total[BLACK], eval_weights.luftp);

    e.score = pair_sub(total[WHITE], total[BLACK]);
    return e.score;
}
