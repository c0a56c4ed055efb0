#include "app/LoginAnswerJudging.h"

#include "protocol/AnswerFields.h"

namespace korvane {

namespace {

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

std::vector<std::string_view> Cut(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    while (true) {
        const std::size_t at = text.find(separator);
        pieces.push_back(text.substr(0, at));
        if (at == std::string_view::npos) {
            return pieces;
        }
        text.remove_prefix(at + 1);
    }
}

// The text between the first and the second "=".
std::string_view SecondPart(std::string_view field) {
    const std::size_t first = field.find('=');
    if (first == std::string_view::npos) {
        return {};
    }
    const std::string_view rest = field.substr(first + 1);
    return rest.substr(0, rest.find('='));
}

}  // namespace

LoginVerdict JudgeLoginAnswer(std::string_view answer) {
    if (answer.empty() || !LooksLikeAnswerText(answer)) {
        return LoginVerdict::NoAnswer;
    }
    if (Contains(answer, "login_auth=no")) {
        return LoginVerdict::Refused;
    }
    if (Contains(answer, "login_auth=stop")) {
        return LoginVerdict::Suspended;
    }
    if (Contains(answer, "server_error=")) {
        return LoginVerdict::ServerMessage;
    }
    if (Contains(answer, "xxxtime=|") && Contains(answer, "xxxdate=|")) {
        return LoginVerdict::NoServiceTime;
    }
    return LoginVerdict::Accepted;
}

bool LooksLikeAnswerText(std::string_view answer) {
    // The code page conversion marks bytes that were no CP949 text.
    if (answer.find("\xEF\xBF\xBD") != std::string_view::npos) {
        return false;
    }
    for (char c : answer) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t' && c != '\r' && c != '\n') || byte == 0x7F) {
            return false;
        }
    }
    return true;
}

std::string RemoveCrLf(std::string_view answer) {
    return answer::ReplaceAll(answer, "\r\n", "");
}

std::vector<std::string> ServerMessages(std::string_view answer, int& retry_count) {
    for (std::string_view field : Cut(answer, '|')) {
        if (Contains(field, "login_retry_count=")) {
            const std::string_view value = SecondPart(field);
            if (!value.empty()) {
                retry_count = answer::ParseDecimal(value);
            }
            continue;
        }
        if (Contains(field, "server_error=")) {
            std::vector<std::string> messages;
            for (std::string_view message : Cut(SecondPart(field), '^')) {
                messages.emplace_back(message);
            }
            return messages;
        }
    }
    return {};
}

}  // namespace korvane
