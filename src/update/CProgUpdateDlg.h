#pragma once

#include "ui/Dialog.h"

namespace korvane {

// The modeless window shown while an installer or certificate downloads.
// Its bar never moves: the window only says that a download is under way.
class CProgUpdateDlg : public Dialog {
  public:
    static constexpr int kTemplate = 134;
    static constexpr int kBackground = 200;
    static constexpr int kProgressBar = 1048;

    explicit CProgUpdateDlg(Host& host);

  protected:
    bool OnInitDialog() override;
    bool PreTranslateKey(const KeyEvent& event) override;
};

}  // namespace korvane
