#include "Router.h"

#include <map>

#include "AccountAnswers.h"
#include "BinParameter.h"
#include "LoginAnswer.h"
#include "PoolAnswers.h"
#include "StaticContent.h"
#include "protocol/RequestRecord.h"
#include "protocol/WireText.h"

namespace korvane::service {

namespace {

const std::map<std::string, Endpoint, std::less<>>& RecordEndpoints() {
    static const std::map<std::string, Endpoint, std::less<>> endpoints = {
        {"/ClientLogin/user_check_v1.php", Endpoint::kLogin},
        {"/ClientLogin/user_check_v0.php", Endpoint::kLoginTest},
        {"/ClientLogin/get_info.php", Endpoint::kRefresh},
        {"/ClientLogin/client_logout.php", Endpoint::kLogout},
        {"/ClientLogin/client_event_v1.php", Endpoint::kEvent},
        {"/Info/ip_pool_list.php", Endpoint::kIpPool},
        {"/ClientLogin/socket_change.php", Endpoint::kIpChange},
    };
    return endpoints;
}

Reply Text(int status, std::string body) {
    Reply reply;
    reply.status = status;
    reply.body = std::move(body);
    return reply;
}

std::string PlainAnswer(const ServiceConfig& config, Endpoint endpoint, const Fields& record,
                        std::int64_t now) {
    switch (endpoint) {
        case Endpoint::kLogin:
        case Endpoint::kLoginTest:
            return LoginAnswer(config, record, now);
        case Endpoint::kRefresh:
            return RefreshAnswer(config, record);
        case Endpoint::kIpPool:
            return IpPoolAnswer(config, record);
        case Endpoint::kIpChange:
            return IpChangeAnswer(config, record);
        default:
            return AcknowledgeAnswer();
    }
}

Reply RecordReply(const ServiceConfig& config, Endpoint endpoint, const RequestView& request,
                  std::int64_t now, ExchangeNotes& notes) {
    const auto bin = FindBin(request.target, request.body);
    if (!bin) {
        notes.note = "no bin parameter";
        return Text(400, "no bin parameter\n");
    }
    const std::string record = DecodeFromWire(*bin);
    if (record.empty()) {
        notes.note = "bin decodes to an empty record";
    }
    notes.fields =
        endpoint == Endpoint::kEvent ? EventRecordFields(record) : RequestRecord::Split(record);
    const std::string answer = PlainAnswer(config, endpoint, notes.fields, now);
    notes.answer = answer;
    Reply reply = Text(200, EncodeForWire(answer));
    reply.encoded = true;
    return reply;
}

std::string ContentTypeOf(std::string_view path) {
    const auto ends_with = [&](std::string_view suffix) {
        return path.size() >= suffix.size() && path.substr(path.size() - suffix.size()) == suffix;
    };
    if (ends_with(".crt") || ends_with(".pem")) {
        return "application/x-x509-ca-cert";
    }
    return "application/octet-stream";
}

Reply FileReply(const std::vector<ServedFile>& files, std::string_view path, ExchangeNotes& notes) {
    const auto source = FileFor(files, path);
    const auto data = source ? ReadWholeFile(*source) : std::nullopt;
    if (!data) {
        notes.note = "file missing: " + source.value_or("");
        return Text(404, "not found\n");
    }
    Reply reply = Text(200, *data);
    reply.content_type = ContentTypeOf(*source);
    return reply;
}

}  // namespace

std::optional<Endpoint> RouteFor(const ServiceConfig& config, const std::vector<ServedFile>& files,
                                 std::string_view path) {
    const auto& endpoints = RecordEndpoints();
    if (const auto it = endpoints.find(path); it != endpoints.end()) {
        return it->second;
    }
    if (VersionFile(config, path)) {
        return Endpoint::kVersion;
    }
    for (const WebPage& page : WebPages()) {
        if (page.path == path) {
            return Endpoint::kPage;
        }
    }
    if (FileFor(files, path)) {
        return Endpoint::kFile;
    }
    return std::nullopt;
}

Reply BuildReply(const ServiceConfig& config, const std::vector<ServedFile>& files,
                 Endpoint endpoint, const RequestView& request, std::int64_t now,
                 ExchangeNotes& notes) {
    notes.endpoint = std::string(EndpointName(endpoint));
    switch (endpoint) {
        case Endpoint::kVersion:
            // The version file is plain text, not a transport text.
            return Text(200, VersionFile(config, request.path).value_or(""));
        case Endpoint::kPage: {
            Reply reply = Text(200, PageHtml(config, request.path).value_or(""));
            reply.content_type = "text/html; charset=utf-8";
            return reply;
        }
        case Endpoint::kFile:
            return FileReply(files, request.path, notes);
        default:
            return RecordReply(config, endpoint, request, now, notes);
    }
}

}  // namespace korvane::service
