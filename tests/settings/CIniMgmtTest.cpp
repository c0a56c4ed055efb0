#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "TempFolder.h"
#include "settings/CIniMgmt.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;

class CIniMgmtTest : public ::testing::Test {
  protected:
    std::string Content() const { return test::ReadBytes(path_); }

    test::TempFolder temp_;
    std::string path_ = temp_ / "tesken.ini";
    CIniMgmt ini_{path_};
};

TEST_F(CIniMgmtTest, CreatesFileAndSectionWithCrLfLines) {
    ASSERT_FALSE(fs::exists(path_));
    EXPECT_EQ(ini_.WriteString("Dova_Conn", "Encoding", "1"), 1);
    EXPECT_EQ(ini_.WriteString("Dova_Conn", "Type", "2"), 1);
    EXPECT_EQ(ini_.WriteString("Dova_Conn", "CustomDialDll", ""), 1);
    EXPECT_EQ(Content(), "[Dova_Conn]\r\nEncoding=1\r\nType=2\r\nCustomDialDll=\r\n");
    EXPECT_EQ((fs::status(path_).permissions() & fs::perms::all),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);
}

TEST_F(CIniMgmtTest, ReplacesKeysWithoutRegardToCaseAndKeepsTheirPlace) {
    // "DEVICE1" comes first so that a key matched by its prefix would show.
    for (const char* key : {"Port", "DEVICE1", "Device", "PhoneNumber"}) {
        ASSERT_EQ(ini_.WriteString("Dova_Conn", key, "old"), 1);
    }
    EXPECT_EQ(ini_.WriteString("dova_conn", "DEVICE", "new-device"), 1);
    EXPECT_EQ(ini_.WriteString("DOVA_CONN", "device1", "vpn"), 1);
    EXPECT_EQ(ini_.WriteString("Dova_Conn", "Dev", "short"), 1);
    EXPECT_EQ(Content(),
              "[Dova_Conn]\r\nPort=old\r\ndevice1=vpn\r\nDEVICE=new-device\r\n"
              "PhoneNumber=old\r\nDev=short\r\n");
}

TEST_F(CIniMgmtTest, EditsTheRightSectionOfAHandWrittenLfFile) {
    test::WriteBytes(path_,
                     "; written elsewhere\n"
                     "[First]\n"
                     "a = 1\n"
                     "\n"
                     "[Second]\n"
                     "b=2\n"
                     "[first]\n"
                     "a=shadowed");
    EXPECT_EQ(ini_.WriteString("FIRST", "A", "10"), 1);
    EXPECT_EQ(ini_.WriteString("First", "c", "3"), 1);
    EXPECT_EQ(ini_.WriteString("Second", "d", "4"), 1);
    EXPECT_EQ(ini_.WriteString("Third", "e", "5"), 1);
    EXPECT_EQ(Content(),
              "; written elsewhere\r\n"
              "[First]\r\n"
              "A=10\r\n"
              "c=3\r\n"
              "\r\n"
              "[Second]\r\n"
              "b=2\r\n"
              "d=4\r\n"
              "[first]\r\n"
              "a=shadowed\r\n"
              "[Third]\r\n"
              "e=5\r\n");
}

TEST_F(CIniMgmtTest, KeepsRawBytesOfValuesUnchanged) {
    const std::string device =
        "\x57\x41\x4E\x20\xEB\xAF\xB8\xEB\x8B\x88\x3F\xAC\xED\x8A\xB8\x28\x4C\x32\x54\x50\x29";
    ASSERT_EQ(device.size(), 21u);
    ASSERT_EQ(ini_.WriteString("Dova_Conn", "PreferredDevice", device), 1);
    ASSERT_EQ(ini_.WriteString("Dova_Conn", "Device", device), 1);
    ASSERT_EQ(ini_.WriteString("Dova_Conn", "Guid", "a=b; [c]"), 1);
    EXPECT_EQ(Content(), "[Dova_Conn]\r\nPreferredDevice=" + device + "\r\nDevice=" + device +
                             "\r\nGuid=a=b; [c]\r\n");
}

TEST_F(CIniMgmtTest, RefusesEntriesThatWouldBreakTheLines) {
    ASSERT_EQ(ini_.WriteString("S", "k", "v"), 1);
    const std::string before = Content();
    struct Case {
        std::string section, key, value;
    };
    const Case cases[] = {{"", "k", "v"},
                          {"S]x", "k", "v"},
                          {"S\nT", "k", "v"},
                          {"S", "", "v"},
                          {"S", "  ", "v"},
                          {"S", "k=1", "v"},
                          {"S", "[T]", "v"},
                          {"S", ";k", "v"},
                          {"S", "k\r", "v"},
                          {"S", "k", "v\r\nx=1"},
                          {"S", "k", std::string("v\0w", 3)}};
    for (const Case& c : cases) {
        EXPECT_EQ(ini_.WriteString(c.section, c.key, c.value), -1) << c.section << "/" << c.key;
    }
    EXPECT_EQ(Content(), before);
}

TEST_F(CIniMgmtTest, LeavesUnreadableOrUnreachableFilesAlone) {
    const std::string folder_path = temp_ / "a-folder";
    fs::create_directory(folder_path);
    EXPECT_EQ(CIniMgmt(folder_path).WriteString("S", "k", "v"), -1);
    EXPECT_TRUE(fs::is_directory(folder_path));
    // A link loop cannot be opened; replacing it would lose whatever it meant.
    const std::string loop = temp_ / "loop.ini";
    fs::create_symlink(loop, loop);
    EXPECT_EQ(CIniMgmt(loop).WriteString("S", "k", "v"), -1);
    EXPECT_TRUE(fs::is_symlink(loop));
    EXPECT_EQ(CIniMgmt(temp_ / "missing/x.ini").WriteString("S", "k", "v"), -1);
    EXPECT_EQ(CIniMgmt().WriteString("S", "k", "v"), -1);
    EXPECT_EQ(CIniMgmt().Clear(), -1);
}

TEST_F(CIniMgmtTest, ClearEmptiesOrCreatesAndWritesLeaveNoTemporaries) {
    EXPECT_EQ(ini_.Clear(), 1);
    EXPECT_TRUE(fs::exists(path_));
    EXPECT_EQ(Content(), "");
    ASSERT_EQ(ini_.WriteString("S", "k", "v"), 1);
    ::chmod(path_.c_str(), 0640);
    EXPECT_EQ(ini_.Clear(), 1);
    EXPECT_EQ(Content(), "");
    ASSERT_EQ(ini_.WriteString("S", "k", "again"), 1);
    EXPECT_EQ(Content(), "[S]\r\nk=again\r\n");
    // An existing file keeps the mode someone gave it.
    EXPECT_EQ(fs::status(path_).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(temp_.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

}  // namespace
}  // namespace korvane
