#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>

#include "GuiFixture.h"
#include "ui/CTrayIcon.h"
#include "ui/WindowMessages.h"
#include "ui/qt/PopupMenus.h"

namespace korvane::gui {
namespace {

class TrayTest : public GuiTest {};

TEST_F(TrayTest, WithoutANotificationAreaTheIconIsNotCreated) {
    TestDialog main(host_, "main", 102);
    Open(main);
    CTrayIcon tray(host_);
    EXPECT_EQ(host_.TrayAvailable(), QSystemTrayIcon::isSystemTrayAvailable());
    host_.SetTrayAvailable(false);
    EXPECT_EQ(tray.Create(&main), 0);
    EXPECT_FALSE(host_.tray().present());
    tray.SetIcon(CTrayIcon::kIconConnected);
    tray.SetTooltip("x");
    EXPECT_FALSE(host_.tray().present());
}

TEST(TrayGestures, EachActivationIsTheMouseMessagesOfItsGesture) {
    EXPECT_EQ(QtTray::MouseMessages(QSystemTrayIcon::Trigger),
              (std::vector<long>{kMouseLeftDown, kMouseLeftUp}));
    EXPECT_EQ(QtTray::MouseMessages(QSystemTrayIcon::DoubleClick),
              (std::vector<long>{kMouseLeftDoubleClick, kMouseLeftUp}));
    EXPECT_EQ(QtTray::MouseMessages(QSystemTrayIcon::Context),
              (std::vector<long>{kMouseRightDown, kMouseRightUp}));
    EXPECT_TRUE(QtTray::MouseMessages(QSystemTrayIcon::MiddleClick).empty());
}

TEST_F(TrayTest, MenuHasTheResourcesItemsWithTheDefaultInBold) {
    PopupMenu resource = CTrayIcon::Menu();
    resource.items.front().is_default = true;
    const auto menu = BuildPopupMenu(resource);
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_EQ(actions[0]->text(), "zivevo");
    EXPECT_EQ(actions[0]->data().toInt(), CTrayIcon::kCommandDefault);
    EXPECT_TRUE(actions[0]->font().bold());
    EXPECT_EQ(menu->defaultAction(), actions[0]);
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->text(), QString::fromUtf8("열기"));
    EXPECT_EQ(actions[3]->text(), QString::fromUtf8("끝내기"));
    EXPECT_FALSE(actions[2]->font().bold());
}

TEST_F(TrayTest, TrackedMenuGivesTheChosenCommandOrNothing) {
    TestDialog main(host_, "main", 102);
    Open(main);
    WhenModalShows([](QWidget& popup) {
        auto* menu = qobject_cast<QMenu*>(&popup);
        ASSERT_NE(menu, nullptr);
        menu->setActiveAction(menu->actions()[2]);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    EXPECT_EQ(host_.TrackPopupMenu(CTrayIcon::Menu(), main), CTrayIcon::kCommandOpen);
    WhenModalShows([](QWidget& popup) { QTest::keyClick(&popup, Qt::Key_Escape); });
    EXPECT_EQ(host_.TrackPopupMenu(CTrayIcon::Menu(), main), 0);
}

}  // namespace
}  // namespace korvane::gui
