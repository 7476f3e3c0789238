// The fixed benchmark run by -bench.
#pragma once

int run_benchmark();
