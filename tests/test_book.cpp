// Opening book: the book key, the on-disk lookup and the weighted choice.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "board/movegen.h"
#include "board/perft.h"
#include "book/book.h"
#include "book/polyglot_random.h"
#include "engine_pipe.h"
#include "shell/log.h"
#include "shell/options.h"
#include "support.h"

namespace {

struct Record {
    uint64_t key;
    uint16_t move;
    uint16_t weight;
};

// Book encoding of a coordinate move: to in bits 0..5, from in 6..11, promotion piece 1..4 in 12..14.
uint16_t book_move(const char* text) {
    const int from = (text[0] - 'a') + 8 * (text[1] - '1');
    const int to = (text[2] - 'a') + 8 * (text[3] - '1');
    const char* promos = " nbrq";
    const int promo = text[4] ? int(strchr(promos, text[4]) - promos) : 0;
    return uint16_t(to | (from << 6) | (promo << 12));
}

std::string move_text(Move m) {
    char t[MOVE_TEXT_SIZE];
    move_to_text(m, t);
    return t;
}

std::string temp_path(const std::string& name) { return testing::TempDir() + "quoril_book_" + name; }

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Writes 16-byte big-endian records sorted by key (stable, so runs of one key keep their order).
std::string write_book(const std::string& name, std::vector<Record> records, const std::string& tail = "") {
    std::stable_sort(records.begin(), records.end(), [](const Record& a, const Record& b) { return a.key < b.key; });
    std::string bytes;
    for (const Record& r : records) {
        for (int i = 7; i >= 0; i--) bytes += char(r.key >> (8 * i));
        bytes += char(r.move >> 8);
        bytes += char(r.move);
        bytes += char(r.weight >> 8);
        bytes += char(r.weight);
        bytes += std::string(4, '\0');
    }
    bytes += tail;
    const std::string path = temp_path(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

class Book : public testing::Test {
protected:
    void SetUp() override {
        init_engine_tables();
        saved_name_ = book_file_name;
        saved_own_ = own_book;
        saved_best_ = best_book_line;
        book_seed(12345);
        log_path_ = temp_path(std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + ".log");
        remove(log_path_.c_str());
        ASSERT_TRUE(log_open(log_path_.c_str()));
    }
    void TearDown() override {
        fclose(log_stream);
        log_stream = nullptr;
        snprintf(book_file_name, BOOK_NAME_SIZE, "%s", saved_name_.c_str());
        own_book = saved_own_;
        best_book_line = saved_best_;
        book_close();
    }
    static void use_book(const std::string& path) {
        snprintf(book_file_name, BOOK_NAME_SIZE, "%s", path.c_str());
        own_book = 1;
        book_open();
    }
    std::string log_text() const { return read_file(log_path_); }
    // How often each move text comes out of `draws` probes.
    static std::map<std::string, int> tally(const Position& pos, int draws) {
        std::map<std::string, int> count;
        for (int i = 0; i < draws; i++) count[move_text(book_probe(pos))]++;
        return count;
    }

    std::string saved_name_, log_path_;
    int saved_own_ = 1, saved_best_ = 1;
};

TEST(BookKey, MatchesPublishedVectors) {
    const std::vector<std::string> lines = read_data_lines("polyglot_keys.txt");
    ASSERT_GE(lines.size(), 9u);
    for (const std::string& line : lines) {
        std::istringstream in(line);
        std::string hex, text;
        in >> hex;
        std::vector<Position> path(1, from_fen(START_FEN));
        path.reserve(64);
        while (in >> text) {
            path.emplace_back();
            ASSERT_TRUE(apply_move_text(path[path.size() - 2], path.back(), text.c_str())) << line;
        }
        EXPECT_EQ(polyglot_key(path.back()), std::stoull(hex, nullptr, 16)) << line;
    }
}

TEST(BookKey, FenAndMovesAgree) {
    // En passant counts only when a pawn stands ready to capture; castling rights and the mover count.
    EXPECT_EQ(polyglot_key(from_fen("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1")),
              0x823c9b50fd114196ULL);
    EXPECT_EQ(polyglot_key(from_fen("rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3")),
              0x22a48b5a8e47ff78ULL);
    const uint64_t without_ep = polyglot_key(from_fen("rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq - 0 3"));
    EXPECT_EQ(without_ep ^ 0x22a48b5a8e47ff78ULL, polyglot_random64[POLYGLOT_EN_PASSANT + 5]);
    const uint64_t all = polyglot_key(from_fen(START_FEN));
    const uint64_t none = polyglot_key(from_fen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - - 0 1"));
    EXPECT_EQ(all ^ none, polyglot_random64[POLYGLOT_CASTLE] ^ polyglot_random64[POLYGLOT_CASTLE + 1] ^
                              polyglot_random64[POLYGLOT_CASTLE + 2] ^ polyglot_random64[POLYGLOT_CASTLE + 3]);
    const uint64_t only_k = polyglot_key(from_fen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w k - 0 1"));
    EXPECT_EQ(only_k ^ none, polyglot_random64[POLYGLOT_CASTLE + 2]);
    const uint64_t black = polyglot_key(from_fen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1"));
    EXPECT_EQ(all ^ black, polyglot_random64[POLYGLOT_TURN]);
}

TEST_F(Book, SingleEntryIsAlwaysPlayedAndLogged) {
    const Position start = from_fen(START_FEN);
    use_book(write_book("single.bin", {{polyglot_key(start), book_move("e2e4"), 1}}));
    ASSERT_TRUE(book_is_open());
    for (int i = 0; i < 20; i++) EXPECT_EQ(move_text(book_probe(start)), "e2e4");
    std::string expected;
    for (int i = 0; i < 20; i++) expected += "book: e2e4      1\n";
    EXPECT_EQ(log_text(), expected);
}

TEST_F(Book, BestLinePlaysTheHeaviestAndOtherwiseFollowsWeights) {
    const Position start = from_fen(START_FEN);
    const uint64_t k = polyglot_key(start);
    use_book(write_book("three_one.bin", {{k, book_move("d2d4"), 3}, {k, book_move("g1f3"), 1}}));
    best_book_line = 1;
    EXPECT_EQ(tally(start, 200)["d2d4"], 200);
    best_book_line = 0;
    std::map<std::string, int> count = tally(start, 8000);
    EXPECT_EQ(count["d2d4"] + count["g1f3"], 8000);
    EXPECT_NEAR(count["d2d4"] / 8000.0, 0.75, 0.02);
}

TEST_F(Book, BestLineDrawsAmongTiedHeaviest) {
    const Position start = from_fen(START_FEN);
    const uint64_t k = polyglot_key(start);
    use_book(write_book("tied.bin", {{k, book_move("c2c4"), 2}, {k, book_move("e2e4"), 5}, {k, book_move("d2d4"), 5}}));
    best_book_line = 1;
    std::map<std::string, int> count = tally(start, 4000);
    EXPECT_EQ(count["c2c4"], 0);
    EXPECT_NEAR(count["e2e4"] / 4000.0, 0.5, 0.03);
    EXPECT_EQ(count["e2e4"] + count["d2d4"], 4000);
}

TEST_F(Book, LargeWeightsKeepEveryCandidateReachable) {
    // Totals above 2^15 and 2^16: a narrow generator would never reach the later entries.
    const Position start = from_fen(START_FEN);
    const uint64_t k = polyglot_key(start);
    best_book_line = 0;
    use_book(write_book("heavy2.bin", {{k, book_move("e2e4"), 40000}, {k, book_move("d2d4"), 40000}}));
    EXPECT_NEAR(tally(start, 4000)["d2d4"] / 4000.0, 0.5, 0.03);

    std::vector<Record> all;
    Move moves[MAX_MOVES];
    const int n = generate_legal_moves(start, moves);
    for (int i = 0; i < n; i++) all.push_back({k, book_move(move_text(moves[i]).c_str()), 65535});
    use_book(write_book("heavy20.bin", all));
    std::map<std::string, int> count = tally(start, 3000);
    EXPECT_EQ(int(count.size()), n);
    for (const auto& [text, c] : count) EXPECT_GT(c, 60) << text;
}

TEST_F(Book, CastlingStoredAsKingTakesRook) {
    const Position white = from_fen("r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQkq - 0 1");
    const Position black = from_fen("r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R b KQkq - 0 1");
    const struct {
        const Position* pos;
        const char* stored;
        Move expected;
    } cases[] = {{&white, "e1h1", CASTLE_WK}, {&white, "e1a1", CASTLE_WQ}, {&black, "e8h8", CASTLE_BK}, {&black, "e8a8", CASTLE_BQ}};
    for (const auto& c : cases) {
        use_book(write_book("castle.bin", {{polyglot_key(*c.pos), book_move(c.stored), 7}}));
        EXPECT_EQ(book_probe(*c.pos), c.expected) << c.stored;
    }
    // Without the king on its home square the stored move is taken literally, and here it is illegal.
    const Position moved = from_fen("r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R4K1R w kq - 0 1");
    use_book(write_book("castle_moved.bin", {{polyglot_key(moved), book_move("f1h1"), 7}}));
    EXPECT_EQ(book_probe(moved), 0u);
    EXPECT_NE(log_text().find("Hey, book seems broken\n"), std::string::npos);
}

TEST_F(Book, PromotionEntries) {
    const Position pos = from_fen("8/4P3/8/8/8/8/k7/4K3 w - - 0 1");
    for (const char* text : {"e7e8q", "e7e8n", "e7e8r", "e7e8b"}) {
        use_book(write_book("promo.bin", {{polyglot_key(pos), book_move(text), 1}}));
        EXPECT_EQ(move_text(book_probe(pos)), text);
    }
    // Promotion codes above the queen name no piece.
    use_book(write_book("promo_bad.bin", {{polyglot_key(pos), uint16_t(book_move("e7e8") | (5 << 12)), 1}}));
    EXPECT_EQ(book_probe(pos), 0u);
}

TEST_F(Book, AnIllegalEntryDisablesTheProbe) {
    const Position start = from_fen(START_FEN);
    const uint64_t k = polyglot_key(start);
    use_book(write_book("illegal.bin", {{k, book_move("e2e4"), 10}, {k, book_move("e2e5"), 1}}));
    for (int i = 0; i < 10; i++) EXPECT_EQ(book_probe(start), 0u);
    EXPECT_NE(log_text().find("book: e2e4     10\nHey, book seems broken\n"), std::string::npos);

    // A null move is illegal too; but an entry of weight 0 is skipped before it is checked.
    use_book(write_book("null.bin", {{k, 0, 1}, {k, book_move("e2e4"), 1}}));
    EXPECT_EQ(book_probe(start), 0u);
    use_book(write_book("zero_illegal.bin", {{k, book_move("e2e5"), 0}, {k, book_move("e2e4"), 1}}));
    EXPECT_EQ(move_text(book_probe(start)), "e2e4");
}

TEST_F(Book, ZeroWeightsAndUnknownPositionsGiveNoMove) {
    const Position start = from_fen(START_FEN);
    const uint64_t k = polyglot_key(start);
    use_book(write_book("zero.bin", {{k, book_move("e2e4"), 0}, {k, book_move("d2d4"), 0}}));
    EXPECT_EQ(book_probe(start), 0u);
    const Position other = from_fen("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1");
    use_book(write_book("other.bin", {{k, book_move("e2e4"), 5}}));
    EXPECT_EQ(book_probe(other), 0u);
    EXPECT_EQ(log_text(), "");
}

TEST_F(Book, EmptyMissingAndOddFiles) {
    const Position start = from_fen(START_FEN);
    const uint64_t k = polyglot_key(start);
    use_book(write_book("empty.bin", {}));
    EXPECT_TRUE(book_is_open());
    EXPECT_EQ(book_probe(start), 0u);
    use_book(write_book("short.bin", {}, std::string(15, '\x11')));
    EXPECT_EQ(book_probe(start), 0u);
    // A trailing partial record is ignored.
    use_book(write_book("partial.bin", {{k, book_move("g1f3"), 2}}, std::string(9, '\xff')));
    EXPECT_EQ(move_text(book_probe(start)), "g1f3");

    use_book(temp_path("does_not_exist.bin"));
    EXPECT_FALSE(book_is_open());
    EXPECT_EQ(book_probe(start), 0u);
    use_book(testing::TempDir());
    EXPECT_FALSE(book_is_open());
    EXPECT_EQ(book_probe(start), 0u);
}

TEST_F(Book, OwnBookOffClosesTheFile) {
    const Position start = from_fen(START_FEN);
    const std::string path = write_book("own.bin", {{polyglot_key(start), book_move("e2e4"), 1}});
    use_book(path);
    ASSERT_TRUE(book_is_open());
    own_book = 0;
    book_open();
    EXPECT_FALSE(book_is_open());
    EXPECT_EQ(book_probe(start), 0u);
    own_book = 1;
    book_open();
    EXPECT_EQ(move_text(book_probe(start)), "e2e4");
}

TEST_F(Book, BinarySearchFindsTheWholeRunOfAKey) {
    const Position start = from_fen(START_FEN);
    const uint64_t k = polyglot_key(start);
    best_book_line = 0;
    const char* run[] = {"a2a3", "b2b3", "c2c3", "d2d3", "e2e3"};
    // The position's records at the front, the back and in between a few hundred others.
    for (int below : {0, 1, 2, 150, 299, 300}) {
        std::vector<Record> records;
        uint64_t x = 88172645463325252ULL;
        for (int i = 0; i < 300; i++) {
            x ^= x << 13, x ^= x >> 7, x ^= x << 17;
            const uint64_t filler = i < below ? x % k : k + 1 + x % (~k);
            records.push_back({filler, book_move("h2h4"), 1});
        }
        for (const char* m : run) records.push_back({k, book_move(m), 1});
        use_book(write_book("search.bin", records));
        std::map<std::string, int> count = tally(start, 400);
        EXPECT_EQ(count.size(), 5u) << below;
        for (const char* m : run) EXPECT_GT(count[m], 40) << below << " " << m;
    }
}

// The engine answers from its book without searching, and searches again once the book is off.
TEST_F(Book, EngineAnswersFromTheBook) {
    const Position start = from_fen(START_FEN);
    const std::string book = write_book("engine.bin", {{polyglot_key(start), book_move("b1a3"), 1}});
    const std::string log = temp_path("engine.log");
    remove(log.c_str());
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e, {"-log", log}));
    ASSERT_TRUE(engine_send(e, "setoption name Book File value " + book));
    ASSERT_TRUE(engine_send(e, "position startpos"));
    ASSERT_TRUE(engine_send(e, "go depth 3"));
    std::vector<std::string> lines = engine_read_until(e, "bestmove");
    EXPECT_EQ(lines.back(), "bestmove b1a3");
    EXPECT_FALSE(found_line(lines, "info depth"));
    EXPECT_TRUE(found_line(lines, "info nodes"));

    ASSERT_TRUE(engine_send(e, "position startpos moves b1a3"));
    ASSERT_TRUE(engine_send(e, "go depth 2"));
    EXPECT_TRUE(found_line(engine_read_until(e, "bestmove"), "info depth 2"));

    ASSERT_TRUE(engine_send(e, "setoption name OwnBook value false"));
    ASSERT_TRUE(engine_send(e, "position startpos"));
    ASSERT_TRUE(engine_send(e, "go depth 2"));
    lines = engine_read_until(e, "bestmove");
    EXPECT_TRUE(found_line(lines, "info depth 2"));
    ASSERT_TRUE(engine_send(e, "quit"));
    EXPECT_EQ(engine_wait_exit(e), 0);
    EXPECT_NE(read_file(log).find("book: b1a3      1\n"), std::string::npos);
}

// The book written by an independent tool from real games, read by a plain linear scan.
std::map<uint64_t, std::vector<Record>> load_whole_book(const std::string& path) {
    const std::string bytes = read_file(path);
    std::map<uint64_t, std::vector<Record>> book;
    for (size_t at = 0; at + 16 <= bytes.size(); at += 16) {
        auto byte = [&](size_t i) { return uint64_t(uint8_t(bytes[at + i])); };
        Record r{0, uint16_t(byte(8) << 8 | byte(9)), uint16_t(byte(10) << 8 | byte(11))};
        for (int i = 0; i < 8; i++) r.key = (r.key << 8) | byte(i);
        book[r.key].push_back(r);
    }
    return book;
}

// The legal move a stored book move stands for (castling is stored as king takes rook).
Move legal_move_for(const Position& pos, uint16_t stored) {
    const int from = (stored >> 6) & 63;
    int to = stored & 63;
    const int king = pos.board[from];
    if ((from == SQ_E1 && king == piece_code(WHITE, KING)) || (from == SQ_E8 && king == piece_code(BLACK, KING))) {
        if ((to & 7) == 7) to = from + 2;
        if ((to & 7) == 0) to = from - 2;
    }
    char text[8] = {char('a' + (from & 7)), char('1' + (from >> 3)), char('a' + (to & 7)), char('1' + (to >> 3)),
                    " nbrq"[(stored >> 12) & 7], 0};
    if (text[4] == ' ') text[4] = 0;
    Move moves[MAX_MOVES];
    const int n = generate_legal_moves(pos, moves);
    for (int i = 0; i < n; i++)
        if (move_text(moves[i]) == text) return moves[i];
    return 0;
}

struct WalkStats {
    int positions = 0, castles = 0, probes = 0;
};

// Follows every book move from `pos`, checking each probe against the records of the position.
void walk(const Position& pos, const std::map<uint64_t, std::vector<Record>>& book, std::set<uint64_t>& seen,
          WalkStats& stats) {
    const uint64_t key = polyglot_key(pos);
    const auto it = book.find(key);
    if (it == book.end() || !seen.insert(key).second) return;
    stats.positions++;
    std::map<Move, int> weight;
    int heaviest = 0;
    for (const Record& r : it->second) {
        const Move m = legal_move_for(pos, r.move);
        ASSERT_NE(m, 0u) << "stored move " << r.move << " is not legal";
        weight[m] = r.weight;
        heaviest = std::max(heaviest, int(r.weight));
        stats.castles += move_flag(m) == FLAG_CASTLE;
    }
    for (int best : {1, 0})
        for (int i = 0; i < 6; i++) {
            best_book_line = best;
            const Move m = book_probe(pos);
            stats.probes++;
            if (!heaviest) {
                EXPECT_EQ(m, 0u);
                continue;
            }
            ASSERT_TRUE(weight.count(m)) << move_text(m);
            EXPECT_GT(weight[m], 0);
            if (best) {
                EXPECT_EQ(weight[m], heaviest);
            }
        }
    for (const auto& [m, w] : weight) {
        Position child;
        ASSERT_TRUE(apply_move_text(pos, child, move_text(m).c_str()));
        walk(child, book, seen, stats);
    }
}

TEST_F(Book, ReadsABookWrittenByAnIndependentTool) {
    const std::string path = std::string(QUORIL_TEST_DATA) + "/book_games.bin";
    const auto book = load_whole_book(path);
    ASSERT_GT(book.size(), 100u);
    use_book(path);
    ASSERT_TRUE(book_is_open());
    std::set<uint64_t> seen;
    WalkStats stats;
    walk(from_fen(START_FEN), book, seen, stats);
    // The tool drops the moves of a lost game's loser but keeps the positions after them: most are met.
    EXPECT_GT(seen.size(), book.size() * 9 / 10);
    EXPECT_GT(stats.castles, 0);
    EXPECT_EQ(log_text().find("broken"), std::string::npos);

    // At the root the draw follows the stored weights.
    const Position start = from_fen(START_FEN);
    const std::vector<Record>& root = book.at(polyglot_key(start));
    ASSERT_GE(root.size(), 2u);
    best_book_line = 0;
    std::map<std::string, int> count = tally(start, 6000);
    int total = 0;
    for (const Record& r : root) total += r.weight;
    for (const Record& r : root)
        EXPECT_NEAR(count[move_text(legal_move_for(start, r.move))] / 6000.0, double(r.weight) / total, 0.025);
}

}  // namespace
