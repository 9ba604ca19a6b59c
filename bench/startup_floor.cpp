// The floor of the start-up benchmark: a C++ program that only prints a line, through the
// standard library's streams as a C++ program would.
#include <iostream>

int main() {
    std::cout << "zirkula start-up floor" << std::endl;
    return 0;
}
