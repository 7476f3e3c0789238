// The fixed benchmark: five passes over fifty positions, each searched to a fixed depth from cleared tables.
#include "shell/bench.h"

#include <cinttypes>
#include <cstdlib>
#include <cstring>

#include "eval/tables.h"
#include "search/threads.h"
#include "search/tt.h"
#include "shell/driver.h"
#include "shell/session.h"
#include "shell/input.h"
#include "shell/notation.h"
#include "shell/options.h"

const char bench_rows[BENCH_POSITION_COUNT][BENCH_ROW_SIZE] = {
    "r4qnk/p1p5/5r1b/3P1b1p/2p2N2/2N4P/PP1QB3/2K2RR1 w - - 731 -14 936389",
    "5rk1/1npbnppp/3p4/1p1Pp1b1/1P2P3/2P1N3/2BB1PPP/q3RNK1 w - - 256 80 163380",
    "2b1q3/p3b1k1/1p2B2p/4Pp2/1P1r1Pp1/P3N1P1/3Q2P1/6K1 w - - 1317 315 193417",
    "8/8/pr1ppk1p/R4pP1/8/3K2P1/P3PP2/8 b - - 3046 88 99153",
    "2rr2k1/1pqnbppp/p2p1n2/Pb2p3/4P3/2NNBB2/1PPQ1PPP/R2R2K1 b - - 2138 -14 87657",
    "3qk2r/1brn1ppp/pp2pn2/8/3N4/Q1N3P1/PP2PPBP/R2R2K1 b k - 3150 -41 158947",
    "3r2k1/1p3ppp/p1q5/P2rpP2/5nPP/5NQ1/1PP2R2/R6K w - - 4 -142 454055",
    "r5k1/1b1nqp1p/1Pr3p1/p1pp1n2/N7/Q1N1P1P1/P4PBP/2RR2K1 b - - 3305 -153 220752",
    "1r2qrk1/1b1nb1pp/1p1ppn2/p4p2/N1PB4/1P3PP1/P1Q1P1BP/3RNRK1 b - - 3178 -19 252196",
    "rnbqk2r/ppp2ppp/4pn2/3pP1B1/1b1P4/2N5/PPP2PPP/R2QKBNR b KQkq - 3567 -51 130598",
    "2rqk2r/p3bppp/bpn2n2/2pp4/3P4/1PN2NP1/PB2PPBP/2RQ1RK1 b k - 16190 -8 220605",
    "r1bqkbnr/1pp2ppp/p1p5/4p3/4P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 723 5 123272",
    "r1bqr1k1/1p3pbp/2pp1np1/p1nPp3/2P1P3/2N2N2/PP3PPP/1RBQRBK1 w - - 339 -1 219199",
    "2k1r3/4rpBp/2p5/p2p4/8/1PPR4/Pb1K1PPP/3R4 w - - 714 83 101973",
    "6k1/3n1pp1/b6p/1n1Pp3/4PP2/rB4PP/3N1B2/2R3K1 b - - 7590 -149 189806",
    "r2q1rk1/pb1n1pb1/1p5p/6p1/1PNPp3/6B1/P3BPPP/2RQ1RK1 b - - 7525 -70 219624",
    "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 7460 -29 269091",
    "1R5Q/5p1p/6p1/6k1/1P2r2P/4qPK1/6P1/8 b - h3 2469 -204 163261",
    "8/p4r2/1p2k3/3prp1p/3R4/1P3K1P/P2R2P1/8 b - - 3442 53 191708",
    "r2qr1k1/pp3ppp/5b2/1bNp4/3Bn3/1P4P1/P3PPBP/2RQR1K1 b - - 2154 -25 220344",
    "1r6/5pk1/2pN4/2Pb2p1/1P4P1/5p2/5P1K/1R6 b - - 3501 -3 31731",
    "4r3/5k1p/p1b1p3/1pBpP3/1Pn2qP1/3B2K1/P3R3/8 w - - 1437 29 75002",
    "r2qr1k1/pbpn2pp/4pB2/2Pp1p2/8/4QNP1/PP2PPBP/R2R2K1 b - - 3821 -18 219249",
    "6kr/p1r5/q1b1p1p1/Pp1pPn1p/1QpB1P2/2P2BP1/2P1K2P/R5R1 w - - 771 21 227157",
    "4rr2/4Nk1p/B2Pb1p1/2p1QN2/4p3/8/1PP2qPP/R3R2K b - - 2981 -844 135791",
    "r2qb2r/4n2k/1pn1p1pp/p2pPp2/P1pP1P1N/B1P4R/2P1B1PP/R2Q3K b - - 3574 -87 450586",
    "r6k/p6p/1n3r1q/1b1pQ3/3Pp1p1/4P1P1/P2NNP1P/2R2RK1 w - - 732 246 132217",
    "r3qbk1/1npr1pp1/1p2p2p/p3P3/2PN4/2N2QP1/PP3P1P/3RR1K1 b - - 3643 -33 176842",
    "rnbqkb1r/pp1p1ppp/5n2/1N2p3/2P5/8/PP2PPPP/RNBQKB1R b KQkq - 3307 -2 214908",
    "r2q1r1k/n1p3pp/p4b2/P7/1p1PRB2/1B3b2/1P3PPP/R2Q2K1 w - - 213 90 485557",
    "rnbqkb1r/1p2pppp/p2p1n2/6B1/3NP3/2N5/PPP2PPP/R2QKB1R b KQkq - 3699 -17 196359",
    "rnbqkbnr/pp1ppppp/8/2p5/4P3/8/PPPP1PPP/RNBQKBNR w KQkq c6 405 40 181006",
    "2R2b1B/p3k3/1p2P3/5Pp1/1P2n3/P5P1/3r3p/7K w - - 3762 -224 136054",
    "rnb1k2r/pp4pp/4pp2/q1Pn4/3QP3/P1P2P2/6PP/R1B1KBNR b KQkq e3 3690 -3 153969",
    "rn2k2r/2p2ppp/p3pn2/1P6/4b3/3q1NP1/P4PBP/1RBQK2R w Kkq - 211 -58 143803",
    "r1bq1rk1/pp2bppp/2n1pn2/2pp4/2P5/1P3NP1/PB1PPPBP/RN1Q1RK1 w - - 1699 -14 473650",
    "r3k2r/p1qbnpp1/1p2p2p/n1ppP2P/P2P4/B1P2N2/2PQ1PP1/R3KB1R w KQkq - 1762 12 275705",
    "rnbqkbnr/pppppppp/8/8/3P4/8/PPP1PPPP/RNBQKBNR b KQkq d3 7395 -16 155871",
    "8/R5K1/8/8/1p6/1k6/p6P/8 b - - 1097 47 106160",
    "rnbqk2r/ppp1ppbp/5np1/3p4/2PP4/2N3P1/PP2PPBP/R1BQK1NR b KQkq - 2266 5 201664",
    "6k1/1p3p2/p2p2bp/P1rPr3/3QPp2/7P/4R1P1/6K1 w - - 1753 77 252715",
    "1r3rk1/2qbbnnp/3p1pp1/1p1Pp3/2p1P1P1/1PP2NNP/1BB2P1K/R2Q2R1 w - - 204 25 283127",
    "5n1k/6b1/1p3p1p/p1p1p1p1/2P1P1B1/P1Br2P1/5P1P/2R3K1 w - - 1932 27 64184",
    "2b5/8/p1p5/1P3kpp/P1P5/3NK3/7P/8 b - - 2593 -33 70798",
    "rnbqkbnr/pp2pppp/3p4/2p5/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 82 32 336836",
    "r4rk1/p4pp1/1p1q3p/2nPp3/2B5/2P1Q3/P4PPP/2R2RK1 w - - 131 -18 138799",
    "r2r2k1/4q1p1/2nNp2p/p3p3/4P3/2PQP3/P5PP/3R1RK1 w - - 1227 125 551503",
    "7k/p3bprp/4p3/qp1pP2R/3P4/2r2NP1/P2Q1PK1/7R b - - 2073 54 127181",
    "6k1/5pp1/8/1P6/3N4/4P3/3N4/4K2r w - - 268 140 49761",
    "3r4/q2np1k1/6pp/2pPp1b1/2N1N3/1P4PQ/r3RP2/3R2K1 w - - 1830 153 180710",
};

namespace {


// Searches one row to `depth` and adds what the driver measured to the totals.
void bench_position(Session& s, const char* row, int depth, double& seconds, uint64_t& nodes, uint64_t& signature) {
    char fen[BENCH_ROW_SIZE];
    if (!bench_row_fen(row, fen, sizeof fen)) {
        fprintf(stderr, "Error in data structure\n");
        exit(1);
    }
    Position pos;
    position_from_fen(pos, fen, nullptr, FenCastling::CHESS960, pst_table);
    Worker& w = main_worker();
    w.nodes = 0;  // a book answer searches nothing and must add nothing to the signature
    SearchRequest r = base_request(s, pos, depth);
    SearchResult result;
    play_request(s, r, true, result);
    signature += worker_nodes(w);
    // Every iteration but the last, each measured from the start of the search.
    for (int i = 1; i < depth && i < MAX_ITERATIONS; i++) {
        seconds += result.iter_elapsed[i];
        nodes += result.iter_nodes[i];
    }
}

}  // namespace

bool bench_row_fen(const char* row, char* fen, int size) {
    int words = 0, len = 0;
    for (const char* p = row; *p && words < 4;) {
        while (*p && is_blank(*p)) p++;
        if (!*p) break;
        const char* w = p;
        while (*p && !is_blank(*p)) p++;
        const int wl = int(p - w);
        if (len + wl + 2 > size) return false;
        if (words++) fen[len++] = ' ';
        memcpy(fen + len, w, size_t(wl));
        len += wl;
    }
    fen[len] = 0;
    return words == 4;
}

uint64_t bench_run(Session& s, int passes, int depth, FILE* out) {
    s.bench = true;
    fprintf(out, "\nThis self-test is a benchmark\nUses 50 random position.\n\n\n");
    fprintf(out, "Pass Progress ...                                          Sec    mNPS\n");
    fprintf(out, "==== ================================================== ====== =======\n");
    double seconds = 0;
    uint64_t nodes = 0, signature = 0;
    for (int pass = 1; pass <= passes; pass++) {
        fprintf(out, "%4d ", pass);
        fflush(out);
        for (int i = 0; i < BENCH_POSITION_COUNT; i++) {
            bench_position(s, bench_rows[i], depth, seconds, nodes, signature);
            fputc('.', out);
            fflush(out);
            if (s.quit) {  // "quit" typed during the run ends it
                fprintf(out, "\n");
                return signature;
            }
        }
        const double rate_seconds = seconds > 0.0001 ? seconds : 0.0001;
        fprintf(out, "%7.3f %7.4f\n", seconds / (pass * BENCH_POSITION_COUNT), double(nodes) / rate_seconds / 1000000);
    }
    fprintf(out, "\nNodes searched: %" PRIu64 "\n", signature);
    fflush(out);
    return signature;
}

int run_benchmark(Session& s, int passes) {
    input_start();
    if (s.options.hash_megabytes) tt_allocate(s.options.hash_megabytes);
    fprintf(stderr, "Quoril version %s\n\n", VERSION_TAG);
    bench_run(s, passes > 0 ? passes : BENCH_PASSES, BENCH_DEPTH, stdout);
    return 0;
}
