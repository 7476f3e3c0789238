// Engine settings reachable from the command line and UCI options, and the process-wide flags.
#pragma once

constexpr int BOOK_NAME_SIZE = 512;

extern int hash_megabytes;      // Hash
extern int opt_ponder;          // Ponder (stored only)
extern int own_book;            // OwnBook
extern int multi_pv;            // MultiPV
extern char book_file_name[BOOK_NAME_SIZE];  // Book File (lower-cased, as listed)
extern char book_file_as_given[BOOK_NAME_SIZE];  // the same name in the case the GUI sent
extern int uci_analyse_mode;    // UCI_AnalyseMode (stored only)
extern int use_lmr;             // Use Lmr
extern int null_move_pruning;   // Null Move pruning
extern int deterministic;       // Deterministic
extern int special_node_level;  // Special Node Level
extern int best_book_line;      // Best Book Line
extern int move_overhead_ms;    // move overhead milliseconds
extern int drawscore_option;    // Drawscore
extern int limit_strength;      // UCI_LimitStrength
extern int uci_elo;             // UCI_Elo

extern int bench_mode;  // -bench
extern int bench_passes;  // -passes N: benchmark passes (the signature is that of the default five)
extern int cpu_setting; // -cpu N: the clock counts whole seconds when non-zero

// The version tag printed in the banner and "id name".
extern const char* const VERSION_TAG;
extern const char* const AUTHORS;
// The build's word size, shown in the banner and the engine's name.
extern const int WORD_BITS;

constexpr int LOG_NAME_SIZE = 512;
extern char log_file_name[LOG_NAME_SIZE];  // -log FILE; empty when there is no log

// Check options: rows ended by an empty name.
struct CheckOption {
    char name[64];
    int* value;
};
// Spin options other than the fixed ones and the evaluation parameters: rows ended by an empty name.
struct SpinOption {
    char name[64];
    int* value;
    int min;
    int max;
};
extern const CheckOption check_options[];
extern const SpinOption spin_options[];

constexpr int OPTION_TEXT_SIZE = 1024;  // option name and value buffers of setoption
constexpr int ENGINE_NAME_SIZE = 40;

// strtol base 10 into an int; values beyond the int range saturate.
int text_to_int(const char* text);

// Opens the Book File when OwnBook is on; closes the book otherwise.
void reopen_book();
// Assigns the start values that the entry sets before anything else runs.
void set_start_values();
// The answer to "uci": identification, every option line and "uciok".
void print_uci_identity();
// Carries out one setoption; name and value are already lower-cased and may be empty.
// value_as_given keeps the letter case, for file names.
void apply_setoption(const char* name, const char* value, const char* value_as_given = nullptr);
