#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct mnl_socket;
struct nlmsghdr;

namespace korvane {

// One rtnetlink socket, opened for one operation and closed with it, so it
// always speaks to the network namespace of the calling thread at that
// moment.
class NetlinkSocket {
  public:
    NetlinkSocket();
    ~NetlinkSocket();
    NetlinkSocket(const NetlinkSocket&) = delete;
    NetlinkSocket& operator=(const NetlinkSocket&) = delete;

    bool ok() const { return socket_ != nullptr; }

    // Sends the request (its sequence number is set here) and hands every
    // reply message to on_reply until the kernel's acknowledgement or the end
    // of a dump. 0, or a negative errno.
    int Exchange(nlmsghdr* request, const std::function<void(const nlmsghdr&)>& on_reply);

  private:
    mnl_socket* socket_ = nullptr;
    unsigned port_id_ = 0;
    unsigned sequence_ = 0;
};

// A buffer holding one request message.
class NetlinkRequest {
  public:
    // Dumps get NLM_F_DUMP, everything else NLM_F_ACK besides extra_flags.
    NetlinkRequest(std::uint16_t type, std::uint16_t extra_flags, bool dump);
    template <typename Header>
    Header& Put() {
        return *static_cast<Header*>(PutExtra(sizeof(Header)));
    }
    void PutU32(std::uint16_t attribute, std::uint32_t value);
    void PutBytes(std::uint16_t attribute, const void* data, std::size_t size);
    nlmsghdr* message() { return message_; }

  private:
    void* PutExtra(std::size_t size);

    std::vector<char> buffer_;
    nlmsghdr* message_;
};

}  // namespace korvane
