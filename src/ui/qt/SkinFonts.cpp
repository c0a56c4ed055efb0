#include "ui/qt/SkinFonts.h"

namespace korvane {

namespace {

constexpr const char* kKoreanFamily = "NanumGothic";
constexpr const char* kKoreanFixedFamily = "NanumGothicCoding";
// At 12 pixels the substitute face draws its full stop like a comma.
constexpr int kControlPixelSize = 13;

struct Substitute {
    const char* face;
    const char* family;
};

constexpr Substitute kSubstitutes[] = {
    {"굴림", kKoreanFamily},          {"Gulim", kKoreanFamily},
    {"굴림체", kKoreanFixedFamily},   {"GulimChe", kKoreanFixedFamily},
    {"MS Sans Serif", kKoreanFamily},
};

}  // namespace

void InstallFaceSubstitutes() {
    for (const Substitute& s : kSubstitutes) {
        QFont::insertSubstitution(QString::fromUtf8(s.face), QString::fromUtf8(s.family));
    }
}

QString SubstituteFamily(const std::string& face) {
    const QString asked = QString::fromStdString(face);
    for (const Substitute& s : kSubstitutes) {
        if (asked == QString::fromUtf8(s.face)) {
            return QString::fromUtf8(s.family);
        }
    }
    return asked;
}

QFont MakeFont(const FontRequest& request) {
    QFont font(SubstituteFamily(request.face));
    font.setPixelSize(request.height > 0 ? request.height : kControlPixelSize);
    font.setWeight(request.bold ? QFont::Black : QFont::Normal);
    font.setItalic(request.italic);
    font.setUnderline(request.underline);
    font.setStrikeOut(request.strike_out);
    return font;
}

QFont ControlFont() {
    QFont font(QString::fromUtf8(kKoreanFamily));
    font.setPixelSize(kControlPixelSize);
    return font;
}

}  // namespace korvane
