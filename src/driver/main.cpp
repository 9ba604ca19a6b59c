#include <malloc.h>

#include "zirkula.h"

int main(int argc, char** argv) {
    // Large buffers (the drawing, its snapshots, the compiled program) come from the heap and
    // go back to it, instead of each being mapped afresh page by page: a run makes and drops
    // many of them, and fresh pages cost more than the copying itself.
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_TOP_PAD, 16 << 20);
    return ZirkulaMain(argc, argv);
}
