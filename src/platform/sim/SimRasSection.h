#pragma once

namespace korvane {

class MachineDescription;
class SimRas;

// Registers the [ras] section of machine descriptions: the script every dial
// of the simulated remote-access service follows (docs/ras.md).
void RegisterRasSection(MachineDescription& description, SimRas& ras);

}  // namespace korvane
