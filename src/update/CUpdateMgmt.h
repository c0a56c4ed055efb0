#pragma once

#include <cstdint>
#include <string>

#include "update/Downloader.h"

namespace korvane {

class Clock;
class Dialog;

// Downloads for the program update and the certificate, and the certificate
// version file. One instance, owned by the main window's session side.
class CUpdateMgmt {
  public:
    // A download still running this long after it started is aborted at its
    // next progress report.
    static constexpr std::int64_t kDefaultLimitMs = 30000;

    // The deadline is measured on `clock`'s monotonic time: a download runs
    // in real time, so the program hands it the machine's clock.
    explicit CUpdateMgmt(const Clock& clock, std::int64_t limit_ms = kDefaultLimitMs);
    virtual ~CUpdateMgmt();

    // The window hidden after a successful download (the update progress
    // dialog); may be null.
    void SetProgressWindow(Dialog* window) { progress_window_ = window; }

    // Copies the URL into the file at target_path. 0 on success, -1 on
    // failure: no answer, a status other than 200, a write error, or the time
    // limit. A failed download leaves no file behind, so a broken installer
    // is never started later.
    int Download(const std::string& url, const std::string& target_path);

    // Download in the shape the certificate refresh takes: 1 on success, -1
    // on failure.
    DownloadFunction AsDownloadFunction();

    // The certificate version file ("crtver.ini") in the program folder.
    int ReadCertVersion(const std::string& program_dir) const;
    int WriteCertVersion(const std::string& program_dir, int version) const;

    std::int64_t limit_ms() const { return limit_ms_; }

  private:
    const Clock& clock_;
    std::int64_t limit_ms_;
    Dialog* progress_window_ = nullptr;
};

}  // namespace korvane
