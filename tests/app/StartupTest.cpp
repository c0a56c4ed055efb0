#include <gtest/gtest.h>

#include "app/CKorvaneApp.h"
#include "app/CommandLine.h"
#include "app/DeploySettings.h"
#include "app/KorvaneOptions.h"
#include "app/SessionContext.h"

namespace korvane {
namespace {

TEST(LaunchArgument, TakesTheAccountOnlyThroughTheGate) {
    struct Case {
        std::optional<std::string> argument;
        std::string client_code;
        std::string user_id;
        std::string password;
        std::string setup_page;
    };
    const Case cases[] = {
        {std::nullopt, "korvane", "", "", "korvane_setup.php"},
        {"", "korvane", "", "", "korvane_setup.php"},
        {"acme^user1^Secret^7194", "acme", "user1", "Secret", "acme_setup.php"},
        {"^user1^pw^7194", "", "user1", "pw", "_setup.php"},
        {"acme^user1^pw^7195", "", "", "", "_setup.php"},
        {"acme^user1^pw", "", "", "", "_setup.php"},
        {"acme", "", "", "", "_setup.php"},
        {"acme^user1^pw^7194^extra", "acme", "user1", "pw", "acme_setup.php"},
        {"acme^^^7194", "acme", "", "", "acme_setup.php"},
    };
    for (const Case& c : cases) {
        SessionContext session;
        ApplyLaunchArgument(c.argument, session);
        const std::string label = c.argument.value_or("(none)");
        EXPECT_EQ(session.client_code, c.client_code) << label;
        EXPECT_EQ(session.user_id, c.user_id) << label;
        EXPECT_EQ(session.password, c.password) << label;
        EXPECT_EQ(session.setup_page, c.setup_page) << label;
    }
}

TEST(SplitFields, KeepsEmptyPieces) {
    EXPECT_EQ(SplitFields("", '^'), (std::vector<std::string>{""}));
    EXPECT_EQ(SplitFields("a^^b^", '^'), (std::vector<std::string>{"a", "", "b", ""}));
}

TEST(HttpHeaders, AreTheFixedTwoLineBlock) {
    const std::string headers(kHttpHeaders);
    EXPECT_EQ(headers.size(), 180u);
    EXPECT_EQ(headers.find("\r\n"), 47u);
    EXPECT_EQ(headers.rfind("\r\n"), 47u);
}

TEST(DeploySettings, ReadsKeysOverTheDefaultsAndNamesFaultyLines) {
    DeploySettings settings;
    std::string error;
    ASSERT_EQ(ParseDeploySettings("# loopback service\n"
                                  "auth_host = 127.0.0.1\n"
                                  "web_host = 127.0.0.1:8080\n"
                                  "port = 8081\n"
                                  "receive_timeout = 5\n",
                                  "deploy.ini", settings, error),
              0)
        << error;
    EXPECT_EQ(settings.auth_host_name, "127.0.0.1");
    EXPECT_EQ(settings.web_host, "127.0.0.1:8080");
    EXPECT_EQ(settings.port, 8081);
    EXPECT_EQ(settings.receive_timeout_seconds, 5);
    EXPECT_EQ(settings.connect_timeout_seconds, DeploySettings{}.connect_timeout_seconds);

    struct Case {
        std::string text;
        std::string error;
    };
    const Case cases[] = {
        {"port = 0\n", "d:1: port must be a number from 1 to 65535"},
        {"\nport = 80x\n", "d:2: port must be a number from 1 to 65535"},
        {"web_host = evil.example/path?\n", "d:1: web_host must be a host name or address"},
        {"auth_host =\n", "d:1: auth_host must be a host name or address"},
        {"connect_timeout = 0\n",
         "d:1: connect_timeout must be a number of seconds from 1 to 3600"},
        {"colour = blue\n", "d:1: unknown key colour"},
        {"[deploy]\nport = 80\n", "d:1: the file has no sections"},
        {"port\n", "d:1: expected key = value"},
    };
    for (const Case& c : cases) {
        DeploySettings s;
        EXPECT_EQ(ParseDeploySettings(c.text, "d", s, error), -1) << c.text;
        EXPECT_EQ(error, c.error);
    }
}

TEST(DeploySettings, AMissingFileKeepsTheDefaults) {
    DeploySettings settings;
    std::string error;
    EXPECT_EQ(LoadDeploySettings("/nonexistent/deploy.ini", settings, error), 0);
    EXPECT_EQ(settings.web_host, DeploySettings{}.web_host);
    EXPECT_EQ(LoadDeploySettings("/", settings, error), -1);
}

TEST(KorvaneOptions, ParsesTheProgramsCommandLine) {
    const char* argv[] = {"korvane",   "--headless", "--script",      "-",      "--platform", "sim",
                          "--machine", "m.ini",      "acme^u^p^7194", "ignored"};
    KorvaneOptions o;
    std::string error;
    ASSERT_EQ(ParseKorvaneOptions(10, argv, o, error), 0) << error;
    EXPECT_TRUE(o.headless);
    EXPECT_EQ(o.script, "-");
    EXPECT_EQ(o.platform, "sim");
    EXPECT_EQ(o.machine, "m.ini");
    EXPECT_EQ(o.argument, "acme^u^p^7194");

    struct Case {
        std::vector<const char*> argv;
        std::string error;
    };
    const Case cases[] = {
        {{"korvane", "--platform", "windows"}, "--platform is linux or sim, not windows"},
        {{"korvane", "--machine", "m.ini"}, "--machine needs --platform sim"},
        {{"korvane", "--script"}, "--script needs a value"},
        {{"korvane", "--script", "s.txt"}, "--script needs --headless"},
        {{"korvane", "--fast"}, "unknown option --fast"},
    };
    for (const Case& c : cases) {
        KorvaneOptions bad;
        EXPECT_EQ(ParseKorvaneOptions(static_cast<int>(c.argv.size()), c.argv.data(), bad, error),
                  -1);
        EXPECT_EQ(error, c.error);
    }
    const char* dashes[] = {"korvane", "--", "--headless"};
    KorvaneOptions literal;
    ASSERT_EQ(ParseKorvaneOptions(3, dashes, literal, error), 0);
    EXPECT_FALSE(literal.headless);
    EXPECT_EQ(literal.argument, "--headless");
}

}  // namespace
}  // namespace korvane
