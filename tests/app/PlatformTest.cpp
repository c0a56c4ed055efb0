#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>

#include "platform/IniText.h"
#include "platform/linux/LinuxEnvironment.h"
#include "platform/linux/LinuxInstance.h"
#include "platform/sim/MachineDescription.h"
#include "platform/sim/SimEnvironment.h"

namespace korvane {
namespace {

// A private temporary folder, removed with everything in it.
class TempFolder {
  public:
    TempFolder() {
        char pattern[] = "/tmp/korvane-test-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempFolder() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// Sets an environment variable for one scope and puts the old value back.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        old_ = had_ ? old : "";
        value != nullptr ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedVariable() { had_ ? setenv(name_, old_.c_str(), 1) : unsetenv(name_); }

  private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

TEST(IniText, ReadsSectionsNamesAndValues) {
    std::vector<IniSection> sections;
    IniError error;
    ASSERT_EQ(ParseIniText("\xEF\xBB\xBF; machine\n"
                           "top = 1\n"
                           "[adapter \"TAP-Windows Adapter V9\"]\r\n"
                           "  index = 12  \n"
                           "address = \"10.8.0.2 \\\"x\\\"\"\n"
                           "address = 10.8.0.3\n"
                           "# done\n"
                           "[os]\n",
                           sections, error),
              0)
        << error.message;
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[0].type, "");
    EXPECT_EQ(sections[0].entries[0].key, "top");
    EXPECT_EQ(sections[1].type, "adapter");
    EXPECT_EQ(sections[1].name, "TAP-Windows Adapter V9");
    EXPECT_EQ(sections[1].line, 3);
    ASSERT_EQ(sections[1].entries.size(), 3u);
    EXPECT_EQ(sections[1].entries[0].value, "12");
    EXPECT_EQ(sections[1].entries[1].value, "10.8.0.2 \"x\"");
    EXPECT_EQ(sections[1].entries[2].line, 6);
    EXPECT_FALSE(sections[2].has_name);

    struct Case {
        std::string text;
        int line;
        std::string message;
    };
    const Case cases[] = {
        {"[os\n", 1, "a section header ends with ]"},
        {"\n[ ]\n", 2, "a section type is a word of letters, digits, _ - or ."},
        {"[b@d]\n", 1, "a section type is a word of letters, digits, _ - or ."},
        {"[os]\nno equals\n", 2, "expected key = value"},
        {"[os]\nk = \"open\n", 2, "the quoted text has no closing \""},
        {"[os]\nk = \"a\" b\n", 2, "text after the closing quote"},
        {"[x \"\"]\n", 1, "an empty section name"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseIniText(c.text, sections, error), -1) << c.text;
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_EQ(error.message, c.message) << c.text;
    }
}

TEST(MachineDescription, HandsSectionsToTheirOwnersAndNamesFaults) {
    MachineDescription description;
    std::vector<std::string> seen;
    description.Register("route", MachineDescription::Naming::None,
                         [&](const IniSection& s, IniError& error) {
                             SectionReader reader(s);
                             long long metric = 0;
                             if (reader.Integer("metric", 1, 9999, metric, error) < 0) {
                                 return -1;
                             }
                             seen.push_back("route " + std::to_string(metric));
                             return reader.Finish(error);
                         });
    description.Register("adapter", MachineDescription::Naming::Required,
                         [&](const IniSection& s, IniError& error) {
                             SectionReader reader(s);
                             bool up = false;
                             if (reader.Flag("up", up, error) < 0) {
                                 return -1;
                             }
                             seen.push_back("adapter " + s.name + (up ? " up" : " down"));
                             return reader.Finish(error);
                         });
    std::string error;
    ASSERT_EQ(description.Load("[adapter eth0]\nup = yes\n[route]\nmetric = 50\n", "m.ini", error),
              0)
        << error;
    EXPECT_EQ(seen, (std::vector<std::string>{"adapter eth0 up", "route 50"}));

    struct Case {
        std::string text;
        std::string error;
    };
    const Case cases[] = {
        {"[bridge]\n", "m.ini:1: unknown section [bridge]"},
        {"key = 1\n", "m.ini:1: a key before the first section"},
        {"[adapter]\n", "m.ini:1: [adapter] needs a name: [adapter NAME]"},
        {"[route main]\n", "m.ini:1: [route] takes no name"},
        {"[route]\nmetric = 0\n", "m.ini:2: metric must be a whole number from 1 to 9999"},
        {"[route]\nmetric = 5x\n", "m.ini:2: metric must be a whole number from 1 to 9999"},
        {"[route]\nmetric = 5\nmetirc = 6\n", "m.ini:3: unknown key metirc in [route]"},
        {"[adapter a]\nup = maybe\n", "m.ini:2: up must be yes or no"},
        {"[route]\n[bad\n", "m.ini:2: a section header ends with ]"},
    };
    for (const Case& c : cases) {
        seen.clear();
        EXPECT_EQ(description.Load(c.text, "m.ini", error), -1) << c.text;
        EXPECT_EQ(error, c.error);
    }
    EXPECT_EQ(description.LoadFile("/nonexistent/m.ini", error), -1);
}

TEST(SimEnvironment, IsDescribedByItsSectionAndNeverTouchesTheRealMachine) {
    SimEnvironment environment;
    MachineDescription description;
    environment.RegisterSection(description);
    const std::string before = LinuxEnvironment().CurrentDirectory();
    std::string error;
    ASSERT_EQ(description.Load("[environment]\n"
                               "program_path = /srv/kv/bin/korvane\n"
                               "windows_dir = /home/kim/.local/share/korvane\n"
                               "folder = /srv/kv/logs\n",
                               "m", error),
              0)
        << error;
    EXPECT_EQ(environment.ProgramFolder(), "/srv/kv/bin");
    EXPECT_EQ(environment.WindowsFolder(), "/home/kim/.local/share/korvane");
    EXPECT_TRUE(environment.SetCurrentDirectory("/srv/kv/bin"));
    EXPECT_EQ(environment.CurrentDirectory(), "/srv/kv/bin");
    EXPECT_FALSE(environment.SetCurrentDirectory("/nowhere"));
    EXPECT_TRUE(environment.CreateFolder("/home/kim/.local/share/korvane/Temp"));
    EXPECT_FALSE(environment.CreateFolder("/no/parent/Temp"));
    EXPECT_TRUE(environment.FolderExists("/srv/kv/logs"));
    EXPECT_EQ(LinuxEnvironment().CurrentDirectory(), before);

    EXPECT_EQ(description.Load("[environment]\nprogram_path = bin/korvane\n", "m", error), -1);
    EXPECT_EQ(error, "m:2: program_path must be an absolute path");
}

TEST(LinuxEnvironment, FindsItsFoldersAndCreatesThePerUserOne) {
    TempFolder temp;
    ScopedVariable data("XDG_DATA_HOME", (temp.path() + "/data").c_str());
    LinuxEnvironment environment("/opt/korvane/bin/korvane");
    EXPECT_EQ(environment.ProgramFolder(), "/opt/korvane/bin");
    const std::string windows = environment.WindowsFolder();
    EXPECT_EQ(windows, temp.path() + "/data/korvane");
    struct stat info {};
    ASSERT_EQ(stat(windows.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_TRUE(environment.CreateFolder(windows + "/Temp"));
    EXPECT_TRUE(environment.CreateFolder(windows + "/Temp")) << "an existing folder is fine";
    EXPECT_FALSE(environment.CreateFolder(windows + "/a/b"));

    const std::string before = environment.CurrentDirectory();
    EXPECT_TRUE(environment.SetCurrentDirectory(windows));
    EXPECT_EQ(environment.CurrentDirectory(), windows);
    EXPECT_FALSE(environment.SetCurrentDirectory(windows + "/missing"));
    ASSERT_TRUE(environment.SetCurrentDirectory(before));
    EXPECT_FALSE(LinuxEnvironment().ProgramPath().empty());
}

TEST(LinuxInstance, TheSecondCopyReachesTheFirst) {
    TempFolder temp;
    const std::string folder = temp.path() + "/instance";
    LinuxInstance first(folder);
    ASSERT_EQ(first.Claim(), InstanceClaim::Acquired);
    struct stat info {};
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    LinuxInstance second(folder);
    EXPECT_EQ(second.Claim(), InstanceClaim::AlreadyRunning);
    EXPECT_FALSE(second.ActivateRunningCopy()) << "the first is not listening yet";

    std::atomic<int> requests{0};
    ASSERT_TRUE(first.ListenForActivation([&] { ++requests; }));
    EXPECT_TRUE(second.ActivateRunningCopy());
    EXPECT_TRUE(second.ActivateRunningCopy());
    EXPECT_EQ(requests, 2) << "answered only after the handler ran";
    first.StopListening();
    EXPECT_FALSE(second.ActivateRunningCopy());
}

TEST(LinuxInstance, TheClaimEndsWithItsHolderAndAStaleSocketIsReplaced) {
    TempFolder temp;
    {
        LinuxInstance first(temp.path());
        ASSERT_EQ(first.Claim(), InstanceClaim::Acquired);
    }
    // A socket file left by a copy that died.
    std::ofstream(temp.path() + "/" + LinuxInstance::kSocketName) << "stale";
    LinuxInstance next(temp.path());
    ASSERT_EQ(next.Claim(), InstanceClaim::Acquired);
    std::atomic<int> requests{0};
    ASSERT_TRUE(next.ListenForActivation([&] { ++requests; }));
    LinuxInstance later(temp.path());
    EXPECT_TRUE(later.ActivateRunningCopy());
    EXPECT_EQ(requests, 1);
}

TEST(LinuxInstance, RefusesAFolderOthersCanWrite) {
    TempFolder temp;
    ASSERT_EQ(chmod(temp.path().c_str(), 0777), 0);
    LinuxInstance instance(temp.path());
    EXPECT_EQ(instance.Claim(), InstanceClaim::Failed);
    EXPECT_EQ(LinuxInstance("/proc/korvane-cannot-exist").Claim(), InstanceClaim::Failed);
}

TEST(LinuxInstance, TheDefaultFolderFollowsTheEnvironment) {
    {
        ScopedVariable chosen("KORVANE_INSTANCE_DIR", "/tmp/chosen");
        EXPECT_EQ(LinuxInstance::DefaultFolder(), "/tmp/chosen");
    }
    ScopedVariable no_choice("KORVANE_INSTANCE_DIR", nullptr);
    {
        ScopedVariable runtime("XDG_RUNTIME_DIR", "/run/user/1234");
        EXPECT_EQ(LinuxInstance::DefaultFolder(), "/run/user/1234/korvane");
    }
    ScopedVariable no_runtime("XDG_RUNTIME_DIR", nullptr);
    EXPECT_EQ(LinuxInstance::DefaultFolder(), "/tmp/korvane-" + std::to_string(getuid()));
}

}  // namespace
}  // namespace korvane
