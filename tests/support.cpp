#include "support.h"

#include <fstream>

void init_engine_tables() { init_position_tables(); }

Position from_fen(const char* fen) {
    init_engine_tables();
    Position p;
    position_from_fen(p, fen);
    return p;
}

std::vector<std::string> read_data_lines(const char* name) {
    std::vector<std::string> out;
    std::ifstream in(std::string(QUORIL_TEST_DATA) + "/" + name);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty() && line[0] != '#') out.push_back(line);
    return out;
}
