#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvane {

class SimNetwork;
class SimSystemQueries;

using SectionEntries = std::vector<std::pair<std::string, std::string>>;

// Fills the simulated network and operating system from one section of a
// machine description file: "adapter", "route", "tcp", "os" or "host" (the
// formats are in docs/machine-network.md). name is the text after the
// section word ("[adapter tap]" gives "tap"). False with a message naming the
// key for an unknown section or key, a missing key or a bad value; nothing is
// added then.
bool ApplyMachineSection(SimNetwork& network, SimSystemQueries& system, std::string_view section,
                         std::string_view name, const SectionEntries& entries, std::string& error);

}  // namespace korvane
