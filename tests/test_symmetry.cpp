// Colour symmetry of the evaluation over openings, middlegames and endings reached from them,
// and known endings; also checks the two bit-count builds agree everywhere.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "board/makemove.h"
#include "board/movegen.h"
#include "eval_support.h"

namespace {

struct Rng {
    uint64_t s;
    uint64_t next() {
        uint64_t z = (s += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % uint64_t(n)); }
};

// Legal children of pos; captures first in the returned count split.
int legal_moves(const Position& pos, Move* out, int* captures) {
    Move all[MAX_MOVES];
    const int n = generate_all_moves(pos, all);
    const int us = pos.ply & 1;
    int k = 0;
    *captures = 0;
    Move quiet[MAX_MOVES];
    int q = 0;
    for (int i = 0; i < n; i++) {
        Position c;
        make_move(pos, c, all[i]);
        if (side_in_check(c, us)) continue;
        const bool capture = pos.board[move_to(all[i])] || move_flag(all[i]) == FLAG_EP;
        if (capture)
            out[k++] = all[i];
        else
            quiet[q++] = all[i];
    }
    *captures = k;
    for (int i = 0; i < q; i++) out[k++] = quiet[i];
    return k;
}

// Random game from a start position, favouring captures so that endings are reached.
void play_out(const Position& start, Rng& rng, int plies, int every, std::vector<Position>& out) {
    std::vector<Position> line(size_t(plies) + 1);
    line[0] = start;
    for (int ply = 0; ply < plies; ply++) {
        Move moves[MAX_MOVES];
        int captures;
        const int n = legal_moves(line[size_t(ply)], moves, &captures);
        if (n == 0) return;
        const Move m = (captures && rng.below(100) < 65) ? moves[rng.below(captures)] : moves[rng.below(n)];
        Position& child = line[size_t(ply) + 1];
        make_move(line[size_t(ply)], child, m);
        child.in_check = side_in_check(child, child.ply & 1) ? 1 : 0;
        if (ply % every == every - 1 || child.ep_mask) out.push_back(child);
    }
}

// Random legal placement of a material signature (upper case white) with both kings.
bool place_signature(const char* sig, Rng& rng, std::string& fen) {
    char board[64] = {};
    auto free_square = [&](bool pawn) {
        for (;;) {
            const int s = rng.below(64);
            if (board[s]) continue;
            if (pawn && (s < 8 || s >= 56)) continue;
            return s;
        }
    };
    const int wk = free_square(false);
    board[wk] = 'K';
    int bk;
    do bk = free_square(false);
    while (square_distance(wk, bk) < 2);
    board[bk] = 'k';
    for (const char* c = sig; *c; c++) board[free_square((*c | 0x20) == 'p')] = *c;
    fen.clear();
    for (int r = 7; r >= 0; r--) {
        int empty = 0;
        for (int f = 0; f < 8; f++) {
            const char c = board[r * 8 + f];
            if (!c) {
                empty++;
                continue;
            }
            if (empty) fen += char('0' + empty), empty = 0;
            fen += c;
        }
        if (empty) fen += char('0' + empty);
        if (r) fen += '/';
    }
    fen += rng.below(2) ? " w - -" : " b - -";
    Position p = from_fen(fen.c_str());
    return !side_in_check(p, 1 - (p.ply & 1));
}

// The path rule for a passed pawn takes the lowest-numbered rook or queen behind it, which is the
// farthest one behind a white pawn but the nearest behind a black one; with two or more such
// pieces of one colour behind a pawn, mirrored positions may legitimately score differently.
bool stacked_heavies_behind_pawn(const Position& p) {
    for (int side = 0; side < 2; side++)
        for (Bitboard b = p.bb[side][PAWN]; b;) {
            const int s = pop_lsb(b);
            const Bitboard behind = side == WHITE ? fill_down(square_bit[s] >> 8) : fill_up(square_bit[s] << 8);
            for (int c = 0; c < 2; c++)
                if (popcount(behind & (p.bb[c][ROOK] | p.bb[c][QUEEN])) >= 2) return true;
        }
    return false;
}

int full_eval(Position& p, bool hardware) {
    pawn_table[uint32_t(p.pawn_key) & (PAWN_TABLE_SIZE - 1)].key = 0;
    return evaluate_uncached(p, hardware);
}

struct Tally {
    int positions = 0, castling = 0, en_passant = 0, endings = 0, evaluators = 0, excepted = 0, excepted_differ = 0;
};

void check_symmetry(Position& p, Tally& t) {
    const std::string fen = fen_of(p);
    Position m = mirrored(p);
    const int hard = full_eval(p, true), soft = full_eval(p, false);
    ASSERT_EQ(hard, soft) << fen;
    const int other = full_eval(m, true);
    t.positions++;
    const size_t side_field = fen.find(' ');
    t.castling += fen[side_field + 3] != '-';
    t.en_passant += p.ep_mask != 0;
    if (const EndingSlot* e = find_ending(p.material_key)) {
        t.endings++;
        t.evaluators += e->evaluator != nullptr;
    }
    if (stacked_heavies_behind_pawn(p)) {
        t.excepted++;
        t.excepted_differ += hard != other;
        return;
    }
    ASSERT_EQ(hard, other) << fen << "  mirrored " << mirror_fen(fen);
}

TEST(Symmetry, MirrorFenSwapsEverything) {
    EXPECT_EQ(mirror_fen("r3k2r/8/8/3pP3/8/8/8/R3K3 w Qkq d6"), "r3k3/8/8/8/3Pp3/8/8/R3K2R b KQq d3");
    EXPECT_EQ(mirror_fen("4k3/8/8/8/8/8/8/4K3 b - -"), "4k3/8/8/8/8/8/8/4K3 w - -");
}

TEST(Symmetry, StackedRooksBehindAPasserAreTheKnownException) {
    // White e5 with black rooks e1 and e3 behind it and a white knight between them: the
    // lowest-numbered rook (e1) is cut off, so the path counts as free. Mirrored, the
    // lowest-numbered white rook is the near one (e6), nothing stands between, and the whole
    // path counts as attacked.
    Position p = eval_position("6k1/8/8/4P3/8/4r3/4N2K/4r3 w - -");
    Position m = mirrored(p);
    EXPECT_NE(full_eval(p, true), full_eval(m, true));
    EXPECT_TRUE(stacked_heavies_behind_pawn(p));
    // One rook only: symmetric again.
    Position q = eval_position("6k1/8/8/4P3/8/4r3/4N2K/8 w - -");
    Position n = mirrored(q);
    EXPECT_EQ(full_eval(q, true), full_eval(n, true));
}

TEST(Symmetry, GamesAndEndingsScoreTheSameForBothColours) {
    init_eval();
    eval_cache_clear();
#ifdef QUORIL_SANITIZE
    const int opening_step = 10, plies = 120;
#else
    const int opening_step = 1, plies = 160;
#endif
    const std::vector<std::string> openings = read_data_lines("openings.epd");
    ASSERT_GE(openings.size(), 1000u);
    Rng rng{20260511};
    Tally t;
    std::vector<Position> positions;
    for (size_t i = 0; i < openings.size(); i += opening_step) {
        positions.clear();
        Position start = eval_position(openings[i].c_str());
        positions.push_back(start);
        play_out(start, rng, plies, 7, positions);
        for (Position& p : positions) {
            ASSERT_EQ(p.pst, compute_pst(p));
            ASSERT_EQ(p.phase, compute_phase(p));
            check_symmetry(p, t);
            if (HasFatalFailure()) return;
        }
    }
    // Every known ending, evaluator or not, plus a few that match nothing.
    const char* extra_signatures[] = {"RRr", "PPp", "RPr", "QPq", "BPPb", "NNP", "RBr", "BBbP"};
    std::vector<std::string> sigs;
    for (const EndingRecord* r = ending_records; r->signature[0] != '-'; r++) sigs.push_back(r->signature);
    for (const char* s : extra_signatures) sigs.push_back(s);
    for (const std::string& sig : sigs)
        for (int k = 0; k < 40 / opening_step + 4; k++) {
            std::string fen;
            if (!place_signature(sig.c_str(), rng, fen)) continue;
            Position p = eval_position(fen.c_str());
            check_symmetry(p, t);
            if (HasFatalFailure()) return;
        }
    printf("symmetry: %d positions (%d with castling rights, %d with en passant, %d on ending records, "
           "%d with evaluators); %d excepted for stacked rooks behind a pawn, %d of them scoring differently\n",
           t.positions, t.castling, t.en_passant, t.endings, t.evaluators, t.excepted, t.excepted_differ);
    EXPECT_GT(t.positions, 15000 / opening_step);
    EXPECT_GT(t.en_passant, 0);
    EXPECT_GT(t.evaluators, 100 / opening_step);
}

}  // namespace
