// Checks the king-and-pawn-versus-king bitbase against an independent solver
// that plays real chess rules in board coordinates with White holding the pawn.
#include "eval/kpk.h"

#include <gtest/gtest.h>

#include <cstdio>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

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

// Does a rook (4 directions) or queen (8) on `from` reach `target`, with only the
// white king in the way? The black king is left out so it cannot hide behind itself.
bool slider_hits(int from, int target, int white_king, bool queen) {
    for (int d = 0; d < (queen ? 8 : 4); ++d) {
        int f = file_of(from) + STEPS[d][0], r = rank_of(from) + STEPS[d][1];
        for (; on_board(f, r); f += STEPS[d][0], r += STEPS[d][1]) {
            if (sq(f, r) == target) return true;
            if (sq(f, r) == white_king) break;
        }
    }
    return false;
}

// Black to move against K + new piece on q: KQK and KRK are won unless the piece
// falls at once or Black is stalemated.
bool promotion_wins(int K, int q, int k, bool queen) {
    bool black_can_move = false;
    for (auto& st : STEPS) {
        int f = file_of(k) + st[0], r = rank_of(k) + st[1];
        if (!on_board(f, r)) continue;
        int t = sq(f, r);
        if (t == K || touches(t, K)) continue;
        if (t == q) return false;
        if (!slider_hits(q, t, K, queen)) black_can_move = true;
    }
    return black_can_move || slider_hits(q, k, K, queen);
}

// Least fixed point of "White forces promotion into a won ending", one pawn
// square at a time from the seventh rank down, since the pawn never goes back.
class Reference {
public:
    Reference() : won_(2 * 64 * 64 * 64, 0) {
        for (int rank = 6; rank >= 1; --rank)
            for (int file = 0; file < 8; ++file) solve(sq(file, rank));
    }

    // white_to_move, white king, white pawn, black king; illegal positions are not won.
    bool white_wins(int K, int P, int k, bool white_to_move) const { return won_[at(white_to_move, P, K, k)]; }

private:
    std::vector<uint8_t> won_;

    static int at(bool white_to_move, int P, int K, int k) { return ((white_to_move * 64 + P) * 64 + K) * 64 + k; }

    void solve(int P) {
        struct Moves {
            int n = 0;
            int to[8];
        };
        std::vector<Moves> white(4096), black(4096);
        std::vector<uint8_t> w_legal(4096, 0), w_pawn_wins(4096, 0), b_open(4096, 0), b_mated(4096, 0);

        for (int K = 0; K < 64; ++K)
            for (int k = 0; k < 64; ++k) {
                if (K == P || k == P || K == k || touches(K, k)) continue;
                int i = K * 64 + k;
                if (!pawn_hits(P, k)) {
                    w_legal[i] = 1;
                    for (auto& st : STEPS) {
                        int f = file_of(K) + st[0], r = rank_of(K) + st[1];
                        if (!on_board(f, r)) continue;
                        int t = sq(f, r);
                        if (t != P && t != k && !touches(t, k)) white[i].to[white[i].n++] = t * 64 + k;
                    }
                    int one = P + 8;
                    if (one != K && one != k) {
                        if (rank_of(one) == 7)
                            w_pawn_wins[i] = promotion_wins(K, one, k, true) || promotion_wins(K, one, k, false);
                        else
                            w_pawn_wins[i] = won_[at(false, one, K, k)];
                        int two = P + 16;
                        if (rank_of(P) == 1 && two != K && two != k && won_[at(false, two, K, k)]) w_pawn_wins[i] = 1;
                    }
                }
                // Black to move: a reply taking the undefended pawn draws outright.
                bool takes = false;
                for (auto& st : STEPS) {
                    int f = file_of(k) + st[0], r = rank_of(k) + st[1];
                    if (!on_board(f, r)) continue;
                    int t = sq(f, r);
                    if (t == K || touches(t, K) || pawn_hits(P, t)) continue;
                    if (t == P)
                        takes = true;
                    else
                        black[i].to[black[i].n++] = K * 64 + t;
                }
                b_open[i] = !takes;
                b_mated[i] = !takes && black[i].n == 0 && pawn_hits(P, k);
            }

        uint8_t* w = &won_[at(true, P, 0, 0)];
        uint8_t* b = &won_[at(false, P, 0, 0)];
        for (bool changed = true; changed;) {
            changed = false;
            for (int i = 0; i < 4096; ++i) {
                if (w_legal[i] && !w[i]) {
                    bool win = w_pawn_wins[i];
                    for (int m = 0; m < white[i].n && !win; ++m) win = b[white[i].to[m]];
                    if (win) w[i] = 1, changed = true;
                }
                if (b_open[i] && !b[i]) {
                    bool win = b_mated[i] || black[i].n > 0;
                    for (int m = 0; m < black[i].n && win; ++m) win = w[black[i].to[m]];
                    if (win) b[i] = 1, changed = true;
                }
            }
        }
    }
};

const Reference& reference() {
    static const Reference ref;
    return ref;
}

int parse(const char* name) { return sq(name[0] - 'a', name[1] - '1'); }

std::string describe(int K, int P, int k, bool strong_to_move) {
    char buf[64];
    snprintf(buf, sizeof buf, "K%c%c P%c%c k%c%c %s to move", 'a' + file_of(K), '1' + rank_of(K), 'a' + file_of(P),
             '1' + rank_of(P), 'a' + file_of(k), '1' + rank_of(k), strong_to_move ? "strong" : "weak");
    return buf;
}

TEST(KpkBitbase, MatchesReferenceOnEveryWhitePosition) {
    const Reference& ref = reference();
    int mismatches = 0;
    for (int P = 8; P < 56; ++P)
        for (int K = 0; K < 64; ++K)
            for (int k = 0; k < 64; ++k)
                for (bool stm : {true, false}) {
                    bool expected = ref.white_wins(K, P, k, stm);
                    if (kpk_probe(0, K, P, k, stm) != expected && ++mismatches <= 10)
                        ADD_FAILURE() << describe(K, P, k, stm) << ": reference says " << expected;
                }
    EXPECT_EQ(mismatches, 0);
}

TEST(KpkBitbase, RawFrameLayout) {
    // Frame square = real square XOR 56 for White; only files a-d are stored.
    const Reference& ref = reference();
    int mismatches = 0;
    for (int p = 0; p < 24; ++p) {
        int P = sq(p % 4, p / 4 + 1) ^ 56;
        for (int K = 0; K < 64; ++K)
            for (int k = 0; k < 64; ++k)
                for (bool stm : {true, false})
                    if (kpk_lookup_frame(p, K, k, stm) != ref.white_wins(K ^ 56, P, k ^ 56, stm)) ++mismatches;
    }
    EXPECT_EQ(mismatches, 0);
    // Byte 0 holds entries (p 0, K 0, k 0..3), weak-to-move bit first.
    EXPECT_EQ(kpk_bitbase[0] & 1, int(kpk_lookup_frame(0, 0, 0, false)));
    EXPECT_EQ((kpk_bitbase[0] >> 7) & 1, int(kpk_lookup_frame(0, 0, 3, true)));
}

TEST(KpkBitbase, BlackPawnSampleMatchesColourFlip) {
    const Reference& ref = reference();
    std::mt19937 rng(20240517);
    int mismatches = 0;
    for (int n = 0; n < 20000; ++n) {
        int K = int(rng() % 64), k = int(rng() % 64), P = 8 + int(rng() % 48);
        bool stm = rng() & 1;
        bool expected = ref.white_wins(K, P, k, stm);
        if (kpk_probe(1, K ^ 56, P ^ 56, k ^ 56, stm) != expected && ++mismatches <= 10)
            ADD_FAILURE() << "colour-flipped " << describe(K, P, k, stm) << ": reference says " << expected;
    }
    EXPECT_EQ(mismatches, 0);
}

struct Textbook {
    const char *K, *P, *k;
    bool strong_to_move, wins;
};

TEST(KpkBitbase, TextbookPositions) {
    const Textbook cases[] = {
        // Opposition: whoever must move gives way.
        {"e5", "e4", "e7", true, false},
        {"e5", "e4", "e7", false, true},
        // King on the sixth ahead of its pawn wins whoever moves.
        {"e6", "e5", "e8", true, true},
        {"e6", "e5", "e8", false, true},
        {"e6", "e4", "e8", true, true},
        {"e6", "e4", "e8", false, true},
        // Pawn on the seventh: stalemate with Black to move, Kd6 wins otherwise.
        {"e6", "e7", "e8", false, false},
        {"e6", "e7", "e8", true, true},
        // Rook pawn: the defender reaches the corner.
        {"b3", "a4", "b8", true, false},
        {"g3", "h4", "g8", false, false},
        // Rook pawn stalemate.
        {"b6", "a7", "a8", false, false},
        // Pawn outside the defender's square.
        {"h1", "a5", "h8", false, true},
        {"a1", "h5", "a8", true, true},
        // Undefended pawn falls.
        {"a1", "e4", "d5", false, false},
        // Defended promotion square; the new queen cannot be taken.
        {"c7", "b7", "a7", true, true},
        // The new queen or rook is taken at once.
        {"a1", "b7", "c7", true, false},
        // b8=Q stalemates; only b8=R wins.
        {"a4", "b7", "a6", true, true},
    };
    for (const Textbook& c : cases) {
        int K = parse(c.K), P = parse(c.P), k = parse(c.k);
        EXPECT_EQ(kpk_probe(0, K, P, k, c.strong_to_move), c.wins) << "white " << describe(K, P, k, c.strong_to_move);
        EXPECT_EQ(kpk_probe(1, K ^ 56, P ^ 56, k ^ 56, c.strong_to_move), c.wins)
            << "black " << describe(K ^ 56, P ^ 56, k ^ 56, c.strong_to_move);
    }
}

TEST(KpkBitbase, IllegalPositionsAreNotWon) {
    int P = parse("d4");
    EXPECT_FALSE(kpk_probe(0, parse("d5"), P, parse("d5"), true));  // kings share a square
    EXPECT_FALSE(kpk_probe(0, parse("d5"), P, parse("d6"), true));  // kings touch
    EXPECT_FALSE(kpk_probe(0, P, P, parse("a8"), true));            // king on the pawn
    EXPECT_FALSE(kpk_probe(0, parse("a1"), P, parse("e5"), true));  // black in check, White to move
    EXPECT_FALSE(kpk_probe(0, parse("a1"), parse("a1"), parse("h8"), true));  // pawn on the first rank
}

}  // namespace
