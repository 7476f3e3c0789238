#include "board/position.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

uint64_t zobrist_piece[2][8][64];
uint64_t zobrist_pawn_king[2][8][64];
uint64_t zobrist_castle[16];
uint64_t zobrist_material[2][8];
const int phase_weight[8] = {0, 0, 1, 3, 9, 22, 0, 0};
const PieceSquareTable NO_PIECE_SQUARES = {};

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

// Appends one repair to the notes, "; " between repairs.
static void note_repair(FenNotes* notes, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
static void note_repair(FenNotes* notes, const char* fmt, ...) {
    if (!notes) return;
    char text[96];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(text, sizeof text, fmt, ap);
    va_end(ap);
    const size_t used = strlen(notes->repaired);
    snprintf(notes->repaired + used, sizeof notes->repaired - used, "%s%s", used ? "; " : "", text);
}

// The board field: eight ranks of eight squares, top rank first. False when it is anything else.
static bool read_board(Position& pos, const char*& p) {
    int rank = 7, file = 0;
    for (; *p && *p != ' '; p++) {
        const char c = *p;
        if (c == '/') {
            if (file != 8 || rank == 0) return false;
            rank--, file = 0;
        } else if (c >= '1' && c <= '8') {
            file += c - '0';
            if (file > 8) return false;
        } else if (const int t = piece_type_of_char(c); t && file < 8) {
            put_piece(pos, c >= 'a' ? BLACK : WHITE, t, rank * 8 + file++);
        } else {
            return false;
        }
    }
    return rank == 0 && file == 8;
}

// The rook that one castling letter names on `side`'s first rank, or -1 with the reason it has none.
static int castling_rook(const Position& pos, char c, int side, FenCastling rule, const char*& why) {
    const int base = side == WHITE ? SQ_A1 : SQ_A8;
    const Bitboard rank = 0xFFULL << base, king = pos.bb[side][KING] & rank;
    const int lower = c | 0x20;
    why = "no king on its first rank";
    if (popcount(pos.bb[side][KING]) != 1 || !king) return -1;
    why = "the king is not on its square";
    if (rule == FenCastling::STANDARD && !(king & square_bit[base + 4])) return -1;
    const Bitboard rooks = pos.bb[side][ROOK] & rank;
    int r = -1;
    if (lower == 'k' && (rooks & ~(king | (king - 1))))
        r = msb_index(rooks);
    else if (lower == 'q' && (rooks & (king - 1)))
        r = lsb_index(rooks);
    else if (lower >= 'a' && lower <= 'h' && (rooks & square_bit[base + lower - 'a']))
        r = base + lower - 'a';
    why = "no rook on its square";
    if (r < 0 || (rule == FenCastling::STANDARD && file_of(r) != 0 && file_of(r) != 7)) return -1;
    return r;
}

// The castling field: '-' or letters, each kept when its king and rook stand where it says.
static bool read_castling(Position& pos, const char*& p, FenCastling rule, FenNotes* notes) {
    for (; *p && *p != ' '; p++) {
        const char c = *p;
        if (c == '-') continue;
        const int lower = c | 0x20;
        if (lower != 'k' && lower != 'q' && (lower < 'a' || lower > 'h')) return false;
        const int side = c >= 'a' ? BLACK : WHITE;
        const char* why;
        const int r = castling_rook(pos, c, side, rule, why);
        if (r < 0) {
            note_repair(notes, "castling %c dropped (%s)", c, why);
            continue;
        }
        const int k = king_square(pos, side);
        if (castle_rook(pos, side, r > k) >= 0) {
            note_repair(notes, "castling %c dropped (a second right on one wing)", c);
            continue;
        }
        pos.castle_mask &= ~(square_bit[k] | square_bit[r]);
    }
    return true;
}

// Why an en-passant square of the side to move cannot follow a double step, or nullptr; back leads
// from the target towards the pawn that stepped.
static const char* en_passant_problem(const Position& pos, int target, int back) {
    const int us = side_to_move(pos), them = 1 - us;
    if (rank_of(target) != (us == WHITE ? 5 : 2)) return "not on the rank a double step passes";
    if (pos.board[target - back] != piece_code(them, PAWN)) return "no pawn in front of it";
    if (pos.board[target] || pos.board[target + back]) return "the squares the pawn crossed are not empty";
    return nullptr;
}

// The en-passant field: '-' or a square. A square no double step can have made is dropped; one
// that no pawn of the side to move can capture onto is read but left out of the key, as after make.
static bool read_en_passant(Position& pos, const char* p, FenNotes* notes) {
    if (!*p) return true;
    if (*p == '-') return !p[1] || p[1] == ' ';
    if (p[0] < 'a' || p[0] > 'h' || p[1] < '1' || p[1] > '8' || (p[2] && p[2] != ' ')) return false;
    const int target = (p[1] - '1') * 8 + (p[0] - 'a');
    const int us = side_to_move(pos), step = us == WHITE ? 8 : -8;
    if (const char* why = en_passant_problem(pos, target, step)) {
        note_repair(notes, "en passant %.2s dropped (%s)", p, why);
        return true;
    }
    pos.last_move = make_move_word(target + step, target - step, FLAG_DOUBLE);
    if (beside(square_bit[target - step]) & pos.bb[us][PAWN]) {
        pos.ep_mask = square_bit[target];
        pos.key ^= zobrist_piece[BLACK][0][target];
    }
    return true;
}

bool position_from_fen(Position& pos, const char* text, FenNotes* notes, FenCastling rule, const PieceSquareTable& pst) {
    init_position_tables();
    memset(&pos, 0, sizeof pos);
    pos.castle_mask = BACK_RANKS;
    if (notes) notes->refused = nullptr, notes->repaired[0] = 0;
    auto refuse = [&](const char* why) {
        if (notes) notes->refused = why;
        return false;
    };
    if (!text || !*text) text = START_FEN;
    const char* p = text;
    while (*p == ' ') p++;
    if (!read_board(pos, p)) return refuse("a board field that is not eight ranks of eight squares");
    for (int s = 0; s < 2; s++)
        for (int t = 1; t <= 6; t++) pos.bb[s][0] |= pos.bb[s][t];
    while (*p == ' ') p++;
    if ((*p != 'w' && *p != 'b') || (p[1] && p[1] != ' ')) return refuse("the side to move is not w or b");
    pos.ply = *p++ == 'b';
    while (*p == ' ') p++;
    if (!read_castling(pos, p, rule, notes)) return refuse("a castling letter other than K, Q, k, q, A-H or a-h");
    pos.in_check = side_in_check(pos, side_to_move(pos)) ? 1 : 0;
    pos.key = compute_key(pos);
    pos.pawn_key = compute_pawn_key(pos);
    pos.material_key = compute_material_key(pos);
    pos.phase = int16_t(compute_phase(pos));
    pos.pst = compute_pst(pos, pst);
    while (*p == ' ') p++;
    if (!read_en_passant(pos, p, notes)) return refuse("an en-passant field that is neither a square nor -");
    return true;
}

// A counter field: a number, or the default when it is missing (noted when it is not a number).
static long read_counter(const char* text, long fallback, const char* name, FenNotes* notes) {
    if (!text || !*text) return fallback;
    char* end;
    const long v = strtol(text, &end, 10);
    if (end != text && !*end) return v;
    note_repair(notes, "%s \"%.16s\" read as %ld", name, text, fallback);
    return fallback;
}

void read_fen_counters(Position& pos, const char* halfmove, const char* fullmove, FenNotes* notes) {
    const long half = read_counter(halfmove, 0, "half-move counter", notes);
    const long full = read_counter(fullmove, 1, "move number", notes);
    pos.rule50 = uint16_t(half < 0 ? 0 : (half > FIFTY_MOVE_PLIES ? FIFTY_MOVE_PLIES : half));
    pos.ply = int16_t(2 * ((full < 1 ? 1 : (full > MAX_MOVE_NUMBER ? MAX_MOVE_NUMBER : full)) - 1) + (pos.ply & 1));
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

ScorePair compute_pst(const Position& pos, const PieceSquareTable& pst) {
    ScorePair p = 0;
    for (int s = 0; s < 2; s++)
        for (int t = 1; t <= 6; t++) {
            Bitboard b = pos.bb[s][t];
            while (b) p = pair_add(p, pst[s][t][pop_lsb(b)]);
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
