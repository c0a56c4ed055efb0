#pragma once

#include <QColor>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

namespace korvane::skin {

// The look of a bitmap button.
enum class ButtonStyle {
    Primary,    // orange, white text: the action of a window
    Secondary,  // light grey, dark text
    Danger,     // red, white text
    Title,      // on the dark title strip
    Caption,    // minimise and close on the title strip
    Header,     // a list title: no action
    Plain,      // a button that is never shown
};

enum class Glyph { None, Minimise, Close, ArrowRight, ArrowLeft, Expand, Collapse };

struct ButtonDesign {
    int normal = 0;
    int pressed = 0;  // 0: one picture for both states
    QSize size;
    QString label;
    ButtonStyle style = ButtonStyle::Secondary;
    Glyph glyph = Glyph::None;
};

// A control's place in its template. A bitmap button names its bitmap and
// takes the bitmap's size.
struct Placement {
    int id = 0;
    QRect rect;
    int bitmap = 0;
};

struct TextDecoration {
    QString text;
    QPoint at;  // top-left of the text
    int pixel_size = 12;
    bool bold = false;
    QColor colour = QColor(0x44, 0x44, 0x44);
};

// A framed group; an empty title draws the frame alone.
struct GroupDecoration {
    QString title;
    QRect rect;
};

enum class Backdrop {
    MainWindow,
    LoginPanel,
    StatusPanel,
    IpTab,
    SmallProgress,
    UpdateDialog,
    OptionsDialog,
};

struct TemplateDesign {
    int template_id = 0;
    QSize size;
    std::vector<Placement> controls;
};

struct BackgroundDesign {
    int number = 0;
    QSize size;
    Backdrop backdrop = Backdrop::MainWindow;
    QString title;  // the title strip's text, when the window has one
    std::vector<TextDecoration> texts;
    std::vector<GroupDecoration> groups;
    std::vector<QRect> frames;  // white panels under controls
};

struct IconDesign {
    int number = 0;
    int size = 32;
    QColor colour;
};

const std::vector<ButtonDesign>& Buttons();
const std::vector<TemplateDesign>& Templates();
const std::vector<BackgroundDesign>& Backgrounds();
const std::vector<IconDesign>& Icons();

// The size of a button bitmap, empty for an unknown number.
QSize ButtonSize(int bitmap);

}  // namespace korvane::skin
