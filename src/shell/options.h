// Engine settings reachable from the command line and UCI options, and the process-wide flags.
#pragma once

constexpr int BOOK_NAME_SIZE = 512;

extern int hash_megabytes;      // Hash
extern int opt_ponder;          // Ponder (stored only)
extern int own_book;            // OwnBook
extern int multi_pv;            // MultiPV
extern char book_file_name[BOOK_NAME_SIZE];  // Book File
extern int uci_analyse_mode;    // UCI_AnalyseMode (stored only)
extern int use_lmr;             // Use Lmr
extern int null_move_pruning;   // Null Move pruning
extern int deterministic;       // Deterministic
extern int special_node_level;  // Special Node Level
extern int best_book_line;      // Best Book Line
extern int move_overhead_ms;    // move overhead milliseconds
extern int drawscore_option;    // Drawscore

extern int bench_mode;  // -bench
extern int cpu_setting; // -cpu N: the clock counts whole seconds when non-zero
extern int pgn_flag;    // -pgn (read by nothing)
extern int quit_flag;   // set by "quit"
extern int popcnt_available;

// The version tag printed in the banner and "id name".
extern const char* const VERSION_TAG;
extern const char* const AUTHORS;
