#include "zirkula.h"

int main(int argc, char** argv) {
    return ZirkulaMain(argc, argv);
}
