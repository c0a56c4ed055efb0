#pragma once

#include "ipselect/IpListTab.h"

namespace korvane {

// The service-IP tab for accounts whose pool is divided into bands: the band
// list, the pool of the band double-clicked last and the saved addresses
// (settings value IpList), with a random and a sequential pick.
class DynamicIpTabDlg : public IpListTab {
  public:
    static constexpr int kTemplate = 226;
    static constexpr int kBandList = 1059;
    static constexpr int kRandomButton = 1016;
    static constexpr int kSequentialButton = 1061;
    static constexpr Colour kBandText = 0x000000;

    DynamicIpTabDlg(IpSelection& selection, AccountInfo& account, CRegCtrl& settings,
                    Random& random);

    // The band rows from ip_pool_class.
    void FillBandList();

    int selected_band() const { return selected_band_; }
    int rotation_position() const { return rotation_position_; }
    ListView& band_list() const { return *Get<ListView>(kBandList); }

  protected:
    void AfterFill() override;
    void AfterSavedDoubleClick(int saved_row) override;

  private:
    void OnBandDoubleClick();
    void OnSequential();
    RowStyle BandRowStyle(int row) const;

    int selected_band_ = -1;
    int rotation_position_ = 0;
};

}  // namespace korvane
