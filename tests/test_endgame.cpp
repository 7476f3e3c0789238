// Ending records, the ending hash and the specialised evaluators.
#include <gtest/gtest.h>

#include "eval_support.h"

namespace {

// Both colours of every record, and so its key read either way round, are evaluated by the
// colour-symmetry test; here a record's bonus.
TEST(EndingRecords, KnightAloneAndTheBonusOfThePair) {
    init_engine_tables();
    {  // a lone knight scores nothing once the side to move has no bonus
        ParamNudge no_tempo("hmb", -114, -50);
        for (const char* fen :
             {"8/8/4k3/8/8/2N5/8/4K3 w - -", "8/8/4k3/8/8/2n5/8/4K3 w - -", "8/8/4k3/3N4/8/8/8/4K3 b - -"})
            EXPECT_EQ(fresh_eval(fen), 0) << fen;
    }
    // Two bishops against one: -3000 x 96 for the pair's side, then the scale of 200: -60.
    const char* fen = "4k3/8/3b4/8/8/2BB4/8/4K3 w - -";
    const int with_bonus = fresh_eval(fen);
    ending_hash[signature_key("BBb", false) & (ENDING_SLOTS - 1)].bonus = 0;
    const int without = fresh_eval(fen);
    build_ending_hash();
    EXPECT_EQ(with_bonus - without, -60);
}

TEST(EndingEvaluators, WorkedExamples) {
    const std::pair<const char*, int> rows[] = {
        // King and pawn: a draw scores 3 for the pawn's side; a win grows with the advance.
        {"4k3/8/4P3/4K3/8/8/8/8 w - -", 3},
        {"4k3/8/4P3/4K3/8/8/8/8 b - -", -3},
        {"4k3/8/3K4/4P3/8/8/8/8 w - -", 450 + 16 * 4},
        // Bishop and knight: dark bishop e5 drives to a1 (c = 0), not h1 (c = 7); a light one to h1.
        {"8/8/8/4B3/8/2KN4/8/k7 w - -", 400 - 0 - 4 * 2 - 2 * 3},
        {"8/8/8/4B3/8/4NK2/8/7k w - -", 400 - 20 * 7 - 4 * 2 - 2 * 3},
        {"8/8/8/3B4/8/4NK2/8/7k w - -", 400 - 0 - 4 * 2 - 2 * 3},
        // Knight and pawn: a7 with the defender on b8 is 10 - distance(c5, a8); otherwise
        // 420 + 5 x 2 - 5 x 1 - 3 x 2 - 10 x 4 for e4 with kings e6/e3 and knight c3.
        {"1k6/P7/8/2K5/4N3/8/8/8 w - -", 7},
        {"8/8/4k3/8/4P3/2N1K3/8/8 w - -", 379},
        // Bishop and rook pawn: h8 is dark, the light bishop is wrong and g8 is in time: 12 + 1 - 3 - 3.
        {"6k1/8/8/7P/4K3/8/2B5/8 w - -", 6},
        {"8/8/3k4/7P/4K3/8/2B5/8 w - -", 440 + 2 * 4 - 30 - 2 * 4},  // d6 is one step short
        {"8/8/3k4/7P/4K3/8/2B5/8 b - -", -(12 + 4 - 3 - 4)},         // but in time to move
    };
    for (const auto& [fen, score] : rows) EXPECT_EQ(fresh_eval(fen), score) << fen;
    // An evaluator's result is not cached.
    Position p = eval_position("4k3/8/3K4/4P3/8/8/8/8 w - -");
    eval_tables_clear(test_worker().eval);
    evaluate(p, test_worker().eval);
    EXPECT_NE(test_worker().eval.cache[uint32_t(p.key) & (EVAL_CACHE_SIZE - 1)].key, p.key);
}

}  // namespace
