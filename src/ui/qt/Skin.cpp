#include "ui/qt/Skin.h"

#include <QFile>

namespace korvane {

Skin::Skin(QString folder) : folder_(std::move(folder)) {
    QFile file(folder_ + "/templates.txt");
    if (!file.open(QIODevice::ReadOnly)) {
        layout_error_ = (folder_ + "/templates.txt: cannot be read").toStdString();
        return;
    }
    const std::string text = file.readAll().toStdString();
    if (layout_.Parse(text, layout_error_) != 0) {
        layout_error_ = (folder_ + "/templates.txt: ").toStdString() + layout_error_;
    }
}

const Skin& Skin::Builtin() {
    static const Skin skin(QStringLiteral(":/skin"));
    return skin;
}

QPixmap Skin::Bitmap(int number) const {
    if (number <= 0) {
        return {};
    }
    const auto it = cache_.find(number);
    if (it != cache_.end()) {
        return it->second;
    }
    QPixmap pixmap(folder_ + "/" + QString::number(number) + ".png");
    cache_.emplace(number, pixmap);
    return pixmap;
}

QIcon Skin::Icon(int number) const {
    const QPixmap pixmap = Bitmap(number);
    return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

}  // namespace korvane
