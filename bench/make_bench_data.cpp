// make_bench_data HOME FOLDERS ENTRIES: the data directory the start-up
// timing runs on (HOME/tovrimo/DATA).
#include <cstdio>
#include <string>

#include "benchdata.h"

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_bench_data HOME FOLDERS ENTRIES\n");
        return 2;
    }
    const std::size_t bytes = bench_data::Write(argv[1], std::stoi(argv[2]), std::stoi(argv[3]));
    std::printf("%zu\n", bytes);
    return 0;
}
