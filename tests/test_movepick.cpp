// The staged move picker: completeness per mode, no repeats, stage order and scores; the legal-move counter.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "search/worker.h"
#include "board/check.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "search/movepick.h"
#include "search/search.h"
#include "board/see.h"
#include "board/legal.h"
#include "support.h"

namespace {

using Texts = std::vector<std::string>;

// forcing_after: the number of moves handed out before the caller asks for forcing quiet moves only.
std::vector<Move> run(const Position& pos, int mode, Move hash = 0, Move k1 = 0, Move k2 = 0, int depth = 0,
                      size_t forcing_after = SIZE_MAX) {
    MovePicker p;
    picker_init(pos, p, mode, hash, k1, k2, depth, test_worker().history);
    std::vector<Move> out;
    for (Move m; out.size() <= 400; out.push_back(m)) {  // a runaway picker fails, not hangs
        if (out.size() == forcing_after) picker_only_forcing_quiets(p);
        if (!(m = picker_next(p))) break;
        // An exchange verdict the picker passes on is the exchange evaluator's own.
        if (p.verdict != 1) {
            EXPECT_EQ(p.verdict, see(pos, m)) << move_str(m) << " in " << fen_of(pos);
        }
    }
    EXPECT_EQ(picker_next(p), 0u) << "the picker must stay at its end";
    return out;
}

Texts run_texts(const char* fen, int mode, const char* hash = "") {
    const Position pos = from_fen(fen);
    Texts out;
    for (Move m : run(pos, mode, legal_move(pos, hash))) out.push_back(move_str(m));
    return out;
}

// A quiet check the quiet-check stage must list: a direct check, or a discovered one by a piece
// that does not move along the uncovered line's directions (those are left out by design).
bool must_be_listed_check(const Position& pos, Move m) {
    Position child;
    make_move(pos, child, m);
    const int us = side_to_move(pos), k = king_square(child, 1 - us), to = move_to(m);
    if (king_attacked(child, us) || !side_in_check(child, 1 - us)) return false;
    const Bitboard occ = occupied(child);
    const int t = child.board[to] & 7;
    if (attacks_square(t, us, to, k, occ)) return true;
    const bool diagonal = (bishop_attacks(k, occ) & (child.bb[us][BISHOP] | child.bb[us][QUEEN])) != 0;
    return diagonal ? t != BISHOP && t != QUEEN : t != ROOK && t != QUEEN;
}

// The capture stage's order: the most valuable victim first, then the least valuable attacker; a
// capture that promotes counts double, a plain promotion comes between the captures of pawns.
int capture_rank(const Position& pos, Move m) {
    if (move_flag(m) == FLAG_EP) return 31;
    const int victim = pos.board[move_to(m)] & 7;
    if (is_promotion(m)) return victim ? 64 * victim - 2 : 32;
    return 32 * victim - 2 * (pos.board[move_from(m)] & 7);
}

TEST(PickerSample, EveryModeHandsOutItsMovesOnce) {
    std::mt19937 rng(11);
    int in_check = 0;
    for (const Position& pos : sample_positions(3000, 7)) {
        const std::string fen = fen_of(pos);
        Move all[MAX_MOVES], legal[MAX_MOVES];
        const int n = generate_all_moves(pos, all), n_legal = generate_legal_moves(pos, legal);
        // Full mode: every generated move once, whatever hash move and killers (legal or not) come in.
        const Move hash = n && rng() % 2 ? all[rng() % n] : Move(rng() % 4096);
        const Move k1 = n && rng() % 2 ? all[rng() % n] : hash, k2 = Move(rng() % 32768);
        const int depth = int(rng() % 14);
        const std::vector<Move> full = run(pos, PICK_ALL, hash, k1, k2, depth);
        ASSERT_EQ(std::multiset<Move>(full.begin(), full.end()), std::multiset<Move>(all, all + n)) << fen;
        // Asked for forcing quiet moves only, it drops exactly the later legal quiet-stage moves that
        // are not castling, a check or a push from the sixth rank, and keeps the order of the rest.
        const size_t cut = rng() % (full.size() + 1);
        std::vector<Move> kept(full.begin(), full.begin() + long(cut));
        for (size_t i = cut; i < full.size(); i++) {
            const Move m = full[i];
            const int from = move_from(m);
            Position child;
            make_move(pos, child, m);
            const bool quiet_stage = !is_tactical(pos, m) && m != hash && m != k1 && m != k2;
            const bool sixth = (pos.board[from] & 7) == PAWN && relative_rank(side_to_move(pos), from) == 5;
            if (!quiet_stage || move_flag(m) == FLAG_CASTLE || sixth || king_attacked(child, 1 - side_to_move(pos)))
                kept.push_back(m);
        }
        const std::set<Move> legal_set(legal, legal + n_legal);
        const auto legal_only = [&](std::vector<Move> v) {
            std::erase_if(v, [&](Move m) { return !legal_set.count(m); });
            return v;
        };
        ASSERT_EQ(legal_only(run(pos, PICK_ALL, hash, k1, k2, depth, cut)), legal_only(kept)) << fen << " after " << cut;
        if (pos.in_check) {
            in_check++;
            const std::vector<Move> got = run(pos, PICK_EVASIONS);
            const std::set<Move> got_set(got.begin(), got.end());
            ASSERT_EQ(got_set.size(), got.size()) << "a move came twice in " << fen;
            for (int i = 0; i < n_legal; i++)
                ASSERT_TRUE(got_set.count(legal[i])) << move_str(legal[i]) << " in " << fen;
            EXPECT_EQ(count_legal_moves_upto3(test_worker(), pos), std::min(n_legal, 3)) << fen;
            continue;
        }
        // Check modes: captures and promotions (losing ones last) plus every quiet move that checks.
        const std::vector<Move> got = run(pos, PICK_CHECKS_DEFER);
        const std::set<Move> got_set(got.begin(), got.end()), generated(all, all + n);
        ASSERT_EQ(got_set.size(), got.size()) << "a move came twice in " << fen;
        for (int i = 0; i < n; i++)
            if (is_tactical(pos, all[i]) || (move_flag(all[i]) != FLAG_CASTLE && must_be_listed_check(pos, all[i]))) {
                ASSERT_TRUE(got_set.count(all[i])) << move_str(all[i]) << " in " << fen;
            }
        for (Move m : got) ASSERT_TRUE(generated.count(m)) << "not a generated move: " << move_str(m);
        // Mode 3 is the capture part of it, best first; mode 2 drops the losing captures.
        const std::vector<Move> captures = run(pos, PICK_CAPTURES);
        for (size_t i = 0; i < captures.size(); i++) {
            ASSERT_TRUE(is_tactical(pos, captures[i])) << move_str(captures[i]);
            if (i) {
                ASSERT_GE(capture_rank(pos, captures[i - 1]), capture_rank(pos, captures[i])) << fen;
            }
        }
        for (Move m : run(pos, PICK_CHECKS)) {
            if (is_tactical(pos, m) && move_flag(m) <= FLAG_DOUBLE) {
                ASSERT_EQ(see(pos, m), 0) << move_str(m);
            }
        }
    }
    EXPECT_GT(in_check, 50);
}

// Hand positions: the move at a place in the order (-1: the last) or the whole list. Qxd5 loses the
// queen to the pawn on e6, Nxb5 wins a knight. After ...d7d5 the en-passant hash move is not handed
// out early: it leads the captures.
TEST(PickerOrder, HandPositions) {
    const char *losing = "4k3/8/4p3/1n1p4/8/2N5/3Q4/4K3 w - -", *ep = "4k3/8/8/3pP3/8/8/8/4K2R w - d6";
    for (const auto& [fen, mode, hash, at, move] :
         {std::tuple{"", PICK_ALL, "e2e4", 0, "e2e4"}, {ep, PICK_ALL, "e5d6", 0, "e5d6"}, {ep, PICK_ALL, "h1h8", 1, "e5d6"},
          {losing, PICK_ALL, "", 0, "c3b5"}, {losing, PICK_ALL, "", -1, "d2d5"}, {losing, PICK_CHECKS_DEFER, "", -1, "d2d5"}}) {
        const Texts got = run_texts(fen, mode, hash);
        ASSERT_GT(got.size(), size_t(std::max(at, 0))) << fen;
        EXPECT_EQ(got[at < 0 ? got.size() - 1 : size_t(at)], move) << fen << " mode " << mode << " hash " << hash;
    }
    // The queen on d5 is taken by the pawn on e4 (158) before the knight on c3 (156).
    EXPECT_EQ(run_texts("4k3/8/8/3q4/4P3/2N5/8/4K3 w - -", PICK_CAPTURES), (Texts{"e4d5", "c3d5"}));
    // Only the checks are listed, the ones that lose the queen (d7, d8) last.
    EXPECT_EQ(run_texts("4k3/8/8/8/8/8/8/1N1QK3 w - -", PICK_CHECKS_DEFER),
              (Texts{"d1a4", "d1h5", "d1e2", "d1d7", "d1d8"}));
    // Captures limited to the pawns still list every promotion and en passant, but not Qxa4.
    const Position limited = from_fen("r3k3/1P6/8/3pP3/n7/8/8/3QK3 w - d6");
    MovePicker p;
    picker_init(limited, p, PICK_CAPTURES, 0, 0, 0, 0, test_worker().history);
    picker_limit_captures(p, limited.bb[BLACK][PAWN]);
    Texts got;
    for (Move m; (m = picker_next(p));) got.push_back(move_str(m));
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (Texts{"b7a8b", "b7a8n", "b7a8q", "b7a8r", "b7b8b", "b7b8n", "b7b8q", "b7b8r", "d1d5", "e5d6"}));
    // Smothered: no evasion at all.
    const Position smothered = from_fen("6rk/5Npp/8/8/8/8/8/6K1 b - -");
    EXPECT_TRUE(run(smothered, PICK_EVASIONS).empty());
    EXPECT_EQ(count_legal_moves_upto3(test_worker(), smothered), 0);
}

}  // namespace
