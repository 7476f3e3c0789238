// Static exchange, exchange values and the threat helpers of the search.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <tuple>

#include "board/makemove.h"
#include "board/movegen.h"
#include "board/see.h"
#include "support.h"

namespace {

int sq(const char* name) { return (name[1] - '1') * 8 + (name[0] - 'a'); }
Move mv(const char* text, int flag = 0) { return make_move_word(sq(text), sq(text + 2), flag); }

// A plain reference for the exchange: the board as square codes, attacks found by stepping along the
// board, and each side in turn either stopping or capturing with its cheapest attacker.
bool reaches(const uint8_t* b, int s, int to, int side) {
    const int df = file_of(to) - file_of(s), dr = rank_of(to) - rank_of(s), t = b[s] & 7;
    const bool diagonal = df && std::abs(df) == std::abs(dr), straight = (df == 0) != (dr == 0);
    if (t == PAWN) return std::abs(df) == 1 && dr == (side == WHITE ? 1 : -1);
    if (t == KNIGHT) return std::abs(df * dr) == 2;
    if (t == KING) return std::abs(df) <= 1 && std::abs(dr) <= 1 && (df || dr);
    if (!(t == BISHOP && diagonal) && !(t == ROOK && straight) && !(t == QUEEN && (diagonal || straight))) return false;
    const int step = (dr > 0 ? 8 : dr < 0 ? -8 : 0) + (df > 0 ? 1 : df < 0 ? -1 : 0);
    for (int q = s + step; q != to; q += step)
        if (b[q]) return false;
    return true;
}

// What `side` can still win on `to`, where a piece worth on_square stands; never below zero.
int best_gain(const uint8_t* board, int to, int side, int on_square, const int* value) {
    int from = -1;
    for (int s = 0; s < 64; s++)  // upward, so the lowest square wins among equals
        if (board[s] && ((board[s] & 16) ? WHITE : BLACK) == side && s != to && reaches(board, s, to, side) &&
            (from < 0 || (board[s] & 7) < (board[from] & 7)))
            from = s;
    if (from < 0) return 0;
    uint8_t next[64];
    std::memcpy(next, board, 64);
    next[to] = next[from], next[from] = 0;
    return std::max(0, on_square - best_gain(next, to, 1 - side, value[next[to] & 7], value));
}

int reference_exchange(const Position& pos, int from, int to, int mover, const int* value) {
    uint8_t board[64];
    std::memcpy(board, pos.board, 64);
    const int taken = from == to ? value[7] : value[board[to] & 7];
    board[to] = board[from];
    if (from != to) board[from] = 0;
    return taken - best_gain(board, to, 1 - mover, value[board[to] & 7], value);
}

// Every move and every occupied square of sampled games and crowded placements.
TEST(See, MatchesAPlainExchangeSearch) {
    std::vector<Position> positions = sample_positions(1500, 5);
    std::mt19937_64 rng(9);
    for (int i = 0; i < 300; i++)
        positions.push_back(from_fen(random_placement("QQRRBBNNPPPPPqqrrbbnnppppp", rng, i % 2).c_str()));
    for (const Position& p : positions) {
        const int us = side_to_move(p);
        Move moves[MAX_MOVES];
        const int n = generate_all_moves(p, moves);
        for (int i = 0; i < n; i++) {
            const int from = move_from(moves[i]), to = move_to(moves[i]), flag = move_flag(moves[i]);
            if (flag == FLAG_EP || flag == FLAG_CASTLE || flag == FLAG_PROMO_R || flag == FLAG_PROMO_B) continue;
            const int ref = reference_exchange(p, from, to, us, exchange_piece_value);
            ASSERT_EQ(exchange_value(p, moves[i], 0), ref) << fen_of(p) << " " << move_str(moves[i]);
            ASSERT_EQ(see(p, moves[i]), ref < 0 ? -1 : 0) << fen_of(p) << " " << move_str(moves[i]);
        }
        for (Bitboard b = occupied(p); b;) {
            const int s = pop_lsb(b), owner = (p.board[s] & 16) ? WHITE : BLACK;
            const Move stay = make_move_word(s, s);
            ASSERT_EQ(threat_on_square(p, s), reference_exchange(p, s, s, us, threat_piece_value)) << fen_of(p) << " " << s;
            ASSERT_EQ(exchange_value(p, stay, 1), reference_exchange(p, s, s, 1 - us, exchange_piece_value)) << fen_of(p);
            ASSERT_EQ(see(p, stay), reference_exchange(p, s, s, owner, exchange_piece_value) < 0 ? -1 : 0) << fen_of(p);
        }
    }
    // The moves left out above, en passant and the minor promotions, are never judged.
    EXPECT_EQ(see(from_fen("4k3/2p5/8/3pP3/8/8/8/4K3 w - d6"), mv("e5d6", FLAG_EP)), 0);
    EXPECT_EQ(see(from_fen("3r4/4P1k1/8/8/8/8/8/4K3 w - -"), mv("e7e8", FLAG_PROMO_R)), 0);
}

// The largest loss a side faces, and what the move just made attacks.
TEST(Threats, LossesAndWhatTheLastMoveAttacks) {
    const std::pair<const char*, int> largest[] = {
        {"4k3/8/8/4p3/3Q4/8/1p6/4K3 w - -", 15},  // a pawn on the seventh overrides everything
        {"4k3/1P6/8/8/8/8/1p6/4K3 b - -", 15},    // black's own promotion threat
        {"4k3/8/8/4p3/3Q4/8/5N2/4K3 w - -", 19},  // the worst loss among the pieces
        {"4k3/8/8/8/3N4/8/8/Q3K3 w - -", 0}};
    for (const auto& [fen, value] : largest) {
        const Position p = from_fen(fen);
        EXPECT_EQ(largest_threat(p), value) << fen;
        // A scan bounded below the loss may stop early but must still report passing the bound.
        EXPECT_EQ(largest_threat_above(p, value), value) << fen;
        if (value > 0) {
            EXPECT_GT(largest_threat_above(p, value - 1), value - 1) << fen;
        }
    }
    // What the move just made attacks.
    const std::tuple<const char*, const char*, int> cases[] = {
        {"4k3/2r5/8/8/8/2N5/8/4K3 w - -", "c3d5", 2},   // knight on a rook
        {"4k3/8/8/8/6p1/8/8/4K1N1 w - -", "g1f2", 1},   // on an undefended pawn
        {"4k3/8/8/2n5/8/3P4/8/4K3 w - -", "d3d4", 2},   // pawn on a knight
        {"4k3/8/7p/6p1/8/8/8/2B1K3 w - -", "c1e3", 0},  // on a defended pawn
        {"3qk3/8/8/8/8/8/8/R3K3 w - -", "a1d1", 2},     // rook on the queen's file
    };
    for (const auto& [fen, move, value] : cases) {
        const Position parent = from_fen(fen);
        Position child, after_null;
        make_move(parent, child, mv(move));
        make_move(child, after_null, MOVE_NONE);
        EXPECT_EQ(last_move_threat(child), value) << fen << " " << move;
        EXPECT_EQ(last_move_threat(after_null), 0) << "nothing after a null move";
    }
    EXPECT_EQ(last_move_threat(from_fen("4k3/2r5/8/3N4/8/8/8/4K3 b - -")), 0) << "nothing at the root";
}

}  // namespace
