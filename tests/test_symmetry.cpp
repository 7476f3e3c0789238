// Colour symmetry of the evaluation over openings, middlegames and endings reached from them,
// and known endings.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "eval_support.h"

namespace {

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

int full_eval(Position& p) {
    test_worker().eval.pawns.entries[uint32_t(p.pawn_key) & (PAWN_TABLE_SIZE - 1)].key = 0;
    return evaluate_uncached(p, test_worker().eval);
}

struct Tally {
    int positions = 0, en_passant = 0, evaluators = 0, excepted = 0;
};

void check_symmetry(Position& p, Tally& t) {
    const std::string fen = fen_of(p);
    Position m = mirrored(p);
    const int hard = full_eval(p);
    t.positions++;
    t.en_passant += p.ep_mask != 0;
    const EndingSlot* e = find_ending(p.material_key);
    t.evaluators += e && e->evaluator;
    if (stacked_heavies_behind_pawn(p)) {
        t.excepted++;
        return;
    }
    ASSERT_EQ(hard, full_eval(m)) << fen << "  mirrored " << mirror_fen(fen);
}

TEST(Symmetry, GamesAndEndingsScoreTheSameForBothColours) {
    init_engine_tables();
    eval_tables_clear(test_worker().eval);
#ifdef QUORIL_SANITIZE
    const int opening_step = 10, plies = 120;
#else
    const int opening_step = 1, plies = 160;
#endif
    const std::vector<std::string> openings = read_data_lines("openings.epd");
    ASSERT_GE(openings.size(), 1000u);
    std::mt19937_64 rng(20260511);
    Tally t;
    std::vector<Position> positions;
    for (size_t i = 0; i < openings.size(); i += opening_step) {
        positions.clear();
        random_game(eval_position(openings[i].c_str()), rng, plies, 7, 65, positions);  // captures lead to endings
        for (Position& p : positions) {
            check_symmetry(p, t);
            if (HasFatalFailure()) return;
        }
    }
    // Every known ending, evaluator or not, plus a few that match nothing.
    std::vector<std::string> sigs = {"RRr", "PPp", "RPr", "QPq", "BPPb", "NNP", "RBr", "BBbP"};
    for (const EndingRecord* r = ending_records; r->signature[0] != '-'; r++) sigs.push_back(r->signature);
    for (const std::string& sig : sigs)
        for (int k = 0; k < 40 / opening_step + 4; k++) {
            Position p = eval_position(random_placement(sig, rng, rng() % 2).c_str());
            check_symmetry(p, t);
            if (HasFatalFailure()) return;
        }
    EXPECT_GT(t.positions, 15000 / opening_step);
    EXPECT_GT(t.en_passant, 0);
    EXPECT_GT(t.evaluators, 100 / opening_step);
    EXPECT_LT(t.excepted, t.positions / 100) << "the exception stays rare";
}

}  // namespace
