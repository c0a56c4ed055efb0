#include "ui/CExplorer1.h"

namespace korvane {

// Both entry points load the page the same way; two names are kept because the
// dialogs call them by these names.
void CExplorer1::Navigate2(const std::string& url) {
    Navigate(url);
}

void CExplorer1::Navigate(const std::string& url) {
    url_ = url;
    ++navigations_;
    Notify({ChangeKind::Navigated});
}

}  // namespace korvane
