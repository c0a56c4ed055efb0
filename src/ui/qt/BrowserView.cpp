#include "ui/qt/BrowserView.h"

#include <unistd.h>

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <cstdlib>
#include <cstring>

#include "ui/CExplorer1.h"
#include "ui/qt/DialogWindow.h"

#ifdef KORVANE_HAVE_WEBENGINE
#include <QWebEngineView>
#endif

namespace korvane {

namespace {

// What the light view shows when the page cannot be had, as a browser shows
// its own error page; the program itself reports nothing.
constexpr const char* kUnreachablePage =
    "<html><head><title>페이지를 표시할 수 없음</title></head><body>"
    "<p>페이지를 표시할 수 없습니다.</p></body></html>";
constexpr int kLightTimeoutMs = 15000;

bool EnvironmentSays(const char* name, const char* value) {
    const char* set = std::getenv(name);
    return set != nullptr && (value == nullptr ? set[0] != '\0' : std::strcmp(set, value) == 0);
}

QString DecodePage(const QByteArray& body, const QByteArray& content_type) {
    const int at = content_type.toLower().indexOf("charset=");
    if (at >= 0) {
        QByteArray name = content_type.mid(at + 8).trimmed();
        name = name.left(name.indexOf(';') < 0 ? name.size() : name.indexOf(';'));
        QStringDecoder decoder(name.replace("\"", "").constData());
        if (decoder.isValid()) {
            return decoder.decode(body);
        }
    }
    return QString::fromUtf8(body);
}

}  // namespace

bool WebEngineBuilt() {
#ifdef KORVANE_HAVE_WEBENGINE
    return true;
#else
    return false;
#endif
}

BrowserEngine ChooseBrowserEngine() {
    if (!WebEngineBuilt() || EnvironmentSays("KORVANE_BROWSER", "light")) {
        return BrowserEngine::Light;
    }
    if (geteuid() == 0 && !EnvironmentSays("QTWEBENGINE_DISABLE_SANDBOX", nullptr)) {
        return BrowserEngine::Light;
    }
    return BrowserEngine::Web;
}

BrowserView::BrowserView(CExplorer1& browser, DialogWindow& window)
    : QWidget(&window),
      ControlView(browser, window),
      browser_(browser),
      engine_(ChooseBrowserEngine()) {}

BrowserView::~BrowserView() = default;

void BrowserView::Refresh(ControlChange) {
    // Only a new navigation loads; the page then draws itself.
    if (browser_.navigations() != navigations_seen_) {
        navigations_seen_ = browser_.navigations();
        Load(QString::fromStdString(browser_.url()));
    }
}

void BrowserView::EnsurePage() {
    if (page_ != nullptr) {
        return;
    }
#ifdef KORVANE_HAVE_WEBENGINE
    if (engine_ == BrowserEngine::Web) {
        auto* view = new QWebEngineView(this);
        connect(view, &QWebEngineView::loadFinished, [this](bool ok) { Finished(ok); });
        page_ = view;
    }
#endif
    if (page_ == nullptr) {
        light_ = new QTextBrowser(this);
        light_->setOpenLinks(false);
        light_->setFrameShape(QFrame::NoFrame);
        connect(light_, &QTextBrowser::anchorClicked, [this](const QUrl& link) {
            const QUrl base = light_->document()->metaInformation(QTextDocument::DocumentUrl);
            LoadLight(QUrl(base).resolved(link));
        });
        network_ = new QNetworkAccessManager(this);
        page_ = light_;
    }
    page_->setGeometry(rect());
    page_->show();
}

void BrowserView::Load(const QString& url) {
    EnsurePage();
#ifdef KORVANE_HAVE_WEBENGINE
    if (auto* view = qobject_cast<QWebEngineView*>(page_)) {
        view->load(QUrl(url));
        return;
    }
#endif
    LoadLight(QUrl(url));
}

void BrowserView::LoadLight(const QUrl& url) {
    QNetworkRequest request(url);
    request.setTransferTimeout(kLightTimeoutMs);
    QNetworkReply* reply = network_->get(request);
    connect(reply, &QNetworkReply::finished, [this, reply, url] {
        reply->deleteLater();
        const bool ok = reply->error() == QNetworkReply::NoError;
        light_->document()->setMetaInformation(QTextDocument::DocumentUrl, url.toString());
        light_->setHtml(
            ok ? DecodePage(reply->readAll(),
                            reply->header(QNetworkRequest::ContentTypeHeader).toByteArray())
               : QString::fromUtf8(kUnreachablePage));
        Finished(ok);
    });
}

void BrowserView::Finished(bool ok) {
    ++loads_finished_;
    last_load_ok_ = ok;
}

QString BrowserView::PageTitle() const {
#ifdef KORVANE_HAVE_WEBENGINE
    if (auto* view = qobject_cast<QWebEngineView*>(page_)) {
        return view->title();
    }
#endif
    return light_ == nullptr ? QString()
                             : light_->document()->metaInformation(QTextDocument::DocumentTitle);
}

QString BrowserView::PageText() const {
    return light_ == nullptr ? QString() : light_->toPlainText();
}

void BrowserView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (page_ != nullptr) {
        page_->setGeometry(rect());
    }
}

}  // namespace korvane
