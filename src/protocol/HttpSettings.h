#pragma once

namespace korvane {

// Deployment settings of the HTTP client. The port never comes from a URL:
// every request goes to `port`. The time-outs keep a dead host from blocking
// the window for ever; the values are of the order of the usual desktop
// Internet-library defaults (one minute to connect, one minute without a
// single received byte). The receive limit is judged on the library's transfer
// speed averaged over a few seconds, so right after sending a body the wait
// can run a few seconds longer.
struct HttpSettings {
    int port = 80;
    long connect_timeout_seconds = 60;
    long receive_timeout_seconds = 60;
};

}  // namespace korvane
