#pragma once

namespace korvane {

class SystemQueries;

// Windows NT of major version 6 or later: the version can be read, the
// platform is NT and the major version is above 5.
bool IsNt6OrLater(SystemQueries& system);

// The systems that get the newer network tools: the six-switch binding list
// and the remote-control lookup. NT 6 and later, and Linux, whose TCP table
// and links serve both in full.
bool HasCurrentNetworkTools(SystemQueries& system);

}  // namespace korvane
