#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include "GuiFixture.h"
#include "ui/BasicControls.h"
#include "ui/CBitmapButton.h"
#include "ui/DropList.h"
#include "ui/ListView.h"
#include "ui/qt/ControlViews.h"

namespace korvane::gui {
namespace {

// The picture's opaque pixels as the widget drew them (its rounded corners
// show what lies behind).
void ExpectDrawn(const QImage& drawn, int bitmap, const char* what) {
    const QImage picture = Skin::Builtin().Bitmap(bitmap).toImage();
    ASSERT_EQ(drawn.size(), picture.size()) << what;
    int opaque = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (picture.pixelColor(x, y).alpha() == 255) {
                ++opaque;
                ASSERT_EQ(drawn.pixelColor(x, y), picture.pixelColor(x, y))
                    << what << " " << x << "," << y;
            }
        }
    }
    EXPECT_GT(opaque, picture.width() * picture.height() / 2) << what;
}

class ControlsTest : public GuiTest {
  protected:
    TestDialog dialog_{host_, "controls", 9002};
};

TEST_F(ControlsTest, BitmapButtonShowsItsPicturesAndTakesTheirSize) {
    struct Case {
        int normal;
        int pressed;
        int shown_pressed;
    };
    // 154 is the login button's pressed picture; 0 and 999 are no picture.
    const Case cases[] = {{153, 154, 154}, {153, 153, 153}, {153, 0, 153}, {153, 999, 153}};
    int id = 1;
    for (const Case& c : cases) {
        auto& button = dialog_.Add<CBitmapButton>(id++);
        button.LoadBitmaps(c.normal, c.pressed);
        button.SizeToContent();
    }
    Open(dialog_);
    const QSize bitmap = host_.skin().Bitmap(153).size();
    id = 1;
    for (const Case& c : cases) {
        auto& view = WidgetOf<BitmapButtonView>(dialog_, id++);
        EXPECT_EQ(view.size(), bitmap);
        EXPECT_EQ(view.ShownBitmap(), c.normal);
        view.setDown(true);
        EXPECT_EQ(view.ShownBitmap(), c.shown_pressed) << c.pressed;
        ExpectDrawn(view.grab().toImage(), c.shown_pressed, "pressed");
        view.setDown(false);
    }
}

TEST_F(ControlsTest, BitmapButtonClickRunsItsCommandOnce) {
    auto& button = dialog_.Add<CBitmapButton>(1007, "Button3");
    button.LoadBitmaps(153, 154);
    button.SizeToContent();
    dialog_.Record(1007);
    Open(dialog_);
    auto& view = WidgetOf<BitmapButtonView>(dialog_, 1007);
    // A placeholder text is not drawn over the picture.
    ExpectDrawn(view.grab().toImage(), 153, "placeholder");
    QTest::mouseClick(&view, Qt::LeftButton);
    EXPECT_EQ(dialog_.commands, std::vector<int>{1007});
}

TEST_F(ControlsTest, EditsFollowTheModelAndTheKeyboard) {
    auto& id = dialog_.Add<Edit>(1005);
    auto& password = dialog_.Add<Edit>(1006, true);
    Open(dialog_);
    auto& id_view = WidgetOf<QLineEdit>(dialog_, 1005);
    auto& password_view = WidgetOf<QLineEdit>(dialog_, 1006);
    EXPECT_EQ(password_view.echoMode(), QLineEdit::Password);
    EXPECT_EQ(id_view.echoMode(), QLineEdit::Normal);

    Focus(id_view);
    QTest::keyClicks(&id_view, "Demo 1");
    EXPECT_EQ(id.text(), "Demo 1");
    EXPECT_EQ(dialog_.focus_id(), 1005);
    Focus(password_view);
    QTest::keyClicks(&password_view, "pw&1");
    EXPECT_EQ(password.text(), "pw&1");
    EXPECT_EQ(dialog_.focus_id(), 1006);

    id.SetText("한글 아이디");
    EXPECT_EQ(id_view.text(), QString::fromUtf8("한글 아이디"));
}

TEST_F(ControlsTest, CheckBoxAndRadiosDoWhatAClickDoes) {
    auto& remember = dialog_.Add<CheckBox>(1008, "기억");
    auto& on = dialog_.Add<RadioButton>(1060, 1, "설정");
    auto& off = dialog_.Add<RadioButton>(1061, 1, "해제");
    for (int id : {1008, 1060, 1061}) {
        dialog_.Record(id);
    }
    Open(dialog_);
    dialog_.CheckRadioButton(1061);
    QTest::mouseClick(&WidgetOf(dialog_, 1008), Qt::LeftButton);
    EXPECT_TRUE(remember.checked());
    QTest::mouseClick(&WidgetOf(dialog_, 1060), Qt::LeftButton);
    EXPECT_TRUE(on.checked());
    EXPECT_FALSE(off.checked());
    EXPECT_FALSE(WidgetOf<QRadioButton>(dialog_, 1061).isChecked());
    // A second click on the ticked radio keeps it ticked.
    QTest::mouseClick(&WidgetOf(dialog_, 1060), Qt::LeftButton);
    EXPECT_TRUE(WidgetOf<QRadioButton>(dialog_, 1060).isChecked());
    EXPECT_EQ(dialog_.commands, (std::vector<int>{1008, 1060, 1060}));
}

TEST_F(ControlsTest, DropListChoiceReachesTheModelAndTheDialog) {
    auto& drop = dialog_.Add<DropList>(1027);
    dialog_.RecordNotify(1027, Notification::SelectionChange);
    Open(dialog_);
    drop.AddString("해제");
    drop.AddString("설정");
    drop.SetCurSel(0);
    auto& combo = WidgetOf<QComboBox>(dialog_, 1027);
    EXPECT_EQ(combo.count(), 2);
    EXPECT_EQ(combo.currentText(), QString::fromUtf8("해제"));
    Focus(combo);
    QTest::keyClick(&combo, Qt::Key_Down);
    EXPECT_EQ(drop.GetCurSel(), 1);
    EXPECT_EQ(dialog_.notifications.size(), 1u);
    drop.ResetContent();
    EXPECT_EQ(combo.count(), 0);
}

TEST_F(ControlsTest, ControlsSitWhereTheTemplateOrTheModelPutsThem) {
    TestDialog login(host_, "login", 133);
    login.Add<Edit>(1005);
    login.Add<CheckBox>(1052, "테스트 인증파일 사용").Show(false);
    login.Add<Edit>(1006, true).Move({5, 6, 70, 20});
    Open(login);
    const auto placed = host_.skin().layout().ControlRect(133, 1005);
    ASSERT_TRUE(placed.has_value());
    EXPECT_EQ(WidgetOf(login, 1005).geometry(),
              QRect(placed->x, placed->y, placed->width, placed->height));
    EXPECT_EQ(WidgetOf(login, 1006).geometry(), QRect(5, 6, 70, 20));
    EXPECT_FALSE(WidgetOf(login, 1052).isVisible());
    login.Find(1052)->Show(true);
    login.Find(1005)->Enable(false);
    EXPECT_TRUE(WidgetOf(login, 1052).isVisible());
    EXPECT_FALSE(WidgetOf(login, 1005).isEnabled());
}

class ListTest : public ControlsTest {
  protected:
    void SetUp() override {
        list_.Move({0, 0, 160, 200});
        list_.AddColumn({"서비스 가능 IP", 140, TextAlignment::Left});
        list_.extended_style = 0x21;
        list_.row_height = 18;
        for (const char* row : {"10.1.1.1", "10.1.1.2", "10.1.1.3"}) {
            list_.InsertRow(list_.RowCount(), row);
        }
        list_.SetRowStyle([this](int row) {
            RowStyle style;
            if (row == used_) {
                style = {0x0000FF, 0xFFFFFF};
            }
            if (row == current_) {
                style = {0x31D729, 0xFFFFFF};
            }
            return style;
        });
        dialog_.RecordNotify(1020, Notification::DoubleClick);
        Open(dialog_);
    }
    QTableView& View() { return WidgetOf<QTableView>(dialog_, 1020); }
    QPoint RowCentre(int row) { return View().visualRect(View().model()->index(row, 0)).center(); }
    QImage RowImage(int row) {
        return View().viewport()->grab(View().visualRect(View().model()->index(row, 0))).toImage();
    }

    ListView& list_ = dialog_.Add<ListView>(1020);
    int used_ = -1;
    int current_ = -1;
};

TEST_F(ListTest, ReportViewWithoutHeaderWithGridAndFixedRows) {
    QTableView& view = View();
    EXPECT_FALSE(view.horizontalHeader()->isVisible());
    EXPECT_FALSE(view.verticalHeader()->isVisible());
    EXPECT_TRUE(view.showGrid());
    EXPECT_EQ(view.rowHeight(0), 18);
    EXPECT_EQ(view.columnWidth(0), 140);
    EXPECT_EQ(view.model()->rowCount(), 3);
    list_.InsertRow(0, "10.1.1.9");
    list_.DeleteRow(3);
    EXPECT_EQ(view.model()->rowCount(), 3);
    EXPECT_EQ(view.model()->index(0, 0).data().toString(), "10.1.1.9");
    EXPECT_EQ(view.model()->index(2, 0).data().toString(), "10.1.1.2");
}

TEST_F(ListTest, RowsAreDrawnInTheColoursTheDialogGives) {
    used_ = 0;
    current_ = 2;
    list_.RedrawNow();
    Pump(5);
    const auto red = [](QColor c) { return c.red() > 180 && c.green() < 120 && c.blue() < 120; };
    const auto green = [](QColor c) { return c.green() > 150 && c.red() < 120 && c.blue() < 120; };
    const QImage used = RowImage(0);
    const QImage plain = RowImage(1);
    const QImage current = RowImage(2);
    EXPECT_GT(CountPixels(used, used.rect(), red), 5);
    EXPECT_EQ(CountPixels(plain, plain.rect(), red) + CountPixels(plain, plain.rect(), green), 0);
    EXPECT_GT(CountPixels(current, current.rect(), green), 5);
    EXPECT_EQ(CountPixels(current, current.rect(), red), 0);
}

TEST_F(ListTest, DoubleClickSelectsTheRowAndNotifies) {
    QTest::mouseDClick(View().viewport(), Qt::LeftButton, {}, RowCentre(1));
    EXPECT_EQ(list_.SelectedRows(), std::vector<int>{1});
    EXPECT_EQ(list_.FocusedRow(), 1);
    ASSERT_EQ(dialog_.notifications.size(), 1u);
    EXPECT_EQ(dialog_.notifications[0].second, Notification::DoubleClick);
    // Below the last row: nothing selected, the dialog still hears of it.
    QTest::mouseDClick(View().viewport(), Qt::LeftButton, {}, QPoint(20, 150));
    EXPECT_TRUE(list_.SelectedRows().empty());
    EXPECT_EQ(dialog_.notifications.size(), 2u);
}

TEST_F(ListTest, SelectionGoesBothWays) {
    list_.SetRowState(2, true, true);
    EXPECT_TRUE(View().selectionModel()->isRowSelected(2, {}));
    QTest::mouseClick(View().viewport(), Qt::LeftButton, Qt::ControlModifier, RowCentre(0));
    EXPECT_EQ(list_.SelectedRows(), (std::vector<int>{0, 2}));
    list_.ClearSelection();
    EXPECT_FALSE(View().selectionModel()->hasSelection());
}

}  // namespace
}  // namespace korvane::gui
