#include "tunnel/TunnelFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include "app/SessionContext.h"
#include "protocol/AccountInfo.h"
#include "settings/CFileMgmt.h"
#include "settings/CertificateVersionFile.h"
#include "ui/Dialog.h"
#include "ui/MessageBoxPort.h"

namespace korvane {

namespace {

// Where the files go: the program folder, or the current directory while
// no folder is known (never the root folder an empty name would make).
std::string FilesFolder(const SessionContext& session) {
    return session.program_dir.empty() ? std::string(".") : session.program_dir;
}

std::string Quoted(const std::string& folder, const std::string& name) {
    return "\"" + folder + "/" + name + "\"";
}

// Items separated by "^", empty ones skipped.
void AppendOpenConfig(CFileMgmt& file, const std::string& open_config) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t cut = open_config.find('^', start);
        const std::string item = open_config.substr(start, cut - start);
        if (!item.empty()) {
            file.AppendLine(item);
        }
        if (cut == std::string::npos) {
            return;
        }
        start = cut + 1;
    }
}

}  // namespace

std::string CertificateName(const std::string& crt_file_name) {
    const std::size_t cut = crt_file_name.rfind('/');
    return cut == std::string::npos ? crt_file_name : crt_file_name.substr(cut + 1);
}

int TunnelFiles::Fail(const char* message, const char* caption) {
    file_.Close();
    boxes_.ShowMessageBox(message, caption, BoxButtons::Ok);
    return -1;
}

int TunnelFiles::WriteOpenVpnConfig() {
    const std::string& folder = session_.program_dir;
    if (file_.OpenForWrite(FilesFolder(session_), session_.tunnel_config) != 0) {
        return Fail(kConfigCreateError, kConfigCaption);
    }
    for (const char* line : {"client", "dev tap", "persist-key", "persist-tun", "nobind"}) {
        file_.AppendLine(line);
    }
    if (account_.server_ip.empty() && account_.vpnport.empty()) {
        return Fail(kServerAddressError, kConfigCaption);
    }
    file_.AppendLine("remote " + account_.server_ip + " " + account_.vpnport);
    file_.AppendLine("pull");
    if (account_.crt_file_name.empty()) {
        return Fail(kCertificateNameError, kConfigCaption);
    }
    file_.AppendLine("ca " + Quoted(folder, CertificateName(account_.crt_file_name)));
    for (const char* line : {"verb 3", "mute 10", "reneg-sec 864000", "auth-nocache"}) {
        file_.AppendLine(line);
    }
    if (folder.empty()) {
        return Fail(kCredentialFolderError, kConfigCaption);
    }
    file_.AppendLine("auth-user-pass " + Quoted(folder, session_.credential_file));
    AppendOpenConfig(file_, account_.open_config);
    file_.Close();

    // A token file that cannot be written is not checked here: the tunnel
    // program refuses to start without it, and the log monitor reports that.
    if (file_.OpenForWrite(FilesFolder(session_), session_.auth_file) == 0) {
        file_.AppendLine(kTokenLine);
    }
    file_.Close();
    return 1;
}

int TunnelFiles::WriteCredentialFile() {
    if (file_.OpenForWrite(FilesFolder(session_), session_.credential_file) != 0) {
        file_.Close();
        return -1;
    }
    // The file holds the password: an older copy with wider rights is
    // narrowed too (a new file is created 0600 already).
    ::chmod((FilesFolder(session_) + "/" + session_.credential_file).c_str(), 0600);
    if (session_.user_id.empty() || session_.password.empty()) {
        return Fail(kAccountError, kAccountCaption);
    }
    file_.AppendLine(session_.user_id);
    file_.AppendLine(session_.password);
    file_.Close();
    return 0;
}

int TunnelFiles::DownloadCertificate(const DownloadFunction& download, Dialog* progress) {
    const std::string target = FilesFolder(session_) + "/" + account_.crt_file_name;
    if (progress != nullptr) {
        progress->Show(ShowMode::Show);
        progress->RedrawNow();
    }
    const bool downloaded = download && download(account_.crt_file, target) > 0;
    // The update manager hides its window after a download that worked; a
    // plain download function does not, so it is hidden here in both cases.
    if (progress != nullptr) {
        progress->Show(ShowMode::Hide);
    }
    if (!downloaded) {
        boxes_.ShowMessageBox(kDownloadError, kDownloadCaption, BoxButtons::Ok);
        return -1;
    }
    return 1;
}

void TunnelFiles::DeleteTunnelFiles() {
    // unlink never removes a folder, whatever an empty name makes of a path.
    for (const std::string* name : {&session_.credential_file, &session_.tunnel_config,
                                    &session_.tunnel_log, &session_.auth_file}) {
        ::unlink((FilesFolder(session_) + "/" + *name).c_str());
    }
}

void RefreshCertificate(SessionContext& session, const AccountInfo& account, CFileMgmt& file,
                        TunnelFiles& files, const DownloadFunction& download, Dialog* progress) {
    session.client_cert_version = ReadCertificateVersion(FilesFolder(session));
    // Without a name there is no file to fetch; the configuration step
    // reports it (CODE-015). Going on would delete and fetch the folder.
    if (account.crt_file_name.empty()) {
        return;
    }
    const std::string path = FilesFolder(session) + "/" + account.crt_file_name;
    if (account.server_cert_version > session.client_cert_version || file.OpenPath(path) != 0) {
        ::unlink(path.c_str());
        files.DownloadCertificate(download, progress);
        WriteCertificateVersion(FilesFolder(session), account.server_cert_version);
    }
    file.Close();
}

}  // namespace korvane
