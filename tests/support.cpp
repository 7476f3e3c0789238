#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "board/makemove.h"
#include "board/movegen.h"
#include "board/legal.h"
#include "eval/tables.h"
#include "search/worker.h"
#include "shell/session.h"

void init_engine_tables() { build_engine_tables(); }

Worker& test_worker() {
    static Worker* w = new_worker();
    return *w;
}

Position from_fen(const char* fen) {
    init_engine_tables();
    Position p;
    position_from_fen(p, fen);
    return p;
}

void fill_eval_fields(Position& p) { p.pst = compute_pst(p, pst_table); }

std::string fen_of(const Position& p) {
    char buf[FEN_BUFFER];
    position_to_fen(p, buf, sizeof buf);
    return buf;
}

std::vector<std::string> read_data_lines(const char* name) {
    std::vector<std::string> out;
    std::ifstream in(std::string(QUORIL_TEST_DATA) + "/" + name);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty() && line[0] != '#') out.push_back(line);
    return out;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Through a binary file, which every system has (open_memstream is POSIX only), so lines end in LF.
std::string capture(const std::function<void(FILE*)>& write) {
    static int serial = 0;
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("quoril_capture_" + std::to_string(serial++) + "_" + std::to_string(std::random_device()())))
                                 .string();
    FILE* f = fopen(path.c_str(), "w+b");
    if (!f) return "";
    write(f);
    fclose(f);
    const std::string out = read_file(path);
    remove(path.c_str());
    return out;
}

std::string move_str(Move m) {
    char t[MOVE_TEXT_SIZE];
    move_to_text(m, t);
    return t;
}

Move legal_move(const Position& pos, const std::string& text) {
    Move moves[MAX_MOVES];
    const int n = generate_legal_moves(pos, moves);
    for (int i = 0; i < n; i++)
        if (move_str(moves[i]) == text) return moves[i];
    return 0;
}

void random_game(const Position& start, std::mt19937_64& rng, int plies, int every, int capture_percent,
                 std::vector<Position>& out) {
    std::vector<Position> line(size_t(plies) + 1, start);
    for (size_t ply = 0;; ply++) {
        Position& pos = line[ply];
        pos.in_check = side_in_check(pos, pos.ply & 1) ? 1 : 0;
        if (ply % size_t(every) == 0 || pos.ep_mask) out.push_back(pos), out.back().prev = nullptr;
        Move moves[MAX_MOVES];
        const int n = ply < size_t(plies) ? generate_legal_moves(pos, moves) : 0;
        if (!n) return;
        const auto capture = [&](Move m) { return pos.board[move_to(m)] || move_flag(m) == FLAG_EP; };
        const int captures = int(std::stable_partition(moves, moves + n, capture) - moves);
        const bool take = captures && int(rng() % 100) < capture_percent;
        make_move(pos, line[ply + 1], moves[rng() % uint64_t(take ? captures : n)], pst_table);
    }
}

std::vector<Position> sample_positions(size_t count, uint64_t seed, int plies) {
    static const char* const starts[] = {
        "",
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
        "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -",
        "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq -",
        "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ -",
        "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6",
        "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - -",
    };
    std::mt19937_64 rng(seed);
    std::vector<Position> out;
    while (out.size() < count)
        for (const char* fen : starts) {
            Position start = from_fen(fen);
            fill_eval_fields(start);
            random_game(start, rng, plies, 1, 0, out);
        }
    out.resize(count);
    return out;
}

std::string random_placement(const std::string& pieces, std::mt19937_64& rng, bool white_to_move) {
    for (;;) {
        std::string squares(64, '1'), fen;  // "11" reads as two empty squares
        for (char c : "Kk" + pieces) {
            size_t s;
            do s = size_t(rng() % 64);
            while (squares[s] != '1' || ((c | 0x20) == 'p' && (s < 8 || s >= 56)));
            squares[s] = c;
        }
        for (size_t r = 8; r-- > 0;) fen += squares.substr(8 * r, 8) + (r ? "/" : white_to_move ? " w - -" : " b - -");
        const Position p = from_fen(fen.c_str());
        if (!position_problem(p) && !side_in_check(p, 1 - side_to_move(p))) return fen_of(p) + " 0 1";
    }
}

GameLine::GameLine(const char* fen, const std::vector<std::string>& moves) {
    line.reserve(256);  // never moved: each position points at its parent
    line.push_back(from_fen(fen));
    fill_eval_fields(line[0]);
    for (const std::string& m : moves) EXPECT_TRUE(play(m)) << m << " after " << fen_of(now());
}

bool GameLine::play(const std::string& text) {
    Position next;
    if (line.size() == line.capacity() || !apply_move_text(now(), next, text.c_str())) return false;
    line.push_back(next);
    return true;
}

std::string bestmove_of(const std::vector<std::string>& lines) {
    if (lines.empty() || lines.back().rfind("bestmove ", 0) != 0) return "";
    return lines.back().substr(9, lines.back().find(' ', 9) - 9);
}
