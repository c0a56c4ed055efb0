#include "Journal.h"

#include <chrono>
#include <ctime>
#include <nlohmann/json.hpp>

namespace korvane::service {

std::string JournalLine(const JournalEntry& entry) {
    nlohmann::ordered_json fields = nlohmann::ordered_json::object();
    for (const auto& [key, value] : entry.fields) {
        if (!fields.contains(key)) {
            fields[key] = value;
        }
    }
    nlohmann::ordered_json line = {
        {"time", entry.time},     {"method", entry.method},     {"path", entry.path},
        {"status", entry.status}, {"endpoint", entry.endpoint}, {"fields", std::move(fields)},
    };
    if (!entry.note.empty()) {
        line["note"] = entry.note;
    }
    if (!entry.injected.empty()) {
        line["injected"] = entry.injected;
    }
    if (entry.answer) {
        line["answer"] = *entry.answer;
    }
    return line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string UtcTimestampNow() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[40];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    std::snprintf(text + length, sizeof text - length, ".%03dZ", static_cast<int>(millis));
    return text;
}

Journal::~Journal() {
    if (file_) {
        std::fclose(file_);
    }
}

bool Journal::Open(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (file_) {
        std::fclose(file_);
    }
    file_ = std::fopen(path.c_str(), "ab");
    return file_ != nullptr;
}

void Journal::Write(const JournalEntry& entry) {
    const std::string line = JournalLine(entry) + "\n";
    std::lock_guard lock(mutex_);
    if (file_) {
        std::fwrite(line.data(), 1, line.size(), file_);
        std::fflush(file_);
    }
}

}  // namespace korvane::service
