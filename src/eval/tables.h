// Tables derived from the evaluation parameters.
#pragma once

// Rebuilds every derived table (and the piece-square table) and empties the hash and pawn tables.
void buildEvalTables();
