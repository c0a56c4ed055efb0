#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "GuiFixture.h"
#include "app/CKorvaneDlg.h"
#include "app/DeploySettings.h"
#include "app/MainPanels.h"
#include "app/PendingOperations.h"
#include "app/SessionContext.h"
#include "ui/qt/TemplateLayout.h"

namespace korvane::gui {
namespace {

TEST(Skin, BackgroundsHaveTheirWindowsSizes) {
    const Skin& skin = Skin::Builtin();
    ASSERT_EQ(skin.layout_error(), "");
    const struct {
        int bitmap;
        QSize size;
    } cases[] = {{147, {900, 400}}, {148, {450, 353}}, {149, {451, 353}}, {150, {433, 400}},
                 {199, {400, 282}}, {200, {260, 128}}, {206, {400, 600}}};
    for (const auto& c : cases) {
        EXPECT_EQ(skin.Bitmap(c.bitmap).size(), c.size) << c.bitmap;
    }
}

TEST(Skin, EveryButtonPictureAndIconTheWindowsNameIsThere) {
    const int numbers[] = {128, 213, 214, 151, 153, 154, 155, 156, 157, 158, 159, 160, 161,
                           162, 171, 172, 173, 174, 175, 176, 177, 178, 179, 180, 181, 182,
                           183, 184, 185, 186, 187, 188, 189, 197, 198, 217, 218, 219, 220,
                           221, 223, 224, 233, 234, 235, 236, 237, 238, 239};
    for (int n : numbers) {
        EXPECT_TRUE(Skin::Builtin().Has(n)) << n;
    }
    // The caption buttons are placed at 25 x 22 by the window layouts.
    for (int n : {157, 158, 161, 162}) {
        EXPECT_EQ(Skin::Builtin().Bitmap(n).size(), QSize(25, 22)) << n;
    }
}

TEST(Skin, TemplatesPlaceEveryControlOfTheTemplatePanels) {
    const TemplateLayout& layout = Skin::Builtin().layout();
    QtHost host(Skin::Builtin());
    SessionContext session;
    PendingOperations operations;
    DeploySettings deploy;
    CKorvaneDlg main(host, session, operations, deploy, MakeTemplatePanels);
    MainPanels& panels = main.panels();
    for (Dialog* dialog : {static_cast<Dialog*>(&main), panels.login.get(), panels.status.get(),
                           panels.managed_ip.get(), panels.service_ip.get(),
                           panels.connecting.get(), panels.update_progress.get()}) {
        EXPECT_TRUE(layout.WindowRect(dialog->template_id()).has_value()) << dialog->name();
        for (const auto& control : dialog->controls()) {
            EXPECT_TRUE(layout.ControlRect(dialog->template_id(), control->id()).has_value())
                << dialog->name() << "." << control->id();
        }
    }
}

TEST(Skin, GeneratorRedrawsTheCommittedSkinByteForByte) {
    QTemporaryDir fresh;
    ASSERT_TRUE(fresh.isValid());
    QProcess generator;
    generator.start(KORVANE_SKIN_GENERATOR, {fresh.path()});
    ASSERT_TRUE(generator.waitForFinished(60000));
    ASSERT_EQ(generator.exitCode(), 0) << generator.readAllStandardError().toStdString();
    const QDir committed(KORVANE_SKIN_SOURCE);
    const QStringList made = QDir(fresh.path()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(made, committed.entryList(QDir::Files, QDir::Name));
    for (const QString& name : made) {
        QFile a(fresh.filePath(name));
        QFile b(committed.filePath(name));
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly))
            << name.toStdString();
        EXPECT_TRUE(a.readAll() == b.readAll())
            << name.toStdString() << " differs: run tools/skin/generate.sh";
    }
}

TEST(TemplateLayoutText, BadLinesAreRefusedWithTheirNumber) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"133 1005 1 2 3", "line 1: expected TEMPLATE ID X Y WIDTH HEIGHT"},
        {"# c\n133 1005 1 2 3 4 5", "line 2: expected TEMPLATE ID X Y WIDTH HEIGHT"},
        {"133 1005 1 2 0 4", "line 1: the size must be positive"},
        {"133 1005 1 2 3 4\n133 1005 5 6 7 8", "line 2: template 133 already places id 1005"},
    };
    for (const auto& c : cases) {
        TemplateLayout layout;
        std::string error;
        EXPECT_EQ(layout.Parse(c.text, error), -1) << c.text;
        EXPECT_EQ(error, c.error);
        EXPECT_TRUE(layout.empty());
    }
    TemplateLayout layout;
    std::string error;
    ASSERT_EQ(layout.Parse("\n# window\n145 0 9 9 400 600\n145 1012 110 556 86 30\n", error), 0);
    EXPECT_EQ(layout.WindowRect(145), (Rect{0, 0, 400, 600}));
    EXPECT_EQ(layout.ControlRect(145, 1012), (Rect{110, 556, 86, 30}));
    EXPECT_FALSE(layout.ControlRect(145, 0).has_value());
    EXPECT_FALSE(layout.ControlRect(146, 1012).has_value());
}

}  // namespace
}  // namespace korvane::gui
