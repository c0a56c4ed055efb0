#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "settings/CIniMgmt.h"

namespace korvane {

// The private phonebook entry that remote-access tunnels are dialled from:
// one section with a fixed, complete set of keys. Only the tunnel strategy
// and the use of the remote default gateway change after construction.
class CRasConfigFile {
  public:
    static constexpr const char* kEntryName = "Dova_Conn";
    static constexpr const char* kFileName = "tesken.ini";
    static constexpr std::size_t kKeyCount = 95;

    CRasConfigFile();

    // Sets the strategy (1 PPTP, 3 L2TP) and the remote-gateway flag, then
    // creates or empties the file at path. 1, or 0 for an empty path (nothing
    // else changes) or a file that cannot be created.
    int Prepare(int strategy, int prioritize_remote, const std::string& path);
    // Writes every key, in order, into the entry's section of the remembered
    // path. Results are not examined: a phonebook that could not be written
    // shows up as the error of the dial that uses it.
    void WriteEntry();

    // The value of a key as the next write puts it; empty for unknown keys.
    std::string Value(std::string_view key) const;
    std::string VpnStrategy() const { return Value("VpnStrategy"); }
    std::string IpPrioritizeRemote() const { return Value("IpPrioritizeRemote"); }
    const std::string& path() const { return path_; }

    // The keys in file order.
    static std::string_view KeyAt(std::size_t index);

  private:
    std::string path_;
    CIniMgmt ini_;
    std::array<std::string, kKeyCount> values_;
};

}  // namespace korvane
