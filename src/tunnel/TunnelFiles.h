#pragma once

#include <string>

#include "update/Downloader.h"

namespace korvane {

class CFileMgmt;
class Dialog;
class MessageBoxPort;
struct AccountInfo;
struct SessionContext;

// The files the tunnel program reads, in the program folder: configuration,
// credentials, token, and the service's CA certificate with its version
// file. Failures show their coded message in a box of the main window.
class TunnelFiles {
  public:
    static constexpr const char* kTokenLine = "we go on up";
    static constexpr const char* kConfigCaption = "설정오류";
    static constexpr const char* kConfigCreateError = "CODE-013 : 환경 파일 생성 오류";
    static constexpr const char* kServerAddressError = "CODE-014 : 서버 IP 설정 오류";
    static constexpr const char* kCertificateNameError = "CODE-015 : 서버 인증 파일 생성 오류";
    static constexpr const char* kCredentialFolderError = "CODE-016 : 접속 인증 파일 생성 오류";
    static constexpr const char* kAccountCaption = "환경 설정 오류";
    static constexpr const char* kAccountError = "CODE-019 : 계정에 대한 정보가 없습니다";
    static constexpr const char* kDownloadCaption = "업데이트오류";
    static constexpr const char* kDownloadError =
        "CODE-020 : 시스템 장애로 업데이트를 정상적으로 수행하지 못했습니다. \n\n다음에 다시 "
        "시도해 주세요.";

    TunnelFiles(const SessionContext& session, const AccountInfo& account, CFileMgmt& file,
                MessageBoxPort& boxes)
        : session_(session), account_(account), file_(file), boxes_(boxes) {}

    // The configuration and token files: 1, or -1 after its message.
    int WriteOpenVpnConfig();
    // User id and password, one a line, readable by the owner only: 0, or
    // -1 (with a message only for an empty id or password).
    int WriteCredentialFile();
    // crt_file into the program folder under crt_file_name, with `progress`
    // (may be null) shown meanwhile: 1, or -1 after its message.
    int DownloadCertificate(const DownloadFunction& download, Dialog* progress);
    // Deletes the credential, configuration, log and token files; every
    // error is ignored. The certificate and its version file stay.
    void DeleteTunnelFiles();

  private:
    // Closes the file and shows the message; returns -1.
    int Fail(const char* message, const char* caption);

    const SessionContext& session_;
    const AccountInfo& account_;
    CFileMgmt& file_;
    MessageBoxPort& boxes_;
};

// The connect procedure's certificate refresh: client_cert_version from the
// version file; when the server's version is newer or the certificate
// cannot be opened, the old file goes, the certificate is downloaded and
// the server's version is written, also after a failed download (the
// attempt goes on; the missing file makes the next connect try again).
void RefreshCertificate(SessionContext& session, const AccountInfo& account, CFileMgmt& file,
                        TunnelFiles& files, const DownloadFunction& download, Dialog* progress);

// The certificate's name in the configuration: crt_file_name after its
// last "/", the whole text when it has none.
std::string CertificateName(const std::string& crt_file_name);

}  // namespace korvane
