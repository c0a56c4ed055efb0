#include <iostream>

#include "app/KorvaneMain.h"

int main(int argc, char** argv) {
    return korvane::RunKorvane(argc, argv, std::cin, std::cout, std::cerr);
}
