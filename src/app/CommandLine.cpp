#include "app/CommandLine.h"

#include "app/SessionContext.h"

namespace korvane {

std::vector<std::string> SplitFields(const std::string& text, char separator) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        fields.push_back(text.substr(start, end - start));
        if (end == std::string::npos) {
            return fields;
        }
        start = end + 1;
    }
}

void ApplyLaunchArgument(const std::optional<std::string>& argument, SessionContext& session) {
    if (!argument.has_value() || argument->empty()) {
        session.client_code = kDefaultClientCode;
    } else {
        std::vector<std::string> fields = SplitFields(*argument, '^');
        fields.resize(std::max<std::size_t>(fields.size(), 4));
        if (fields[3] == kLaunchGate) {
            session.client_code = fields[0];
            session.user_id = fields[1];
            session.password = fields[2];
        }
    }
    session.setup_page = session.client_code + "_setup.php";
}

}  // namespace korvane
