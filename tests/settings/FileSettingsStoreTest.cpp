#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "platform/linux/FileSettingsStore.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;
using Step = FileSettingsStore::WriteStep;

constexpr std::string_view kHive = "HKEY_CURRENT_USER";
constexpr std::string_view kKey = "SOFTWARE\\Talvo";

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 07777;
}

std::vector<std::string> EntriesOf(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class ScopedUmask {
  public:
    explicit ScopedUmask(mode_t mask) : old_(::umask(mask)) {}
    ~ScopedUmask() { ::umask(old_); }

  private:
    mode_t old_;
};

class FileSettingsStoreTest : public ::testing::Test {
  protected:
    std::string Query(std::string_view name) {
        StoredValue value;
        return store_.QueryValue(kHive, kKey, name, value) ? value.bytes : "<absent>";
    }
    std::string TalvoFolder() const {
        return config_ + "/korvane/HKEY_CURRENT_USER/SOFTWARE/Talvo";
    }

    test::TempFolder temp_;
    std::string config_ = temp_ / "cfg/nested";
    FileSettingsStore store_{config_};
};

TEST_F(FileSettingsStoreTest, LaysValuesOutAsPrivateFilesInPrivateFolders) {
    // A permissive umask must not loosen the modes, a strict one not break them.
    for (const mode_t mask : {mode_t{0}, mode_t{0277}}) {
        test::TempFolder temp;
        const std::string config = temp / "cfg";
        FileSettingsStore store(config);
        {
            ScopedUmask umask(mask);
            ASSERT_TRUE(store.CreateKey(kHive, kKey));
            ASSERT_TRUE(store.SetValue(kHive, kKey, "up2", {1, "secret"}));
        }
        const std::string talvo = config + "/korvane/HKEY_CURRENT_USER/SOFTWARE/Talvo";
        EXPECT_EQ(test::ReadBytes(talvo + "/=up2"), "1\nsecret");
        EXPECT_EQ(store.ValueFile(kHive, kKey, "up2"), talvo + "/=up2");
        EXPECT_EQ(ModeOf(talvo + "/=up2"), 0600u) << mask;
        for (const std::string& folder :
             {config, config + "/korvane", config + "/korvane/HKEY_CURRENT_USER",
              config + "/korvane/HKEY_CURRENT_USER/SOFTWARE", talvo}) {
            EXPECT_EQ(ModeOf(folder), 0700u) << folder << " umask " << mask;
        }
    }
}

TEST_F(FileSettingsStoreTest, NamesWithPathStepsStayInsideTheirKey) {
    const std::vector<std::string> keys = {"..\\..\\..\\escaped", "SOFTWARE\\..\\..\\up",
                                           "a/../../b", ".\\.hidden"};
    const std::vector<std::string> names = {"../../../../escaped", "/etc/passwd", "..", "."};
    for (const std::string& key : keys) {
        ASSERT_TRUE(store_.CreateKey(kHive, key)) << key;
        for (const std::string& name : names) {
            ASSERT_TRUE(store_.SetValue(kHive, key, name, {1, key + "|" + name}));
        }
    }
    // Only the configuration root exists beside the temp folder's content, and
    // every file lies below the hive's folder, at the depth its key gives.
    EXPECT_EQ(EntriesOf(temp_.path()), std::vector<std::string>{"cfg"});
    const std::string hive_folder = config_ + "/korvane/HKEY_CURRENT_USER";
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(temp_.path())) {
        if (entry.is_regular_file()) {
            ++files;
            const std::string path = entry.path().string();
            EXPECT_EQ(path.rfind(hive_folder + "/", 0), 0u) << path;
            EXPECT_EQ(entry.path().filename().string().front(), '=') << path;
        }
    }
    EXPECT_EQ(files, static_cast<int>(keys.size() * names.size()));
    for (const std::string& key : keys) {
        for (const std::string& name : names) {
            StoredValue value;
            ASSERT_TRUE(store_.QueryValue(kHive, key, name, value));
            EXPECT_EQ(value.bytes, key + "|" + name);
        }
    }
}

TEST_F(FileSettingsStoreTest, WritesLeaveNoTemporaryFiles) {
    ASSERT_TRUE(store_.CreateKey(kHive, kKey));
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(store_.SetValue(kHive, kKey, "ui1", {1, std::to_string(i)}));
    }
    ASSERT_TRUE(store_.SetValue(kHive, kKey, "up2", {1, "p"}));
    EXPECT_EQ(EntriesOf(TalvoFolder()), (std::vector<std::string>{"=ui1", "=up2"}));
    EXPECT_EQ(Query("ui1"), "19");
}

TEST_F(FileSettingsStoreTest, AFailedWriteKeepsTheOldValueAndCleansUp) {
    struct Case {
        Step failing;
        bool old_value_kept;
    };
    const Case cases[] = {{Step::CreateTemp, true},
                          {Step::WriteData, true},
                          {Step::SyncData, true},
                          {Step::Rename, true},
                          // Already renamed: the new value is there, but the
                          // write is reported as not durable.
                          {Step::SyncFolder, false}};
    for (const Case& c : cases) {
        test::TempFolder temp;
        FileSettingsStore store(temp.path());
        ASSERT_TRUE(store.CreateKey(kHive, kKey));
        ASSERT_TRUE(store.SetValue(kHive, kKey, "ui1", {1, "old value"}));
        store.SetFaultHook([&](Step step) { return step != c.failing; });
        EXPECT_FALSE(store.SetValue(kHive, kKey, "ui1", {1, "a much longer new value"}));
        StoredValue value;
        ASSERT_TRUE(store.QueryValue(kHive, kKey, "ui1", value));
        EXPECT_EQ(value.bytes, c.old_value_kept ? "old value" : "a much longer new value")
            << static_cast<int>(c.failing);
        EXPECT_EQ(EntriesOf(store.KeyFolder(kHive, kKey)), std::vector<std::string>{"=ui1"})
            << static_cast<int>(c.failing);
    }
}

TEST_F(FileSettingsStoreTest, ARealRenameFailureIsReportedAndCleanedUp) {
    ASSERT_TRUE(store_.CreateKey(kHive, kKey));
    // A folder where the value's file belongs: the rename cannot replace it.
    fs::create_directory(TalvoFolder() + "/=ui1");
    EXPECT_FALSE(store_.SetValue(kHive, kKey, "ui1", {1, "x"}));
    EXPECT_EQ(EntriesOf(TalvoFolder()), std::vector<std::string>{"=ui1"});
    EXPECT_EQ(Query("ui1"), "<absent>");
}

TEST_F(FileSettingsStoreTest, UnreadableValueFilesCountAsAbsent) {
    ASSERT_TRUE(store_.CreateKey(kHive, kKey));
    const std::pair<const char*, std::string> files[] = {{"=nohead", "no header line"},
                                                         {"=badtype", "1x\nabc"},
                                                         {"=empty", ""},
                                                         {"=blank", "\nabc"},
                                                         {"=huge", "99999999999\nabc"}};
    for (const auto& [name, content] : files) {
        test::WriteBytes(TalvoFolder() + "/" + name, content);
        EXPECT_EQ(Query(std::string(name).substr(1)), "<absent>") << name;
    }
    // A link planted in place of a value is not followed.
    test::WriteBytes(temp_ / "outside", "1\nplanted");
    fs::create_symlink(temp_ / "outside", TalvoFolder() + "/=link");
    EXPECT_EQ(Query("link"), "<absent>");
}

class ScopedEnv {
  public:
    explicit ScopedEnv(const char* name) : name_(name) {
        if (const char* value = std::getenv(name)) {
            old_ = value;
        }
    }
    ~ScopedEnv() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    void Set(const char* value) {
        if (value != nullptr) {
            ::setenv(name_, value, 1);
        } else {
            ::unsetenv(name_);
        }
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(FileSettingsStoreRoot, FollowsXdgConfigHomeElseHomeConfig) {
    ScopedEnv xdg("XDG_CONFIG_HOME");
    ScopedEnv home("HOME");
    home.Set("/home/tester");
    struct Case {
        const char* xdg;
        const char* expected;
    };
    const Case cases[] = {{"/srv/conf", "/srv/conf"},
                          {nullptr, "/home/tester/.config"},
                          {"", "/home/tester/.config"},
                          // Relative values are to be ignored.
                          {"relative/conf", "/home/tester/.config"}};
    for (const Case& c : cases) {
        xdg.Set(c.xdg);
        EXPECT_EQ(FileSettingsStore::DefaultConfigRoot(), c.expected)
            << (c.xdg ? c.xdg : "(unset)");
    }
}

}  // namespace
}  // namespace korvane
