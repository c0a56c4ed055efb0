#include "Screenshots.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMenu>
#include <QThread>
#include <QTimer>
#include <functional>
#include <memory>

#include "LayoutCheck.h"
#include "Staging.h"
#include "app/CKorvaneDlg.h"
#include "app/DeploySettings.h"
#include "app/MainPanels.h"
#include "app/PendingOperations.h"
#include "app/SessionContext.h"
#include "ui/CExplorer1.h"
#include "ui/CTrayIcon.h"
#include "ui/qt/BrowserView.h"
#include "ui/qt/DialogWindow.h"
#include "ui/qt/PopupMenus.h"
#include "ui/qt/QtHost.h"
#include "ui/qt/Skin.h"

namespace korvane::screenshots {

namespace {

// After a page reports itself loaded the engine still paints it.
constexpr int kPaintSettleMs = 400;

void Settle(int ms) {
    QElapsedTimer clock;
    clock.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    } while (clock.elapsed() < ms);
}

class Camera {
  public:
    Camera(QtHost& host, const Options& options, std::vector<Shot>& shots)
        : host_(host), options_(options), shots_(shots) {}

    // Saves `widget` as NAME.png with the findings of the dialogs shown in it.
    bool Take(const std::string& name, QWidget& widget, const std::vector<Dialog*>& checked) {
        Shot shot;
        for (Dialog* dialog : checked) {
            WaitForPages(*dialog, shot);
        }
        Settle(50);
        for (Dialog* dialog : checked) {
            for (std::string& problem : CheckLayout(host_, *dialog)) {
                shot.problems.push_back(std::move(problem));
            }
        }
        const QPixmap picture = widget.grab();
        shot.file = QDir(QString::fromStdString(options_.output_folder))
                        .filePath(QString::fromStdString(name) + ".png")
                        .toStdString();
        shot.width = picture.width();
        shot.height = picture.height();
        const bool saved = picture.save(QString::fromStdString(shot.file), "PNG");
        shots_.push_back(std::move(shot));
        return saved;
    }

  private:
    void WaitForPages(Dialog& dialog, Shot& shot) {
        for (const auto& control : dialog.controls()) {
            auto* view = dynamic_cast<BrowserView*>(host_.ControlWidget(dialog, control->id()));
            auto* browser = dynamic_cast<CExplorer1*>(control.get());
            if (view == nullptr || browser == nullptr || browser->navigations() == 0) {
                continue;
            }
            QElapsedTimer clock;
            clock.start();
            while (view->loads_finished() == 0 && clock.elapsed() < options_.page_timeout_ms) {
                Settle(20);
            }
            const bool loaded = view->loads_finished() > 0;
            shot.pages.push_back(browser->url() + ": " +
                                 (!loaded                ? "timed out"
                                  : view->last_load_ok() ? "loaded"
                                                         : "failed"));
            if (loaded) {
                Settle(kPaintSettleMs);
            }
        }
    }

    QtHost& host_;
    const Options& options_;
    std::vector<Shot>& shots_;
};

IpRows ServiceRows() {
    IpRows rows;
    rows.bands = {"서울", "부산", "제주"};
    for (int i = 1; i <= 9; ++i) {
        rows.pool.push_back("10.20.1." + std::to_string(i));
    }
    rows.saved = {"10.20.1.5", "10.20.1.3"};
    rows.selected_band = 0;
    return rows;
}

int Run(const Options& options, std::vector<Shot>& shots, std::string& error) {
    QtHost host(Skin::Builtin());
    host.SetTrayAvailable(false);
    host.SetUrlOpener([](const std::string&) {});
    SessionContext session;
    session.ccver = 1187;
    session.web_host = options.web_host;
    PendingOperations operations;
    DeploySettings deploy;
    deploy.web_host = options.web_host;
    CKorvaneDlg main(host, session, operations, deploy, MakeTemplatePanels);
    main.Create(nullptr);
    main.Show(ShowMode::Show);
    MainPanels& panels = main.panels();
    QWidget& main_window = *host.WindowOf(main);
    Camera camera(host, options, shots);
    bool ok = true;

    StageLoginPanel(*panels.login, "demo_openvpn");
    ok &= camera.Take("login", main_window, {&main, panels.login.get()});

    // Logged in: the status panel and the service-IP tab in the wide window.
    panels.login->Show(ShowMode::Hide);
    StageStatusPanel(*panels.status, false, options.web_host);
    panels.status->Show(ShowMode::Show);
    main.fields().narrow_layout = 1;
    main.ToggleLayout();
    IpRows rows = ServiceRows();
    StageServiceIpTab(*panels.service_ip, rows);
    panels.service_ip->Show(ShowMode::Show);
    ok &= camera.Take("status-logged-in", main_window,
                      {&main, panels.status.get(), panels.service_ip.get()});

    // Connected at the third address; two addresses were tried before it.
    StageStatusPanel(*panels.status, true, options.web_host);
    rows.used_rows = {0, 4, 2};
    rows.current_row = 2;
    StageServiceIpTab(*panels.service_ip, rows);
    ok &= camera.Take("status-connected", main_window,
                      {&main, panels.status.get(), panels.service_ip.get()});

    panels.service_ip->Show(ShowMode::Hide);
    rows.used_rows = {0, 4, 2};
    rows.current_row = 2;
    StageManagedIpTab(*panels.managed_ip, rows);
    panels.managed_ip->Show(ShowMode::Show);
    ok &= camera.Take("managed-ip", main_window,
                      {&main, panels.status.get(), panels.managed_ip.get()});

    StageConnecting(*panels.connecting, 40);
    panels.connecting->Show(ShowMode::Show);
    ok &= camera.Take("connecting", *host.WindowOf(*panels.connecting), {panels.connecting.get()});
    panels.connecting->Show(ShowMode::Hide);

    StageUpdateProgress(*panels.update_progress);
    panels.update_progress->Show(ShowMode::Show);
    ok &= camera.Take("update-progress", *host.WindowOf(*panels.update_progress),
                      {panels.update_progress.get()});
    panels.update_progress->Show(ShowMode::Hide);

    std::unique_ptr<Dialog> options_dialog = MakeOptionsTemplate(host);
    options_dialog->Create(&main);
    StageOptions(*options_dialog);
    options_dialog->Show(ShowMode::Show);
    ok &= camera.Take("options", *host.WindowOf(*options_dialog), {options_dialog.get()});
    options_dialog->Destroy();

    std::unique_ptr<Dialog> update_dialog = MakeUpdateTemplate(host);
    update_dialog->Create(&main);
    StageUpdate(*update_dialog, options.web_host);
    update_dialog->Show(ShowMode::Show);
    ok &= camera.Take("update", *host.WindowOf(*update_dialog), {update_dialog.get()});
    update_dialog->Destroy();

    PopupMenu tray_menu = CTrayIcon::Menu();
    tray_menu.items.front().is_default = true;
    std::unique_ptr<QMenu> menu = BuildPopupMenu(tray_menu);
    menu->popup(QPoint(0, 0));
    Settle(50);
    ok &= camera.Take("tray-menu", *menu, {});
    menu->hide();

    if (!ok) {
        error = "a screenshot could not be written to " + options.output_folder;
        return -1;
    }
    return 0;
}

}  // namespace

int TakeScreenshots(const Options& options, std::vector<Shot>& shots, std::string& error) {
    if (!QDir().mkpath(QString::fromStdString(options.output_folder))) {
        error = options.output_folder + " cannot be made";
        return -1;
    }
    return Run(options, shots, error);
}

}  // namespace korvane::screenshots
