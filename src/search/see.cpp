// Placeholder until the exchange helpers land.
#include "search/see.h"

int see(const Position&, Move) { return 0; }
int exchange_value(const Position&, Move, int) { return 0; }
int threat_on_square(const Position&, int) { return 0; }
int last_move_threat(const Position&) { return 0; }
int largest_threat(const Position&) { return 0; }
