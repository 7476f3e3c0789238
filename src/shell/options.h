// The engine's settings reachable by UCI options, their table, listing and setoption replies.
#pragma once
#include "eval/params.h"

constexpr int BOOK_NAME_SIZE = 512;
constexpr int OPTION_TEXT_SIZE = 1024;  // option name and value buffers of setoption

// The version tag printed in the banner and "id name".
extern const char* const VERSION_TAG;
extern const char* const AUTHORS;
// The build's word size, shown in the banner and the engine's name.
extern const int WORD_BITS;

struct Options {
    int hash_megabytes = 64;           // Hash
    int ponder = 1;                    // Ponder (stored only)
    int own_book = 1;                  // OwnBook
    int multi_pv = 1;                  // MultiPV
    char book_file[BOOK_NAME_SIZE] = "quoril.bin";           // Book File (lower-cased, as listed)
    char book_file_as_given[BOOK_NAME_SIZE] = "quoril.bin";  // the same name in the case the GUI sent
    int analyse_mode = 0;              // UCI_AnalyseMode
    int use_lmr = 1;                   // Use Lmr
    int null_move_pruning = 1;         // Null Move pruning
    int deterministic = 0;             // Deterministic
    int special_node_level = 0;        // Special Node Level
    int best_book_line = 1;            // Best Book Line
    int chess960 = 0;                  // UCI_Chess960: castling written and read as the king taking its rook
    int show_wdl = 0;                  // UCI_ShowWDL: every score also as win/draw/loss permille
    int move_overhead_ms = 10;         // move overhead milliseconds
    int drawscore = -7;                // Drawscore
    int limit_strength = 0;            // UCI_LimitStrength
    int elo = 1800;                    // UCI_Elo
    int tb_probe_depth = 1;            // SyzygyProbeDepth, plies
    int tb_rule50 = 1;                 // Syzygy50MoveRule
    int tb_probe_limit = 7;            // SyzygyProbeLimit
    int tb_largest = 0;                // pieces of the largest table SyzygyPath loaded
    EvalWeights weights = default_weights;  // hmb open, hmb end
};

// The pieces a search probes: the largest table loaded, capped by the probe limit.
inline int tb_pieces(const Options& o) { return o.tb_largest < o.tb_probe_limit ? o.tb_largest : o.tb_probe_limit; }

struct Session;

// strtol base 10 into an int; values beyond the int range saturate.
int text_to_int(const char* text);
// Opens the Book File when OwnBook is on; closes the book otherwise.
void reopen_book(Session& s);
// The answer to "uci": identification, every option line and "uciok".
void print_uci_identity(const Options& o);
// Carries out one setoption; name and value are already lower-cased and may be empty.
// value_as_given keeps the letter case, for file names.
void apply_setoption(Session& s, const char* name, const char* value, const char* value_as_given = nullptr);
