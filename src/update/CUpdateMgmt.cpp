#include "update/CUpdateMgmt.h"

#include "platform/Clock.h"
#include "settings/CertificateVersionFile.h"
#include "ui/Dialog.h"
#include "update/UrlDownload.h"

namespace korvane {

CUpdateMgmt::CUpdateMgmt(const Clock& clock, std::int64_t limit_ms)
    : clock_(clock), limit_ms_(limit_ms) {}

CUpdateMgmt::~CUpdateMgmt() = default;

int CUpdateMgmt::Download(const std::string& url, const std::string& target_path) {
    const std::int64_t deadline = clock_.MonotonicMilliseconds() + limit_ms_;
    // The limit is judged only when the transfer reports progress, which
    // libcurl does at least once a second, also while nothing arrives.
    const ProgressCheck within_limit = [this, deadline](std::int64_t, std::int64_t) {
        return clock_.MonotonicMilliseconds() <= deadline;
    };
    if (DownloadUrlToFile(url, target_path, within_limit) != 0) {
        // The progress window stays; the caller hides it with its message.
        return -1;
    }
    if (progress_window_ != nullptr) {
        progress_window_->Show(ShowMode::Hide);
    }
    return 0;
}

DownloadFunction CUpdateMgmt::AsDownloadFunction() {
    return [this](const std::string& url, const std::string& path) {
        return Download(url, path) == 0 ? 1 : -1;
    };
}

int CUpdateMgmt::ReadCertVersion(const std::string& program_dir) const {
    return ReadCertificateVersion(program_dir);
}

int CUpdateMgmt::WriteCertVersion(const std::string& program_dir, int version) const {
    return WriteCertificateVersion(program_dir, version) == 0 ? 1 : -1;
}

}  // namespace korvane
