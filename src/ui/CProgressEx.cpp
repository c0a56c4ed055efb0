#include "ui/CProgressEx.h"

#include <cstdint>

namespace korvane {

void CProgressEx::SetRange(int lower, int upper) {
    if (upper >= lower) {
        lower_ = lower;
        upper_ = upper;
    }
    control_lower_ = static_cast<std::int16_t>(lower_);
    control_upper_ = static_cast<std::int16_t>(upper_);
    Notify({ChangeKind::Range});
}

void CProgressEx::SetPos(int value) {
    if (value >= lower_ && value <= upper_) {
        position_ = value;
    }
    Notify({ChangeKind::Position});
}

void CProgressEx::SetCaption(std::string caption) {
    caption_ = std::move(caption);
    Notify({ChangeKind::Caption});
}

int CProgressEx::FilledWidth(int width) const {
    if (upper_ <= lower_ || width <= 0) {
        return 0;
    }
    const double share = static_cast<double>(position_ - lower_) / (upper_ - lower_);
    return static_cast<int>(share * width);
}

}  // namespace korvane
