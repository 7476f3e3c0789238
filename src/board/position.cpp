#include "board/position.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

uint64_t zobrist_piece[2][8][64];
uint64_t zobrist_pawn_king[2][8][64];
uint64_t zobrist_castle[16];
uint64_t zobrist_material[2][8];
const int phase_weight[8] = {0, 0, 1, 3, 9, 22, 0, 0};
ScorePair pst_table[2][8][64];

static uint64_t splitmix(uint64_t& s) {
    uint64_t z = (s += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

void init_position_tables() {
    static bool done = false;
    if (done) return;
    done = true;
    init_bitboards();
    uint64_t seed = 0x51A7C0DE2026ULL;
    for (int c = 0; c < 2; c++)
        for (int k = 0; k < 8; k++)
            for (int s = 0; s < 64; s++) zobrist_piece[c][k][s] = (k == 7) ? 0 : splitmix(seed);
    for (int c = 0; c < 2; c++)
        for (int s = 0; s < 64; s++) {
            zobrist_pawn_king[c][PAWN][s] = splitmix(seed);
            zobrist_pawn_king[c][KING][s] = splitmix(seed);
        }
    for (int r = 0; r < 16; r++) zobrist_castle[r] = splitmix(seed);
    for (int c = 0; c < 2; c++)
        for (int k = PAWN; k <= QUEEN; k++) zobrist_material[c][k] = splitmix(seed);
}

static void put_piece(Position& pos, int side, int type, int sq) {
    pos.board[sq] = uint8_t(piece_code(side, type));
    pos.bb[side][type] |= 1ULL << sq;
}

static int piece_type_of_char(char c) {
    switch (c | 0x20) {
        case 'p': return PAWN;
        case 'n': return KNIGHT;
        case 'b': return BISHOP;
        case 'r': return ROOK;
        case 'q': return QUEEN;
        case 'k': return KING;
        default: return 0;
    }
}

static int msb_index(Bitboard b) { return 63 - __builtin_clzll(b); }

// Clears the homes of the king and of the rook that one castling letter names.
static const char* read_castling_letter(Position& pos, char c) {
    const int side = (c >= 'a') ? BLACK : WHITE, base = side == WHITE ? SQ_A1 : SQ_A8;
    const Bitboard rank = 0xFFULL << base, king = pos.bb[side][KING] & rank;
    if (popcount(pos.bb[side][KING]) != 1 || !king) return "castling without the king on its first rank";
    const int k = lsb_index(king), lower = c | 0x20;
    const Bitboard rooks = pos.bb[side][ROOK] & rank;
    int r = -1;
    if (lower == 'k' && (rooks & ~(king | (king - 1))))
        r = msb_index(rooks);
    else if (lower == 'q' && (rooks & (king - 1)))
        r = lsb_index(rooks);
    else if (lower >= 'a' && lower <= 'h' && (rooks & square_bit[base + lower - 'a']))
        r = base + lower - 'a';
    if (r < 0) return "castling letter without its rook";
    if (castle_rook(pos, side, r > k) >= 0) return "two castling rights on one wing";
    pos.castle_mask &= ~(square_bit[k] | square_bit[r]);
    return nullptr;
}

const char* position_from_fen(Position& pos, const char* text) {
    init_position_tables();
    memset(&pos, 0, sizeof pos);
    pos.prev = nullptr;
    pos.castle_mask = BACK_RANKS;
    pos.ply = -1;

    char buf[FEN_BUFFER];
    if (!text || !*text) text = START_FEN;
    strncpy(buf, text, FEN_BUFFER - 2);
    buf[FEN_BUFFER - 2] = 0;

    const char* p = buf;
    int i = 0;
    for (; *p && *p != ' '; p++) {
        char c = *p;
        if (c >= '0' && c <= '9') {
            i += c - '0';
        } else if (c == '/') {
            i = (i + 7) & ~7;
        } else {
            int t = piece_type_of_char(c);
            // Squares past the board are dropped rather than written out of bounds.
            if (t && i >= 0 && i < 64) put_piece(pos, (c >= 'a') ? BLACK : WHITE, t, i ^ 56);
            i++;
        }
    }
    for (int s = 0; s < 2; s++)
        for (int t = 1; t <= 6; t++) pos.bb[s][0] |= pos.bb[s][t];

    char ctm = *p ? p[1] : 0;
    if (ctm == 'w') {
        pos.ply = 0;
    } else if (ctm == 'b') {
        pos.ply = 1;
    } else {
        return nullptr;  // no side to move: ply stays -1 for the caller to refuse
    }
    p += 2;
    if (*p == ' ') p++;
    const char* castling = nullptr;
    for (; *p && *p != ' '; p++)
        if (*p != '-' && !castling) castling = read_castling_letter(pos, *p);
    pos.in_check = side_in_check(pos, pos.ply & 1) ? 1 : 0;
    pos.key = compute_key(pos);
    pos.pawn_key = compute_pawn_key(pos);
    pos.material_key = compute_material_key(pos);

    while (*p == ' ') p++;
    if (*p == '-' || !*p || p[0] < 'a' || p[0] > 'h' || p[1] < '1' || p[1] > '8') return castling;
    int f = p[0] - 'a';
    int target, step_to, step_from;
    if (p[1] == '3') {
        target = 16 + f;
        step_from = 8 + f;
        step_to = 24 + f;
    } else {
        target = (p[1] - '1') * 8 + f;
        // A target on the top rank would put the step off the board; clamp to keep squares valid.
        if (target + 8 > 63 || target - 8 < 0) return castling;
        step_from = target + 8;
        step_to = target - 8;
    }
    pos.last_move = make_move_word(step_from, step_to, FLAG_DOUBLE);
    int us = pos.ply & 1;
    Bitboard beside = ((square_bit[step_to] << 1) & NOT_FILE_A) | ((square_bit[step_to] >> 1) & NOT_FILE_H);
    if (beside & pos.bb[us][PAWN]) {
        pos.ep_mask = square_bit[target];
        pos.key ^= zobrist_piece[BLACK][0][target];
    }
    return castling;
}

Bitboard attacked_by(const Position& pos, int them) {
    Bitboard occ = occupied(pos);
    Bitboard a = pawn_attacks(them, pos.bb[them][PAWN]);
    Bitboard b = pos.bb[them][KNIGHT];
    while (b) a |= knight_attacks[pop_lsb(b)];
    b = pos.bb[them][BISHOP] | pos.bb[them][QUEEN];
    while (b) a |= bishop_attacks(pop_lsb(b), occ);
    b = pos.bb[them][ROOK] | pos.bb[them][QUEEN];
    while (b) a |= rook_attacks(pop_lsb(b), occ);
    b = pos.bb[them][KING];
    while (b) a |= king_attacks[pop_lsb(b)];
    return a;
}

Bitboard attackers_to(const Position& pos, int sq, int by, Bitboard occ) {
    return (knight_attacks[sq] & pos.bb[by][KNIGHT]) | (king_attacks[sq] & pos.bb[by][KING]) |
           (pawn_attacks_from(1 - by, sq) & pos.bb[by][PAWN]) |
           (bishop_attacks(sq, occ) & (pos.bb[by][BISHOP] | pos.bb[by][QUEEN])) |
           (rook_attacks(sq, occ) & (pos.bb[by][ROOK] | pos.bb[by][QUEEN]));
}

bool side_in_check(const Position& pos, int side) {
    return (attacked_by(pos, 1 - side) & pos.bb[side][KING]) != 0;
}

uint64_t compute_key(const Position& pos) {
    uint64_t k = zobrist_piece[WHITE][0][pos.ply & 1];
    for (int s = 0; s < 2; s++)
        for (int t = 1; t <= 6; t++) {
            Bitboard b = pos.bb[s][t];
            while (b) k ^= zobrist_piece[s][t][pop_lsb(b)];
        }
    k ^= zobrist_castle[castle_rights(pos)];
    if (pos.ep_mask) k ^= zobrist_piece[BLACK][0][lsb_index(pos.ep_mask)];
    return k;
}

uint64_t compute_pawn_key(const Position& pos) {
    uint64_t k = 0;
    for (int s = 0; s < 2; s++)
        for (int t : {PAWN, KING}) {
            Bitboard b = pos.bb[s][t];
            while (b) k ^= zobrist_pawn_king[s][t][pop_lsb(b)];
        }
    return k;
}

uint64_t compute_material_key(const Position& pos) {
    uint64_t k = 0;
    for (int s = 0; s < 2; s++)
        for (int t = PAWN; t <= QUEEN; t++) k += uint64_t(popcount(pos.bb[s][t])) * zobrist_material[s][t];
    return k;
}

ScorePair compute_pst(const Position& pos) {
    ScorePair p = 0;
    for (int s = 0; s < 2; s++)
        for (int t = 1; t <= 6; t++) {
            Bitboard b = pos.bb[s][t];
            while (b) p = pair_add(p, pst_table[s][t][pop_lsb(b)]);
        }
    return p;
}

int compute_phase(const Position& pos) {
    int ph = 0;
    for (int s = 0; s < 2; s++)
        for (int t = 1; t <= 6; t++) ph += phase_weight[t] * popcount(pos.bb[s][t]);
    return ph;
}

const char* position_problem(const Position& pos) {
    if (popcount(pos.bb[WHITE][KING]) != 1) return "white must have exactly one king";
    if (popcount(pos.bb[BLACK][KING]) != 1) return "black must have exactly one king";
    if ((pos.bb[WHITE][PAWN] | pos.bb[BLACK][PAWN]) & 0xFF000000000000FFULL) return "pawn on the first or last rank";
    // The evaluation's tables stop at a full army: eight pawns, sixteen men.
    for (int side = 0; side < 2; side++) {
        if (popcount(pos.bb[side][PAWN]) > 8) return "more than eight pawns on a side";
        if (popcount(pos.bb[side][0]) > 16) return "more than sixteen men on a side";
    }
    if (side_in_check(pos, 1 - (pos.ply & 1))) return "the side not to move is in check";
    return nullptr;
}

// KQkq for the outermost rooks, the rook's file otherwise (X-FEN); returns the letters written.
static int castling_text(const Position& pos, char* out) {
    int n = 0;
    for (int side = 0; side < 2; side++)
        for (int king_side = 1; king_side >= 0; king_side--) {
            const int r = castle_rook(pos, side, king_side);
            if (r < 0) continue;
            const Bitboard rooks = pos.bb[side][ROOK] & (0xFFULL << (r & 56));
            const int outer = king_side ? msb_index(rooks) : lsb_index(rooks);
            const char c = r == outer ? (king_side ? 'K' : 'Q') : char('A' + file_of(r));
            out[n++] = side == WHITE ? c : char(c | 0x20);
        }
    return n;
}

void position_to_fen(const Position& pos, char* out, int size) {
    static const char letters[] = " pnbrqk";
    char buf[128];
    int n = 0;
    for (int r = 7; r >= 0; r--) {
        int empty = 0;
        for (int f = 0; f < 8; f++) {
            int c = pos.board[r * 8 + f];
            if (!c) {
                empty++;
                continue;
            }
            if (empty) buf[n++] = char('0' + empty), empty = 0;
            char l = letters[c & 7];
            buf[n++] = (c & 16) ? char(l - 32) : l;
        }
        if (empty) buf[n++] = char('0' + empty);
        if (r) buf[n++] = '/';
    }
    buf[n++] = ' ';
    buf[n++] = (pos.ply & 1) ? 'b' : 'w';
    buf[n++] = ' ';
    int before = n;
    n += castling_text(pos, buf + n);
    if (n == before) buf[n++] = '-';
    buf[n++] = ' ';
    if (pos.ep_mask) {
        int t = lsb_index(pos.ep_mask);
        buf[n++] = char('a' + file_of(t));
        buf[n++] = char('1' + rank_of(t));
    } else {
        buf[n++] = '-';
    }
    buf[n] = 0;
    snprintf(out, size_t(size), "%s", buf);
}
