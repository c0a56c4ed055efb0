#include <gtest/gtest.h>

#include "CommandLine.h"

namespace korvane::service {
namespace {

TEST(CommandLine, ReadsTheOptions) {
    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"--listen", "127.0.0.1:0", "--config", "a.ini", "--journal", "j"},
                                 line, error))
        << error;
    EXPECT_EQ(line.config, "a.ini");
    EXPECT_EQ(line.host, "127.0.0.1");
    EXPECT_EQ(line.port, 0);
    EXPECT_EQ(line.journal, "j");

    ASSERT_TRUE(ParseCommandLine({"--config", "a.ini", "--listen", "[::1]:8080"}, line, error));
    EXPECT_EQ(line.host, "::1");
    EXPECT_EQ(line.shown_host, "[::1]");
    EXPECT_EQ(line.port, 8080);
}

TEST(CommandLine, RefusesWhatDoesNotFit) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--config", "a.ini"},
        {"--listen", "127.0.0.1:0"},
        {"--config", "a.ini", "--listen"},
        {"--config", "a.ini", "--listen", "127.0.0.1"},
        {"--config", "a.ini", "--listen", "127.0.0.1:65536"},
        {"--config", "a.ini", "--listen", "127.0.0.1:-1"},
        {"--config", "a.ini", "--listen", ":80"},
        {"--config", "a.ini", "--listen", "[::1:80"},
        {"--config", "a.ini", "--listen", "127.0.0.1:80x"},
        {"--config", "a.ini", "--listen", "127.0.0.1:0", "--verbose"},
    };
    for (const auto& args : cases) {
        CommandLine line;
        std::string error;
        EXPECT_FALSE(ParseCommandLine(args, line, error)) << ::testing::PrintToString(args);
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace korvane::service
