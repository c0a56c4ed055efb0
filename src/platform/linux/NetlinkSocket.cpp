#include "platform/linux/NetlinkSocket.h"

#include <libmnl/libmnl.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <cerrno>
#include <ctime>

namespace korvane {

namespace {

constexpr std::size_t kRequestSize = 1024;
// Room for the largest message a dump sends.
constexpr std::size_t kReplySize = 32768;
// The kernel answers every request; the limit only guards against a
// kernel that does not.
constexpr int kReplyTimeoutSeconds = 5;

int CallbackTrampoline(const nlmsghdr* message, void* data) {
    (*static_cast<const std::function<void(const nlmsghdr&)>*>(data))(*message);
    return MNL_CB_OK;
}

}  // namespace

NetlinkSocket::NetlinkSocket() {
    mnl_socket* s = mnl_socket_open2(NETLINK_ROUTE, SOCK_CLOEXEC);
    if (s == nullptr) {
        return;
    }
    if (mnl_socket_bind(s, 0, MNL_SOCKET_AUTOPID) < 0) {
        mnl_socket_close(s);
        return;
    }
    timeval timeout{kReplyTimeoutSeconds, 0};
    setsockopt(mnl_socket_get_fd(s), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    socket_ = s;
    port_id_ = mnl_socket_get_portid(s);
    sequence_ = static_cast<unsigned>(std::time(nullptr));
}

NetlinkSocket::~NetlinkSocket() {
    if (socket_ != nullptr) {
        mnl_socket_close(socket_);
    }
}

int NetlinkSocket::Exchange(nlmsghdr* request,
                            const std::function<void(const nlmsghdr&)>& on_reply) {
    if (socket_ == nullptr) {
        return -EBADF;
    }
    request->nlmsg_seq = ++sequence_;
    if (mnl_socket_sendto(socket_, request, request->nlmsg_len) < 0) {
        return -errno;
    }
    std::vector<char> buffer(kReplySize);
    for (;;) {
        const ssize_t received = mnl_socket_recvfrom(socket_, buffer.data(), buffer.size());
        if (received < 0) {
            return -errno;
        }
        const int result = mnl_cb_run(buffer.data(), static_cast<std::size_t>(received),
                                      request->nlmsg_seq, port_id_, CallbackTrampoline,
                                      const_cast<std::function<void(const nlmsghdr&)>*>(&on_reply));
        if (result == MNL_CB_ERROR) {
            return errno != 0 ? -errno : -EIO;
        }
        if (result == MNL_CB_STOP) {
            return 0;
        }
    }
}

NetlinkRequest::NetlinkRequest(std::uint16_t type, std::uint16_t extra_flags, bool dump)
    : buffer_(kRequestSize, 0) {
    message_ = mnl_nlmsg_put_header(buffer_.data());
    message_->nlmsg_type = type;
    message_->nlmsg_flags = NLM_F_REQUEST | extra_flags | (dump ? NLM_F_DUMP : NLM_F_ACK);
}

void* NetlinkRequest::PutExtra(std::size_t size) {
    return mnl_nlmsg_put_extra_header(message_, size);
}

void NetlinkRequest::PutU32(std::uint16_t attribute, std::uint32_t value) {
    mnl_attr_put_u32(message_, attribute, value);
}

void NetlinkRequest::PutBytes(std::uint16_t attribute, const void* data, std::size_t size) {
    mnl_attr_put(message_, attribute, size, data);
}

}  // namespace korvane
