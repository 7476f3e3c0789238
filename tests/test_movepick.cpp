// The staged move picker: completeness per mode, no repeats, stage order and scores; the legal-move counter.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "board/draw.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/movepick.h"
#include "board/perft.h"
#include "search/search.h"
#include "search/see.h"
#include "search/state.h"
#include "support.h"

namespace {

std::string text(Move m) {
    char t[MOVE_TEXT_SIZE];
    move_to_text(m, t);
    return t;
}

Move move_of(const Position& pos, const std::string& t) {
    Move moves[MAX_MOVES];
    const int n = generate_all_moves(pos, moves);
    for (int i = 0; i < n; i++)
        if (text(moves[i]) == t) return moves[i];
    return 0;
}

std::vector<Move> run(const Position& pos, int mode, Move hash = 0, Move k1 = 0, Move k2 = 0, int depth = 0) {
    MovePicker p;
    picker_init(pos, p, mode, hash, k1, k2, depth);
    std::vector<Move> out;
    for (Move m; (m = picker_next(p));) {
        out.push_back(m);
        if (out.size() > 400) break;  // a runaway picker fails below instead of hanging
    }
    EXPECT_EQ(picker_next(p), 0u) << "the picker must stay at its end";
    return out;
}

std::vector<std::string> texts(const std::vector<Move>& moves) {
    std::vector<std::string> out;
    for (Move m : moves) out.push_back(text(m));
    return out;
}

std::string position_text(const Position& pos) {
    char fen[FEN_BUFFER];
    position_to_fen(pos, fen, sizeof fen);
    return fen;
}

bool captures(const Position& pos, Move m) {
    return move_flag(m) == FLAG_EP || (pos.bb[1 - side_to_move(pos)][0] & square_bit[move_to(m)]);
}

// A quiet check the quiet-check stage must list: a direct check, or a discovered one by a piece
// that does not move along the uncovered line's directions (those are left out by design).
bool must_be_listed_check(const Position& pos, Move m) {
    Position child;
    make_move(pos, child, m);
    const int us = side_to_move(pos), k = king_square(child, 1 - us), to = move_to(m);
    if (king_attacked(child, us) || !side_in_check(child, 1 - us)) return false;
    const Bitboard occ = occupied(child), kb = square_bit[k];
    const int t = child.board[to] & 7;
    if (attacks_from(t, us, to, occ) & kb) return true;
    const bool diagonal = (bishop_attacks(k, occ) & (child.bb[us][BISHOP] | child.bb[us][QUEEN])) != 0;
    return diagonal ? t != BISHOP && t != QUEEN : t != ROOK && t != QUEEN;
}

// Positions from random legal play: checks, pins, promotions and en passant turn up.
std::vector<Position> sample_positions(int count) {
    static const char* const starts[] = {
        "",
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
        "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq -",
        "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -",
        "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - -",
        "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ -",
    };
    std::mt19937 rng(7);
    std::vector<Position> out;
    static Position line[160];
    while (int(out.size()) < count) {
        for (const char* fen : starts) {
            line[0] = from_fen(fen);
            for (int ply = 0; ply < 150 && int(out.size()) < count; ply++) {
                out.push_back(line[ply]);
                out.back().prev = nullptr;
                Move moves[MAX_MOVES];
                const int n = generate_legal_moves(line[ply], moves);
                if (!n) break;
                make_move(line[ply], line[ply + 1], moves[rng() % n]);
                line[ply + 1].in_check = side_in_check(line[ply + 1], side_to_move(line[ply + 1]));
            }
        }
    }
    return out;
}

class PickerSample : public testing::Test {
protected:
    static void SetUpTestSuite() { positions = new std::vector<Position>(sample_positions(3000)); }
    static void TearDownTestSuite() { delete positions; }
    static std::vector<Position>* positions;
};
std::vector<Position>* PickerSample::positions = nullptr;

TEST_F(PickerSample, FullModeHandsOutEveryMoveOnce) {
    std::mt19937 rng(11);
    int checked = 0;
    for (const Position& pos : *positions) {
        Move all[MAX_MOVES];
        const int n = generate_all_moves(pos, all);
        // Hash move and killers taken from the position itself or from nowhere, legal or not.
        const Move hash = n && rng() % 2 ? all[rng() % n] : Move(rng() % 4096);
        const Move k1 = n && rng() % 2 ? all[rng() % n] : hash;
        const Move k2 = Move(rng() % 32768);
        const std::vector<Move> got = run(pos, PICK_ALL, hash, k1, k2, int(rng() % 14));
        std::multiset<Move> got_set(got.begin(), got.end());
        std::multiset<Move> expected(all, all + n);
        ASSERT_EQ(got_set, expected) << position_text(pos);
        checked++;
    }
    EXPECT_EQ(checked, 3000);
}

TEST_F(PickerSample, EvasionModeHandsOutEveryLegalMoveOnce) {
    int in_check = 0;
    for (const Position& pos : *positions) {
        if (!pos.in_check) continue;
        in_check++;
        Move legal[MAX_MOVES];
        const int n = generate_legal_moves(pos, legal);
        const std::vector<Move> got = run(pos, PICK_EVASIONS);
        const std::set<Move> got_set(got.begin(), got.end());
        ASSERT_EQ(got_set.size(), got.size()) << "a move came twice";
        for (int i = 0; i < n; i++) ASSERT_TRUE(got_set.count(legal[i])) << text(legal[i]);
        EXPECT_EQ(count_legal_moves_upto3(pos), std::min(n, 3));
    }
    EXPECT_GT(in_check, 50);
}

// Captures and promotions all come (losing ones last), plus every quiet move that checks.
TEST_F(PickerSample, CheckModesCoverCapturesAndQuietChecks) {
    for (const Position& pos : *positions) {
        if (pos.in_check) continue;
        Move all[MAX_MOVES];
        const int n = generate_all_moves(pos, all);
        const std::vector<Move> got = run(pos, PICK_CHECKS_DEFER);
        const std::set<Move> got_set(got.begin(), got.end());
        ASSERT_EQ(got_set.size(), got.size()) << "a move came twice";
        const std::set<Move> generated(all, all + n);
        for (int i = 0; i < n; i++) {
            const Move m = all[i];
            const int flag = move_flag(m);
            const bool tactical = captures(pos, m) || is_promotion(m);
            if (tactical || (flag != FLAG_CASTLE && must_be_listed_check(pos, m))) {
                ASSERT_TRUE(got_set.count(m)) << text(m) << " in " << position_text(pos);
            }
        }
        for (Move m : got) ASSERT_TRUE(generated.count(m)) << "not a generated move: " << text(m);
        // Mode 3 is the capture part of it; mode 2 drops the losing captures.
        for (Move m : run(pos, PICK_CAPTURES)) ASSERT_TRUE(captures(pos, m) || is_promotion(m)) << text(m);
        for (Move m : run(pos, PICK_CHECKS)) {
            if (captures(pos, m) && move_flag(m) <= FLAG_DOUBLE) {
                ASSERT_EQ(see(pos, m), 0) << text(m);
            }
        }
    }
}

TEST(PickerOrder, MostValuableVictimThenLeastValuableAttacker) {
    // The queen on d5 can be taken by the pawn on e4 (158) and the knight on c3 (156).
    Position pos = from_fen("4k3/8/8/3q4/4P3/2N5/8/4K3 w - -");
    const std::vector<std::string> got = texts(run(pos, PICK_CAPTURES));
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], "e4d5");
    EXPECT_EQ(got[1], "c3d5");
}

TEST(PickerOrder, UnderPromotionsFollowTheQueenPromotion) {
    Position pos = from_fen("1r2k3/P7/8/8/8/8/8/4K3 w - -");
    const std::vector<std::string> got = texts(run(pos, PICK_CAPTURES));
    const std::vector<std::string> expected = {"a7b8q", "a7b8n", "a7b8r", "a7b8b",
                                               "a7a8q", "a7a8n", "a7a8r", "a7a8b"};
    EXPECT_EQ(got, expected);
}

TEST(PickerOrder, QuietMovesFollowHistoryStably) {
    Position pos = from_fen("4k3/8/8/8/8/8/8/RN2K3 w - -");
    memset(history_table, 0, sizeof history_table);
    // All history equal: generation order (knight moves, then rook, then king).
    const std::vector<std::string> plain = texts(run(pos, PICK_ALL));
    history_table[WHITE][KING][move_to(move_of(pos, "e1f2"))] = 9000;
    const std::vector<std::string> ordered = texts(run(pos, PICK_ALL));
    history_table[WHITE][KING][move_to(move_of(pos, "e1f2"))] = 0;
    ASSERT_FALSE(plain.empty());
    EXPECT_EQ(plain[0], "b1d2");  // knight targets ascend: d2 before a3 and c3
    EXPECT_EQ(ordered[0], "e1f2");
    std::vector<std::string> rest = ordered;
    rest.erase(rest.begin());
    std::vector<std::string> plain_rest = plain;
    plain_rest.erase(std::find(plain_rest.begin(), plain_rest.end(), "e1f2"));
    EXPECT_EQ(rest, plain_rest);
}

TEST(PickerSpecialMoves, HashMoveFirstAndOnlyOnce) {
    Position pos = from_fen("");
    const Move e4 = move_of(pos, "e2e4");
    const std::vector<Move> got = run(pos, PICK_ALL, e4);
    ASSERT_EQ(got.size(), 20u);
    EXPECT_EQ(got[0], e4);
    EXPECT_EQ(std::count(got.begin(), got.end(), e4), 1);
}

TEST(PickerSpecialMoves, IllegalHashMoveIsSkipped) {
    Position pos = from_fen("");
    const Move bogus = make_move_word(SQ_E1, SQ_E1 + 16);  // king two squares up
    const std::vector<Move> got = run(pos, PICK_ALL, bogus);
    ASSERT_EQ(got.size(), 20u);
    EXPECT_EQ(std::count(got.begin(), got.end(), bogus), 0);
}

TEST(PickerSpecialMoves, EnPassantHashMoveComesWithTheCaptures) {
    // After ...d7d5 the e5 pawn may take en passant; as hash move it is not handed out early.
    Position pos = from_fen("4k3/8/8/3pP3/8/8/8/4K2R w - d6");
    const Move ep = move_of(pos, "e5d6");
    ASSERT_EQ(move_flag(ep), FLAG_EP);
    const std::vector<Move> got = run(pos, PICK_ALL, ep);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got[0], ep) << "the only capture still leads the capture stage";
    EXPECT_EQ(std::count(got.begin(), got.end(), ep), 1);
    const Move rook = move_of(pos, "h1h8");
    const std::vector<Move> with_other = run(pos, PICK_ALL, rook);
    EXPECT_EQ(with_other[0], rook);
    EXPECT_EQ(with_other[1], ep);
}

TEST(PickerSpecialMoves, KillersComeAfterCapturesAndNeverTwice) {
    Position pos = from_fen("4k3/8/8/3q4/4P3/2N5/8/4K3 w - -");
    const Move quiet = move_of(pos, "e1f2"), other = move_of(pos, "c3b5"), capture = move_of(pos, "e4d5");
    std::vector<Move> got = run(pos, PICK_ALL, quiet, quiet, other);
    EXPECT_EQ(got[0], quiet);
    EXPECT_EQ(got[1], capture);
    EXPECT_EQ(got[3], other) << texts(got)[3];
    EXPECT_EQ(std::count(got.begin(), got.end(), quiet), 1);
    EXPECT_EQ(std::count(got.begin(), got.end(), other), 1);
    // A killer that would capture here was generated with the captures already.
    got = run(pos, PICK_ALL, 0, capture);
    EXPECT_EQ(std::count(got.begin(), got.end(), capture), 1);
}

TEST(PickerModes, LosingCapturesDeferredOrDropped) {
    // Qxd5 and Nxd5 lose material to the pawn on e6; Nxb5 wins a knight.
    Position pos = from_fen("4k3/8/4p3/1n1p4/8/2N5/3Q4/4K3 w - -");
    const Move queen = move_of(pos, "d2d5"), knight = move_of(pos, "c3b5");
    ASSERT_LT(see(pos, queen), 0);
    const std::vector<Move> all = run(pos, PICK_ALL);
    EXPECT_EQ(all.front(), knight);
    EXPECT_EQ(all.back(), queen) << "a losing capture comes after the quiet moves";
    const std::vector<Move> defer = run(pos, PICK_CHECKS_DEFER);
    EXPECT_EQ(defer.back(), queen);
    const std::vector<Move> drop = run(pos, PICK_CHECKS);
    EXPECT_EQ(std::count(drop.begin(), drop.end(), queen), 0);
    EXPECT_EQ(std::count(drop.begin(), drop.end(), knight), 1);
}

std::set<std::string> quiet_checks(const char* fen) {
    const std::vector<std::string> got = texts(run(from_fen(fen), PICK_CHECKS_DEFER));
    EXPECT_EQ(std::set<std::string>(got.begin(), got.end()).size(), got.size());
    return std::set<std::string>(got.begin(), got.end());
}

TEST(PickerModes, QuietChecksByEveryPieceKind) {
    // The knight blocks the rook's file: each of its moves uncovers a check, none twice.
    EXPECT_EQ(quiet_checks("3k4/8/8/8/8/3N4/1P6/3R2K1 w - -"),
              (std::set<std::string>{"d3b4", "d3c5", "d3e5", "d3f4", "d3f2", "d3c1", "d3e1"}));
    // A double step that checks.
    EXPECT_EQ(quiet_checks("8/8/8/2k5/8/8/1P6/6K1 w - -"), (std::set<std::string>{"b2b4"}));
    // Queen checks along the king's file, rank and diagonals, reached by either kind of move;
    // d7 and d8 lose the queen and come last.
    EXPECT_EQ(quiet_checks("4k3/8/8/8/8/8/8/1N1QK3 w - -"),
              (std::set<std::string>{"d1d7", "d1a4", "d1h5", "d1e2", "d1d8"}));
    // Knight checks are scored above the others.
    const std::vector<std::string> got = texts(run(from_fen("4k3/8/8/8/4N3/8/8/3QK3 w - -"), PICK_CHECKS));
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got[0], "e4d6");
    EXPECT_EQ(got[1], "e4f6");
}

TEST(PickerModes, EvasionsWithNoEscapeEndAtOnce) {
    // Smothered: the knight on f7 checks, every king square is blocked by its own pieces.
    Position pos = from_fen("6rk/5Npp/8/8/8/8/8/6K1 b - -");
    ASSERT_TRUE(pos.in_check);
    EXPECT_TRUE(run(pos, PICK_EVASIONS).empty());
    EXPECT_EQ(count_legal_moves_upto3(pos), 0);
}

TEST(PickerModes, EvasionsCaptureBlockOrStep) {
    // Rook check on the e-file: block with the bishop, capture with the knight, or step aside.
    Position pos = from_fen("4r1k1/8/8/8/8/5N2/3B4/4K3 w - -");
    ASSERT_TRUE(pos.in_check);
    const std::vector<std::string> got = texts(run(pos, PICK_EVASIONS));
    const std::set<std::string> got_set(got.begin(), got.end());
    EXPECT_EQ(got_set.size(), got.size());
    for (const char* m : {"d2e3", "e1f2", "e1d1", "f3e5"}) EXPECT_TRUE(got_set.count(m)) << m;
    EXPECT_EQ(count_legal_moves_upto3(pos), 3);
}

TEST(LegalMoveCount, CountsUpToThree) {
    EXPECT_EQ(count_legal_moves_upto3(from_fen("R5k1/5ppp/8/8/8/8/8/6K1 b - -")), 0);  // back-rank mate
    EXPECT_EQ(count_legal_moves_upto3(from_fen("7k/6Q1/8/8/8/8/8/6K1 b - -")), 1);  // Kxg7 only
    EXPECT_EQ(count_legal_moves_upto3(from_fen("6k1/6R1/6K1/8/8/8/8/8 b - -")), 2);  // Kf8, Kh8
    EXPECT_EQ(count_legal_moves_upto3(from_fen("6k1/5p1Q/8/8/8/8/8/6K1 b - -")), 2);  // Kxh7, Kf8
    EXPECT_EQ(count_legal_moves_upto3(from_fen("4k3/8/8/8/8/8/8/4R1K1 b - -")), 3);
}

TEST(PawnCheckOrigin, PushAndDoubleStep) {
    init_engine_tables();
    EXPECT_EQ(pawn_check_origin[WHITE][0], square_bit[17]);                   // a1: b3
    EXPECT_EQ(pawn_check_origin[WHITE][24], square_bit[41] | square_bit[49]);  // a4: b6, b7
    EXPECT_EQ(pawn_check_origin[BLACK][60], square_bit[43] | square_bit[45]);  // e8: d6, f6
    EXPECT_EQ(pawn_check_origin[BLACK][36], square_bit[19] | square_bit[21] | square_bit[11] | square_bit[13]);
}

}  // namespace
