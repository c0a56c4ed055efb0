#include <cstdlib>

#include "GuiFixture.h"
#include "ServiceFixture.h"
#include "ui/CExplorer1.h"
#include "ui/qt/BrowserView.h"

namespace korvane::gui {
namespace {

using korvane::testing::ServiceFixture;

constexpr const char* kConfig = "[service]\nweb_host = ${self}\n";

class BrowserTest : public GuiTest {
  protected:
    void SetUp() override { ASSERT_TRUE(service_.Start(kConfig)); }
    void TearDown() override { unsetenv("KORVANE_BROWSER"); }

    BrowserView& Navigate(TestDialog& dialog, const std::string& url) {
        auto& browser = dialog.Add<CExplorer1>(1010);
        browser.Move({0, 0, 400, 120});
        Open(dialog);
        browser.Navigate2(url);
        return WidgetOf<BrowserView>(dialog, 1010);
    }

    ServiceFixture service_;
};

TEST_F(BrowserTest, NothingIsLoadedBeforeTheFirstNavigation) {
    TestDialog login(host_, "login", 133);
    login.Add<CExplorer1>(1010);
    Open(login);
    auto& view = WidgetOf<BrowserView>(login, 1010);
    Pump(50);
    EXPECT_FALSE(view.has_page());
    EXPECT_EQ(view.loads_finished(), 0);
}

TEST_F(BrowserTest, LightViewLoadsTheBannerFromTheWebHost) {
    setenv("KORVANE_BROWSER", "light", 1);
    TestDialog status(host_, "status", 131);
    BrowserView& view = Navigate(status, service_.Url("/vpn_program/banner.php"));
    EXPECT_EQ(view.engine(), BrowserEngine::Light);
    ASSERT_TRUE(WaitUntil([&] { return view.loads_finished() == 1; }));
    EXPECT_TRUE(view.last_load_ok());
    EXPECT_EQ(view.PageTitle(), "Korvane");
    EXPECT_TRUE(view.PageText().contains(QString::fromUtf8("이용권")));
}

TEST_F(BrowserTest, UnreachableHostShowsThePagesOwnErrorAndReportsNothing) {
    setenv("KORVANE_BROWSER", "light", 1);
    TestDialog status(host_, "status", 131);
    BrowserView& view = Navigate(status, "http://127.0.0.1:1/vpn_program/banner.php");
    ASSERT_TRUE(WaitUntil([&] { return view.loads_finished() == 1; }));
    EXPECT_FALSE(view.last_load_ok());
    EXPECT_TRUE(view.PageText().contains(QString::fromUtf8("페이지를 표시할 수 없습니다")));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(BrowserTest, WebEngineLoadsTheUpdatePage) {
    if (!WebEngineBuilt()) {
        GTEST_SKIP() << "built without Qt WebEngine";
    }
    TestDialog update(host_, "update", 141);
    BrowserView& view = Navigate(update, service_.Url("/vpn_program/update.php"));
    EXPECT_EQ(view.engine(), BrowserEngine::Web);
    ASSERT_TRUE(WaitUntil([&] { return view.loads_finished() >= 1; }, 20000));
    EXPECT_TRUE(view.last_load_ok());
    EXPECT_FALSE(view.PageTitle().isEmpty());
    // A second navigation loads again; a repaint does not.
    update.Find(1010)->RedrawNow();
    static_cast<CExplorer1*>(update.Find(1010))->Navigate(service_.Url("/vpn_program/banner.php"));
    ASSERT_TRUE(WaitUntil([&] { return view.loads_finished() >= 2; }, 20000));
    EXPECT_EQ(view.PageTitle(), "Korvane");
}

}  // namespace
}  // namespace korvane::gui
