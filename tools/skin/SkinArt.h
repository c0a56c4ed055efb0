#pragma once

#include <QImage>

#include "SkinDesign.h"

namespace korvane::skin {

// The family every picture of the skin is lettered in.
constexpr const char* kSkinFamily = "NanumGothic";

QImage DrawButton(const ButtonDesign& design, bool pressed);
QImage DrawBackground(const BackgroundDesign& design);
QImage DrawIcon(const IconDesign& design);

}  // namespace korvane::skin
