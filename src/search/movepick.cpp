#include "search/movepick.h"

#include <climits>

#include "board/see.h"
#include "board/check.h"
#include "board/makemove.h"
#include "platform/processor.h"
#include "search/worker.h"

const int picker_stage_sequence[5][10] = {
    {STAGE_HASH, STAGE_CAPTURES, STAGE_KILLER1, STAGE_KILLER2, STAGE_QUIETS, STAGE_DEFERRED, STAGE_END},
    {STAGE_HASH, STAGE_CAPTURES, STAGE_QUIET_CHECKS, STAGE_DEFERRED, STAGE_END},
    {STAGE_HASH, STAGE_CAPTURES, STAGE_QUIET_CHECKS, STAGE_END},
    {STAGE_HASH, STAGE_CAPTURES, STAGE_END},
    {STAGE_HASH, STAGE_EVASIONS, STAGE_DEFERRED, STAGE_END},
};

namespace {

constexpr Bitboard LAST_RANKS = RANK_1_BB | RANK_8_BB;  // where pawns promote

constexpr std::array<std::array<Bitboard, 64>, 2> build_pawn_check_origin() {
    std::array<std::array<Bitboard, 64>, 2> t{};
    for (int king = 0; king < 2; king++) {
        const int pawn = 1 - king;
        const Bitboard second = pawn == WHITE ? RANK_2_BB : RANK_7_BB;
        for (int sq = 0; sq < 64; sq++) {
            // Squares from which a pawn of the other colour attacks the king.
            const Bitboard hits = pawn_attack_table[king][sq];
            const Bitboard single = push(1 - pawn, hits);
            t[king][sq] = single | (push(1 - pawn, single) & second);
        }
    }
    return t;
}

// Type of the piece on sq, 0 when empty: callers ask about squares they know the owner of.
inline int type_at(const Position& pos, int sq) { return pos.board[sq] & 7; }

inline uint32_t entry(Move m, int score) { return (uint32_t(score) << 16) | (m & 0xFFFF); }

// Highest score first, equal scores in the order generated. Both sorts below rank by a key that
// holds the score half above the generation order, which makes every key distinct, and both run
// without branches, where an insertion sort mispredicts about once per entry.
constexpr int RANK_SORT_FROM = 8;  // shorter lists: a sorting network

// The rank key of entry i of a list.
inline int32_t rank_key(uint32_t e, int i) { return int32_t((e & 0xFFFF0000u) | uint32_t(0xFFFF - i)); }

inline void compare_exchange(uint64_t& a, uint64_t& b) {
    const uint64_t hi = a > b ? a : b, lo = a > b ? b : a;
    a = hi;
    b = lo;
}

// A fixed network of compare-exchanges over lists of up to `size` entries, each carried below its
// rank key, whose sign is flipped so that the 64-bit words compare unsigned; the padding words are
// zero and sink below every entry.
template <int size>
void network_sort(uint32_t* a, int n) {
    static constexpr int pairs4[5][2] = {{0, 1}, {2, 3}, {0, 2}, {1, 3}, {1, 2}};
    static constexpr int pairs8[19][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3}, {4, 6}, {5, 7}, {1, 2}, {5, 6},
                                          {0, 4}, {1, 5}, {2, 6}, {3, 7}, {2, 4}, {3, 5}, {1, 2}, {3, 4}, {5, 6}};
    uint64_t k[size];
    for (int i = 0; i < size; i++) k[i] = i < n ? (uint64_t(uint32_t(rank_key(a[i], i)) ^ 0x80000000u) << 32) | a[i] : 0;
    if constexpr (size == 4)
        for (const auto& p : pairs4) compare_exchange(k[p[0]], k[p[1]]);
    else
        for (const auto& p : pairs8) compare_exchange(k[p[0]], k[p[1]]);
    for (int i = 0; i < n; i++) a[i] = uint32_t(k[i]);
}

constexpr int RANK_BLOCK = 8;

[[gnu::always_inline]] inline void rank_sort(uint32_t* a, int n) {
    // Ranks are counted for a block of entries at once, so each key read serves eight counts and
    // the compiler keeps the counts in vector registers. The block's padding keys rank below every
    // entry and are never placed.
    alignas(32) int32_t key[PICKER_LIST_SIZE + RANK_BLOCK];
    uint32_t copy[PICKER_LIST_SIZE];
    for (int i = 0; i < n; i++) {
        key[i] = rank_key(a[i], i);
        copy[i] = a[i];
    }
    for (int i = n; i < n + RANK_BLOCK; i++) key[i] = INT32_MIN;
    for (int base = 0; base < n; base += RANK_BLOCK) {
        int32_t rank[RANK_BLOCK] = {};
        for (int j = 0; j < n; j++)
            for (int k = 0; k < RANK_BLOCK; k++) rank[k] += key[j] > key[base + k];
        const int last = n - base < RANK_BLOCK ? n - base : RANK_BLOCK;
        for (int k = 0; k < last; k++) a[rank[k]] = copy[base + k];
    }
}

// The same count for processors with 256-bit vectors: eight ranks per instruction instead of four.
// The copy is chosen by a flag set at start-up; a choice made by the loader would run before the
// sanitizers' runtimes start.
QUORIL_AVX2_FUNCTION void rank_sort_wide(uint32_t* a, int n) { rank_sort(a, n); }
const bool wide_vectors = wide_vectors_available();

void sort_entries(uint32_t* a, int n) {
    if (n <= 4) return network_sort<4>(a, n);
    if (n < RANK_SORT_FROM) return network_sort<8>(a, n);
    if (wide_vectors)
        rank_sort_wide(a, n);
    else
        rank_sort(a, n);
}

struct ListWriter {
    uint32_t* out;
    int n;
    void add(Move m, int score) {
        if (n < PICKER_LIST_SIZE) out[n++] = entry(m, score);
    }
    // Writes the entry either way and counts it only when it is real: no branch on `real`.
    void add_if(Move m, int score, bool real) {
        if (n < PICKER_LIST_SIZE) {
            out[n] = entry(m, score);
            n += real;
        }
    }
};

inline void add_promotions(ListWriter& w, int from, int to, int score) {
    for (int f = FLAG_PROMO_Q; f <= FLAG_PROMO_B; f++) w.add(make_move_word(from, to, f), score);
}

// Captures of one pawn direction: to = from + delta.
void pawn_captures(const Position& pos, ListWriter& w, Bitboard targets, int delta) {
    while (targets) {
        const int to = pop_lsb(targets), from = to - delta;
        if (square_bit[to] & pos.ep_mask) {
            w.add(make_move_word(from, to, FLAG_EP), 31);
        } else {
            const int v = type_at(pos, to);
            if (square_bit[to] & LAST_RANKS)
                add_promotions(w, from, to, 64 * v - 2);
            else
                w.add(make_move_word(from, to), 32 * v - 2 * PAWN);
        }
    }
}

// Most pieces have one capture or none, and which is as good as random: the first is written
// without a branch (a stand-in square when there is none) and counted only when it is real.
void piece_captures(const Position& pos, ListWriter& w, int from, Bitboard targets, int attacker) {
    const int first = lsb_index(targets | square_bit[63]);
    w.add_if(make_move_word(from, first), 32 * type_at(pos, first) - 2 * attacker, targets != 0);
    for (targets &= targets - 1; targets;) {
        const int to = pop_lsb(targets);
        w.add(make_move_word(from, to), 32 * type_at(pos, to) - 2 * attacker);
    }
}

int generate_captures_stage(const Position& pos, uint32_t* out, Bitboard targets) {
    const int us = side_to_move(pos), them = 1 - us;
    const Bitboard enemy = pos.bb[them][0] & targets, occ = occupied(pos), pawns = pos.bb[us][PAWN];
    const Bitboard victims = enemy | (pos.bb[them][0] & LAST_RANKS) | pos.ep_mask;
    ListWriter w{out, 0};
    if (us == WHITE) {
        pawn_captures(pos, w, ((pawns << 7) & NOT_FILE_H) & victims, 7);
        pawn_captures(pos, w, ((pawns << 9) & NOT_FILE_A) & victims, 9);
    } else {
        pawn_captures(pos, w, ((pawns >> 9) & NOT_FILE_H) & victims, -9);
        pawn_captures(pos, w, ((pawns >> 7) & NOT_FILE_A) & victims, -7);
    }
    const int fwd = us == WHITE ? 8 : -8;
    for (Bitboard b = push(us, pawns) & ~occ & LAST_RANKS; b;) {
        const int to = pop_lsb(b);
        add_promotions(w, to - fwd, to, 32);
    }
    for (Bitboard b = pos.bb[us][KNIGHT]; b;) {
        const int from = pop_lsb(b);
        piece_captures(pos, w, from, knight_attacks[from] & enemy, KNIGHT);
    }
    for (Bitboard b = pos.bb[us][BISHOP] | pos.bb[us][QUEEN]; b;) {
        const int from = pop_lsb(b);
        piece_captures(pos, w, from, bishop_attacks(from, occ) & enemy, type_at(pos, from));
    }
    for (Bitboard b = pos.bb[us][ROOK] | pos.bb[us][QUEEN]; b;) {
        const int from = pop_lsb(b);
        piece_captures(pos, w, from, rook_attacks(from, occ) & enemy, type_at(pos, from));
    }
    const int k = king_square(pos, us);
    piece_captures(pos, w, k, king_attacks[k] & enemy, KING);
    return w.n;
}

inline void add_quiet_targets(ListWriter& w, int from, Bitboard targets) {
    while (targets) w.add(make_move_word(from, pop_lsb(targets)), 0);
}

// Unscored: the picker scores the quiet moves it keeps when it first reads them.
int generate_quiets_stage(const Position& pos, uint32_t* out) {
    const int us = side_to_move(pos);
    const Bitboard occ = occupied(pos), empty = ~occ, pawns = pos.bb[us][PAWN];
    const int fwd = us == WHITE ? 8 : -8;
    ListWriter w{out, 0};
    Move castles[2];
    const int nc = generate_castling(pos, us, castles);
    for (int i = 0; i < nc; i++) w.add(castles[i], 0);
    for (Bitboard b = push(us, pawns) & empty & ~LAST_RANKS; b;) {
        const int to = pop_lsb(b);
        w.add(make_move_word(to - fwd, to), 0);
    }
    for (Bitboard b = pos.bb[us][KNIGHT]; b;) {
        const int from = pop_lsb(b);
        add_quiet_targets(w, from, knight_attacks[from] & empty);
    }
    for (Bitboard b = pos.bb[us][BISHOP]; b;) {
        const int from = pop_lsb(b);
        add_quiet_targets(w, from, bishop_attacks(from, occ) & empty);
    }
    for (Bitboard b = pos.bb[us][ROOK]; b;) {
        const int from = pop_lsb(b);
        add_quiet_targets(w, from, rook_attacks(from, occ) & empty);
    }
    for (Bitboard b = pos.bb[us][QUEEN]; b;) {
        const int from = pop_lsb(b);
        add_quiet_targets(w, from, queen_attacks(from, occ) & empty);
    }
    const int k = king_square(pos, us);
    add_quiet_targets(w, k, king_attacks[k] & empty);
    const Bitboard second = us == WHITE ? RANK_2_BB : RANK_7_BB;
    for (Bitboard b = push(us, push(us, pawns & second) & empty) & empty; b;) {
        const int to = pop_lsb(b);
        w.add(make_move_word(to - 2 * fwd, to, FLAG_DOUBLE), 0);
    }
    return w.n;
}

void score_quiets(const Position& pos, uint32_t* list, int n, int depth, const HistoryTable& history) {
    const int us = side_to_move(pos);
    for (int i = 0; i < n; i++) {
        const Move m = list[i] & 0xFFFF;
        int h = history[us][pos.board[move_from(m)] & 7][move_to(m)];
        if (depth >= 10 && see(pos, m) < 0) h >>= 1;
        list[i] = entry(m, h);
    }
}

// Adds generated evasions (captures or blocks) with their scores; king moves are already listed.
void add_evasions(const Position& pos, ListWriter& w, const Move* moves, int n, int king, const HistoryTable& history) {
    const int us = side_to_move(pos), them = 1 - us;
    for (int i = 0; i < n; i++) {
        const Move m = moves[i];
        if (move_from(m) == king) continue;
        const int to = move_to(m);
        int score;
        if (is_promotion(m))
            score = 31000;
        else if (pos.bb[them][0] & square_bit[to])
            score = 30000 + 16 * type_at(pos, to) - 2 * type_at(pos, move_from(m));
        else
            score = history[us][pos.board[move_from(m)] & 7][to] >> 1;
        w.add(m, score);
    }
}

int generate_evasions_stage(const Position& pos, uint32_t* out, const HistoryTable& history) {
    const int us = side_to_move(pos), them = 1 - us;
    const int k = king_square(pos, us);
    const Bitboard occ = occupied(pos);
    ListWriter w{out, 0};
    for (Bitboard b = king_attacks[k] & ~pos.bb[us][0]; b;) {
        const int to = pop_lsb(b);
        const int v = type_at(pos, to);
        w.add(make_move_word(k, to), v ? 30000 + 16 * v - 2 * KING : history[us][KING][to] >> 1);
    }
    Move moves[MAX_MOVES];
    // The checking knight or pawn is found on the board, so a position set up with a check works too.
    const Bitboard knights = knight_attacks[k] & pos.bb[them][KNIGHT];
    const Bitboard pawns = pawn_attacks_from(us, k) & pos.bb[them][PAWN];
    if (knights) {
        add_evasions(pos, w, moves, generate_captures_on(pos, moves, lsb_index(knights)), k, history);
    } else if (pawns) {
        const int sq = lsb_index(pawns);
        add_evasions(pos, w, moves, generate_captures_on(pos, moves, sq), k, history);
        if (pos.ep_mask) {
            const int ep = lsb_index(pos.ep_mask);
            for (Bitboard b = pawn_attacks(them, pos.ep_mask) & pos.bb[us][PAWN]; b;)
                w.add(make_move_word(pop_lsb(b), ep, FLAG_EP), 30000);
        }
    } else {
        const Bitboard diag = pos.bb[them][BISHOP] | pos.bb[them][QUEEN];
        const Bitboard line = pos.bb[them][ROOK] | pos.bb[them][QUEEN];
        for (int pass = 0; pass < 2; pass++) {
            Bitboard sliders = (pass == 0 ? bishop_lines[k] & diag : rook_lines[k] & line);
            while (sliders) {
                const int s = pop_lsb(sliders);
                if (between[s][k] & occ) continue;
                add_evasions(pos, w, moves, generate_captures_on(pos, moves, s), k, history);
                add_evasions(pos, w, moves, generate_quiets_to(pos, moves, between[s][k]), k, history);
            }
        }
    }
    return w.n;
}

// Quiet moves of a piece that uncovers a check when it leaves its line.
void add_discovered(const Position& pos, ListWriter& w, int sq, bool diagonal_line) {
    const int us = side_to_move(pos);
    const Bitboard occ = occupied(pos), empty = ~occ;
    const int t = type_at(pos, sq);
    switch (t) {
        case KING: add_quiet_targets(w, sq, king_attacks[sq] & empty); break;
        case KNIGHT: add_quiet_targets(w, sq, knight_attacks[sq] & empty); break;
        case BISHOP:
            if (!diagonal_line) add_quiet_targets(w, sq, bishop_attacks(sq, occ) & empty);
            break;
        case ROOK:
            if (diagonal_line) add_quiet_targets(w, sq, rook_attacks(sq, occ) & empty);
            break;
        case PAWN: {
            const int fwd = us == WHITE ? 8 : -8;
            const Bitboard one = push(us, square_bit[sq]) & empty;
            if (one & ~LAST_RANKS) w.add(make_move_word(sq, sq + fwd), 0);
            const Bitboard second = us == WHITE ? RANK_2_BB : RANK_7_BB;
            if ((square_bit[sq] & second) && (push(us, one) & empty))
                w.add(make_move_word(sq, sq + 2 * fwd, FLAG_DOUBLE), 0);
            break;
        }
        default: break;  // a queen on the line moves along it or keeps blocking the other kind
    }
}

// Blockers whose every quiet move was listed as a discovered check; skipped by the direct checks
// so that no move appears twice.
Bitboard discovered_checks(const Position& pos, ListWriter& w, int ek) {
    const int us = side_to_move(pos);
    const Bitboard occ = occupied(pos), own = pos.bb[us][0];
    Bitboard done = 0;
    for (int pass = 0; pass < 2; pass++) {
        const bool diagonal = pass == 0;
        Bitboard sliders = diagonal ? bishop_lines[ek] & (pos.bb[us][BISHOP] | pos.bb[us][QUEEN])
                                    : rook_lines[ek] & (pos.bb[us][ROOK] | pos.bb[us][QUEEN]);
        while (sliders) {
            const int s = pop_lsb(sliders);
            const Bitboard b = between[s][ek] & occ;
            if (!b || (b & (b - 1)) || !(b & own)) continue;
            const int blocker = lsb_index(b);
            const int t = type_at(pos, blocker);
            add_discovered(pos, w, blocker, diagonal);
            const bool along = t == QUEEN || t == (diagonal ? BISHOP : ROOK);
            if (!along && t != PAWN) done |= b;
        }
    }
    return done;
}

int generate_quiet_checks_stage(const Position& pos, uint32_t* out) {
    const int us = side_to_move(pos), them = 1 - us;
    const int ek = king_square(pos, them);
    const Bitboard occ = occupied(pos), empty = ~occ;
    ListWriter w{out, 0};
    const Bitboard done = discovered_checks(pos, w, ek);

    const int fwd = us == WHITE ? 8 : -8;
    const Bitboard second = us == WHITE ? RANK_2_BB : RANK_7_BB;
    const Bitboard hits = pawn_attacks_from(them, ek) & ~LAST_RANKS;
    for (Bitboard b = pos.bb[us][PAWN] & pawn_check_origin[them][ek]; b;) {
        const int from = pop_lsb(b);
        const Bitboard one = push(us, square_bit[from]) & empty;
        if (one & hits)
            w.add(make_move_word(from, from + fwd), 0);
        else if ((square_bit[from] & second) && (push(us, one) & empty & hits))
            w.add(make_move_word(from, from + 2 * fwd, FLAG_DOUBLE), 0);
    }
    for (Bitboard b = pos.bb[us][KNIGHT] & ~done; b;) {
        const int from = pop_lsb(b);
        for (Bitboard t = knight_attacks[from] & knight_attacks[ek] & empty; t;)
            w.add(make_move_word(from, pop_lsb(t)), 99);
    }
    const Bitboard diag_checks = bishop_attacks(ek, occ) & empty, line_checks = rook_attacks(ek, occ) & empty;
    for (Bitboard b = (pos.bb[us][BISHOP] | pos.bb[us][QUEEN]) & ~done; b;) {
        const int from = pop_lsb(b);
        const Bitboard reach = type_at(pos, from) == QUEEN ? queen_attacks(from, occ) : bishop_attacks(from, occ);
        add_quiet_targets(w, from, reach & diag_checks);
    }
    for (Bitboard b = (pos.bb[us][ROOK] | pos.bb[us][QUEEN]) & ~done; b;) {
        const int from = pop_lsb(b);
        const Bitboard reach = type_at(pos, from) == QUEEN ? queen_attacks(from, occ) : rook_attacks(from, occ);
        add_quiet_targets(w, from, reach & line_checks);
    }
    return w.n;
}

inline bool was_tried(const MovePicker& p, Move m) {
    for (int i = 0; i < p.tried_count; i++)
        if (p.tried[i] == m) return true;
    return false;
}

inline bool forcing_quiet(MovePicker& p, Move m) {
    return move_flag(m) == FLAG_CASTLE || moves_from_sixth(*p.pos, m) || picker_move_checks(p, m);
}

// Drops the remaining quiet moves that the caller would prune, keeping the order of the others.
void keep_forcing_quiets(MovePicker& p) {
    int n = p.index;
    for (int i = p.index; i < p.count; i++)
        if (forcing_quiet(p, p.entries[i] & 0xFFFF)) p.entries[n++] = p.entries[i];
    p.count = n;
}

// The quiet list is scored and sorted when first read, after the moves the caller would prune are
// dropped.
Move next_quiet(MovePicker& p) {
    if (p.forcing_quiets_only && !p.quiets_filtered) {
        keep_forcing_quiets(p);
        p.quiets_filtered = true;
    }
    if (!p.quiets_sorted) {
        score_quiets(*p.pos, p.entries, p.count, p.depth, *p.history);
        sort_entries(p.entries, p.count);
        p.quiets_sorted = true;
    }
    while (p.index < p.count) {
        const Move m = p.entries[p.index++] & 0xFFFF;
        if (!was_tried(p, m)) return m;
    }
    return 0;
}

// A special move is handed out early only when it is a real move here; a killer must also be
// quiet here, or the capture stage would already have produced it.
bool special_ready(MovePicker& p, Move m, bool killer) {
    if (!m || move_flag(m) == FLAG_EP || was_tried(p, m)) return false;
    if (killer && ((occupied(*p.pos) & square_bit[move_to(m)]) || is_promotion(m))) return false;
    if (!move_is_pseudo_legal(*p.pos, m)) return false;
    p.tried[p.tried_count++] = m;
    return true;
}

}  // namespace

const std::array<std::array<Bitboard, 64>, 2> pawn_check_origin = build_pawn_check_origin();

void picker_init(const Position& pos, MovePicker& p, int mode, Move hash_move, Move killer1, Move killer2, int depth,
                 const HistoryTable& history) {
    p.pos = &pos;
    p.history = &history;
    p.mode = mode;
    p.stage = p.count = p.index = 0;
    p.step = hash_move ? 0 : 1;  // every sequence starts with the hash move's stage
    p.hash_move = hash_move;
    p.killer1 = killer1;
    p.killer2 = killer2;
    p.list = p.entries;
    p.deferred_count = 0;
    p.tried_count = 0;
    p.depth = depth;
    p.quiets_sorted = p.quiets_filtered = false;
    p.forcing_quiets_only = false;
    p.checks_ready = false;
    p.verdict = 1;
    p.capture_targets = ~0ULL;
}

Move picker_next(MovePicker& p) {
    p.verdict = 1;
    for (;;) {
        if (p.stage == STAGE_QUIETS) {
            if (const Move m = next_quiet(p)) return m;
            p.index = p.count;
        }
        while (p.index < p.count) {
            const Move m = p.list[p.index++] & 0xFFFF;
            if (was_tried(p, m)) continue;
            const bool exchange_stage =
                p.stage == STAGE_CAPTURES || p.stage == STAGE_EVASIONS || p.stage == STAGE_QUIET_CHECKS;
            if (exchange_stage && move_flag(m) <= FLAG_DOUBLE) {
                if (see(*p.pos, m) < 0) {
                    p.deferred[p.deferred_count++] = m;
                    continue;
                }
                p.verdict = 0;
            }
            if (p.stage == STAGE_DEFERRED) p.verdict = -1;
            return m;
        }
        p.stage = picker_stage_sequence[p.mode][p.step];
        if (p.stage == STAGE_END) return 0;
        p.step++;
        p.index = p.count = 0;
        p.list = p.entries;
        switch (p.stage) {
            case STAGE_HASH:
                if (special_ready(p, p.hash_move, false)) return p.hash_move;
                break;
            // Killers are compared with the moves already tried, so one equal to the hash move comes once.
            case STAGE_KILLER1:
                if (special_ready(p, p.killer1, true)) return p.killer1;
                break;
            case STAGE_KILLER2:
                if (special_ready(p, p.killer2, true)) return p.killer2;
                break;
            case STAGE_CAPTURES: p.count = generate_captures_stage(*p.pos, p.entries, p.capture_targets); break;
            case STAGE_QUIETS: p.count = generate_quiets_stage(*p.pos, p.entries); break;
            case STAGE_EVASIONS: p.count = generate_evasions_stage(*p.pos, p.entries, *p.history); break;
            case STAGE_QUIET_CHECKS: p.count = generate_quiet_checks_stage(*p.pos, p.entries); break;
            case STAGE_DEFERRED:
                p.list = p.deferred;
                p.count = p.deferred_count;
                break;
            default: return 0;
        }
        if (p.count > 1 && p.list == p.entries && p.stage != STAGE_QUIETS) sort_entries(p.entries, p.count);
    }
}

int count_legal_moves_upto3(Worker& w, const Position& pos) {
    MovePicker p;
    picker_init(pos, p, PICK_EVASIONS, 0, 0, 0, 0, w.history);
    const int us = side_to_move(pos);
    Position child;
    int n = 0;
    for (Move m; n < 3 && (m = picker_next(p));) {
        make_move(pos, child, m);
        count_node(w);
        if (!king_attacked(child, us)) n++;
    }
    return n;
}
