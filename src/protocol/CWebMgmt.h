#pragma once

#include <string>
#include <string_view>

#include "app/SessionContext.h"
#include "protocol/HttpSettings.h"
#include "ui/MessageBoxPort.h"

namespace korvane {

// The system's HTTP requests to the service: one synchronous POST per call,
// carrying SessionContext::http_headers. Answers are returned as the raw bytes
// received (after the reading rules); callers decode them.
class CWebMgmt {
  public:
    CWebMgmt(const SessionContext& session, MessageBoxPort& boxes, HttpSettings settings = {});

    // POST without a body; the data travel in the URL's query. Empty unless
    // the status is 200.
    std::string PostQuery(std::string_view url);
    // POST with `body` as the form data. Empty unless the status is 200; when
    // the request could not be sent at all, "Web Send Error" is shown first.
    std::string PostForm(std::string_view url, std::string_view body);

  private:
    const SessionContext& session_;
    MessageBoxPort& boxes_;
    HttpSettings settings_;
};

}  // namespace korvane
