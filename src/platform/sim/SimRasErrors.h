#pragma once

#include <string>

namespace korvane {

// The simulated service's text for an error number; numbers it does not know
// get a text that names the number.
std::string SimRasErrorText(int error);

}  // namespace korvane
