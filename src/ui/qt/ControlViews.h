#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "ui/qt/ControlView.h"

namespace korvane {

class CBitmapButton;
class CFontStatic;
class CProgressEx;
class CheckBox;
class DropList;
class Edit;
class RadioButton;

// The widgets of the plain controls and the skinned ones. Each is made by
// CreateControlView; the list view and the browser have their own files.

class StaticView : public QLabel, public ControlView {
  public:
    StaticView(Control& control, DialogWindow& window);
    QWidget* widget() override { return this; }
    void Refresh(ControlChange change) override;
};

class EditView : public QLineEdit, public ControlView {
  public:
    EditView(Edit& edit, DialogWindow& window);
    QWidget* widget() override { return this; }
    void Refresh(ControlChange change) override;
};

class PushButtonView : public QPushButton, public ControlView {
  public:
    PushButtonView(Control& control, DialogWindow& window);
    QWidget* widget() override { return this; }
    void Refresh(ControlChange change) override;
};

class CheckBoxView : public QCheckBox, public ControlView {
  public:
    CheckBoxView(CheckBox& box, DialogWindow& window);
    QWidget* widget() override { return this; }
    void Refresh(ControlChange change) override;

  private:
    CheckBox& box_;
};

class RadioView : public QRadioButton, public ControlView {
  public:
    RadioView(RadioButton& radio, DialogWindow& window);
    QWidget* widget() override { return this; }
    void Refresh(ControlChange change) override;

  private:
    RadioButton& radio_;
};

class DropListView : public QComboBox, public ControlView {
  public:
    DropListView(DropList& drop, DialogWindow& window);
    QWidget* widget() override { return this; }
    void Refresh(ControlChange change) override;

  private:
    DropList& drop_;
};

// Paints itself from the model at every paint.
class FontStaticView : public QWidget, public ControlView {
  public:
    FontStaticView(CFontStatic& label, DialogWindow& window);
    QWidget* widget() override { return this; }
    void Refresh(ControlChange change) override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    // The notify style makes the label take its clicks: a press on it does
    // not drag the window.
    void mousePressEvent(QMouseEvent* event) override;

  private:
    CFontStatic& label_;
};

class ProgressView : public QWidget, public ControlView {
  public:
    ProgressView(CProgressEx& bar, DialogWindow& window);
    QWidget* widget() override { return this; }
    void Refresh(ControlChange change) override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    CProgressEx& bar_;
};

// The normal bitmap, or the pressed one while the button is held down.
class BitmapButtonView : public QAbstractButton, public ControlView {
  public:
    BitmapButtonView(CBitmapButton& button, DialogWindow& window);
    QWidget* widget() override { return this; }
    void Refresh(ControlChange change) override;
    // What a paint shows now: the pressed picture while held down when it
    // can be loaded, else the normal one.
    int ShownBitmap() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    CBitmapButton& button_;
};

}  // namespace korvane
