#include "shell/options.h"

int hash_megabytes = 64;
int opt_ponder = 1;
int own_book = 1;
int multi_pv = 1;
char book_file_name[BOOK_NAME_SIZE] = "quoril.bin";
int uci_analyse_mode = 0;
int use_lmr = 1;
int null_move_pruning = 1;
int deterministic = 0;
int special_node_level = 0;
int best_book_line = 1;
int move_overhead_ms = 10;
int drawscore_option = -7;

int bench_mode = 0;
int cpu_setting = 0;
int pgn_flag = 0;
int quit_flag = 0;
int popcnt_available = 0;

const char* const VERSION_TAG = "1.0";
const char* const AUTHORS = "the Quoril developers";
