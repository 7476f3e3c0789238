// Opening book: the book key, the on-disk lookup and the weighted choice.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "board/movegen.h"
#include "book/book.h"
#include "engine_pipe.h"
#include "shell/options.h"
#include "shell/session.h"
#include "board/legal.h"
#include "support.h"

namespace {

struct Record {
    uint64_t key;
    uint16_t move, weight;
};

// Book encoding of a coordinate move: to in bits 0..5, from in 6..11, promotion piece 1..4 in 12..14.
uint16_t book_move(const char* text) {
    const int from = (text[0] - 'a') + 8 * (text[1] - '1'), to = (text[2] - 'a') + 8 * (text[3] - '1');
    const int promo = text[4] ? int(strchr(" nbrq", text[4]) - " nbrq") : 0;
    return uint16_t(to | (from << 6) | (promo << 12));
}

std::string temp_path(const std::string& name) { return testing::TempDir() + "quoril_book_" + name; }

// Writes 16-byte big-endian records, which must come sorted by key.
std::string write_book(const std::vector<Record>& records, const std::string& tail = "") {
    std::string bytes;
    for (const Record& r : records) {
        for (int i = 7; i >= 0; i--) bytes += char(r.key >> (8 * i));
        bytes += {char(r.move >> 8), char(r.move), char(r.weight >> 8), char(r.weight), 0, 0, 0, 0};
    }
    static int serial = 0;  // a new file each time: the engine may still hold the last one open
    const std::string path = temp_path(std::to_string(serial++) + ".bin");
    std::ofstream(path, std::ios::binary) << bytes + tail;
    return path;
}

class BookProbe : public testing::Test {
protected:
    void SetUp() override {
        init_engine_tables();
        book_seed(book, 12345);
    }
    void TearDown() override { book_close(book); }
    std::string probe(const std::vector<Record>& records, const Position& pos) {
        book_open(book, write_book(records).c_str());
        return move_str(book_probe(book, pos, true));  // Best Book Line: the heaviest entry
    }

    Book book;
    const Position start = from_fen(START_FEN);
    const uint64_t k = polyglot_key(start);
};

TEST(BookKey, MatchesPublishedVectors) {
    const std::vector<std::string> lines = read_data_lines("polyglot_keys.txt");
    ASSERT_GE(lines.size(), 9u);
    for (const std::string& line : lines) {
        std::istringstream in(line);
        std::string hex, text;
        in >> hex;
        Position pos = from_fen(START_FEN), next;
        for (; in >> text; pos = next) ASSERT_TRUE(apply_move_text(pos, next, text.c_str())) << line;
        EXPECT_EQ(polyglot_key(pos), std::stoull(hex, nullptr, 16)) << line;
    }
}

// Unequal weights whose total is far above 2^16: the draw follows them, where a narrow random
// number would never reach the later entries.
TEST_F(BookProbe, WeightedDrawFollowsLargeWeights) {
    std::vector<Record> all;
    Move moves[MAX_MOVES];
    const int n = generate_legal_moves(start, moves);
    double total = 0;
    for (int i = 0; i < n; i++) {
        all.push_back({k, book_move(move_str(moves[i]).c_str()), uint16_t(65535 - 3000 * i)});
        total += all.back().weight;
    }
    book_open(book, write_book(all).c_str());
    std::map<std::string, int> count;
    for (int i = 0; i < 6000; i++) count[move_str(book_probe(book, start, false))]++;
    for (int i = 0; i < n; i++) EXPECT_NEAR(count[move_str(moves[i])] / 6000.0, all[i].weight / total, 0.02) << i;
}

// Each row: the position, its entries (move and weight; a1a1 is the null move) and the move Best Book
// Line plays. Castling is stored as king takes rook; without the king on its home square the stored
// move is taken literally, and f1h1 is then illegal. A null or illegal entry disables the probe, even
// one that would not be played, but one of weight 0 is skipped before it is checked.
TEST_F(BookProbe, EntriesAndTheMovePlayed) {
    const std::tuple<const char*, std::vector<std::pair<const char*, uint16_t>>, const char*> rows[] = {
        {"r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQkq -", {{"e1a1", 7}}, "e1c1"},
        {"r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R4K1R w kq -", {{"f1h1", 7}}, "null"},
        {"8/4P3/8/8/8/8/k7/4K3 w - -", {{"e7e8n", 7}}, "e7e8n"},
        {START_FEN, {{"a1a1", 1}, {"e2e4", 1}}, "null"},
        {START_FEN, {{"e2e4", 10}, {"e2e5", 1}}, "null"},
        {START_FEN, {{"e2e5", 0}, {"e2e4", 1}}, "e2e4"},
        {START_FEN, {{"e2e4", 0}, {"d2d4", 0}}, "null"},
    };
    for (const auto& [fen, entries, played] : rows) {
        const Position pos = from_fen(fen);
        std::vector<Record> records;
        for (const auto& [move, weight] : entries) records.push_back({polyglot_key(pos), book_move(move), weight});
        EXPECT_EQ(probe(records, pos), played) << fen << " " << entries[0].first;
    }
    EXPECT_EQ(probe({{k, book_move("e2e4"), 5}}, from_fen("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq -")),
              "null");
}

TEST_F(BookProbe, EmptyMissingOddAndClosedFiles) {
    EXPECT_EQ(probe({}, start), "null");
    EXPECT_TRUE(book_is_open(book));
    for (const std::string& missing : {temp_path("does_not_exist.bin"), testing::TempDir()}) {
        book_open(book, missing.c_str());
        EXPECT_FALSE(book_is_open(book)) << missing;
        EXPECT_EQ(book_probe(book, start, true), 0u);
    }
    // A trailing partial record is ignored; OwnBook off closes the file, on again it is read.
    const std::string path = write_book({{k, book_move("g1f3"), 2}}, std::string(9, '\xff'));
    std::unique_ptr<Session> s(new_session());
    snprintf(s->options.book_file, BOOK_NAME_SIZE, "%s", path.c_str());
    for (int on : {1, 0, 1}) {
        s->options.own_book = on;
        reopen_book(*s);
        EXPECT_EQ(move_str(book_probe(s->book, start, true)), on ? "g1f3" : "null") << on;
    }
}

// The engine answers from its book without searching, and searches in analysis, in Chess960 and with
// the book off.
TEST_F(BookProbe, EngineAnswersFromTheBook) {
    // Capital letters: the option lower-cases the name, the file is still found as sent.
    const std::string book = temp_path("Capital.BIN");
    remove(book.c_str());  // Windows renames onto no existing file
    ASSERT_EQ(rename(write_book({{k, book_move("b1a3"), 1}}).c_str(), book.c_str()), 0);
    EnginePipe e;
    ASSERT_TRUE(engine_start_ready(e));
    std::vector<std::string> lines =
        send_and_read(e, "setoption name Book File value " + book + "\nposition startpos\ngo depth 3", "bestmove");
    EXPECT_EQ(lines.back(), "bestmove b1a3");
    EXPECT_TRUE(found_line(lines, "info string book move b1a3"));
    EXPECT_FALSE(found_line(lines, "info depth 1"));
    EXPECT_TRUE(found_line(lines, "info depth 0 ") && lines[lines.size() - 3].find(" pv b1a3 ") != std::string::npos)
        << "the last pv leads with the book move";
    // Analysis (infinite, searchmoves, UCI_AnalyseMode), Chess960 (a standard book) and OwnBook off search.
    for (const char* go : {"go infinite\nstop", "go depth 2 searchmoves b1a3 g1f3",
                           "setoption name UCI_AnalyseMode value true\ngo depth 2",
                           "setoption name UCI_AnalyseMode value false\nsetoption name UCI_Chess960 value true\ngo depth 2",
                           "setoption name UCI_Chess960 value false\nsetoption name OwnBook value false\ngo depth 2"}) {
        lines = send_and_read(e, go, "bestmove");
        EXPECT_TRUE(found_line(lines, "info depth 1 ") && !found_line(lines, "info string book")) << go;
    }
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
    const int from = (stored >> 6) & 63, to = stored & 63, promo = (stored >> 12) & 7;
    std::string text = move_str(make_move_word(from, to)) + (promo ? std::string(1, " nbrq"[promo]) : "");
    if ((pos.board[from] & 7) == KING && (from == SQ_E1 || from == SQ_E8) && (to & 7) % 7 == 0)
        text[2] = (to & 7) ? 'g' : 'c';
    return legal_move(pos, text);
}

// Follows every book move from `pos`, checking each probe against the records of the position.
void walk(Book& b, const Position& pos, const std::map<uint64_t, std::vector<Record>>& book, std::set<uint64_t>& seen,
          int& castles) {
    const uint64_t key = polyglot_key(pos);
    const auto it = book.find(key);
    if (it == book.end() || !seen.insert(key).second) return;
    std::map<Move, int> weight;
    int heaviest = 0;
    for (const Record& r : it->second) {
        const Move m = legal_move_for(pos, r.move);
        ASSERT_NE(m, 0u) << "stored move " << r.move << " is not legal";
        weight[m] = r.weight;
        heaviest = std::max(heaviest, int(r.weight));
        castles += move_flag(m) == FLAG_CASTLE;
    }
    for (int i = 0; i < 12; i++) {
        const bool best_line = i < 6;
        const Move m = book_probe(b, pos, best_line);
        EXPECT_EQ(m != 0, heaviest > 0);
        if (!m) continue;
        ASSERT_TRUE(weight.count(m)) << "not a held move: " << move_str(m);
        EXPECT_GT(weight[m], 0);
        EXPECT_TRUE(!best_line || weight[m] == heaviest) << "Best Book Line plays the heaviest";
    }
    for (const auto& [m, w] : weight) {
        Position child;
        ASSERT_TRUE(apply_move_text(pos, child, move_str(m).c_str()));
        walk(b, child, book, seen, castles);
    }
}

TEST_F(BookProbe, ReadsABookWrittenByAnIndependentTool) {
    const std::string path = std::string(QUORIL_TEST_DATA) + "/book_games.bin";
    const auto records = load_whole_book(path);
    ASSERT_GT(records.size(), 100u);
    book_open(book, path.c_str());
    ASSERT_TRUE(book_is_open(book));
    std::set<uint64_t> seen;
    int castles = 0;
    walk(book, start, records, seen, castles);
    // The tool drops the moves of a lost game's loser but keeps the positions after them: most are met.
    EXPECT_GT(seen.size(), records.size() * 9 / 10);
    EXPECT_GT(castles, 0);
}

}  // namespace
