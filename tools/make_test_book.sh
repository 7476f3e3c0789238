#!/bin/sh
# Rebuilds tests/data/book_games.bin, the book-reader test's independently written book, from
# tests/data/book_games.pgn with Debian's polyglot (apt-get install polyglot).
# With --new-games it first replaces the PGN with fresh games between two Debian engines
# (apt-get install stockfish glaurung nodejs); timing makes each run's games differ.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
data="$root/tests/data"
polyglot=${POLYGLOT:-/usr/games/polyglot}

if [ "${1:-}" = "--new-games" ]; then
    match=${MATCH:-"$root/../shared/tools/match.mjs"}
    node "$match" --engine1 /usr/games/stockfish --engine2 /usr/games/glaurung \
        --games 12 --movetime 30 --maxplies 80 --pgn "$data/book_games.pgn"
fi

rm -f "$data/book_games.bin"
"$polyglot" make-book -pgn "$data/book_games.pgn" -bin "$data/book_games.bin" -max-ply 20 -min-game 1
