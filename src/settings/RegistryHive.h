#pragma once

namespace korvane {

// The settings hive a caller names; only the current user's is ever used.
enum class RegistryHive { None = 0, CurrentUser = 1 };

}  // namespace korvane
