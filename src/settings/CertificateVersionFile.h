#pragma once

#include <string_view>

namespace korvane {

// "crtver.ini" in the program folder: one line, the version of the
// certificate file beside it, in decimal.

// The version, or -1 when the file is missing, empty or does not hold a
// decimal number (so the certificate is fetched again).
int ReadCertificateVersion(std::string_view program_dir);

// Replaces the file's content with the version. 0, or -1 when it cannot be written.
int WriteCertificateVersion(std::string_view program_dir, int version);

}  // namespace korvane
