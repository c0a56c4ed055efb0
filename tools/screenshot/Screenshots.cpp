#include "Screenshots.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMenu>
#include <QThread>
#include <functional>
#include <memory>

#include "DesktopDirector.h"
#include "DrivenClient.h"
#include "LayoutCheck.h"
#include "app/CKorvaneDlg.h"
#include "app/CLoginDlg.h"
#include "ipselect/DynamicIpTabDlg.h"
#include "ipselect/IpListTab.h"
#include "settings/CIPTabSetOptionDlg.h"
#include "tunnel/CVpnConnDlg.h"
#include "ui/CExplorer1.h"
#include "ui/CLogoutDlg.h"
#include "ui/CProgressEx.h"
#include "ui/CTrayIcon.h"
#include "ui/ListView.h"
#include "ui/qt/BrowserView.h"
#include "ui/qt/DialogWindow.h"
#include "ui/qt/PopupMenus.h"
#include "ui/qt/QtHost.h"
#include "update/CUpdateDlg.h"

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
    Camera(QtHost& host, const Options& options, std::vector<Shot>& shots, bool& all_saved)
        : host_(host), options_(options), shots_(shots), all_saved_(all_saved) {}

    // Saves `widget` as NAME.png with the findings of the dialogs shown in it.
    void Take(const std::string& name, QWidget& widget, const std::vector<Dialog*>& checked) {
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
        all_saved_ &= picture.save(QString::fromStdString(shot.file), "PNG");
        shots_.push_back(std::move(shot));
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
    bool& all_saved_;
};

// Where each window of the program is, by the names its dialogs carry.
struct Windows {
    NamedDialogsHost& host;

    Dialog* operator()(const char* name) const { return host.Find(name); }
    QWidget* widget(const char* name, int id) const { return host.Widget(name, id); }
    QWidget* window(const char* name) const {
        Dialog* dialog = host.Find(name);
        return dialog != nullptr ? host.WindowOf(*dialog) : nullptr;
    }
    bool showing(const char* name) const { return host.Showing(name); }
    std::string text(const char* name, int id) const {
        Dialog* dialog = host.Find(name);
        Control* control = dialog != nullptr ? dialog->Find(id) : nullptr;
        return control != nullptr ? control->text() : std::string();
    }
    bool control_visible(const char* name, int id) const {
        Dialog* dialog = host.Find(name);
        Control* control = dialog != nullptr ? dialog->Find(id) : nullptr;
        return control != nullptr && control->visible();
    }
    bool connected() const { return TunnelUp(host); }
    std::string row_text(const char* tab, int row) const {
        Dialog* dialog = host.Find(tab);
        auto* list = dialog != nullptr ? dialog->Get<ListView>(IpListTab::kServiceList) : nullptr;
        return list != nullptr && row < list->RowCount() ? list->RowText(row) : std::string();
    }
};

void LogIn(Director& d, const Windows& w, const std::string& user) {
    d.Add(
        "see the login panel", [w] { return w.showing("login"); },
        [w, user] {
            TypeInto(w.widget("login", CLoginDlg::kIdEdit), user);
            TypeInto(w.widget("login", CLoginDlg::kPasswordEdit), "demo1234");
        });
}

void PressLogin(Director& d, const Windows& w) {
    d.Add(
        "type the password",
        [w] { return w.text("login", CLoginDlg::kPasswordEdit) == "demo1234"; },
        [w] { ClickLater(w.widget("login", CLoginDlg::kLoginButton)); });
}

// Double-clicks a row of the tab's address list and waits for the tunnel
// to be up at that address.
void ConnectTo(Director& d, const Windows& w, const char* tab, int row,
               const std::function<void()>& while_connecting = {}) {
    d.Add(
        std::string("see address ") + std::to_string(row) + " in " + tab,
        [w, tab, row] { return w.showing(tab) && !w.row_text(tab, row).empty(); },
        [w, tab, row] { DoubleClickRow(w.widget(tab, IpListTab::kServiceList), row); });
    if (while_connecting) {
        d.Add(
            "see the connecting dialog under way",
            [w] {
                auto* bar = w("connecting") != nullptr
                                ? w("connecting")->Get<CProgressEx>(CVpnConnDlg::kProgressBar)
                                : nullptr;
                // A quarter of the way, so the bar and its two-coloured
                // caption both show.
                return w.showing("connecting") && bar != nullptr &&
                       (bar->position() - bar->lower()) * 4 >= bar->upper() - bar->lower();
            },
            while_connecting);
    }
    d.Add(std::string("see the tunnel up at address ") + std::to_string(row),
          [w, tab, row] {
              auto* list = dynamic_cast<IpListTab*>(w(tab));
              return w.connected() && list != nullptr && list->current_row() == row;
          },
          {});
}

void DisconnectAndLogOut(Director& d, const Windows& w) {
    d.Add(
        "disconnect", [w] { return w.connected(); },
        [w] { ClickOn(w.widget("status", CLogoutDlg::kDisconnectButton)); });
    d.Add(
        "log out", [w] { return !w.control_visible("status", CLogoutDlg::kDisconnectButton); },
        [w] { ClickOn(w.widget("status", CLogoutDlg::kLogoutButton)); });
}

// A modal window opened by a main-window button, shot, and closed.
void OpenShootAndClose(Director& d, const Windows& w, Camera& camera, int button, const char* name,
                       int close_button) {
    d.Add(
        std::string("open the ") + name + " window", [] { return !MessageBoxShowing(); },
        [w, button] { ClickLater(w.widget("main", button)); });
    d.Add(
        std::string("see the ") + name + " window", [w, name] { return w.showing(name); },
        [w, &camera, name, close_button] {
            camera.Take(name, *w.window(name), {w(name)});
            ClickLater(w.widget(name, close_button));
        });
    d.Add(std::string("close the ") + name + " window", [w, name] { return !w.showing(name); }, {});
}

void PlanShots(NamedDialogsHost& host, Director& d, Camera& camera) {
    const Windows w{host};
    const auto main_window = [w] { return w.window("main"); };

    LogIn(d, w, "demo_openvpn");
    d.Add(
        "fill the login panel",
        [w] { return w.text("login", CLoginDlg::kPasswordEdit) == "demo1234"; },
        [w, &camera, main_window] {
            camera.Take("login", *main_window(), {w("main"), w("login")});
        });
    PressLogin(d, w);
    // The bands come first; a double-click on one brings its addresses.
    d.Add(
        "see the bands",
        [w] {
            return w.showing("status") && w.showing("service_ip") &&
                   RowCount(w.widget("service_ip", DynamicIpTabDlg::kBandList)) > 0;
        },
        [w] { DoubleClickRow(w.widget("service_ip", DynamicIpTabDlg::kBandList), 0); });
    d.Add(
        "see the band's addresses", [w] { return !w.row_text("service_ip", 3).empty(); },
        [w, &camera, main_window] {
            camera.Take("status-logged-in", *main_window(),
                        {w("main"), w("status"), w("service_ip")});
        });
    ConnectTo(d, w, "service_ip", 1, [w, &camera] {
        camera.Take("connecting", *w.window("connecting"), {w("connecting")});
    });
    d.Add(
        "see the first tunnel", [] { return true; },
        [w, &camera, main_window] {
            camera.Take("status-connected", *main_window(),
                        {w("main"), w("status"), w("service_ip")});
        });
    // A second address while connected: the first one is then marked used.
    ConnectTo(d, w, "service_ip", 3);
    d.Add(
        "see the moved tunnel", [] { return true; },
        [w, &camera, main_window] {
            camera.Take("service-ip-changed", *main_window(),
                        {w("main"), w("status"), w("service_ip")});
        });
    OpenShootAndClose(d, w, camera, CKorvaneDlg::kOptionsButton, "options",
                      CIPTabSetOptionDlg::kCancelButton);
    OpenShootAndClose(d, w, camera, CKorvaneDlg::kUpdateButton, "update",
                      CUpdateDlg::kCancelButton);
    d.Add(
        "show the update progress", [] { return true; },
        [w, &camera] {
            Dialog* progress = w("progupdate");
            progress->Show(ShowMode::Show);
            camera.Take("update-progress", *w.window("progupdate"), {progress});
            progress->Show(ShowMode::Hide);
        });
    DisconnectAndLogOut(d, w);

    // The whole pool in one list.
    LogIn(d, w, "demo_pool");
    PressLogin(d, w);
    ConnectTo(d, w, "managed_ip", 1);
    // A favourite: the row chosen, then the arrow into the saved list.
    d.Add(
        "save an address", [] { return true; },
        [w] {
            ClickRow(w.widget("managed_ip", IpListTab::kServiceList), 5);
            ClickOn(w.widget("managed_ip", IpListTab::kAddButton));
        });
    d.Add("see it saved",
          [w] { return RowCount(w.widget("managed_ip", IpListTab::kSavedList)) > 0; }, {});
    ConnectTo(d, w, "managed_ip", 3);
    d.Add(
        "see the managed-IP tab", [] { return true; },
        [w, &camera, main_window] {
            camera.Take("managed-ip", *main_window(), {w("main"), w("status"), w("managed_ip")});
        });
    DisconnectAndLogOut(d, w);

    d.Add(
        "see the login panel again", [w] { return w.showing("login"); },
        [&camera] {
            PopupMenu tray_menu = CTrayIcon::Menu();
            tray_menu.items.front().is_default = true;
            std::unique_ptr<QMenu> menu = BuildPopupMenu(tray_menu);
            menu->popup(QPoint(0, 0));
            Settle(50);
            camera.Take("tray-menu", *menu, {});
            menu->hide();
        });
    d.Add(
        "close the program", [] { return true; },
        [w] { ClickLater(w.widget("main", CKorvaneDlg::kCloseButton)); });
    d.Add(
        "confirm the exit", [] { return MessageBoxShowing(); }, [] { AnswerMessageBox(true); });
}

int Run(const Options& options, std::vector<Shot>& shots, std::string& error) {
    DrivenClientOptions client;
    client.service = options.web_host;
    client.work_folder = options.output_folder + "/.machine";
    bool saved = true;
    std::unique_ptr<Camera> camera;
    const int code = RunDrivenClient(
        client,
        [&](NamedDialogsHost& host, Director& director) {
            camera = std::make_unique<Camera>(host, options, shots, saved);
            director.SetFailureFolder(options.output_folder);
            PlanShots(host, director, *camera);
        },
        error);
    if (code != 0) {
        return -1;
    }
    if (!saved) {
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
