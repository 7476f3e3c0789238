// Static exchange and threat helpers.
#pragma once
#include "board/position.h"

// -1 when the move loses material in the exchange on its destination, else 0.
int see(const Position& pos, Move m);
// Exchange result for the first capturer (side_flag 0: side to move first, 1: the other side).
int exchange_value(const Position& pos, Move m, int side_flag);
int threat_on_square(const Position& pos, int square);
int last_move_threat(const Position& pos);
// The most the side to move stands to lose to a threat (threat units; 15 for an enemy pawn on its
// seventh). The scan may stop early once the loss found is above `limit`, returning that loss.
int largest_threat_above(const Position& pos, int limit);
inline int largest_threat(const Position& pos) { return largest_threat_above(pos, 1 << 30); }

// Exchange values by type (none, pawn .. king, 7 = the piece stays on its square).
extern const int exchange_piece_value[8];
// Threat values, same layout.
extern const int threat_piece_value[8];
