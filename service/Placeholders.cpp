#include "Placeholders.h"

namespace korvane::service {

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
    std::size_t pos = 0;
    while ((pos = text.find(from, pos)) != std::string::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
    return text;
}

void ResolvePlaceholders(ServiceConfig& config, std::string_view listen_address) {
    const std::string self =
        config.public_address.empty() ? std::string(listen_address) : config.public_address;
    if (config.web_host.empty()) {
        config.web_host = "${self}";
    }
    config.web_host = ReplaceAll(config.web_host, "${self}", self);
    const auto resolve = [&](std::string& text) {
        text = ReplaceAll(ReplaceAll(std::move(text), "${self}", self), "${web_host}",
                          config.web_host);
    };
    for (std::string& line : config.version_lines) {
        resolve(line);
    }
    for (Account& account : config.accounts) {
        for (auto& field : account.answer) {
            resolve(field.second);
        }
        for (std::string& message : account.messages) {
            resolve(message);
        }
    }
    for (FailureRule& rule : config.failures) {
        if (rule.answer) {
            resolve(*rule.answer);
        }
    }
}

}  // namespace korvane::service
