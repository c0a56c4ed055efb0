#include <QFontMetrics>

#include "GuiFixture.h"
#include "ui/CFontStatic.h"
#include "ui/CProgressEx.h"
#include "ui/qt/SkinPainters.h"

namespace korvane::gui {
namespace {

const QColor kWhite(255, 255, 255);

bool Dark(QColor c) {
    return c.lightness() < 110;
}
bool Reddish(QColor c) {
    return c.red() > c.green() + 60 && c.red() > c.blue() + 60;
}
bool Greenish(QColor c) {
    return c.green() > c.red() + 60 && c.green() > c.blue() + 60;
}

class PaintingTest : public GuiTest {
  protected:
    CFontStatic& Label(int id, const std::string& text, Rect rect) {
        auto& label = dialog_.Add<CFontStatic>(id, text);
        label.Move(rect);
        label.own_background = true;
        label.background_colour = 0xFFFFFF;
        return label;
    }
    QImage Render(const Control& control) {
        Pump(5);
        return WidgetOf(dialog_, control.id()).grab().toImage();
    }

    TestDialog dialog_{host_, "paint", 9001};
};

TEST_F(PaintingTest, BoldSurvivesALaterCallThatCentres) {
    CFontStatic& label = Label(1, "가나다 ABC", {0, 0, 240, 24});
    CFontStatic& plain = Label(2, "가나다 ABC", {0, 30, 240, 24});
    Open(dialog_);
    label.SetFontStatic("굴림", 14, 0, 0x41);
    const QImage left = Render(label);
    EXPECT_LE(InkBounds(left, left.rect(), kWhite).left(), 2);

    label.SetFontStatic("굴림", 14, 0, 0x20);
    plain.SetFontStatic("굴림", 14, 0, 0x20);
    const QImage centred = Render(label);
    const QImage thin = Render(plain);
    const QRect ink = InkBounds(centred, centred.rect(), kWhite);
    EXPECT_NEAR(ink.center().x(), 120, 2) << ink.left() << ".." << ink.right();
    EXPECT_TRUE(label.bold());
    // The heavy face puts clearly more ink on the same text.
    EXPECT_GT(CountPixels(centred, centred.rect(), Dark),
              CountPixels(thin, thin.rect(), Dark) * 5 / 4);
}

TEST_F(PaintingTest, FillsWithItsOwnColourOrTheButtonFace) {
    CFontStatic& own = Label(1, "", {0, 0, 50, 20});
    own.background_colour = 0x3366CC;
    CFontStatic& face = Label(2, "", {0, 30, 50, 20});
    face.own_background = false;
    Open(dialog_);
    EXPECT_EQ(Render(own).pixelColor(3, 3), QColor(0xCC, 0x66, 0x33));
    EXPECT_EQ(Render(face).pixelColor(3, 3), QColor(0xF0, 0xF0, 0xF0));
}

TEST_F(PaintingTest, DrawsTheTextColourAndTheAmpersandItself) {
    CFontStatic& with = Label(1, "R&D", {0, 0, 100, 24});
    CFontStatic& without = Label(2, "RD", {0, 30, 100, 24});
    Open(dialog_);
    with.SetFontStatic("굴림", 16, 0x0000FF, 0);
    without.SetFontStatic("굴림", 16, 0x0000FF, 0);
    const QImage a = Render(with);
    const QImage b = Render(without);
    EXPECT_GT(CountPixels(a, a.rect(), Reddish), 10);
    const int ampersand = QFontMetrics(FontOf(with)).horizontalAdvance("&");
    EXPECT_GE(InkBounds(a, a.rect(), kWhite).width(),
              InkBounds(b, b.rect(), kWhite).width() + ampersand - 2);
}

TEST_F(PaintingTest, WrapsLongTextOntoMoreLines) {
    CFontStatic& label = Label(1, "가나다라 마바사아 자차카타 파하", {0, 0, 70, 80});
    Open(dialog_);
    label.SetFontStatic("굴림", 12, 0, 0);
    const QImage image = Render(label);
    EXPECT_GT(InkBounds(image, image.rect(), kWhite).height(), 2 * 12);
}

class ProgressPaintingTest : public PaintingTest {
  protected:
    void SetUp() override {
        bar_.Move({0, 0, 200, 20});
        bar_.draw_style = CProgressEx::kTwoColourStyle;
        bar_.background_colour = 0xFFFFFF;
        bar_.bar_colour = 0xFF0000;       // blue
        bar_.text_colour = 0x0000FF;      // red over the empty part
        bar_.bar_text_colour = 0x00FF00;  // green over the filled part
        Open(dialog_);
    }
    CProgressEx& bar_ = dialog_.Add<CProgressEx>(1050);
};

TEST_F(ProgressPaintingTest, CaptionTakesTheColourOfThePartUnderIt) {
    struct Case {
        int position;
        bool red;
        bool green;
    };
    const Case cases[] = {{0, true, false}, {100, false, true}, {50, true, true}};
    bar_.SetCaption("50 % 50 % 50 %");
    for (const Case& c : cases) {
        bar_.SetPos(c.position);
        const QImage image = Render(bar_);
        EXPECT_EQ(CountPixels(image, image.rect(), Reddish) > 10, c.red) << c.position;
        EXPECT_EQ(CountPixels(image, image.rect(), Greenish) > 10, c.green) << c.position;
        const int filled = bar_.FilledWidth(200);
        EXPECT_EQ(CountPixels(image, {0, 0, filled, 20}, Reddish), 0) << c.position;
        EXPECT_EQ(CountPixels(image, {filled, 0, 200 - filled, 20}, Greenish), 0) << c.position;
    }
}

TEST_F(ProgressPaintingTest, ZeroCaptionOnAnEmptyBarIsAllInTheTextColour) {
    bar_.SetCaption("0 %");
    bar_.SetPos(0);
    QImage image = Render(bar_);
    EXPECT_GT(CountPixels(image, image.rect(), Reddish), 5);
    EXPECT_EQ(CountPixels(image, image.rect(), Greenish), 0);
    bar_.SetPos(100);
    image = Render(bar_);
    EXPECT_GT(CountPixels(image, image.rect(), Greenish), 5);
    EXPECT_EQ(CountPixels(image, image.rect(), Reddish), 0);
}

TEST_F(ProgressPaintingTest, FilledPartEndsAtThePositionsShare) {
    bar_.SetPos(25);
    const QImage image = Render(bar_);
    EXPECT_EQ(image.pixelColor(49, 1), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(50, 1), kWhite);
}

TEST_F(ProgressPaintingTest, PositionOutsideTheRangeLeavesThePictureAsItWas) {
    bar_.SetCaption("30 %");
    bar_.SetPos(30);
    const QImage before = Render(bar_);
    for (int outside : {101, -1, 1000}) {
        bar_.SetPos(outside);
        EXPECT_EQ(bar_.position(), 30);
        EXPECT_EQ(Render(bar_), before) << outside;
    }
}

TEST_F(ProgressPaintingTest, EmptyRangeDrawsAnEmptyBar) {
    bar_.SetRange(5, 5);
    bar_.SetPos(5);
    const QImage image = Render(bar_);
    EXPECT_EQ(CountPixels(image, image.rect(), [](QColor c) { return c == QColor(0, 0, 255); }), 0);
}

}  // namespace
}  // namespace korvane::gui
