#include "LayoutCheck.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QWidget>

#include "ui/CFontStatic.h"
#include "ui/CProgressEx.h"
#include "ui/Dialog.h"
#include "ui/DropList.h"
#include "ui/ListView.h"
#include "ui/qt/DialogWindow.h"
#include "ui/qt/QtHost.h"
#include "ui/qt/SkinPainters.h"

namespace korvane::screenshots {

namespace {

// Room a list cell leaves around its text, and a push button's frame.
constexpr int kCellPadding = 6;
constexpr int kButtonPadding = 8;

std::string Name(const Dialog& dialog, const Control& control) {
    return dialog.name() + "." + std::to_string(control.id()) + " (" +
           ControlKindName(control.kind()) + ")";
}

std::string Size(const QSize& size) {
    return std::to_string(size.width()) + "x" + std::to_string(size.height());
}

bool HasHangul(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() >= 0xAC00 && c.unicode() <= 0xD7A3) {
            return true;
        }
    }
    return false;
}

void CheckFace(const QFont& font, const QString& text, const std::string& where,
               std::vector<std::string>& problems) {
    if (HasHangul(text) && !QFontInfo(font).family().startsWith("Nanum")) {
        problems.push_back(where + ": Korean text in " + QFontInfo(font).family().toStdString() +
                           ", which may have no Korean glyphs");
    }
}

void CheckWrapped(const QFont& font, const QString& text, const QRect& rect,
                  const std::string& where, std::vector<std::string>& problems) {
    const QFontMetrics metrics(font);
    const QRect need = metrics.boundingRect(QRect(0, 0, rect.width(), 100000),
                                            Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    if (need.width() > rect.width() || need.height() > rect.height()) {
        problems.push_back(where + ": \"" + text.toStdString() + "\" needs " + Size(need.size()) +
                           ", has " + Size(rect.size()));
    }
    CheckFace(font, text, where, problems);
}

void CheckLine(const QFont& font, const QString& text, const QSize& room, const std::string& where,
               std::vector<std::string>& problems) {
    const QFontMetrics metrics(font);
    const QSize need(metrics.horizontalAdvance(text), metrics.height());
    if (need.width() > room.width() || need.height() > room.height()) {
        problems.push_back(where + ": \"" + text.toStdString() + "\" needs " + Size(need) +
                           ", has " + Size(room));
    }
    CheckFace(font, text, where, problems);
}

void CheckList(const ListView& list, const QFont& font, const std::string& where,
               std::vector<std::string>& problems) {
    const auto& columns = list.columns();
    for (int row = 0; row < list.RowCount(); ++row) {
        for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
            const QString text = QString::fromStdString(list.RowText(row, c));
            const QSize room(columns[c].width - kCellPadding,
                             list.row_height > 0 ? list.row_height : 17);
            CheckLine(font, text, room, where + " row " + std::to_string(row), problems);
        }
    }
}

void CheckText(Dialog& dialog, Control& control, QWidget& widget,
               std::vector<std::string>& problems) {
    const std::string where = Name(dialog, control);
    const QString text = QString::fromStdString(control.text());
    const QRect rect(QPoint(0, 0), widget.size());
    switch (control.kind()) {
        case ControlKind::FontStatic:
            CheckWrapped(FontOf(static_cast<CFontStatic&>(control)), text, rect, where, problems);
            break;
        case ControlKind::Static:
            CheckWrapped(widget.font(), text, rect, where, problems);
            break;
        case ControlKind::CheckBox:
        case ControlKind::Radio:
            if (!text.isEmpty() && widget.sizeHint().width() > rect.width()) {
                problems.push_back(where + ": \"" + text.toStdString() + "\" needs " +
                                   Size(widget.sizeHint()) + ", has " + Size(rect.size()));
            }
            CheckFace(widget.font(), text, where, problems);
            break;
        case ControlKind::PushButton:
            CheckLine(widget.font(), text, rect.size() - QSize(kButtonPadding, 0), where, problems);
            break;
        case ControlKind::DropList: {
            const auto& drop = static_cast<DropList&>(control);
            const int arrow = widget.height();
            for (int i = 0; i < drop.Count(); ++i) {
                CheckLine(widget.font(), QString::fromStdString(drop.ItemText(i)),
                          rect.size() - QSize(arrow + kButtonPadding, 0), where, problems);
            }
            break;
        }
        case ControlKind::Progress:
            CheckLine(widget.font(),
                      QString::fromStdString(static_cast<CProgressEx&>(control).caption()),
                      rect.size(), where, problems);
            break;
        case ControlKind::ListView:
            CheckList(static_cast<ListView&>(control), widget.font(), where, problems);
            break;
        default:
            break;
    }
}

}  // namespace

std::vector<std::string> CheckLayout(QtHost& host, Dialog& dialog) {
    std::vector<std::string> problems;
    DialogWindow* window = host.WindowOf(dialog);
    if (window == nullptr) {
        return {dialog.name() + ": no window"};
    }
    std::vector<std::pair<const Control*, QRect>> placed;
    for (const auto& control : dialog.controls()) {
        QWidget* widget = window->WidgetOf(control->id());
        if (widget == nullptr || !widget->isVisibleTo(window)) {
            continue;
        }
        const QRect rect = widget->geometry();
        if (!window->rect().contains(rect)) {
            problems.push_back(Name(dialog, *control) + " reaches outside its window");
        }
        for (const auto& [other, other_rect] : placed) {
            if (rect.intersects(other_rect)) {
                problems.push_back(Name(dialog, *control) + " lies on " + Name(dialog, *other));
            }
        }
        placed.emplace_back(control.get(), rect);
        CheckText(dialog, *control, *widget, problems);
    }
    return problems;
}

}  // namespace korvane::screenshots
