#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <map>
#include <string>

#include "ui/qt/TemplateLayout.h"

namespace korvane {

// The skin: bitmaps and icons by resource number ("<number>.png") and the
// dialog templates ("templates.txt"), read from one folder. The program's own
// skin is compiled in under ":/skin".
class Skin {
  public:
    explicit Skin(QString folder);

    // The compiled-in skin.
    static const Skin& Builtin();

    // A null pixmap when the number has no picture.
    QPixmap Bitmap(int number) const;
    bool Has(int number) const { return !Bitmap(number).isNull(); }
    QIcon Icon(int number) const;
    const TemplateLayout& layout() const { return layout_; }
    // Why the templates could not be read; empty when they were.
    const std::string& layout_error() const { return layout_error_; }
    const QString& folder() const { return folder_; }

  private:
    QString folder_;
    TemplateLayout layout_;
    std::string layout_error_;
    mutable std::map<int, QPixmap> cache_;
};

}  // namespace korvane
