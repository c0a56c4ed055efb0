#include "HttpService.h"

#include <httplib.h>
#include <sys/socket.h>

#include <filesystem>
#include <iostream>

#include "ConnectionDrop.h"
#include "FailureInjector.h"
#include "Journal.h"
#include "Placeholders.h"
#include "Router.h"
#include "StaticContent.h"
#include "StopSignal.h"
#include "platform/Clock.h"
#include "protocol/WireText.h"

namespace korvane::service {

namespace {

using httplib::Request;
using httplib::Response;
using httplib::Server;

// The notes of the request that the current worker thread is serving. The
// library runs a request's handler and its logger on the same thread, one
// request after the other; the pre-routing hook clears them first.
thread_local ExchangeNotes t_notes;

std::string NoteForLibraryStatus(int status) {
    switch (status) {
        case 400:
            return "malformed request";
        case 413:
            return "request body over " + std::to_string(kMaxBodyBytes) + " bytes";
        case 414:
            return "request line over the HTTP library's limit";
        default:
            return "";
    }
}

std::string StatusText(int status) {
    const char* reason = status == 400   ? "Bad Request"
                         : status == 404 ? "Not Found"
                         : status == 405 ? "Method Not Allowed"
                         : status == 413 ? "Payload Too Large"
                         : status == 414 ? "URI Too Long"
                         : status >= 500 ? "Server Error"
                                         : "Error";
    return std::to_string(status) + " " + reason + "\n";
}

ConnectionEnds EndsOf(const Request& req) {
    return {req.local_addr, req.local_port, req.remote_addr, req.remote_port};
}

bool HasBody(const Request& req) {
    return req.has_header("Content-Length") || req.has_header("Transfer-Encoding");
}

}  // namespace

class HttpService::Impl {
  public:
    Impl(ServiceConfig config, Journal* journal, const Clock& clock)
        : config_(std::move(config)), journal_(journal), clock_(clock), injector_(config_) {
        InstallHooks();
    }

    int Bind(const std::string& host, int port) {
        if (port == 0) {
            return server_.bind_to_any_port(host);
        }
        return server_.bind_to_port(host, port) ? port : -1;
    }

    void Prepare(const std::string& listen_address) {
        ResolvePlaceholders(config_, listen_address);
        files_ = ServedFiles(config_);
        for (const ServedFile& file : files_) {
            std::error_code ec;
            if (!std::filesystem::is_regular_file(file.source, ec)) {
                std::cerr << "korvane-service: warning: " << file.source << " (served at "
                          << file.path << ") does not exist; it answers 404\n";
            }
        }
    }

    bool Run() { return server_.listen_after_bind(); }

    void Stop() {
        stop_.Raise();
        server_.stop();
    }

  private:
    void InstallHooks() {
        server_.set_payload_max_length(kMaxBodyBytes);
        // The library's default adds SO_REUSEPORT, which would let a second
        // service share the port unnoticed.
        server_.set_socket_options([](int sock) {
            int yes = 1;
            setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        });
        // A POST without Content-Length carries no body, but the library
        // would wait for one until its read time-out; answer it here.
        server_.set_pre_routing_handler([this](const Request& req, Response& res) {
            t_notes = ExchangeNotes{};
            if (HasBody(req)) {
                return Server::HandlerResponse::Unhandled;
            }
            Handle(req, res);
            return Server::HandlerResponse::Handled;
        });
        server_.Get(".*", [this](const Request& req, Response& res) { Handle(req, res); });
        // Reading the body ourselves keeps the library from form-decoding it,
        // which would also cap form bodies at 8 KiB: an event report with its
        // tunnel log is larger. The payload limit above still holds.
        server_.Post(".*",
                     [this](const Request& req, Response& res, const httplib::ContentReader& read) {
                         Request with_body = req;
                         const bool complete = read([&](const char* data, std::size_t length) {
                             with_body.body.append(data, length);
                             return true;
                         });
                         if (!complete) {
                             // The library set 413 (over the limit) or 400 (cut short).
                             res.status = res.status == 413 ? 413 : 400;
                             return;
                         }
                         Handle(with_body, res);
                     });
        server_.set_error_handler([](const Request&, Response& res) {
            if (res.body.empty() && !res.content_provider_) {
                res.set_content(StatusText(res.status), "text/plain");
            }
        });
        server_.set_exception_handler([](const Request&, Response& res, std::exception_ptr ep) {
            t_notes.note = "internal error";
            try {
                std::rethrow_exception(ep);
            } catch (const std::exception& e) {
                t_notes.note += std::string(": ") + e.what();
            } catch (...) {
            }
            res.status = 500;
            res.set_content("internal error\n", "text/plain");
        });
        // Requests the library answered itself (malformed, too long) reach
        // the journal here, after their answer.
        server_.set_logger([this](const Request& req, const Response& res) {
            if (!t_notes.logged) {
                Log(req, res);
            }
            t_notes = ExchangeNotes{};
        });
    }

    // Journals the request before its answer goes out, so that whoever got
    // the answer finds the line, in the order the requests were answered.
    void Handle(const Request& req, Response& res) {
        Serve(req, res);
        if (!t_notes.logged) {
            Log(req, res);
            t_notes.logged = true;
        }
    }

    void Serve(const Request& req, Response& res) {
        if (req.method != "GET" && req.method != "POST" && req.method != "HEAD") {
            res.status = 405;
            return;
        }
        const auto endpoint = RouteFor(config_, files_, req.path);
        if (!endpoint) {
            res.status = 404;
            res.set_content("not found\n", "text/plain");
            return;
        }
        const FailureRule* rule = injector_.Next(*endpoint);
        if (rule && rule->delay_ms > 0) {
            t_notes.injected.push_back("delay_ms=" + std::to_string(rule->delay_ms));
            stop_.WaitFor(std::chrono::milliseconds(rule->delay_ms));
        }
        if (rule && rule->drop) {
            t_notes.endpoint = std::string(EndpointName(*endpoint));
            t_notes.injected.push_back("drop");
            t_notes.dropped = true;
            // Journaled first: the peer may send its next request as soon
            // as it sees the connection end.
            Log(req, res);
            t_notes.logged = true;
            if (!ShutDownConnection(EndsOf(req), Shutdown::kBoth)) {
                res.status = 500;  // no socket to drop; unlikely, but answer
            }
            return;
        }
        const RequestView view{req.path, req.target, req.body};
        Reply reply =
            BuildReply(config_, files_, *endpoint, view, clock_.LocalSecondsNow(), t_notes);
        if (rule) {
            Inject(*rule, reply);
        }
        Send(reply, rule && rule->no_content_length, EndsOf(req), res);
    }

    static void Inject(const FailureRule& rule, Reply& reply) {
        if (rule.answer) {
            t_notes.injected.push_back("answer");
            t_notes.answer = *rule.answer;
            reply.body = reply.encoded ? EncodeForWire(*rule.answer) : *rule.answer;
        }
        if (rule.garbage) {
            t_notes.injected.push_back("garbage");
            reply.body = std::string(GarbageBody());
            reply.content_type = "text/html";
        }
        if (rule.status != 0) {
            t_notes.injected.push_back("status=" + std::to_string(rule.status));
            reply.status = rule.status;
            reply.body.clear();
        }
    }

    static void Send(const Reply& reply, bool without_length, const ConnectionEnds& ends,
                     Response& res) {
        res.status = reply.status;
        if (reply.body.empty() && reply.status != 200) {
            return;  // the error handler writes a short text
        }
        if (!without_length) {
            res.set_content(reply.body, reply.content_type);
            return;
        }
        t_notes.injected.push_back("no_content_length");
        // The answer ends where the connection does, as with an old server.
        // The library would keep the connection open after it, so the
        // sending side is shut once the body is out.
        res.set_header("Connection", "close");
        auto body = std::make_shared<std::string>(reply.body);
        res.set_content_provider(reply.content_type,
                                 [body, ends](std::size_t offset, httplib::DataSink& sink) {
                                     if (offset < body->size()) {
                                         sink.write(body->data() + offset, body->size() - offset);
                                     }
                                     sink.done();
                                     ShutDownConnection(ends, Shutdown::kSending);
                                     return true;
                                 });
    }

    void Log(const Request& req, const Response& res) {
        if (!journal_) {
            return;
        }
        JournalEntry entry;
        entry.time = UtcTimestampNow();
        entry.method = req.method;
        entry.path = req.path;
        entry.status = t_notes.dropped ? 0 : res.status;
        entry.endpoint = t_notes.endpoint;
        entry.fields = t_notes.fields;
        entry.note = t_notes.note.empty() ? NoteForLibraryStatus(res.status) : t_notes.note;
        entry.injected = t_notes.injected;
        entry.answer = t_notes.answer;
        journal_->Write(entry);
    }

    ServiceConfig config_;
    Journal* journal_;
    const Clock& clock_;
    FailureInjector injector_;
    std::vector<ServedFile> files_;
    StopSignal stop_;
    Server server_;
};

HttpService::HttpService(ServiceConfig config, Journal* journal, const Clock& clock)
    : impl_(std::make_unique<Impl>(std::move(config), journal, clock)) {}

HttpService::~HttpService() = default;

int HttpService::Bind(const std::string& host, int port) {
    return impl_->Bind(host, port);
}

void HttpService::Prepare(const std::string& listen_address) {
    impl_->Prepare(listen_address);
}

bool HttpService::Run() {
    return impl_->Run();
}

void HttpService::Stop() {
    impl_->Stop();
}

}  // namespace korvane::service
