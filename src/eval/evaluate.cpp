#include "eval/evaluate.h"

#include <array>
#include <cstring>

#include "eval/material.h"
#include "eval/params.h"
#include "eval/pawns.h"
#include "eval/tables.h"
#include "board/see.h"

void eval_tables_clear(EvalTables& t) {
    memset(t.cache, 0, sizeof t.cache);
    pawn_table_clear(t.pawns);
    material_table_clear(t.material);
}

void eval_tables_use_bonus(EvalTables& t, ScorePair hmb) {
    if (t.bonus_built && t.bonus_weight == hmb) return;
    for (int p = 0; p <= MAX_PHASE; p++) {
        const int v = pair_end(hmb) * (MAX_PHASE - p) + pair_open(hmb) * p;
        t.side_to_move_bonus[p] = (v + (v < 0 ? -48 : 48)) / 96;
    }
    if (t.bonus_built) memset(t.cache, 0, sizeof t.cache);
    t.bonus_weight = hmb;
    t.bonus_built = true;
}

namespace {

constexpr Bitboard DARK_SQUARES = 0xAA55AA55AA55AA55ULL;  // a1 is dark
constexpr Bitboard WHITE_CENTRE = 0x00003C3C3C000000ULL;  // c4-f6
constexpr Bitboard BLACK_CENTRE = 0x0000003C3C3C0000ULL;  // c3-f5
constexpr Bitboard UPPER_HALF = 0xFFFFFFFF00000000ULL;

// Danger a king starts with on each square, white king's view (a1 first).
constexpr int initial_danger[64] = {
    1, 0, 1, 3, 3, 1, 0, 1,  //
    1, 1, 2, 4, 4, 2, 1, 1,  //
    4, 5, 6, 6, 6, 6, 6, 4,  //
    8, 8, 8, 8, 8, 8, 8, 8,  //
    8, 8, 8, 8, 8, 8, 8, 8,  //
    8, 8, 8, 8, 8, 8, 8, 8,  //
    8, 8, 8, 8, 8, 8, 8, 8,  //
    8, 8, 8, 8, 8, 8, 8, 8,
};

// 1000 * sqrt(n), rounded.
constexpr int root_scale[22] = {0,    1000, 1414, 1732, 2000, 2236, 2449, 2646, 2828, 3000, 3162,
                                3317, 3464, 3606, 3742, 3873, 4000, 4123, 4243, 4359, 4472, 4583};

// The squares of sq's colour: a table, since the bishop loop asks for it once per bishop.
constexpr std::array<Bitboard, 64> build_colour_table() {
    std::array<Bitboard, 64> t{};
    for (int sq = 0; sq < 64; sq++) t[sq] = (DARK_SQUARES >> sq) & 1 ? DARK_SQUARES : ~DARK_SQUARES;
    return t;
}
constexpr std::array<Bitboard, 64> colour_table = build_colour_table();
inline Bitboard colour_squares(int sq) { return colour_table[sq]; }

inline int clamp_index(int n, int size) { return n < size ? n : size - 1; }
// A side has at most eight pawns and sixteen men (positions with more are refused), so counts of
// its pawns, or of the squares in front of them, index a count table directly, and counts of its
// men a wide one; only sums and the king danger need clamp_index.
static_assert(COUNT_TABLE > 8 && WIDE_COUNT_TABLE > 16, "count tables reach the largest counts");

struct SideState {
    ScorePair acc;
    int king;
    const MaterialSide* count;  // this side's piece counts, from the material entry
    Bitboard patt, natt, batt, ratt, qatt, katt;
    int danger;

    Bitboard attacks_without_king() const { return patt | natt | batt | ratt | qatt; }
};

struct Evaluator {
    Position& pos;
    const Bitboard occ;
    SideState st[2];

    explicit Evaluator(Position& p) : pos(p), occ(occupied(p)) {}

    void add(int side, ScorePair v) { st[side].acc = pair_add(st[side].acc, v); }

    template <int us>
    void setup(const PawnEntry& pawns, const MaterialSide& m) {
        SideState& s = st[us];
        const Bitboard* own = pos.bb[us];
        s.acc = 0;
        s.king = lsb_index(own[KING]);
        s.count = &m;
        // The piece terms need the other side's pawn and knight attacks; they fill in the sliders'.
        s.patt = pawns.attacks[us];
        s.natt = s.batt = s.ratt = s.qatt = 0;
        for (Bitboard x = own[KNIGHT]; x;) s.natt |= knight_attacks[pop_lsb(x)];
        s.katt = king_attacks[s.king];
    }

    void castling_and_rooks() {
        const Bitboard m = pos.castle_mask;
        auto clear = [m](int a, int b) { return !(m & square_bit[a]) && !(m & square_bit[b]); };
        if (clear(SQ_E1, SQ_H1)) add(WHITE, eval_weights.krights);
        if (clear(SQ_A1, SQ_E1)) add(WHITE, eval_weights.qrights);
        if (clear(SQ_E8, SQ_H8)) add(BLACK, eval_weights.krights);
        if (clear(SQ_A8, SQ_E8)) add(BLACK, eval_weights.qrights);
        // f1/g1 king, rook on g1, h1, g2 or h2 (and the black mirror).
        if ((pos.bb[WHITE][KING] & 0x60ULL) && (pos.bb[WHITE][ROOK] & 0xC0C0ULL)) add(WHITE, eval_weights.hemrook);
        if ((pos.bb[BLACK][KING] & 0x6000000000000000ULL) && (pos.bb[BLACK][ROOK] & 0xC0C0000000000000ULL))
            add(BLACK, eval_weights.hemrook);
    }

    // The side is a template argument: every "white or black" choice below is made by the compiler.
    template <int us>
    void pieces();
    template <int us>
    void threats();
    template <int us>
    void outposts(Bitboard enemy_span);
    template <int us>
    void passers(Bitboard passed);
};

// Whether the queen moving from `from` to `to`, next to the enemy king, loses nothing in the
// exchange there (see == 0). The king always defends the square, so the common cases are settled
// from attacker sets alone; the rest go to the exchange evaluator.
template <int us>
bool queen_contact_holds(const Position& pos, int from, int to, Bitboard occ) {
    const int them = 1 - us;
    const Bitboard* own = pos.bb[us];
    const Bitboard* enemy = pos.bb[them];
    if ((pos.board[to] & 7) == QUEEN) return true;  // an even trade at worst
    const Bitboard leapers = (pawn_attacks_from(them, to) & own[PAWN]) | (knight_attacks[to] & own[KNIGHT]);
    const Bitboard aligned = ((bishop_lines[to] & (own[BISHOP] | own[QUEEN])) | (rook_lines[to] & (own[ROOK] | own[QUEEN]))) &
                             ~square_bit[from];
    const Bitboard own_king = king_attacks[to] & own[KING];
    if (!(leapers | aligned | own_king)) return false;  // nothing can ever retake

    // Once the king has taken, its square is empty too.
    const Bitboard o = occ & ~square_bit[from] & ~square_bit[to] & ~enemy[KING];
    const Bitboard diag = bishop_attacks(to, o), line = rook_attacks(to, o);
    const Bitboard defenders = ((pawn_attacks_from(us, to) & enemy[PAWN]) | (knight_attacks[to] & enemy[KNIGHT]) |
                                (diag & (enemy[BISHOP] | enemy[QUEEN])) | (line & (enemy[ROOK] | enemy[QUEEN]))) &
                               o;
    if (!defenders) {
        const Bitboard support = (leapers | (diag & (own[BISHOP] | own[QUEEN])) | (line & (own[ROOK] | own[QUEEN]))) & o;
        if (support) return true;      // the king cannot take
        if (!own_king) return false;   // the king takes for free
    }
    return see(pos, make_move_word(from, to)) == 0;
}

template <int us>
void Evaluator::pieces() {
    const int them = 1 - us;
    SideState& me = st[us];
    const SideState& en = st[them];
    const Bitboard* own = pos.bb[us];
    const Bitboard* enemy = pos.bb[them];
    const int ek = en.king;
    const Bitboard zone = king_attacks[ek];
    int danger = initial_danger[us == WHITE ? ek ^ 56 : ek];
    int queen_checks = 0;

    const Bitboard enemy_pieces = enemy[0] & ~enemy[PAWN];
    const Bitboard minor_unsafe = en.patt & ~enemy_pieces;
    const Bitboard major_unsafe = (en.patt | en.natt) & ~enemy_pieces;
    const Bitboard safe_check = ~own[0] & ~enemy[KING] & ~(en.patt & ~enemy[0]);
    const Bitboard knight_checks = knight_attacks[ek] & safe_check;
    const Bitboard diag_checks = bishop_attacks(ek, occ) & safe_check;
    const Bitboard line_checks = rook_attacks(ek, occ) & safe_check;

    // Bishops aiming at the king through nothing but enemy knights.
    for (Bitboard b = own[BISHOP] & bishop_lines[ek]; b;) {
        const int s = pop_lsb(b);
        if (!(between[s][ek] & occ & ~enemy[KNIGHT])) add(us, eval_weights.pin);
    }

    for (Bitboard b = own[KNIGHT]; b;) {
        const int s = pop_lsb(b);
        const Bitboard a = knight_attacks[s];
        if (a & zone) danger += 4;
        add(us, knight_king_distance[square_distance(s, me.king)]);
        const Bitboard mob = a & ~own[PAWN] & ~minor_unsafe;
        add(us, knight_mobility[popcount(mob) + popcount(mob & ranks_ahead(us, s))]);
        danger += 4 * popcount(a & knight_checks);
    }

    const int bishops = me.count->bishops;
    // Enemy knights in the enemy half three ranks straight ahead of or behind a bishop.
    const Bitboard far_knights = enemy[KNIGHT] & (us == WHITE ? UPPER_HALF : ~UPPER_HALF);
    const Bitboard knight_opposed = (far_knights >> 24) | (far_knights << 24);
    for (Bitboard b = own[BISHOP]; b;) {
        const int s = pop_lsb(b);
        const Bitboard a = bishop_attacks(s, occ);
        me.batt |= a;
        if (a & zone) danger += 2;
        add(us, bishop_mobility[popcount(a & ~own[PAWN] & ~minor_unsafe)]);
        const Bitboard colour = colour_squares(s);
        const int same = popcount(own[PAWN] & colour);
        add(us, pair_mul(bishop_same_colour_pawns[same], 2));
        add(us, bishop_other_colour_pawns[me.count->pawns - same]);
        if (bishops >= 2 && !(enemy[BISHOP] & colour)) add(us, bishop_same_colour_pawns[same]);
        danger += 3 * popcount(a & diag_checks);
        if (knight_opposed & square_bit[s]) add(us, eval_weights.bnopp);
    }

    if (rank_of(ek) == (us == WHITE ? 7 : 0))
        add(us, pair_mul(eval_weights.rook7th, popcount(own[ROOK] & relative_rank_mask[6][us])));
    for (Bitboard b = own[ROOK] & file_through(ek); b;)
        if (!(between[pop_lsb(b)][ek] & own[PAWN])) danger += 2;
    const ScorePair rook_file[4] = {eval_weights.ropen, eval_weights.rhalf, eval_weights.rquarter, 0};
    for (Bitboard b = own[ROOK]; b;) {
        const int s = pop_lsb(b);
        const Bitboard a = rook_attacks(s, occ);
        me.ratt |= a;
        if (a & zone) danger += 2;
        // Open, half-open or guarded by an enemy pawn, or none of them (an own pawn on the file),
        // chosen without branches: which one a rook meets is as good as random.
        const Bitboard file = file_through(s);
        const int enemy_pawn = (file & enemy[PAWN]) != 0, guarded = (file & enemy[PAWN] & en.patt) != 0;
        add(us, rook_file[(file & own[PAWN]) ? 3 : enemy_pawn + guarded]);
        add(us, rook_mobility[popcount(a & ~own[PAWN] & ~major_unsafe)]);
        danger += 3 * popcount(a & line_checks);
    }

    for (Bitboard b = own[QUEEN]; b;) {
        const int s = pop_lsb(b);
        const Bitboard a = queen_attacks(s, occ);
        me.qatt |= a;
        add(us, queen_mobility[popcount(a & ~own[PAWN] & ~major_unsafe)]);
        if (a & zone) danger += 2;
        const Bitboard checks = a & (diag_checks | line_checks);
        queen_checks += 3 * popcount(checks & ~zone);
        // Contact checks are worth much more when the queen survives there (loses nothing).
        for (Bitboard c = checks & zone; c;) {
            const int t = pop_lsb(c);
            queen_checks += queen_contact_holds<us>(pos, s, t, occ) ? 10 : 1;
        }
    }

    danger += queen_checks < 25 ? queen_checks : 25;
    add(us, king_safety[clamp_index(danger, KING_SAFETY_ENTRIES)]);
    me.danger = danger;
    pos.king_danger[us] = uint16_t(danger);
}

template <int us>
void Evaluator::threats() {
    const int them = 1 - us;
    const SideState& me = st[us];
    const SideState& en = st[them];
    const Bitboard* e = pos.bb[them];
    const Bitboard up = ((me.natt | me.batt) & (e[ROOK] | e[QUEEN])) | (me.ratt & e[QUEEN]) |
                        (me.patt & e[0] & ~e[PAWN]);
    const Bitboard undefended = e[0] & ~(en.attacks_without_king() | en.katt);
    const Bitboard loose = undefended & ((me.batt & (e[KNIGHT] | e[PAWN])) | (me.natt & (e[BISHOP] | e[PAWN])) |
                                         (me.ratt & (e[KNIGHT] | e[BISHOP] | e[PAWN])) |
                                         (me.qatt & ~e[QUEEN]) | me.katt);
    add(us, up_threat_count[clamp_index(popcount(up) + popcount(loose), WIDE_COUNT_TABLE)]);
    const Bitboard piece_defended = en.attacks_without_king() & ~en.patt;
    add(us, ga_threat_count[popcount(e[0] & me.attacks_without_king() & piece_defended)]);
}

template <int us>
void Evaluator::outposts(Bitboard enemy_span) {
    const int them = 1 - us;
    const SideState& me = st[us];
    const Bitboard* own = pos.bb[us];
    const Bitboard* enemy = pos.bb[them];
    const Bitboard never_attackable = ~enemy_span;

    const Bitboard strong = own[KNIGHT] & (us == WHITE ? WHITE_CENTRE : BLACK_CENTRE) & me.patt & never_attackable;
    add(us, outsq_count[popcount(strong)]);
    if (!enemy[KNIGHT])
        for (Bitboard b = strong; b;)
            if (!(enemy[BISHOP] & colour_squares(pop_lsb(b)))) add(us, eval_weights.eternal);
    add(us, nblockade_count[popcount(own[KNIGHT] & push(them, enemy[PAWN]) & never_attackable)]);
    add(us, outpost_count[popcount((own[KNIGHT] | own[BISHOP] | own[ROOK]) & never_attackable)]);

    const Bitboard blocked_enemy = enemy[PAWN] & push(us, occ);
    add(us, pmob_count[popcount(blocked_enemy)]);
    const Bitboard their_second = us == WHITE ? RANK_7_BB : RANK_2_BB;
    const Bitboard files = file_of(st[them].king) >= 4 ? 0x1E1E1E1E1E1E1E1EULL : 0x7878787878787878ULL;
    add(us, pdev_count[popcount(blocked_enemy & their_second & files)]);
    add(us, minorbehind_count[popcount((own[KNIGHT] | own[BISHOP]) & push(them, own[PAWN]))]);
    if (push(us, own[KING]) & own[BISHOP]) add(us, eval_weights.binfrontk);
}

// True when a rook or queen of the set stands behind the pawn on its file with only such pieces between.
inline bool backs_up_path(Bitboard heavy_behind, Bitboard heavy, int pawn, Bitboard occ) {
    if (!heavy_behind) return false;
    return !(between[lsb_index(heavy_behind)][pawn] & occ & ~heavy);
}

template <int us>
void Evaluator::passers(Bitboard passed) {
    const int them = 1 - us;
    const SideState& me = st[us];
    const SideState& en = st[them];
    const Bitboard* own = pos.bb[us];
    const Bitboard* enemy = pos.bb[them];
    for (Bitboard b = passed; b;) {
        const int s = pop_lsb(b);
        const Bitboard bit = square_bit[s];
        const int i = us == WHITE ? rank_of(s) - 1 : 6 - rank_of(s);
        const int ahead = us == WHITE ? s + 8 : s - 8;
        add(us, base_passed[i]);
        if (i >= 2) {
            add(us, own_king_passer[i][square_distance(me.king, ahead)]);
            add(us, enemy_king_passer[i][square_distance(en.king, ahead)]);
            const int promo = (us == WHITE ? 56 : 0) + file_of(s);
            if (square_distance(me.king, promo) <= 1) add(us, eval_weights.reKinFront);
            if (square_distance(en.king, promo) <= 1) add(them, eval_weights.reKinFront);
        }
        const Bitboard behind = file_ahead(them, s);
        if (i >= 3) {
            if (behind & own[ROOK]) add(us, eval_weights.reRookBehind);
            if (behind & enemy[ROOK]) add(them, eval_weights.reRookBehind);
        }
        if (occ & square_bit[ahead]) continue;

        const Bitboard path = file_ahead(us, s);
        const Bitboard enemy_heavy = enemy[ROOK] | enemy[QUEEN], own_heavy = own[ROOK] | own[QUEEN];
        Bitboard attacked = path & (enemy[0] | en.attacks_without_king());
        if (backs_up_path(behind & enemy_heavy, enemy_heavy, s, occ)) attacked = path;
        Bitboard defended = path & (own[0] | me.attacks_without_king());
        if (backs_up_path(behind & own_heavy, own_heavy, s, occ)) defended = path;

        if ((beside(bit) | push(them, bit)) & own[PAWN]) add(us, protected_passed[i]);
        if (!attacked)
            add(us, defended == path ? path_clear_protected[i] : path_clear_unprotected[i]);
        else
            add(us, (attacked & ~defended) ? path_unprotected[i] : path_protected[i]);
        if (!(path & own[0])) add(us, path_open_friendly[i]);
    }
}

// score * s / 1000, halves rounded away from zero.
inline int64_t apply_scale(int64_t score, int s) {
    const int64_t v = score * s;
    return (v + (v < 0 ? -500 : 500)) / 1000;
}

int evaluate_full(Position& pos, EvalTables& t) {
    const MaterialEntry& mat = probe_material(pos, t.material);
    if (mat.evaluator) {
        const int v = mat.evaluator(pos);
        return (pos.ply & 1) ? -v : v;
    }
    const int scale = mat.scale, bonus = mat.bonus;
    const MaterialSide& wm = mat.side[WHITE];
    const MaterialSide& bm = mat.side[BLACK];

    Evaluator ev(pos);
    const PawnEntry* entry = nullptr;
    const ScorePair pawns = evaluatePawns(pos, t.pawns, entry);
    ev.setup<WHITE>(*entry, wm);
    ev.setup<BLACK>(*entry, bm);
    ev.castling_and_rooks();
    ev.pieces<WHITE>();
    ev.pieces<BLACK>();
    ev.threats<WHITE>();
    ev.threats<BLACK>();
    ev.outposts<WHITE>(entry->span[BLACK]);
    ev.outposts<BLACK>(entry->span[WHITE]);
    ev.passers<WHITE>(entry->passed[WHITE]);
    ev.passers<BLACK>(entry->passed[BLACK]);
    const SideState& w = ev.st[WHITE];
    const SideState& b = ev.st[BLACK];

    const ScorePair total = pair_add(pair_add(pair_sub(pair_add(pawns, w.acc), b.acc), pos.pst), mat.terms);
    const int p = pos.phase < MAX_PHASE ? pos.phase : MAX_PHASE;
    int64_t score = int64_t(MAX_PHASE - p) * pair_end(total) + int64_t(MAX_PHASE) * bonus + int64_t(p) * pair_open(total);

    const int lead = score >= 0 ? WHITE : BLACK;
    bool bishop_scaled = false;
    const Bitboard bishops = pos.bb[WHITE][BISHOP] | pos.bb[BLACK][BISHOP];
    if ((wm.material & 7) == 4 && (bm.material & 7) == 4 && (bishops & DARK_SQUARES) && (bishops & ~DARK_SQUARES)) {
        if (wm.material == 28 && bm.material == 28) {
            const int n = mat.side[lead].pawns - 2 + passer_count(*entry, lead);
            score = apply_scale(score, (root_scale[n > 0 ? n : 0] + 2) / 5);
            bishop_scaled = true;
        } else if (pos.phase <= 55) {
            score = apply_scale(score, 900);
            bishop_scaled = true;
        }
    }
    if (bishop_scaled) {
        if (scale != 1000) score = apply_scale(score, scale);
    } else if (scale != 1000) {
        score = apply_scale(score, scale);
    } else if (wm.pieces + bm.pieces > 0 || !(wm.pawns + bm.pawns)) {
        if (wm.pawns + bm.pawns) {
            static const int by_pawns[5] = {400, 550, 700, 800, 900};
            const int lead_pawns = mat.side[lead].pawns;
            if (lead_pawns < 5) score = apply_scale(score, by_pawns[lead_pawns]);
        } else {
            int d = (wm.material - 4 * wm.bishops) / 8 - (bm.material - 4 * bm.bishops) / 8;
            d = d < 0 ? -d : d;
            score = apply_scale(score, d < 3 ? 100 : d == 3 ? 200 : 400);
        }
    } else {
        score = apply_scale(score, 1300);  // kings and pawns only
    }

    int result = int((score + (score < 0 ? -48 : 48)) / 96);
    if (pos.ply & 1) result = -result;
    result += t.side_to_move_bonus[p];
    result = (result + (result < 0 ? -5 : 5)) / 10;

    EvalCacheEntry& c = t.cache[uint32_t(pos.key) & (EVAL_CACHE_SIZE - 1)];
    c.key = pos.key;
    c.score = result;
    c.king_danger[WHITE] = pos.king_danger[WHITE];
    c.king_danger[BLACK] = pos.king_danger[BLACK];
    return result;
}

}  // namespace

int evaluate_uncached(Position& pos, EvalTables& t) {
    fill_material_entry(pos, material_slot(t.material, pos.material_key));
    return evaluate_full(pos, t);
}

int evaluate(Position& pos, EvalTables& t) {
    const EvalCacheEntry& c = t.cache[uint32_t(pos.key) & (EVAL_CACHE_SIZE - 1)];
    if (c.key == pos.key) {
        pos.king_danger[WHITE] = c.king_danger[WHITE];
        pos.king_danger[BLACK] = c.king_danger[BLACK];
        return c.score;
    }
    return evaluate_full(pos, t);
}
