// A Windows program that behaves as told, for the checks of the Wine runner:
//   runner_probe exit N     prints a line to stdout and one to stderr, exits N
//   runner_probe crash      dies of an access violation
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "exit") == 0) {
        std::printf("runner probe: out\n");
        std::fprintf(stderr, "runner probe: err\n");
        return std::atoi(argv[2]);
    }
    if (argc == 2 && std::strcmp(argv[1], "crash") == 0) {
        std::printf("runner probe: about to crash\n");
        std::fflush(stdout);
        volatile int* nowhere = nullptr;
        *nowhere = 1;
        return 0;
    }
    std::fprintf(stderr, "usage: runner_probe exit N | crash\n");
    return 2;
}
