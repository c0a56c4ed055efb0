#include "tunnel/TunnelSide.h"

#include "platform/Platform.h"

namespace korvane {

TunnelSide::TunnelSide(SessionContext& session, AccountInfo& account, const Platform& platform,
                       CNetworkMgmt& network, MessageBoxPort& boxes,
                       PhonebookWriter write_phonebook)
    : settings_(*platform.settings),
      openvpn_(session, *platform.processes, boxes),
      hook_monitor_(*platform.processes),
      files_(session, account, file_, boxes),
      hooks_(session, settings_, *platform.processes, hook_monitor_),
      tap_(session, account, *platform.environment, *platform.system, settings_, network,
           *platform.processes, openvpn_, boxes),
      write_phonebook_(std::move(write_phonebook)) {}

int TunnelSide::WritePhonebook(int vpn_type, int has_zero_address) {
    return write_phonebook_ ? write_phonebook_(vpn_type, has_zero_address) : -1;
}

}  // namespace korvane
