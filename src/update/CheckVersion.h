#pragma once

#include <string>
#include <string_view>

namespace korvane {

class CWebMgmt;
struct SessionContext;
struct AccountInfo;

// Reads the version file's lines into update_version, update_url and
// update_file. Tabs and blanks are dropped first, so "version = 1190" reads
// as "version=1190".
void ApplyVersionFile(std::string_view text, AccountInfo& account);

// Fetches "http://<auth_host>/ClientVersion/<client_code>/<setup_page>" and
// applies it; an empty or failed fetch leaves the values as they were.
// Returns 1.
int CheckVersion(CWebMgmt& web, const SessionContext& session, AccountInfo& account);

// An update is due when the service's version is above the client's own.
bool UpdateIsDue(const SessionContext& session, const AccountInfo& account);

// Where the installer is downloaded and started from: temp_dir "/" update_file.
std::string UpdateFilePath(const SessionContext& session, const AccountInfo& account);

}  // namespace korvane
