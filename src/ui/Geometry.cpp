#include "ui/Geometry.h"

namespace korvane {

const char* ShowModeName(ShowMode mode) {
    switch (mode) {
        case ShowMode::Hide:
            return "hide";
        case ShowMode::Normal:
            return "normal";
        case ShowMode::Show:
            return "show";
        case ShowMode::Minimize:
            return "minimize";
    }
    return "show";
}

}  // namespace korvane
