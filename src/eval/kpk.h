// King and pawn versus king: compiled-in win/draw bitbase.
#pragma once

// 24 pawn slots x 64 strong-king squares x 64 weak-king squares, two bits each.
extern const unsigned char kpk_bitbase[24576];

// True when the side with the pawn wins. Squares are real board squares
// (a1 = 0 .. h8 = 63); strong_side is the pawn's colour (0 white, 1 black).
bool kpk_probe(int strong_side, int strong_king, int pawn, int weak_king, bool strong_to_move);

// Raw table bit in the stored frame: pawn walking toward rank 1 on files a-d,
// p_index = 4 * (rank - 1) + file with the 0-based rank 1..6.
bool kpk_lookup_frame(int p_index, int strong_king, int weak_king, bool strong_to_move);
