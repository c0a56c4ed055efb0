#include <gtest/gtest.h>

#include "ConfigParser.h"
#include "IniReader.h"
#include "Placeholders.h"
#include "StaticContent.h"

namespace korvane::service {
namespace {

ServiceConfig Parse(const std::string& text) {
    ServiceConfig config;
    std::string error;
    EXPECT_TRUE(ParseConfig(text, "static.ini", 0, config, error)) << error;
    config.files_dir = "/srv/files";
    return config;
}

TEST(StaticContent, VersionFileAtTheClientsSetupPage) {
    ServiceConfig config = Parse(
        "[service]\nversion = 1190\ndownload = http://${self}/up/Setup_1190.exe\n"
        "version_line = version = \t1191\n");
    ResolvePlaceholders(config, "127.0.0.1:8080");
    const std::string text =
        "version=1190\ndownload=http://127.0.0.1:8080/up/Setup_1190.exe\nversion = \t1191\n";
    EXPECT_EQ(VersionFile(config, "/ClientVersion/korvane/korvane_setup.php"), text);
    EXPECT_EQ(VersionFile(config, "/ClientVersion/x/x_setup.php"), text);
    for (const char* path : {"/ClientVersion/korvane/other_setup.php", "/ClientVersion/korvane/",
                             "/ClientVersion//_setup.php", "/ClientVersion/korvane",
                             "/clientversion/korvane/korvane_setup.php"}) {
        EXPECT_FALSE(VersionFile(config, path)) << path;
    }
    EXPECT_FALSE(VersionFile(Parse(""), "/ClientVersion/korvane/korvane_setup.php"));
}

TEST(StaticContent, ServesTheCertificatesAndTheInstallerTheUrlsName) {
    ServiceConfig config = Parse(
        "[service]\ndownload = http://${self}/up/Setup_1190.exe?x=1\n"
        "[account a]\npassword = p\ncrt_file = http://${self}/crt/Korvane_CA.crt\n"
        "[account b]\npassword = p\ncrt_file = http://elsewhere/crt/korvane_ca.crt\n");
    ResolvePlaceholders(config, "127.0.0.1:8080");
    const auto files = ServedFiles(config);
    ASSERT_EQ(files.size(), 2u);
    // The client lower-cases the URL it learns from the account answer.
    EXPECT_EQ(FileFor(files, "/crt/korvane_ca.crt"), "/srv/files/Korvane_CA.crt");
    EXPECT_EQ(FileFor(files, "/up/Setup_1190.exe"), "/srv/files/Setup_1190.exe");
    EXPECT_FALSE(FileFor(files, "/crt/other.crt"));
}

TEST(StaticContent, UrlPath) {
    EXPECT_EQ(UrlPath("http://h:80/a/b.crt"), "/a/b.crt");
    EXPECT_EQ(UrlPath("http://h/a?q=1#f"), "/a");
    EXPECT_EQ(UrlPath("http://h"), "");
    EXPECT_EQ(UrlPath("/relative/x"), "/relative/x");
}

TEST(StaticContent, PagesAreUtf8HtmlWithTheWebHostFilledIn) {
    ServiceConfig config = Parse("[service]\nweb_host = www.korvane.test\n");
    ResolvePlaceholders(config, "127.0.0.1:8080");
    ASSERT_EQ(WebPages().size(), 5u);
    for (const WebPage& page : WebPages()) {
        const auto html = PageHtml(config, page.path);
        ASSERT_TRUE(html) << page.path;
        EXPECT_TRUE(IsUtf8(*html)) << page.path;
        EXPECT_NE(html->find("<html lang=\"ko\">"), std::string::npos) << page.path;
        EXPECT_EQ(html->find("${"), std::string::npos) << page.path;
    }
    EXPECT_NE(
        PageHtml(config, "/customer/faq.php")->find("http://www.korvane.test/member/idpw.php"),
        std::string::npos);
    EXPECT_FALSE(PageHtml(config, "/customer/none.php"));
}

TEST(StaticContent, WebHostDefaultsToTheServiceItself) {
    ServiceConfig config = Parse("[account a]\npassword = p\nmygame = ${web_host}\n");
    ResolvePlaceholders(config, "127.0.0.1:9");
    EXPECT_EQ(config.web_host, "127.0.0.1:9");
    EXPECT_EQ(FieldValue(config.accounts[0].answer, "mygame"), "127.0.0.1:9");
    ServiceConfig pub = Parse("[service]\npublic_address = vpn.example:80\n");
    ResolvePlaceholders(pub, "0.0.0.0:80");
    EXPECT_EQ(pub.web_host, "vpn.example:80");
}

}  // namespace
}  // namespace korvane::service
