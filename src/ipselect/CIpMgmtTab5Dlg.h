#pragma once

#include "ipselect/IpListTab.h"

namespace korvane {

// The managed-IP tab for accounts that see the whole pool (use_select 1):
// the pool beside the saved addresses (settings value IpCode), with a random
// pick from either list. No bands.
class CIpMgmtTab5Dlg : public IpListTab {
  public:
    static constexpr int kTemplate = 222;
    static constexpr int kRandomServiceButton = 1014;
    static constexpr int kRandomSavedButton = 1015;

    CIpMgmtTab5Dlg(IpSelection& selection, AccountInfo& account, CRegCtrl& settings,
                   Random& random);

  private:
    void PickRandomSavedRow();
};

}  // namespace korvane
