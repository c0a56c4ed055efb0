#pragma once

#include <QString>
#include <QWidget>

#include "ui/qt/ControlView.h"

class QNetworkAccessManager;
class QTextBrowser;

namespace korvane {

class CExplorer1;

enum class BrowserEngine {
    Web,    // a full web engine: scripts, styles, images
    Light,  // a plain HTML view that fetches the page itself
};

// The engine this process uses. The web engine needs its sandbox, which does
// not start for root; root then gets the light view unless the sandbox was
// explicitly switched off (QTWEBENGINE_DISABLE_SANDBOX=1, for tests and CI).
// KORVANE_BROWSER=light asks for the light view anywhere.
BrowserEngine ChooseBrowserEngine();
bool WebEngineBuilt();

// The embedded browser: nothing until the first navigation, then the page,
// loaded and drawn by the engine itself. Nothing is reported back.
class BrowserView : public QWidget, public ControlView {
  public:
    BrowserView(CExplorer1& browser, DialogWindow& window);
    ~BrowserView() override;
    QWidget* widget() override { return this; }
    void Refresh(ControlChange change) override;

    // For tests and screenshots: loads finished so far, whether the last one
    // succeeded, and the page's title.
    int loads_finished() const { return loads_finished_; }
    bool last_load_ok() const { return last_load_ok_; }
    QString PageTitle() const;
    QString PageText() const;
    bool has_page() const { return page_ != nullptr; }
    BrowserEngine engine() const { return engine_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Load(const QString& url);
    void EnsurePage();
    void LoadLight(const QUrl& url);
    void Finished(bool ok);

    CExplorer1& browser_;
    BrowserEngine engine_;
    QWidget* page_ = nullptr;
    QTextBrowser* light_ = nullptr;
    QNetworkAccessManager* network_ = nullptr;
    int navigations_seen_ = 0;
    int loads_finished_ = 0;
    bool last_load_ok_ = false;
};

}  // namespace korvane
