// Builds the king-and-pawn-versus-king win/draw bitbase by retrograde analysis
// and writes it as C++ source.
//
// Frame: the strong side's pawn walks toward rank 0 (index 0..7 = rank of the
// square >> 3), stands on files a-d and ranks 1..6; it double-steps from rank 6
// and promotes on rank 0. Entry (p, K, k) with p = 4 * (rank - 1) + file holds
// two bits: bit 2n + 1 for the strong side to move, bit 2n for the weak side,
// n = p * 4096 + K * 64 + k. A set bit means the strong side wins. Illegal
// entries stay 0.
//
// Usage: kpkgen OUTPUT.cpp
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using u64 = uint64_t;

constexpr int PAWN_SLOTS = 24;
constexpr int ENTRIES = PAWN_SLOTS * 64 * 64;
constexpr int TABLE_BYTES = ENTRIES * 2 / 8;
constexpr int WEAK = 0, STRONG = 1;

u64 king_att[64];

int file_of(int s) { return s & 7; }
int rank_of(int s) { return s >> 3; }
u64 bit(int s) { return u64(1) << s; }
bool adjacent(int a, int b) { return (king_att[a] & bit(b)) != 0; }

void init_king_attacks() {
    for (int s = 0; s < 64; ++s) {
        u64 a = 0;
        for (int dr = -1; dr <= 1; ++dr)
            for (int df = -1; df <= 1; ++df) {
                int f = file_of(s) + df, r = rank_of(s) + dr;
                if ((df || dr) && f >= 0 && f < 8 && r >= 0 && r < 8) a |= bit(r * 8 + f);
            }
        king_att[s] = a;
    }
}

int pawn_square(int p) { return (p / 4 + 1) * 8 + p % 4; }
int pawn_slot(int sq) { return (rank_of(sq) - 1) * 4 + file_of(sq); }
int entry(int p, int K, int k) { return (p * 64 + K) * 64 + k; }

// The pawn captures toward rank 0.
u64 pawn_att(int sq) {
    u64 a = 0;
    int f = file_of(sq), r = rank_of(sq) - 1;
    if (r < 0) return 0;
    if (f > 0) a |= bit(r * 8 + f - 1);
    if (f < 7) a |= bit(r * 8 + f + 1);
    return a;
}

// Slider attacks from `from`, blocked only by the strong king; the weak king
// is left off the board so squares behind it along a line count as attacked.
u64 slider_att(int from, int blocker, bool diagonals) {
    static const int rook_dirs[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    static const int bishop_dirs[4][2] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
    u64 a = 0;
    for (int pass = 0; pass < (diagonals ? 2 : 1); ++pass) {
        const int(*dirs)[2] = pass == 0 ? rook_dirs : bishop_dirs;
        for (int d = 0; d < 4; ++d) {
            int f = file_of(from) + dirs[d][0], r = rank_of(from) + dirs[d][1];
            while (f >= 0 && f < 8 && r >= 0 && r < 8) {
                int s = r * 8 + f;
                a |= bit(s);
                if (s == blocker) break;
                f += dirs[d][0];
                r += dirs[d][1];
            }
        }
    }
    return a;
}

// Weak side to move after promotion to a queen or rook on q. KQK and KRK are
// won whenever the piece survives and the defender is not stalemated.
bool promotion_wins(int K, int q, int k, bool queen) {
    bool defended = adjacent(K, q);
    if (adjacent(k, q) && !defended) return false;
    u64 covered = king_att[K] | slider_att(q, K, queen) | bit(K) | bit(q);
    bool in_check = (slider_att(q, K, queen) & bit(k)) != 0;
    bool can_move = (king_att[k] & ~covered) != 0;
    return can_move || in_check;
}

bool legal(int p, int K, int k, int stm) {
    int P = pawn_square(p);
    if (K == k || K == P || k == P || adjacent(K, k)) return false;
    if (stm == STRONG && (pawn_att(P) & bit(k))) return false;
    return true;
}

struct Node {
    int stm;
    int idx;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.cpp\n", argv[0]);
        return 2;
    }
    init_king_attacks();

    std::vector<uint8_t> won[2] = {std::vector<uint8_t>(ENTRIES), std::vector<uint8_t>(ENTRIES)};
    // Weak-to-move entries: legal replies not yet known to lose. A reply that
    // takes the pawn pins the entry as drawn for good.
    constexpr int NEVER = 255;
    std::vector<uint8_t> replies(ENTRIES, 0);
    std::vector<Node> queue;
    queue.reserve(2 * ENTRIES);

    auto mark = [&](int stm, int idx) {
        if (!won[stm][idx]) {
            won[stm][idx] = 1;
            queue.push_back({stm, idx});
        }
    };

    for (int p = 0; p < PAWN_SLOTS; ++p) {
        int P = pawn_square(p);
        for (int K = 0; K < 64; ++K)
            for (int k = 0; k < 64; ++k) {
                int idx = entry(p, K, k);
                if (legal(p, K, k, STRONG) && rank_of(P) == 1) {
                    int q = P - 8;
                    if (q != K && q != k && (promotion_wins(K, q, k, true) || promotion_wins(K, q, k, false)))
                        mark(STRONG, idx);
                }
                if (legal(p, K, k, WEAK)) {
                    u64 to = king_att[k] & ~king_att[K] & ~pawn_att(P) & ~bit(K);
                    if (to & bit(P)) {
                        replies[idx] = NEVER;
                    } else {
                        replies[idx] = uint8_t(__builtin_popcountll(to));
                        if (to == 0 && (pawn_att(P) & bit(k))) mark(WEAK, idx);  // mated by the pawn
                    }
                }
            }
    }

    for (size_t head = 0; head < queue.size(); ++head) {
        Node n = queue[head];
        int p = n.idx >> 12, K = (n.idx >> 6) & 63, k = n.idx & 63;
        int P = pawn_square(p);
        if (n.stm == WEAK) {
            // Strong moves into this entry: a king step, a single push or a double step.
            for (u64 from = king_att[K]; from; from &= from - 1) {
                int K0 = __builtin_ctzll(from);
                if (legal(p, K0, k, STRONG)) mark(STRONG, entry(p, K0, k));
            }
            int r = rank_of(P);
            if (r + 1 <= 6) {
                int P0 = P + 8;
                if (P0 != K && P0 != k && legal(pawn_slot(P0), K, k, STRONG)) mark(STRONG, entry(pawn_slot(P0), K, k));
            }
            if (r == 4) {
                int mid = P + 8, P0 = P + 16;
                if (mid != K && mid != k && P0 != K && P0 != k && legal(pawn_slot(P0), K, k, STRONG))
                    mark(STRONG, entry(pawn_slot(P0), K, k));
            }
        } else {
            // Weak king steps into this entry; the defender loses once every reply does.
            for (u64 from = king_att[k]; from; from &= from - 1) {
                int k0 = __builtin_ctzll(from);
                if (!legal(p, K, k0, WEAK)) continue;
                int idx = entry(p, K, k0);
                if (won[WEAK][idx] || replies[idx] == NEVER) continue;
                if (--replies[idx] == 0) mark(WEAK, idx);
            }
        }
    }

    std::vector<uint8_t> table(TABLE_BYTES, 0);
    long counts[2] = {0, 0}, legal_counts[2] = {0, 0};
    for (int idx = 0; idx < ENTRIES; ++idx)
        for (int stm = 0; stm < 2; ++stm) {
            int p = idx >> 12, K = (idx >> 6) & 63, k = idx & 63;
            if (legal(p, K, k, stm)) ++legal_counts[stm];
            if (!won[stm][idx]) continue;
            ++counts[stm];
            int b = 2 * idx + stm;
            table[b / 8] |= uint8_t(1u << (b % 8));
        }

    FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(out,
                 "// Generated by tools/kpkgen.cpp (tools/gen_kpk.sh). Do not edit.\n"
                 "// King and pawn versus king: bit 2n+1 strong side to move, bit 2n weak side\n"
                 "// to move, n = pawn_slot * 4096 + strong_king * 64 + weak_king; set = won.\n\n"
                 "extern const unsigned char kpk_bitbase[%d] = {\n",
                 TABLE_BYTES);
    for (int i = 0; i < TABLE_BYTES; ++i) {
        std::fprintf(out, "%s0x%02x,", i % 16 == 0 ? "    " : " ", table[i]);
        if (i % 16 == 15) std::fputc('\n', out);
    }
    std::fprintf(out, "};\n");
    if (std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(stderr, "strong to move: %ld won of %ld legal\nweak to move:   %ld won of %ld legal\n", counts[STRONG],
                 legal_counts[STRONG], counts[WEAK], legal_counts[WEAK]);
    return 0;
}
