#include "ui/BasicControls.h"
#include "ui/Dialog.h"
#include "ui/DropList.h"
#include "ui/qt/ControlViews.h"
#include "ui/qt/DialogWindow.h"

namespace korvane {

namespace {

QString TextOf(const Control& control) {
    return QString::fromStdString(control.text());
}

}  // namespace

StaticView::StaticView(Control& label, DialogWindow& window)
    : QLabel(&window), ControlView(label, window) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A plain static is not hit by the mouse: a press on it drags the window.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void StaticView::Refresh(ControlChange) {
    if (text() != TextOf(control())) {
        setText(TextOf(control()));
    }
}

EditView::EditView(Edit& edit, DialogWindow& window)
    : QLineEdit(&window), ControlView(edit, window) {
    if (edit.password()) {
        setEchoMode(QLineEdit::Password);
    }
    connect(this, &QLineEdit::textEdited, [this](const QString& typed) {
        Deliver([this, typed] { control().SetText(typed.toStdString()); });
    });
}

void EditView::Refresh(ControlChange) {
    if (text() != TextOf(control())) {
        setText(TextOf(control()));
    }
}

PushButtonView::PushButtonView(Control& button, DialogWindow& window)
    : QPushButton(&window), ControlView(button, window) {
    setAutoDefault(false);
    connect(this, &QPushButton::clicked,
            [this] { Deliver([this] { control().owner()->DispatchCommand(control().id()); }); });
}

void PushButtonView::Refresh(ControlChange) {
    if (text() != TextOf(control())) {
        setText(TextOf(control()));
    }
}

CheckBoxView::CheckBoxView(CheckBox& box, DialogWindow& window)
    : QCheckBox(&window), ControlView(box, window), box_(box) {
    connect(this, &QCheckBox::clicked, [this] {
        Deliver([this] {
            box_.SetCheck(!box_.checked());
            box_.owner()->DispatchCommand(box_.id());
        });
    });
}

void CheckBoxView::Refresh(ControlChange) {
    if (text() != TextOf(box_)) {
        setText(TextOf(box_));
    }
    if (isChecked() != box_.checked()) {
        setChecked(box_.checked());
    }
}

RadioView::RadioView(RadioButton& radio, DialogWindow& window)
    : QRadioButton(&window), ControlView(radio, window), radio_(radio) {
    // The model clears the rest of the group.
    setAutoExclusive(false);
    connect(this, &QRadioButton::clicked, [this] {
        Deliver([this] {
            radio_.owner()->CheckRadioButton(radio_.id());
            radio_.owner()->DispatchCommand(radio_.id());
        });
        // A click on a ticked button would untick the widget alone.
        Refresh({ChangeKind::Checked});
    });
}

void RadioView::Refresh(ControlChange) {
    if (text() != TextOf(radio_)) {
        setText(TextOf(radio_));
    }
    if (isChecked() != radio_.checked()) {
        setChecked(radio_.checked());
    }
}

DropListView::DropListView(DropList& drop, DialogWindow& window)
    : QComboBox(&window), ControlView(drop, window), drop_(drop) {
    connect(this, QOverload<int>::of(&QComboBox::activated), [this](int index) {
        Deliver([this, index] {
            drop_.SetCurSel(index);
            drop_.owner()->DispatchNotify(drop_.id(), Notification::SelectionChange);
        });
    });
}

void DropListView::Refresh(ControlChange) {
    bool same = count() == drop_.Count();
    for (int i = 0; same && i < count(); ++i) {
        same = itemText(i) == QString::fromStdString(drop_.ItemText(i));
    }
    if (!same) {
        clear();
        for (int i = 0; i < drop_.Count(); ++i) {
            addItem(QString::fromStdString(drop_.ItemText(i)));
        }
    }
    if (currentIndex() != drop_.GetCurSel()) {
        setCurrentIndex(drop_.GetCurSel());
    }
}

}  // namespace korvane
