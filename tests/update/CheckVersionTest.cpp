#include <gtest/gtest.h>

#include "app/SessionContext.h"
#include "protocol/AccountInfo.h"
#include "update/CheckVersion.h"

namespace korvane {
namespace {

struct VersionCase {
    const char* name;
    const char* text;
    int version;
    const char* url;
    const char* file;
};

class VersionFileTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionFileTest, ReadsTheLinesOverTheLoginValues) {
    const VersionCase& c = GetParam();
    AccountInfo account;
    account.update_version = 1187;
    account.update_url = "http://login/old.exe";
    account.update_file = "old.exe";
    ApplyVersionFile(c.text, account);
    EXPECT_EQ(account.update_version, c.version);
    EXPECT_EQ(account.update_url, c.url);
    EXPECT_EQ(account.update_file, c.file);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, VersionFileTest,
    ::testing::Values(
        VersionCase{"BlanksAndTabsAroundTheEquals",
                    "version \t=  1190\r\ndownload\t= http://h/dir/Setup_1190.exe\r\n", 1190,
                    "http://h/dir/Setup_1190.exe", "Setup_1190.exe"},
        VersionCase{"EmptyVersionKeepsTheOldOne", "version=\n", 1187, "http://login/old.exe",
                    "old.exe"},
        VersionCase{"LeadingDigitsOnly", "version=1191beta\n", 1191, "http://login/old.exe",
                    "old.exe"},
        VersionCase{"NoDigitsReadsZero", "version=new\n", 0, "http://login/old.exe", "old.exe"},
        VersionCase{"FiveCharactersAreTooShort", "download=a/b.e\n", 1187, "http://login/old.exe",
                    "old.exe"},
        VersionCase{"SixCharactersAreAnAddress", "download=a/b.ex\n", 1187, "a/b.ex", "b.ex"},
        VersionCase{"NoSlashGivesTheWholeText", "download=setup.exe\n", 1187, "setup.exe",
                    "setup.exe"},
        VersionCase{"ASecondEqualsEndsTheValue", "version=1200=1300\n", 1200,
                    "http://login/old.exe", "old.exe"},
        VersionCase{"OtherLinesAreIgnored", "<html>\nname=x\n", 1187, "http://login/old.exe",
                    "old.exe"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UpdateDecision, OnlyAHigherVersionIsDue) {
    SessionContext session;
    session.ccver = 1187;
    AccountInfo account;
    for (const auto& [version, due] :
         std::vector<std::pair<int, bool>>{{0, false}, {1187, false}, {1188, true}}) {
        account.update_version = version;
        EXPECT_EQ(UpdateIsDue(session, account), due) << version;
    }
}

}  // namespace
}  // namespace korvane
