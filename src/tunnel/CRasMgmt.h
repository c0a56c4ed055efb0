#pragma once

#include <cstddef>
#include <string>

#include "platform/RasPort.h"
#include "tunnel/RasDialCallback.h"

namespace korvane {

// The service's refusal of the last dial, for the caller's message box.
struct RasRefusal {
    int error = 0;  // 0: the last dial was not refused by the service
    std::string text;
};

// One remote-access connection at a time: dials the phonebook entry, hangs
// up, and asks after the connection. The handle is set by every dial and
// never cleared; after a hang-up the service treats the old one as invalid.
class CRasMgmt {
  public:
    static constexpr const char* kEntryName = "Dova_Conn";
    // Room the service's error texts get, with the terminating zero.
    static constexpr std::size_t kDialErrorTextBytes = 1024;
    static constexpr std::size_t kStatusErrorTextBytes = 256;

    // Notifications of every dial go to `target` (read when the dial starts).
    CRasMgmt(RasPort& port, const RasNotifyTarget& target);
    ~CRasMgmt();
    CRasMgmt(const CRasMgmt&) = delete;
    CRasMgmt& operator=(const CRasMgmt&) = delete;

    // 0 when the dial has started, 1 when a connection is already up (nothing
    // is dialled), -1 for an empty or over-long server, user or password (the
    // service is not asked) or when the service refuses the dial (see
    // last_refusal; the connection it returned has been hung up).
    int Dial(const std::string& phonebook, const std::string& server, const std::string& user,
             const std::string& password);
    // -1 without a handle, 0 when hung up, otherwise the service's error number.
    int HangUp();
    // 1 when a handle exists and the service still knows it, whatever its state.
    int IsConnected();
    // The client address of the connection's IP projection; empty when there
    // is no handle or no projection yet.
    std::string GetAssignedAddress();
    // The service's text for an error number, cut to fit `buffer_bytes` with
    // its terminating zero; empty when the service has none.
    std::string ErrorText(int error, std::size_t buffer_bytes);
    static std::string StateText(int state);

    RasHandle handle() const { return handle_; }
    const RasRefusal& last_refusal() const { return refusal_; }

  private:
    RasPort& port_;
    const RasNotifyTarget& target_;
    RasHandle handle_ = 0;
    RasRefusal refusal_;
};

}  // namespace korvane
