// Stand-in command line until the run cycle exists.
#include <cstdio>
#include <cstring>

#include "zirkula.h"

extern "C" int ZirkulaMain(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("zirkula %s\n", ZIR_VERSION);
        return 0;
    }
    std::fprintf(stderr, "zirkula: this build cannot run scripts yet\n");
    return 2;
}
