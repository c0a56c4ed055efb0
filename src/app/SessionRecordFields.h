#pragma once

#include "protocol/RequestRecord.h"

namespace korvane {

struct SessionContext;

// The login and IP pool records' fields as the session holds them; the
// machine's address and description are left to the login, which alone
// sends them.
LoginRecordFields SessionRecordFields(const SessionContext& session);

}  // namespace korvane
