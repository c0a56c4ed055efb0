#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "Journal.h"

namespace korvane::service {
namespace {

TEST(Journal, LineIsOneJsonObjectWithEveryTextEscaped) {
    JournalEntry entry;
    entry.time = "2030-06-15T03:00:00.000Z";
    entry.method = "POST";
    entry.path = "/ClientLogin/client_event_v1.php";
    entry.status = 200;
    entry.endpoint = "event";
    entry.fields = {{"client_id", "say \"hi\"\\"},
                    {"event", "line 1\r\nline 2\t\x01\x1f end"},
                    {"name", "김\xff\xfe철수"},
                    {"client_id", "second value is dropped"}};
    entry.injected = {"delay_ms=5"};
    entry.answer = "result=ok";

    const std::string line = JournalLine(entry);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_EQ(line.find('\r'), std::string::npos);
    EXPECT_NE(line.find("\\u0001"), std::string::npos);

    const auto json = nlohmann::json::parse(line);
    EXPECT_EQ(json["time"], entry.time);
    EXPECT_EQ(json["method"], "POST");
    EXPECT_EQ(json["path"], entry.path);
    EXPECT_EQ(json["status"], 200);
    EXPECT_EQ(json["endpoint"], "event");
    EXPECT_EQ(json["fields"]["client_id"], "say \"hi\"\\");
    EXPECT_EQ(json["fields"]["event"], "line 1\r\nline 2\t\x01\x1f end");
    EXPECT_EQ(json["fields"]["name"], "김\xEF\xBF\xBD\xEF\xBF\xBD철수");
    EXPECT_EQ(json["fields"].size(), 3u);
    EXPECT_EQ(json["injected"], nlohmann::json::array({"delay_ms=5"}));
    EXPECT_EQ(json["answer"], "result=ok");
    EXPECT_FALSE(json.contains("note"));
}

TEST(Journal, AppendsOneFlushedLinePerEntry) {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("journal-" + std::to_string(getpid()))).string();
    std::filesystem::remove(path);
    {
        Journal journal;
        ASSERT_TRUE(journal.Open(path));
        JournalEntry entry;
        entry.path = "/a";
        journal.Write(entry);
        // Flushed: readable before the journal closes.
        std::ifstream in(path);
        std::string first;
        ASSERT_TRUE(std::getline(in, first));
        EXPECT_EQ(nlohmann::json::parse(first)["path"], "/a");
        entry.path = "/b";
        journal.Write(entry);
    }
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(nlohmann::json::parse(lines[1])["path"], "/b");
    std::filesystem::remove(path);
}

TEST(Journal, OpenFailsForAnUnwritablePath) {
    Journal journal;
    EXPECT_FALSE(journal.Open("/nonexistent-folder/journal.jsonl"));
}

}  // namespace
}  // namespace korvane::service
