// "go": the request built from the command and the options, the book, the search, the choice of a
// limited strength, and "bestmove".
#pragma once
#include "search/iterate.h"
#include "search/request.h"
#include "shell/session.h"

struct GoRequest;

void go_command(Session& s, const GoRequest& go);
// ucinewgame: the next search starts from cleared tables.
void new_game(Session& s);

// A request to search pos with the session's settings: every legal move, no limit but the depth.
SearchRequest base_request(Session& s, const Position& pos, int depth);
// Searches the request, or plays the book's move when it has one and book_allowed; then, but in
// the benchmark, shows the line played and prints "bestmove". The result's first move is played.
void play_request(Session& s, SearchRequest& r, bool book_allowed, SearchResult& result);
