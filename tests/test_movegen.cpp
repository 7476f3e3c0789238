// Generator order and coverage, the stored-move validator and the check predictor.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "board/draw.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/perft.h"
#include "support.h"

namespace {

std::vector<std::string> texts(const Move* m, int n) {
    std::vector<std::string> out;
    for (int i = 0; i < n; i++) {
        char t[MOVE_TEXT_SIZE];
        move_to_text(m[i], t);
        out.push_back(t);
    }
    return out;
}

// Positions reached by random legal play from varied starts: many pins, checks and promotions.
std::vector<Position> sample_positions(int count) {
    static const char* const starts[] = {
        "",
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
        "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq -",
        "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -",
        "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - -",
    };
    std::mt19937 rng(2024);
    std::vector<Position> out;
    static Position line[128];
    while (int(out.size()) < count) {
        for (const char* fen : starts) {
            line[0] = from_fen(fen);
            for (int ply = 0; ply < 100 && int(out.size()) < count; ply++) {
                line[ply].prev = nullptr;  // stored copies must not point into the scratch line
                out.push_back(line[ply]);
                line[ply].prev = ply ? &line[ply - 1] : nullptr;
                Move moves[MAX_MOVES];
                const int n = generate_legal_moves(line[ply], moves);
                if (!n) break;
                apply_move_text(line[ply], line[ply + 1], texts(&moves[rng() % n], 1)[0].c_str());
            }
        }
    }
    return out;
}

TEST(Generate, CastlingRespectsAttackedSquares) {
    Move m[4];
    // g1 attacked by the bishop: no short castling; the long one is still there.
    Position a = from_fen("4k3/8/8/8/8/8/7b/R3K2R w KQ -");
    EXPECT_EQ(texts(m, generate_castling(a, WHITE, m)), std::vector<std::string>({"e1c1"}));
    // Only b1 attacked: long castling is allowed.
    Position b = from_fen("4k3/8/8/8/8/8/8/Rn2K2R w KQ -");
    EXPECT_EQ(texts(m, generate_castling(b, WHITE, m)), std::vector<std::string>({"e1g1"}));  // b1 occupied
    Position c = from_fen("4k3/8/8/8/8/2n5/8/R3K2R w KQ -");  // knight on c3 attacks b1 and d1
    EXPECT_EQ(generate_castling(c, WHITE, m), 1);
    Position d = from_fen("4k3/8/8/8/8/n7/8/R3K2R w KQ -");  // knight on a3 attacks b1 only
    EXPECT_EQ(texts(m, generate_castling(d, WHITE, m)), std::vector<std::string>({"e1g1", "e1c1"}));
    Position e = from_fen("r3k2r/8/8/8/8/8/8/4K3 b kq -");
    EXPECT_EQ(texts(m, generate_castling(e, BLACK, m)), std::vector<std::string>({"e8g8", "e8c8"}));
    EXPECT_EQ(m[0], CASTLE_BK);
    EXPECT_EQ(m[1], CASTLE_BQ);
}

TEST(Generate, PinnedPiecesAndUnsafeKingMovesArePseudoLegal) {
    Position p = from_fen("4k3/4r3/8/8/8/8/4N3/4K3 w - -");
    Move m[MAX_MOVES];
    const std::vector<std::string> all = texts(m, generate_all_moves(p, m));
    EXPECT_NE(std::find(all.begin(), all.end(), "e2c3"), all.end());  // pinned knight
    Position q = from_fen("4k3/8/8/8/8/8/3r4/4K3 w - -");
    const std::vector<std::string> kq = texts(m, generate_all_moves(q, m));
    EXPECT_NE(std::find(kq.begin(), kq.end(), "e1e2"), kq.end());  // onto an attacked square
}

TEST(Generate, CapturesOnAndQuietsToAgreeWithTheFullList) {
    int compared = 0;
    for (const Position& p : sample_positions(1500)) {
        Move all[MAX_MOVES], part[MAX_MOVES];
        const int n = generate_all_moves(p, all);
        const int us = p.ply & 1;
        std::multiset<Move> expected_caps, got_caps;
        for (Bitboard e = p.bb[1 - us][0]; e;) {
            const int sq = pop_lsb(e);
            const int k = generate_captures_on(p, part, sq);
            got_caps.insert(part, part + k);
        }
        for (int i = 0; i < n; i++)
            if ((p.bb[1 - us][0] & square_bit[move_to(all[i])]) && move_flag(all[i]) != FLAG_EP)
                expected_caps.insert(all[i]);
        EXPECT_EQ(got_caps, expected_caps);
        // Quiet moves to empty squares: everything but king moves, castling, under-promotions.
        const Bitboard empty = ~occupied(p);
        std::multiset<Move> expected_quiet, got_quiet;
        const int q = generate_quiets_to(p, part, empty);
        got_quiet.insert(part, part + q);
        for (int i = 0; i < n; i++) {
            const Move mv = all[i];
            const int f = move_flag(mv);
            if (!(empty & square_bit[move_to(mv)]) || f == FLAG_EP || f == FLAG_CASTLE || f >= FLAG_PROMO_N) continue;
            if ((p.board[move_from(mv)] & 7) == KING) continue;
            expected_quiet.insert(mv);
        }
        EXPECT_EQ(got_quiet, expected_quiet);
        compared++;
    }
    EXPECT_EQ(compared, 1500);
}

TEST(Validate, AgreesWithGenerationExceptEnPassant) {
    int accepted = 0, rejected = 0;
    for (const Position& p : sample_positions(1500)) {
        Move all[MAX_MOVES];
        const int n = generate_all_moves(p, all);
        std::set<Move> generated(all, all + n);
        for (int i = 0; i < n; i++) {
            const bool ep = move_flag(all[i]) == FLAG_EP;
            EXPECT_EQ(move_is_pseudo_legal(p, all[i]), !ep);
            accepted += !ep;
        }
        // Every other from/to/flag word must be refused.
        for (int from = 0; from < 64; from++)
            for (int to = 0; to < 64; to++)
                for (int flag : {0, 1, 3, 4, 5}) {
                    const Move m = make_move_word(from, to, flag);
                    if (generated.count(m)) continue;
                    EXPECT_FALSE(move_is_pseudo_legal(p, m)) << from << "-" << to << " flag " << flag;
                    rejected++;
                }
    }
    EXPECT_GT(accepted, 20000);
    EXPECT_GT(rejected, 1000000);
}

// True when the line from the enemy king opens by leaving `from` but closes again at `to`.
bool blocks_own_discovery(const Position& p, Move m) {
    const int us = p.ply & 1, k = lsb_index(p.bb[1 - us][KING]);
    const Bitboard diag = p.bb[us][BISHOP] | p.bb[us][QUEEN], straight = p.bb[us][ROOK] | p.bb[us][QUEEN];
    const Bitboard open = occupied(p) & ~square_bit[move_from(m)], closed = open | square_bit[move_to(m)];
    const bool d1 = (bishop_attacks(k, open) & diag) || (rook_attacks(k, open) & straight);
    const bool d2 = (bishop_attacks(k, closed) & diag) || (rook_attacks(k, closed) & straight);
    return d1 && !d2;
}

TEST(GivesCheck, AgreesWithMakingTheMove) {
    int checks = 0;
    for (const Position& p : sample_positions(2000)) {
        Move all[MAX_MOVES];
        const int n = generate_all_moves(p, all);
        for (int i = 0; i < n; i++) {
            const int f = move_flag(all[i]);
            // Not looked at: the castling rook, the pawn removed en passant, the promoted piece.
            if (f == FLAG_CASTLE || f == FLAG_EP || f >= FLAG_PROMO_Q) continue;
            Position c;
            make_move(p, c, all[i]);
            if (king_attacked(c, p.ply & 1)) continue;
            const bool real = king_attacked(c, 1 - (p.ply & 1));
            if (blocks_own_discovery(p, all[i])) continue;  // the arriving piece is not looked at
            EXPECT_EQ(gives_check(p, all[i]), real);
            checks += real;
        }
    }
    EXPECT_GT(checks, 500);
}

TEST(GivesCheck, PromotionJudgedAsThePawn) {
    Position p = from_fen("7k/4P3/8/8/8/8/8/K7 w - -");
    EXPECT_FALSE(gives_check(p, make_move_word(52, 60, FLAG_PROMO_Q)));  // only the new queen checks
    Position q = from_fen("8/4P3/8/8/8/8/8/K2k4 w - -");
    EXPECT_FALSE(gives_check(q, make_move_word(52, 60, FLAG_PROMO_Q)));
}

TEST(MoveText, FormsAndRemoval) {
    char t[MOVE_TEXT_SIZE];
    move_to_text(0, t);
    EXPECT_STREQ(t, "null");
    move_to_text(make_move_word(12, 28, FLAG_DOUBLE), t);
    EXPECT_STREQ(t, "e2e4");
    move_to_text(make_move_word(52, 60, FLAG_PROMO_N), t);
    EXPECT_STREQ(t, "e7e8n");
    move_to_text(CASTLE_WK, t);
    EXPECT_STREQ(t, "e1g1");
}

TEST(MoveText, ApplyIsCaseInsensitiveAndAcceptsPinnedMoves) {
    Position p = from_fen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -"), c;
    ASSERT_TRUE(apply_move_text(p, c, "E1G1"));
    EXPECT_EQ(c.last_move, CASTLE_WK);
    Position pin = from_fen("4k3/4r3/8/8/8/8/4N3/4K3 w - -");
    EXPECT_TRUE(apply_move_text(pin, c, "e2c3"));
    EXPECT_TRUE(king_attacked(c, WHITE));  // accepted although it exposes the mover's king
    EXPECT_EQ(c.in_check, 0);
    Position untouched = c;
    EXPECT_FALSE(apply_move_text(pin, c, "e2e5"));
    EXPECT_EQ(memcmp(&untouched, &c, sizeof c), 0);
    Position promo = from_fen("8/P6k/8/8/8/8/8/K7 w - -");
    EXPECT_TRUE(apply_move_text(promo, c, "a7a8N"));
    EXPECT_EQ(move_flag(c.last_move), FLAG_PROMO_N);
}

}  // namespace
