#include <gtest/gtest.h>

#include "HostFixture.h"
#include "ui/BasicControls.h"
#include "ui/Dialog.h"

namespace korvane {
namespace {

// A dialog that records what reached it.
class Probe : public Dialog {
  public:
    using Dialog::Dialog;
    std::vector<std::string> seen;
    bool swallow_enter = false;

    void Map() {
        MapCommand(1007, [this] { seen.push_back("command 1007"); });
        MapNotify(1020, Notification::DoubleClick, [this] { seen.push_back("dblclick 1020"); });
        MapMessage(1324, [this](long w, long l) {
            seen.push_back("message " + std::to_string(w) + " " + std::to_string(l));
            return 7L;
        });
    }

  protected:
    bool OnInitDialog() override {
        seen.push_back("init");
        return true;
    }
    bool PreTranslateKey(const KeyEvent& event) override {
        return swallow_enter && IsEnterDown(event);
    }
    void OnTimer(int id) override { seen.push_back("timer " + std::to_string(id)); }
};

class DialogTest : public HostFixture {};

TEST_F(DialogTest, HandlersRunByIdAndUnmappedOnesDoNothing) {
    Probe d(host_, "probe", 1);
    d.Map();
    d.Create(nullptr);
    d.DispatchCommand(1007);
    d.DispatchCommand(1008);
    d.DispatchNotify(1020, Notification::DoubleClick);
    d.DispatchNotify(1020, Notification::SelectionChange);
    EXPECT_EQ(d.SendMessage(1324, 1, 2), 7);
    EXPECT_EQ(d.SendMessage(1325), 0);
    EXPECT_EQ(d.seen,
              (std::vector<std::string>{"init", "command 1007", "dblclick 1020", "message 1 2"}));
    EXPECT_TRUE(d.visible() == false && !d.ended());
}

TEST_F(DialogTest, UnfilteredKeysEndTheDialogAndFiltersOfParentsSeeThemFirst) {
    struct Case {
        KeyEvent key;
        bool ends;
        int result;
    };
    const Case cases[] = {{{KeyMessage::KeyDown, kKeyReturn}, true, kIdOk},
                          {{KeyMessage::KeyDown, kKeyEscape}, true, kIdCancel},
                          {{KeyMessage::SysKeyDown, kKeyF4}, true, kIdCancel},
                          {{KeyMessage::Char, kKeyEscape}, false, 0},
                          {{KeyMessage::KeyDown, 'A'}, false, 0}};
    for (const Case& c : cases) {
        Probe d(host_, "probe", 1);
        d.Create(nullptr);
        d.Show(ShowMode::Show);
        d.DispatchKey(c.key);
        EXPECT_EQ(d.ended(), c.ends) << c.key.key;
        if (c.ends) {
            EXPECT_EQ(d.result(), c.result);
            EXPECT_FALSE(d.visible()) << "a modeless dialog hides when it ends";
        }
    }

    // The key goes to the panel, the main window's filter swallows it, and
    // neither ends.
    Probe main(host_, "main", 102);
    main.swallow_enter = true;
    main.Create(nullptr);
    Probe panel(host_, "panel", 133);
    panel.is_child = true;
    panel.Create(&main);
    EXPECT_TRUE(panel.DispatchKey({KeyMessage::KeyDown, kKeyReturn}));
    EXPECT_FALSE(panel.ended());
    EXPECT_FALSE(main.ended());
    // Escape is not filtered: the default goes to the top-level window.
    panel.DispatchKey({KeyMessage::KeyDown, kKeyEscape});
    EXPECT_TRUE(main.ended());
    EXPECT_FALSE(panel.ended());
}

TEST_F(DialogTest, ModalRunShowsTheDialogAndReturnsItsResult) {
    Probe d(host_, "options", 145);
    host_.SetModalHook([](Dialog& modal) {
        EXPECT_TRUE(modal.visible());
        modal.DispatchCommand(kIdOk);
    });
    EXPECT_EQ(d.DoModal(nullptr), kIdOk);
    EXPECT_FALSE(d.created());
    EXPECT_EQ(host_.FindDialog("options"), nullptr);
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{"modal options", "show options", "end options 1"}));

    // Nobody ends it: the run is abandoned.
    Probe other(host_, "other", 1);
    host_.SetModalHook([](Dialog&) {});
    EXPECT_EQ(other.DoModal(nullptr), kModalAbandoned);
}

TEST_F(DialogTest, DestroyingAWindowStopsItsTimersSilently) {
    auto d = std::make_unique<Probe>(host_, "probe", 1);
    d->Create(nullptr);
    d->SetTimer(1, 1000);
    NewLines();
    d.reset();
    EXPECT_TRUE(host_.timers().empty());
    EXPECT_TRUE(NewLines().empty());
    host_.AdvanceMilliseconds(5000);
}

TEST_F(DialogTest, ChangesBeforeCreationAreNotEvents) {
    Dialog d(host_, "d", 1);
    auto& edit = d.Add<Edit>(1005);
    edit.SetText("before");
    d.Move({1, 2, 3, 4});
    EXPECT_TRUE(Lines().empty());
    d.Create(nullptr);
    edit.SetText("after");
    d.CenterOver(d);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"text d.1005 \"after\"", "move d 1 2 3 4"}));
}

}  // namespace
}  // namespace korvane
