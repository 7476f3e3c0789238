// FEN parsing, keys and the incremental fields kept by make-move.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "board/draw.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/perft.h"
#include "search/search.h"
#include "search/state.h"
#include "support.h"

namespace {

const char* const VARIED[] = {
    "",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - -",
    "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6",
    "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - -",
};

// Random but reproducible values so the piece-square sum is really exercised.
void fill_random_pst() {
    std::mt19937_64 rng(7);
    for (auto& side : pst_table)
        for (auto& type : side)
            for (auto& sq : type) sq = make_pair_score(int32_t(rng() % 2001) - 1000, int32_t(rng() % 2001) - 1000);
}

void expect_fields_consistent(const Position& p, const std::string& where) {
    EXPECT_EQ(p.key, compute_key(p)) << where;
    EXPECT_EQ(p.pawn_key, compute_pawn_key(p)) << where;
    EXPECT_EQ(p.material_key, compute_material_key(p)) << where;
    EXPECT_EQ(p.pst, compute_pst(p)) << where;
    EXPECT_EQ(p.phase, compute_phase(p)) << where;
    for (int s = 0; s < 2; s++) {
        Bitboard all = 0;
        for (int t = 1; t <= 6; t++) {
            all |= p.bb[s][t];
            for (Bitboard b = p.bb[s][t]; b;) ASSERT_EQ(p.board[pop_lsb(b)], piece_code(s, t)) << where;
        }
        EXPECT_EQ(all, p.bb[s][0]) << where;
    }
}

// Plays random legal games from fen, checking every incremental field and the move text's round
// trip; returns the plies played.
int play_random_games(const char* fen, int games, std::mt19937& rng, int& castles) {
    int plies = 0;
    for (int game = 0; game < games; game++) {
        static Position line[400];
        position_from_fen(line[0], fen);
        line[0].pst = compute_pst(line[0]);
        line[0].phase = int16_t(compute_phase(line[0]));
        for (int ply = 0; ply < 300; ply++) {
            Move moves[MAX_MOVES];
            const int n = generate_legal_moves(line[ply], moves);
            if (!n) break;
            const Move m = moves[rng() % n];
            make_move(line[ply], line[ply + 1], m);
            char t[8];
            move_to_text(m, t, &line[ply]);
            const std::string where = std::string(fen) + " after " + t;
            expect_fields_consistent(line[ply + 1], where);
            EXPECT_FALSE(king_attacked(line[ply + 1], line[ply].ply & 1)) << where;
            EXPECT_EQ(castle_rights(line[ply + 1]) & ~castle_rights(line[ply]), 0) << where;
            Position again;
            EXPECT_TRUE(apply_move_text(line[ply], again, t) && again.key == line[ply + 1].key) << where;
            plies++;
            castles += move_flag(m) == FLAG_CASTLE;
        }
    }
    return plies;
}

// The same over Chess960 games from random start positions, castling written as king takes rook
// (the king's target square alone can also name a plain king move there).
TEST(MakeMove, IncrementalFieldsOverRandomChess960Games) {
    fill_random_pst();
    ASSERT_EQ(chess960_start_fen(518), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w HAha - 0 1");
    std::mt19937 rng(960);
    int plies = 0, castles = 0;
    chess960 = 1;
    for (int i = 0; i < 120; i++) {
        const std::string fen = chess960_start_fen(int(rng() % 960));
        plies += play_random_games(fen.c_str(), 4, rng, castles);
        const Position start = from_fen(fen.c_str());
        EXPECT_EQ(fen_of(start), fen.substr(0, fen.find(' ')) + " w KQkq -") << "written back in X-FEN";
    }
    chess960 = 0;
    EXPECT_GT(plies, 30000);
    EXPECT_GT(castles, 60);
    memset(pst_table, 0, sizeof pst_table);
}

// Every field make-move keeps, and the king-attack shortcut, against recomputation over random games.
TEST(MakeMove, IncrementalFieldsMatchRecomputationOverRandomGames) {
    fill_random_pst();
    int checks = 0;
    for (const Position& p : sample_positions(20000, 12345, 300)) {
        expect_fields_consistent(p, fen_of(p));
        for (int side = 0; side < 2; side++) {
            EXPECT_EQ(king_attacked(p, side), side_in_check(p, side)) << fen_of(p);
            checks += side_in_check(p, side);
        }
        if (HasFailure()) break;
    }
    EXPECT_GT(checks, 500);
    EXPECT_TRUE(king_attacked(from_fen("8/8/8/8/8/3k4/3K4/8 w - -"), WHITE));  // by the king alone
    memset(pst_table, 0, sizeof pst_table);
}

// The shortcuts that judge a made move's own-king exposure and check against the full test, over
// every pseudo-legal move of random positions (discoveries, pins, en passant and castling among them).
TEST(MakeMove, ExposureAndCheckShortcutsMatchTheFullTest) {
    int exposed = 0, checks = 0;
    for (const Position& p : sample_positions(4000, 99)) {
        Move moves[MAX_MOVES];
        const int n = generate_all_moves(p, moves), us = p.ply & 1;
        for (int i = 0; i < n; i++) {
            Position child;
            make_move(p, child, moves[i]);
            const bool full = king_attacked(child, us);
            ASSERT_EQ(king_exposed_by(p, child, moves[i]), full) << move_str(moves[i]) << " in " << fen_of(p);
            exposed += full;
            if (full) continue;
            const bool check = king_attacked(child, 1 - us);
            ASSERT_EQ(check_given_by(child, moves[i]), check) << move_str(moves[i]) << " in " << fen_of(p);
            // The search's prediction before the move is exact for every move but the special ones.
            if (move_flag(moves[i]) <= FLAG_DOUBLE) {
                ASSERT_EQ(move_checks(p, moves[i]), check) << move_str(moves[i]) << " in " << fen_of(p);
            }
            checks += check;
        }
    }
    EXPECT_GT(exposed, 1000);
    EXPECT_GT(checks, 1000);
}

TEST(Fen, RoundTripsThroughTheParser) {
    for (const char* fen : VARIED) {
        const Position p = from_fen(fen), q = from_fen(fen_of(p).c_str());
        EXPECT_TRUE(!memcmp(p.board, q.board, 64) && p.key == q.key && p.ep_mask == q.ep_mask) << fen;
        EXPECT_TRUE(!*fen || fen_of(p) == fen) << "a canonical FEN survives unchanged: " << fen;
    }
}

TEST(Fen, EnPassantFieldOnlyKeyedWithACapturer) {
    Position plain = from_fen("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3");
    EXPECT_EQ(plain.ep_mask, 0u);
    EXPECT_EQ(plain.last_move, make_move_word(12, 28, FLAG_DOUBLE));
    EXPECT_EQ(plain.key, compute_key(plain));
    Position keyed = from_fen("rnbqkbnr/ppp1pppp/8/8/3pP3/8/PPPP1PPP/RNBQKBNR b KQkq e3");
    EXPECT_EQ(keyed.ep_mask, square_bit[20]);
    EXPECT_EQ(keyed.key, compute_key(keyed));
    Position black_step = from_fen("rnbqkbnr/ppp1pppp/8/3pP3/8/8/PPPP1PPP/RNBQKBNR w KQkq d6");
    EXPECT_EQ(black_step.last_move, make_move_word(51, 35, FLAG_DOUBLE));
    EXPECT_EQ(black_step.ep_mask, square_bit[43]);
}

// Too many squares, odd characters, no fields after the board, text cut at the buffer: parsed
// without overrun; squares past h1 are dropped; no side to move reads as ply -1 for the caller to refuse.
TEST(Fen, MalformedTextIsSafe) {
    EXPECT_EQ(from_fen("rnbqkbnr/pppppppp/99999999/xyz/8/8/PPPPPPPP/RNBQKBNRRRRRRRRRRRRR w").ply, 0);
    Position r = from_fen("pppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppp w - -");
    EXPECT_EQ(popcount(r.bb[BLACK][PAWN]), 64);
    EXPECT_NE(position_problem(r), nullptr);
    EXPECT_EQ(from_fen((std::string(5000, 'p') + " w - -").c_str()).ply, -1);
    EXPECT_EQ(from_fen("8/8/8/8/8/8/8/K6k x - -").ply, -1);
}

TEST(Keys, CastlingKeyDependsOnlyOnTheFourRights) {
    Position a = from_fen("r3k2r/8/8/8/8/8/8/R3K2R w - -");
    const Bitboard extras[] = {0ULL, square_bit[SQ_H1], square_bit[SQ_A1] | square_bit[SQ_H8]};
    for (Bitboard extra : extras) {
        Position b = a;
        b.castle_mask |= extra;  // e1 and e8 already marked: no right changes
        EXPECT_EQ(compute_key(a), compute_key(b));
    }
    Position k = from_fen("r3k2r/8/8/8/8/8/8/R3K2R w K -"), q = from_fen("r3k2r/8/8/8/8/8/8/R3K2R w Q -");
    EXPECT_NE(k.key, q.key);
    EXPECT_NE(k.key, a.key);
    int distinct = 0;
    for (int i = 0; i < 16; i++) {
        bool seen = false;
        for (int j = 0; j < i; j++) seen |= zobrist_castle[j] == zobrist_castle[i];
        distinct += !seen;
    }
    EXPECT_EQ(distinct, 16);
}

// The fifty-move counter restarts on pawn moves, captures and castling; a draw is seen on the
// hundredth ply or on one recurrence, looking back only as far as the counter and at even distances.
TEST(Draw, FiftyMovesAndRepetition) {
    static Position g[8];
    g[0] = from_fen("r3k3/8/8/8/8/8/4P3/R3K2R w KQq -");
    const char* moves[] = {"e1g1", "a8a1", "f1a1", "e8d8", "e2e3", "d8e8"};
    const int counters[] = {0, 0, 0, 1, 0, 1};
    for (int i = 0; i < 6; i++) {
        ASSERT_TRUE(apply_move_text(g[i], g[i + 1], moves[i]));
        EXPECT_EQ(g[i + 1].rule50, counters[i]) << moves[i];
    }
    Position p = g[6];
    p.rule50 = 99;
    EXPECT_FALSE(is_draw_by_rule(p));
    p.rule50 = 100;
    EXPECT_TRUE(is_draw_by_rule(p));

    g[0] = from_fen("4k3/8/8/8/8/8/8/R3K3 w - -");
    const char* shuffle[] = {"a1a2", "e8d8", "a2a1", "d8e8", "a1a3", "e8d8"};
    for (int i = 0; i < 6; i++) ASSERT_TRUE(apply_move_text(g[i], g[i + 1], shuffle[i]));
    EXPECT_FALSE(is_draw_by_rule(g[3]));
    EXPECT_TRUE(is_draw_by_rule(g[4]));   // g[4] equals g[0]
    EXPECT_FALSE(is_draw_by_rule(g[5]));  // same placement as g[1] but the other side to move
    Position short_counter = g[6];        // would match g[2], four plies back
    short_counter.rule50 = 3;
    EXPECT_FALSE(is_draw_by_rule(short_counter));
}

}  // namespace
