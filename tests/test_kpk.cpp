// Checks the king-and-pawn-versus-king bitbase against an independent solver
// that plays real chess rules in board coordinates with White holding the pawn.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "eval/kpk.h"

namespace {

int sq(int file, int rank) { return rank * 8 + file; }
int file_of(int s) { return s % 8; }
int rank_of(int s) { return s / 8; }
bool on_board(int file, int rank) { return file >= 0 && file < 8 && rank >= 0 && rank < 8; }

bool touches(int a, int b) {
    return a != b && std::abs(file_of(a) - file_of(b)) <= 1 && std::abs(rank_of(a) - rank_of(b)) <= 1;
}

// White pawn on p attacks the two squares diagonally ahead.
bool pawn_hits(int p, int s) { return rank_of(s) == rank_of(p) + 1 && std::abs(file_of(s) - file_of(p)) == 1; }

const int STEPS[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};

std::vector<int> king_steps(int s) {
    std::vector<int> out;
    for (auto& st : STEPS)
        if (on_board(file_of(s) + st[0], rank_of(s) + st[1])) out.push_back(sq(file_of(s) + st[0], rank_of(s) + st[1]));
    return out;
}

// Does a rook (4 directions) or queen (8) on `from` reach `target`, with only the
// white king in the way? The black king is left out so it cannot hide behind itself.
bool slider_hits(int from, int target, int white_king, bool queen) {
    for (int d = 0; d < (queen ? 8 : 4); ++d) {
        int f = file_of(from) + STEPS[d][0], r = rank_of(from) + STEPS[d][1];
        for (; on_board(f, r) && sq(f, r) != white_king; f += STEPS[d][0], r += STEPS[d][1])
            if (sq(f, r) == target) return true;
    }
    return false;
}

// Black to move against K + new piece on q: KQK and KRK are won unless the piece
// falls at once or Black is stalemated.
bool promotion_wins(int K, int q, int k, bool queen) {
    bool black_can_move = false;
    for (int t : king_steps(k)) {
        if (t == K || touches(t, K)) continue;
        if (t == q) return false;
        black_can_move |= !slider_hits(q, t, K, queen);
    }
    return black_can_move || slider_hits(q, k, K, queen);
}

// Whether White wins, by [white to move][pawn][white king][black king]; illegal positions are not won.
// The least fixed point of "White forces promotion into a won ending", one pawn square at a time
// from the seventh rank down, since the pawn never goes back.
using Table = std::vector<uint8_t>;
int at(bool white_to_move, int P, int K, int k) { return ((white_to_move * 64 + P) * 64 + K) * 64 + k; }

void solve(Table& won, int P) {
    std::vector<std::vector<int>> white(4096), black(4096);
    Table w_legal(4096, 0), w_pawn_wins(4096, 0), b_open(4096, 0), b_mated(4096, 0);
    for (int K = 0; K < 64; ++K)
        for (int k = 0; k < 64; ++k) {
            if (K == P || k == P || K == k || touches(K, k)) continue;
            const int i = K * 64 + k, one = P + 8, two = P + 16;
            if (!pawn_hits(P, k)) {
                w_legal[i] = 1;
                for (int t : king_steps(K))
                    if (t != P && t != k && !touches(t, k)) white[i].push_back(t * 64 + k);
                if (one != K && one != k) {
                    w_pawn_wins[i] = rank_of(one) == 7
                                         ? promotion_wins(K, one, k, true) || promotion_wins(K, one, k, false)
                                         : won[at(false, one, K, k)];
                    if (rank_of(P) == 1 && two != K && two != k && won[at(false, two, K, k)]) w_pawn_wins[i] = 1;
                }
            }
            // Black to move: a reply taking the undefended pawn draws outright.
            bool takes = false;
            for (int t : king_steps(k))
                if (t == P && !touches(t, K))
                    takes = true;
                else if (t != K && !touches(t, K) && !pawn_hits(P, t))
                    black[i].push_back(K * 64 + t);
            b_open[i] = !takes;
            b_mated[i] = !takes && black[i].empty() && pawn_hits(P, k);
        }
    uint8_t* w = &won[at(true, P, 0, 0)];
    uint8_t* b = &won[at(false, P, 0, 0)];
    for (bool changed = true; changed;) {
        changed = false;
        for (int i = 0; i < 4096; ++i) {
            if (w_legal[i] && !w[i]) {
                bool win = w_pawn_wins[i];
                for (int to : white[i]) win = win || b[to];
                if (win) w[i] = 1, changed = true;
            }
            if (b_open[i] && !b[i]) {
                bool win = b_mated[i] || !black[i].empty();
                for (int to : black[i]) win = win && w[to];
                if (win) b[i] = 1, changed = true;
            }
        }
    }
}

bool white_wins(int K, int P, int k, bool white_to_move) {
    static const Table won = [] {
        Table t(2 * 64 * 64 * 64, 0);
        for (int P = 55; P >= 8; --P) solve(t, P);
        return t;
    }();
    return won[at(white_to_move, P, K, k)];
}

int parse(const char* name) { return sq(name[0] - 'a', name[1] - '1'); }

// Every position with a white pawn, and its colour-flipped twin with a black one.
TEST(KpkBitbase, MatchesReferenceForBothColours) {
    int mismatches = 0;
    for (int P = 8; P < 56; ++P)
        for (int K = 0; K < 64; ++K)
            for (int k = 0; k < 64; ++k)
                for (bool stm : {true, false}) {
                    const bool expected = white_wins(K, P, k, stm);
                    for (int side : {0, 1}) {
                        const int flip = side ? 56 : 0;
                        if (kpk_probe(side, K ^ flip, P ^ flip, k ^ flip, stm) != expected && ++mismatches <= 10)
                            ADD_FAILURE() << "side " << side << " K " << K << " P " << P << " k " << k
                                          << " strong to move " << stm << ": reference says " << expected;
                    }
                }
    EXPECT_EQ(mismatches, 0);
}

// Known results check the reference itself (illegal positions are in the comparison above).
TEST(KpkBitbase, TextbookPositions) {
    const std::tuple<const char*, const char*, const char*, bool, bool> cases[] = {
        {"e5", "e4", "e7", true, false},                                    // opposition: whoever must move gives way
        {"e5", "e4", "e7", false, true}, {"e6", "e7", "e8", false, false},  // stalemate
        {"b3", "a4", "b8", true, false},  // the defender reaches the rook pawn's corner
        {"a1", "b7", "c7", true, false},  // the new queen or rook is taken at once
        {"a4", "b7", "a6", true, true},   // b8=Q stalemates; b8=R wins
    };
    for (const auto& [K, P, k, strong_to_move, wins] : cases)
        EXPECT_EQ(white_wins(parse(K), parse(P), parse(k), strong_to_move), wins) << K << P << k << strong_to_move;
}

}  // namespace
