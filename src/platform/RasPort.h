#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace korvane {

// A connection of the remote-access service; 0 when there is none.
using RasHandle = std::uint64_t;

// Connection states as the service numbers them while it dials.
namespace ras_state {
constexpr int kAuthenticate = 5;
constexpr int kProjected = 18;
constexpr int kConnected = 0x2000;
constexpr int kDisconnected = 0x2001;
}  // namespace ras_state

// Error numbers the backends and their callers share.
namespace ras_error {
constexpr int kInvalidHandle = 6;
constexpr int kCannotFindPhonebookEntry = 623;
constexpr int kServiceUnavailable = 711;
constexpr int kProjectionNotComplete = 730;
}  // namespace ras_error

// What one dial hands to the service. Limits are in characters.
struct RasDialParams {
    static constexpr std::size_t kEntryNameLimit = 256;
    static constexpr std::size_t kPhoneNumberLimit = 128;
    static constexpr std::size_t kUserNameLimit = 256;
    static constexpr std::size_t kPasswordLimit = 256;

    std::string entry_name;
    std::string phone_number;
    std::string callback_number;
    std::string user_name;
    std::string password;
    std::string domain;
};

struct RasConnectionStatus {
    int state = 0;
    int error = 0;
};

// Called on the service's own thread once for every state of a dial, the
// error number (0 for none) with it. The service reports the next state only
// after the notifier has returned.
using RasNotifier = std::function<void(int state, int error)>;

// The operating system's remote-access service: asynchronous dials from a
// private phonebook, hang-up, status and address queries, error texts.
// Results are 0 or the service's error number.
class RasPort {
  public:
    virtual ~RasPort() = default;

    // Starts dialling the entry of the phonebook file. `handle` is set to the
    // new connection, also when the service refuses the dial (the caller
    // hangs that one up); it stays 0 when no connection was made at all.
    virtual int Dial(const std::string& phonebook, const RasDialParams& params,
                     RasNotifier notifier, RasHandle& handle) = 0;
    // Ends the connection without waiting for the line to close; notifications
    // for it stop.
    virtual int HangUp(RasHandle handle) = 0;
    // The current state of a live connection; kInvalidHandle once it is gone.
    virtual int GetConnectStatus(RasHandle handle, RasConnectionStatus& status) = 0;
    // The client address the IP projection assigned (dotted decimal).
    virtual int GetClientAddress(RasHandle handle, std::string& address) = 0;
    // The user-readable text for an error number.
    virtual int GetErrorText(int error, std::string& text) = 0;
};

}  // namespace korvane
