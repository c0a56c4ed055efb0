#include <gtest/gtest.h>

#include "HostFixture.h"
#include "ui/CTrayIcon.h"
#include "ui/Dialog.h"

namespace korvane {
namespace {

// An owner window that notes the commands and messages it receives.
class Owner : public Dialog {
  public:
    explicit Owner(Host& host) : Dialog(host, "main", 102) {
        for (int id : {32771, 32774, 32775}) {
            MapCommand(id, [this, id] { commands.push_back(id); });
        }
        MapMessage(kUserMessage, [this](long, long) {
            ++user_messages;
            return 0L;
        });
    }
    std::vector<int> commands;
    int user_messages = 0;
};

class TrayIconTest : public HostFixture {
  protected:
    void SetUp() override { owner_.Create(nullptr); }
    Owner owner_{host_};
};

TEST_F(TrayIconTest, CreateFillsTheRecordAndAddsTheIcon) {
    CTrayIcon tray(host_);
    EXPECT_EQ(tray.Create(&owner_), 1);
    EXPECT_TRUE(tray.enabled());
    const TrayIconRecord& r = tray.record();
    EXPECT_EQ(r.id, 129);
    EXPECT_EQ(r.callback_message, 1012);
    EXPECT_EQ(r.flags,
              TrayIconRecord::kFlagMessage | TrayIconRecord::kFlagIcon | TrayIconRecord::kFlagTip);
    EXPECT_EQ(r.icon, 0);
    EXPECT_EQ(r.tip, " Korvane 매니저 ");
    tray.SetIcon(CTrayIcon::kIconConnected);
    EXPECT_EQ(host_.tray().icon, 214);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"tray add id=129 icon=0 tip=\" Korvane 매니저 \"",
                                                 "tray icon 214"}));
}

TEST_F(TrayIconTest, WithoutANotificationAreaOrOwnerEveryOperationDoesNothing) {
    Dialog not_created(host_, "other", 1);
    struct Case {
        bool available;
        Dialog* owner;
    };
    for (const Case& c : {Case{false, &owner_}, Case{true, nullptr}, Case{true, &not_created}}) {
        host_.SetTrayAvailable(c.available);
        CTrayIcon tray(host_);
        EXPECT_EQ(tray.Create(c.owner), 0);
        EXPECT_FALSE(tray.enabled());
        tray.SetTooltip("tip");
        tray.SetIcon(213);
        tray.RemoveIcon();
    }
    EXPECT_TRUE(Lines().empty());
    EXPECT_FALSE(host_.tray().present);
}

TEST_F(TrayIconTest, AfterRemoveIconNothingChanges) {
    CTrayIcon tray(host_);
    tray.Create(&owner_);
    tray.SetIcon(213);
    tray.RemoveIcon();
    NewLines();
    tray.SetIcon(214);
    tray.SetTooltip("changed");
    tray.RemoveIcon();
    EXPECT_TRUE(NewLines().empty());
    EXPECT_FALSE(host_.tray().present);
}

TEST_F(TrayIconTest, TheTipIsCutToItsBufferWithoutSplittingACharacter) {
    struct Case {
        std::string text;
        std::size_t kept;
    };
    std::string korean;
    for (int i = 0; i < 43; ++i) {
        korean += "매";  // three bytes each: 129 bytes
    }
    const Case cases[] = {{std::string(127, 'a'), 127},
                          {std::string(128, 'a'), 127},
                          {std::string(500, 'a'), 127},
                          {korean, 126},
                          {"a" + korean, 127}};
    CTrayIcon tray(host_);
    tray.Create(&owner_);
    for (const Case& c : cases) {
        tray.SetTooltip(c.text);
        EXPECT_EQ(host_.tray().tip.size(), c.kept);
        EXPECT_EQ(host_.tray().tip, c.text.substr(0, c.kept));
    }
}

TEST_F(TrayIconTest, AnotherIconsCallbackIsNotHandled) {
    CTrayIcon tray(host_);
    tray.Create(&owner_);
    NewLines();
    EXPECT_EQ(tray.OnTrayNotification(130, kMouseRightUp), 0);
    EXPECT_TRUE(NewLines().empty()) << "no menu";
    EXPECT_TRUE(owner_.commands.empty());
}

TEST_F(TrayIconTest, RightClickShowsTheMenuAndTheChoiceGoesToTheOwner) {
    CTrayIcon tray(host_);
    tray.Create(&owner_);
    NewLines();
    host_.QueueMenuChoice(32775);
    EXPECT_EQ(tray.OnTrayNotification(129, kMouseRightUp), 1);
    EXPECT_EQ(NewLines(),
              (std::vector<std::string>{"foreground main",
                                        "menu 129 items=32771*,-,32774,32775 choice=32775"}));
    EXPECT_EQ(owner_.commands, (std::vector<int>{32775}));
    EXPECT_EQ(owner_.user_messages, 1);

    // Dismissed: nothing is chosen.
    EXPECT_EQ(tray.OnTrayNotification(129, kMouseRightUp), 1);
    EXPECT_EQ(owner_.commands.size(), 1u);
}

TEST_F(TrayIconTest, DoubleClickSendsTheDefaultItemAndOtherMessagesOnlyAnswer) {
    CTrayIcon tray(host_);
    tray.Create(&owner_);
    EXPECT_EQ(tray.OnTrayNotification(129, kMouseLeftDoubleClick), 1);
    EXPECT_EQ(owner_.commands, (std::vector<int>{32771}));
    for (long message : {kMouseLeftDown, kMouseLeftUp, kMouseRightDown, 0x200L}) {
        EXPECT_EQ(tray.OnTrayNotification(129, message), 1);
    }
    EXPECT_EQ(owner_.commands.size(), 1u);
}

TEST_F(TrayIconTest, TheIconGoesWithItsObject) {
    {
        CTrayIcon tray(host_);
        tray.Create(&owner_);
    }
    EXPECT_FALSE(host_.tray().present);
    EXPECT_EQ(Lines().back(), "tray remove");
}

}  // namespace
}  // namespace korvane
