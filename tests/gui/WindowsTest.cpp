#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <thread>

#include "GuiFixture.h"
#include "ui/BasicControls.h"
#include "ui/CBitmapButton.h"
#include "ui/KeyFilter.h"
#include "ui/qt/ShellDialogs.h"

namespace korvane::gui {
namespace {

class WindowsTest : public GuiTest {};

TEST_F(WindowsTest, BackgroundBitmapIsDrawnAtTheOrigin) {
    TestDialog status(host_, "status", 131);
    status.background_bitmap = 149;
    Open(status);
    DialogWindow& window = WindowOf(status);
    EXPECT_EQ(window.size(), QSize(451, 353));
    const QImage drawn = window.grab().toImage();
    const QImage bitmap = host_.skin().Bitmap(149).toImage();
    for (const QPoint p : {QPoint(0, 0), QPoint(40, 60), QPoint(450, 352)}) {
        EXPECT_EQ(drawn.pixelColor(p), bitmap.pixelColor(p)) << p.x() << "," << p.y();
    }
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
}

TEST_F(WindowsTest, FramelessWindowDragsFromAnyPointThatIsNotAControl) {
    TestDialog main(host_, "main", 102);
    main.drags_anywhere = true;
    main.Add<Edit>(1005).Move({100, 100, 100, 24});
    TestDialog panel(host_, "login", 133);
    panel.is_child = true;
    Open(main);
    panel.Create(&main);
    panel.Move({500, 200, 200, 100});
    panel.Show(ShowMode::Show);
    DialogWindow& window = WindowOf(main);
    const Rect start = main.rect();

    const auto drag = [&](QWidget& on, QPoint from) {
        QTest::mousePress(&on, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(from + QPoint(30, 20)),
                         QPointF(on.mapToGlobal(from + QPoint(30, 20))), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&on, &move);
        QTest::mouseRelease(&on, Qt::LeftButton, {}, from + QPoint(30, 20));
        Pump(5);
    };
    drag(WidgetOf(main, 1005), {5, 5});
    EXPECT_EQ(main.rect(), start) << "a press on a control does not drag";
    drag(WindowOf(panel), {5, 5});
    EXPECT_EQ(main.rect(), start) << "a child panel does not drag its parent";
    drag(window, {20, 300});
    EXPECT_EQ(main.rect().x, start.x + 30);
    EXPECT_EQ(main.rect().y, start.y + 20);
    EXPECT_EQ(main.rect().width, start.width);
}

TEST_F(WindowsTest, KeysPassTheFiltersBeforeTheFocusedWidget) {
    TestDialog main(host_, "main", 102);
    main.key_filter = MainWindowKeyFilter;
    TestDialog panel(host_, "login", 133);
    panel.is_child = true;
    auto& edit = panel.Add<Edit>(1005);
    main.Record(kIdOk);
    main.Record(kIdCancel);
    Open(main);
    panel.Create(&main);
    panel.Show(ShowMode::Show);
    auto& view = WidgetOf<QLineEdit>(panel, 1005);
    Focus(view);
    QTest::keyClicks(&view, "ab");
    QTest::keyClick(&view, Qt::Key_Return);
    QTest::keyClick(&view, Qt::Key_Escape);
    QTest::keyClick(&view, Qt::Key_F4, Qt::AltModifier);
    EXPECT_EQ(edit.text(), "ab");
    EXPECT_TRUE(main.commands.empty()) << "Enter and Escape are swallowed by the main filter";
    EXPECT_TRUE(main.visible());

    // Without a filter Enter ends the dialog with OK.
    main.key_filter = nullptr;
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(main.commands, std::vector<int>{kIdOk});
}

TEST_F(WindowsTest, ModalRunEndsWithTheResultAButtonGives) {
    TestDialog main(host_, "main", 102);
    Open(main);
    TestDialog options(host_, "options", 145);
    options.Add<PushButton>(1012, "저장");
    options.OnCommand(1012, [&options] { options.EndDialog(7); });
    QTimer::singleShot(0, [&] {
        WaitUntil([&] { return host_.ControlWidget(options, 1012) != nullptr; });
        EXPECT_TRUE(WindowOf(options).isModal());
        EXPECT_EQ(options.rect().width, 400);
        EXPECT_EQ(options.rect().height, 600);
        QTest::mouseClick(&WidgetOf(options, 1012), Qt::LeftButton);
    });
    EXPECT_EQ(options.DoModal(&main), 7);
    EXPECT_EQ(host_.WindowOf(options), nullptr);
}

TEST_F(WindowsTest, WindowManagerCloseIsTheWindowsOwnSystemCommand) {
    TestDialog main(host_, "main", 102);
    QTimer::singleShot(0, [&] { WindowOf(main).close(); });
    EXPECT_EQ(main.DoModal(nullptr), kIdCancel);
}

TEST_F(WindowsTest, MessageBoxShowsTextAndReturnsTheAnswer) {
    struct Case {
        BoxButtons buttons;
        QMessageBox::StandardButton press;
        BoxAnswer answer;
    };
    const Case cases[] = {{BoxButtons::YesNo, QMessageBox::Yes, BoxAnswer::Yes},
                          {BoxButtons::YesNo, QMessageBox::No, BoxAnswer::No},
                          {BoxButtons::Ok, QMessageBox::Ok, BoxAnswer::Ok}};
    for (const Case& c : cases) {
        QString shown_text;
        QString shown_title;
        WhenModalShows([&](QWidget& modal) {
            auto* box = qobject_cast<QMessageBox*>(&modal);
            ASSERT_NE(box, nullptr);
            shown_text = box->text();
            shown_title = box->windowTitle();
            box->button(c.press)->click();
        });
        EXPECT_EQ(host_.ShowMessageBox("정말로 종료할까요?\n\n다시", "Korvane 안내", c.buttons),
                  c.answer);
        EXPECT_EQ(shown_text, QString::fromUtf8("정말로 종료할까요?\n\n다시"));
        EXPECT_EQ(shown_title, QString::fromUtf8("Korvane 안내"));
    }
}

TEST(FileFilter, WindowsFiltersBecomeQtFilters) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"실행파일 (*.exe) | *.exe||", "실행파일 (*.exe)"},
        {"Programs|*.exe;*.com|All|*.*||", "Programs (*.exe *.com);;All (*.*)"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToQtFileFilter(c.in).toStdString(), c.out) << c.in;
    }
}

TEST_F(WindowsTest, FileOpenDialogGivesTheChosenPathOrNothing) {
    QTemporaryDir folder;
    const QString program = folder.filePath("remote.exe");
    QFile(program).open(QIODevice::WriteOnly);
    QStringList filters;
    WhenModalShows([&](QWidget& modal) {
        auto* dialog = qobject_cast<QFileDialog*>(&modal);
        ASSERT_NE(dialog, nullptr);
        filters = dialog->nameFilters();
        dialog->selectFile(program);
        static_cast<QDialog*>(dialog)->accept();
    });
    const FileOpenRequest request{"실행파일 (*.exe) | *.exe||", true, ""};
    EXPECT_EQ(host_.ShowFileOpenDialog(request), program.toStdString());
    EXPECT_EQ(filters, QStringList{QString::fromUtf8("실행파일 (*.exe)")});
    WhenModalShows([](QWidget& modal) { qobject_cast<QDialog*>(&modal)->reject(); });
    EXPECT_EQ(host_.ShowFileOpenDialog(request), std::nullopt);
}

TEST_F(WindowsTest, TimersFireOnTheWindowUntilStopped) {
    TestDialog main(host_, "main", 102);
    Open(main);
    main.SetTimer(1, 20);
    main.SetTimer(3, 10);
    main.SetTimer(3, 40);  // restarted with the new period
    EXPECT_EQ(host_.timers().Period(main, 3), 40);
    ASSERT_TRUE(WaitUntil([&] { return main.timer_events.size() >= 3; }));
    EXPECT_TRUE(main.KillTimer(1));
    EXPECT_FALSE(main.KillTimer(1));
    main.Destroy();
    EXPECT_FALSE(host_.timers().Running(main, 3));
    const std::size_t seen = main.timer_events.size();
    Pump(80);
    EXPECT_EQ(main.timer_events.size(), seen);
}

TEST_F(WindowsTest, SendToUiThreadBlocksTheSenderUntilTheWorkRan) {
    const std::thread::id ui = std::this_thread::get_id();
    std::atomic<bool> ran_on_ui{false};
    std::atomic<bool> returned{false};
    std::atomic<bool> sent{false};
    std::thread sender([&] {
        sent = host_.SendToUiThread([&] { ran_on_ui = std::this_thread::get_id() == ui; });
        returned = true;
    });
    EXPECT_TRUE(WaitUntil([&] { return returned.load(); }));
    sender.join();
    EXPECT_TRUE(ran_on_ui);
    EXPECT_TRUE(sent);

    // Once the windows are gone a waiting sender is let go, its work undone.
    std::atomic<bool> ran{false};
    std::thread late([&] { sent = host_.SendToUiThread([&] { ran = true; }); });
    QThread::msleep(50);
    host_.EndSends();
    late.join();
    Pump(10);
    EXPECT_FALSE(sent);
    EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace korvane::gui
