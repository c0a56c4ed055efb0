// Draws the skin: every bitmap and icon by resource number, and the dialog
// templates, into one folder. The same program on the same fonts gives the
// same bytes, so the committed skin can be checked against a fresh run.
//
//   korvane-skin OUTPUT_FOLDER
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <set>

#include "SkinArt.h"
#include "SkinDesign.h"

namespace korvane::skin {

namespace {

bool Save(const QImage& image, const QDir& folder, int number, std::set<int>& written) {
    if (!written.insert(number).second) {
        std::fprintf(stderr, "korvane-skin: bitmap %d is drawn twice\n", number);
        return false;
    }
    const QString path = folder.filePath(QString::number(number) + ".png");
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "korvane-skin: %s cannot be written\n", qPrintable(path));
        return false;
    }
    return true;
}

QString TemplatesText() {
    QString text;
    QTextStream out(&text);
    out << "# Dialog templates of the skin, written by tools/skin (do not edit).\n"
        << "# TEMPLATE ID X Y WIDTH HEIGHT; id 0 is the window's own size.\n";
    for (const TemplateDesign& t : Templates()) {
        out << t.template_id << " 0 0 0 " << t.size.width() << " " << t.size.height() << "\n";
        for (const Placement& c : t.controls) {
            const QSize size = c.bitmap != 0 ? ButtonSize(c.bitmap) : c.rect.size();
            out << t.template_id << " " << c.id << " " << c.rect.x() << " " << c.rect.y() << " "
                << size.width() << " " << size.height() << "\n";
        }
    }
    return text;
}

bool CheckPlacements() {
    for (const TemplateDesign& t : Templates()) {
        for (const Placement& c : t.controls) {
            if (c.bitmap != 0 && ButtonSize(c.bitmap).isEmpty()) {
                std::fprintf(stderr, "korvane-skin: template %d id %d names bitmap %d, not drawn\n",
                             t.template_id, c.id, c.bitmap);
                return false;
            }
        }
    }
    return true;
}

int Generate(const QString& output) {
    const QFontInfo font{QFont(kSkinFamily)};
    if (font.family() != kSkinFamily) {
        std::fprintf(stderr, "korvane-skin: the font %s is missing (Debian: fonts-nanum)\n",
                     kSkinFamily);
        return 2;
    }
    QDir folder(output);
    if (!folder.mkpath(".") || !CheckPlacements()) {
        return 1;
    }
    std::set<int> written;
    bool ok = true;
    for (const ButtonDesign& b : Buttons()) {
        ok = ok && Save(DrawButton(b, false), folder, b.normal, written);
        if (b.pressed != 0) {
            ok = ok && Save(DrawButton(b, true), folder, b.pressed, written);
        }
    }
    for (const BackgroundDesign& b : Backgrounds()) {
        ok = ok && Save(DrawBackground(b), folder, b.number, written);
    }
    for (const IconDesign& i : Icons()) {
        ok = ok && Save(DrawIcon(i), folder, i.number, written);
    }
    QFile templates(folder.filePath("templates.txt"));
    if (!ok || !templates.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return 1;
    }
    templates.write(TemplatesText().toUtf8());
    return 0;
}

}  // namespace

}  // namespace korvane::skin

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: korvane-skin OUTPUT_FOLDER\n");
        return 2;
    }
    // Pictures only: no display needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    return korvane::skin::Generate(QString::fromLocal8Bit(argv[1]));
}
