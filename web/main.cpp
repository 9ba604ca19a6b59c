// The browser edition's entry point: the command line, given by the page.
#include "zirkula.h"

int main(int argc, char** argv) {
    return ZirkulaMain(argc, argv);
}
