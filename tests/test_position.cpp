// FEN parsing, keys and the incremental fields kept by make-move.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "board/check.h"
#include "board/draw.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "search/search.h"
#include "search/tables.h"
#include "support.h"

namespace {

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
    EXPECT_EQ(p.pst, compute_pst(p, pst_table)) << where;
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

// Fields against recomputation and the king-attack shortcut; for each move of the games (a new game
// starts at ply 0 or 1, so consecutive plies are parent and child), its legality, no castling right
// regained, and its text read back to the same position. Returns the moves checked.
int check_games(const std::vector<Position>& games, int& checks, int& castles, bool chess960 = false) {
    int moves = 0;
    for (size_t i = 0; i < games.size() && !testing::Test::HasFailure(); i++) {
        const Position& p = games[i];
        const std::string fen = fen_of(p);
        expect_fields_consistent(p, fen);
        for (int side = 0; side < 2; side++) {
            EXPECT_EQ(king_attacked(p, side), side_in_check(p, side)) << fen;
            checks += side_in_check(p, side);
        }
        if (i == 0 || p.ply != games[i - 1].ply + 1) continue;
        const Position& parent = games[i - 1];
        char t[MOVE_TEXT_SIZE];
        move_to_text(p.last_move, t, &parent, chess960);
        EXPECT_FALSE(king_attacked(p, side_to_move(parent))) << fen;
        EXPECT_EQ(castle_rights(p) & ~castle_rights(parent), 0) << fen;
        Position again;
        EXPECT_TRUE(apply_move_text(parent, again, t, chess960) && again.key == p.key) << fen_of(parent) << " " << t;
        castles += move_flag(p.last_move) == FLAG_CASTLE;
        moves++;
    }
    return moves;
}

// Standard games, then Chess960 games from the perft suite's positions with castling written as
// king takes rook (the king's target square alone can also name a plain king move there).
TEST(MakeMove, IncrementalFieldsOverRandomGames) {
    fill_random_pst();
    int checks = 0, castles = 0;
    EXPECT_GT(check_games(sample_positions(20000, 12345, 300), checks, castles), 19000);
    EXPECT_GT(checks, 500);
    EXPECT_TRUE(king_attacked(from_fen("8/8/8/8/8/3k4/3K4/8 w - -"), WHITE));  // by the king alone
    std::mt19937_64 rng(960);
    int moves = 0;
    castles = 0;
    for (const std::string& line : read_data_lines("perft960.epd"))
        for (int i = 0; i < 4; i++) {
            Position start = from_fen(line.substr(0, line.find(';')).c_str());
            fill_eval_fields(start);
            std::vector<Position> game;
            random_game(start, rng, 300, 1, 0, game);
            moves += check_games(game, checks, castles, true);
        }
    EXPECT_GT(moves, 30000);
    EXPECT_GT(castles, 60);
    buildEvalTables();  // the engine's own values again
}

// The shortcuts that judge a made move's own-king exposure and check against the full test, over
// every pseudo-legal move of random positions (discoveries, pins, en passant and castling among them).
TEST(MakeMove, ExposureAndCheckShortcutsMatchTheFullTest) {
    int exposed = 0, checks = 0;
    for (const Position& p : sample_positions(4000, 99)) {
        Move moves[MAX_MOVES];
        const int n = generate_all_moves(p, moves), us = p.ply & 1;
        CheckSquares squares;
        check_squares_init(p, squares);
        for (int i = 0; i < n; i++) {
            // The node-wide check squares agree with the per-move prediction, legal move or not.
            ASSERT_EQ(checks_from(squares, p, moves[i]), move_checks(p, moves[i])) << move_str(moves[i]) << " in " << fen_of(p);
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
                ASSERT_EQ(checks_from(squares, p, moves[i]), check) << move_str(moves[i]) << " in " << fen_of(p);
            }
            checks += check;
        }
    }
    EXPECT_GT(exposed, 1000);
    EXPECT_GT(checks, 1000);
}

// What a FEN reads as, with what was repaired on the way ("" when nothing was).
std::pair<std::string, std::string> read_as(const char* fen, FenCastling rule = FenCastling::STANDARD) {
    Position p;
    FenNotes notes;
    if (!position_from_fen(p, fen, &notes, rule)) return {"refused", notes.refused};
    EXPECT_EQ(p.key, compute_key(p)) << fen;
    return {fen_of(p), notes.repaired};
}

// Castling letters without their king or rook are dropped one by one, the others kept; standard
// chess wants the king on e1/e8 and the rooks in the corners, Chess960 any rook of the first rank.
TEST(Fen, CastlingLettersWithoutTheirPiecesAreDropped) {
    using R = std::pair<std::string, std::string>;
    EXPECT_EQ(read_as("4k3/8/8/8/8/8/8/4K2R w Kk -"), R("4k3/8/8/8/8/8/8/4K2R w K -", "castling k dropped (no rook on its square)"));
    EXPECT_EQ(read_as("r3k3/8/8/8/8/8/8/4K3 w KQkq -").first, "r3k3/8/8/8/8/8/8/4K3 w q -");
    EXPECT_EQ(read_as("4k2r/8/8/8/8/8/8/3K3R w Kk -"),
              R("4k2r/8/8/8/8/8/8/3K3R w k -", "castling K dropped (the king is not on its square)"));
    EXPECT_EQ(read_as("4k3/8/8/8/8/8/4K3/R6R w KQ -").second,
              "castling K dropped (no king on its first rank); castling Q dropped (no king on its first rank)");
    EXPECT_EQ(read_as("4k3/8/8/8/8/8/8/R3K1R1 w HAK -"),
              R("4k3/8/8/8/8/8/8/R3K1R1 w Q -",
                "castling H dropped (no rook on its square); castling K dropped (no rook on its square)"));
    EXPECT_EQ(read_as("r3k2r/8/8/8/8/8/8/R3K2R w KQkqKh -"),
              R("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -",
                "castling K dropped (a second right on one wing); castling h dropped (a second right on one wing)"));
    // Chess960: the same per rook, wherever king and rooks start.
    EXPECT_EQ(read_as("rk4r1/8/8/8/8/8/8/RK4R1 w GAHga -", FenCastling::CHESS960),
              R("rk4r1/8/8/8/8/8/8/RK4R1 w KQkq -", "castling H dropped (no rook on its square)"));
    EXPECT_EQ(read_as("4k2r/8/8/8/8/8/8/3K3R w Kk -", FenCastling::CHESS960).first, "4k2r/8/8/8/8/8/8/3K3R w Kk -");
}

// An en-passant square no double step can have made is dropped (the key then matches the FEN
// without it); a real one without a capturer is read, as after the step itself, but not keyed.
TEST(Fen, EnPassantSquaresThatNoStepMadeAreDropped) {
    const char* after_e4 = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq";
    const Position plain = from_fen((std::string(after_e4) + " -").c_str());
    for (const auto& [ep, why] : {std::pair{"e6", "not on the rank a double step passes"},
                                  {"d3", "no pawn in front of it"},
                                  {"e5", "not on the rank a double step passes"}}) {
        const std::string fen = std::string(after_e4) + " " + ep;
        Position p;
        FenNotes notes;
        ASSERT_TRUE(position_from_fen(p, fen.c_str(), &notes)) << fen;
        EXPECT_EQ(notes.repaired, "en passant " + std::string(ep) + " dropped (" + why + ")");
        EXPECT_EQ(std::tuple(p.key, p.ep_mask, p.last_move), std::tuple(plain.key, 0ULL, Move(0))) << fen;
    }
    EXPECT_EQ(read_as("rnbqkbnr/ppp1pppp/8/8/3pP3/4P3/PPPP2PP/RNBQKBNR b KQkq e3").second,
              "en passant e3 dropped (the squares the pawn crossed are not empty)");
    const Position e3 = from_fen((std::string(after_e4) + " e3").c_str());
    EXPECT_EQ(std::tuple(e3.key, e3.ep_mask, e3.last_move), std::tuple(plain.key, 0ULL, make_move_word(12, 28, FLAG_DOUBLE)));
    const Position taken = from_fen("rnbqkbnr/ppp1pppp/8/8/3pP3/8/PPPP1PPP/RNBQKBNR b KQkq e3");
    EXPECT_EQ(taken.ep_mask, square_bit[20]);
    EXPECT_NE(taken.key, from_fen("rnbqkbnr/ppp1pppp/8/8/3pP3/8/PPPP1PPP/RNBQKBNR b KQkq -").key);
    EXPECT_EQ(from_fen("rnbqkbnr/ppp1pppp/8/3pP3/8/8/PPPP1PPP/RNBQKBNR w KQkq d6").ep_mask, square_bit[43]);
}

// Text that is not a board is refused, never read past its end; a missing castling or en-passant
// field reads as '-', a missing or garbled counter as its default.
TEST(Fen, UnreadableFieldsAreRefusedAndCountersDefault) {
    for (const std::string& fen : std::vector<std::string>{"rnbqkbnr/pppppppp/99999999/xyz/8/8/PPPPPPPP/RNBQKBNRRRRRRRRRRRRR w", std::string(72, 'p') + " w - -",
          "8/8/8/8/8/8/8/K6k", "8/8/8/8/8/8/8/K6k x - -", "8/8/8/8/8/8/8/K6k ww - -", "8/8/8/8/8/8/K6k w - -",
          "8/8/8/8/8/8/8/K5k w - -", "8/8/8/8/8/8/8/K6k1 w - -", "8/8/8/8/8/8/8/8/K6k w - -", "8/8/8/8/8/8/8/K6k w KZ -",
          "8/8/8/8/8/8/8/K6k w - e9", "8/8/8/8/8/8/8/K6k w - e33", "8/8/8/8/8/8/8/K6k w - --",
          std::string(5000, 'p') + " w - -"}) {
        EXPECT_EQ(read_as(fen.c_str()).first, "refused") << fen;
    }
    EXPECT_EQ(read_as("8/8/8/8/8/8/8/K6k w").first, "8/8/8/8/8/8/8/K6k w - -");
    Position p = from_fen("8/8/8/8/8/8/8/K6k b - -");
    FenNotes notes = {nullptr, ""};
    read_fen_counters(p, "37", "12", &notes);
    EXPECT_EQ(std::tuple(int(p.rule50), int(p.ply), std::string(notes.repaired)), std::tuple(37, 23, std::string()));
    read_fen_counters(p, nullptr, "", &notes);
    EXPECT_EQ(std::tuple(int(p.rule50), int(p.ply), std::string(notes.repaired)), std::tuple(0, 1, std::string()));
    read_fen_counters(p, "x", "7y", &notes);
    EXPECT_EQ(std::tuple(int(p.rule50), int(p.ply)), std::tuple(0, 1));
    EXPECT_EQ(std::string(notes.repaired), "half-move counter \"x\" read as 0; move number \"7y\" read as 1");
    read_fen_counters(p, "250", "-3", nullptr);
    EXPECT_EQ(std::tuple(int(p.rule50), int(p.ply)), std::tuple(100, 1));
}

TEST(Keys, CastlingKeyDependsOnlyOnTheFourRights) {
    Position a = from_fen("r3k2r/8/8/8/8/8/8/R3K2R w - -");
    for (const Bitboard extra : {square_bit[SQ_H1], square_bit[SQ_A1] | square_bit[SQ_H8]}) {
        Position b = a;
        b.castle_mask |= extra;  // e1 and e8 already marked: no right changes
        EXPECT_EQ(compute_key(a), compute_key(b));
    }
    Position k = from_fen("r3k2r/8/8/8/8/8/8/R3K2R w K -"), q = from_fen("r3k2r/8/8/8/8/8/8/R3K2R w Q -");
    EXPECT_NE(k.key, q.key);
    EXPECT_EQ(std::set<uint64_t>(zobrist_castle, zobrist_castle + 16).size(), 16u);
}

// The fifty-move counter restarts on pawn moves, captures and castling; a draw is seen on the
// hundredth ply or on one recurrence, looking back only as far as the counter and at even distances.
TEST(Draw, FiftyMovesAndRepetition) {
    const GameLine g("r3k3/8/8/8/8/8/4P3/R3K2R w KQq -", {"e1g1", "a8a1", "f1a1", "e8d8", "e2e3", "d8e8"});
    EXPECT_EQ(std::vector<int>({g.line[1].rule50, g.line[2].rule50, g.line[3].rule50, g.line[4].rule50,
                                g.line[5].rule50, g.line[6].rule50}),
              std::vector<int>({0, 0, 0, 1, 0, 1}));
    Position p = g.line[6];
    p.rule50 = 99;
    EXPECT_FALSE(is_draw_by_rule(p));
    p.rule50 = 100;
    EXPECT_TRUE(is_draw_by_rule(p));
    // On the hundredth half-move a mate still wins; a check that can be met is a draw.
    GameLine mate("7k/8/6K1/8/8/8/8/R7 w - -", {"a1a8"}), check("7k/8/8/6K1/8/8/8/R7 w - -", {"a1a8"});
    for (GameLine* g : {&mate, &check}) g->now().rule50 = 100;
    EXPECT_FALSE(is_draw_by_rule(mate.now()));
    EXPECT_TRUE(is_draw_by_rule(check.now()));

    const GameLine r("4k3/8/8/8/8/8/8/R3K3 w - -", {"a1a2", "e8d8", "a2a1", "d8e8", "a1a3", "e8d8"});
    EXPECT_FALSE(is_draw_by_rule(r.line[3]));
    EXPECT_TRUE(is_draw_by_rule(r.line[4]));   // equals the start
    EXPECT_FALSE(is_draw_by_rule(r.line[5]));  // same placement as after a1a2 but the other side to move
    Position short_counter = r.line[6];        // would match the position four plies back
    short_counter.rule50 = 3;
    EXPECT_FALSE(is_draw_by_rule(short_counter));
}

}  // namespace
