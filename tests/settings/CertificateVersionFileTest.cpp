#include <gtest/gtest.h>

#include <string>

#include "TempFolder.h"
#include "settings/CertificateVersionFile.h"

namespace korvane {
namespace {

TEST(CertificateVersionFile, ReadsTheDecimalLineOrMinusOne) {
    test::TempFolder temp;
    EXPECT_EQ(ReadCertificateVersion(temp.path()), -1);  // missing
    struct Case {
        std::string content;
        int expected;
    };
    const Case cases[] = {{"", -1},         {"1000\r\n", 1000},   {"1000", 1000},
                          {"1000\n", 1000}, {" 1001 \r\n", 1001}, {"\r\n1000\r\n", -1},
                          {"abc\r\n", -1},  {"1000abc\r\n", -1},  {"99999999999\r\n", -1},
                          {"-1\r\n", -1},   {"0\r\n", 0}};
    for (const Case& c : cases) {
        test::WriteBytes(temp / "crtver.ini", c.content);
        EXPECT_EQ(ReadCertificateVersion(temp.path()), c.expected) << c.content;
    }
}

TEST(CertificateVersionFile, WriteReplacesTheFileWithOneLine) {
    test::TempFolder temp;
    test::WriteBytes(temp / "crtver.ini", "123456789\r\nstale\r\n");
    EXPECT_EQ(WriteCertificateVersion(temp.path(), 1002), 0);
    EXPECT_EQ(test::ReadBytes(temp / "crtver.ini"), "1002\r\n");
    EXPECT_EQ(ReadCertificateVersion(temp.path()), 1002);
    EXPECT_EQ(WriteCertificateVersion(temp / "missing", 1002), -1);
}

}  // namespace
}  // namespace korvane
