#include <iostream>

#include "app/KorvaneMain.h"

#ifdef KORVANE_HAVE_DESKTOP
#include "ui/qt/DesktopMain.h"
#endif

int main(int argc, char** argv) {
#ifdef KORVANE_HAVE_DESKTOP
    return korvane::RunKorvane(argc, argv, std::cin, std::cout, std::cerr, korvane::RunDesktop);
#else
    return korvane::RunKorvane(argc, argv, std::cin, std::cout, std::cerr);
#endif
}
