#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace korvane {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Runs the korvane program with its standard streams in files of a private
// folder, so a test can read what it wrote while it runs.
class Program {
  public:
    Program() {
        char pattern[] = "/tmp/korvane-program-XXXXXX";
        folder_ = mkdtemp(pattern);
        instance_dir_ = folder_ + "/instance";
    }
    ~Program() { std::system(("rm -rf '" + folder_ + "'").c_str()); }

    // Starts the program in the background; `name` tells the runs apart.
    pid_t Spawn(const std::string& name, std::vector<std::string> args, const std::string& input) {
        WriteFile(Path(name, "in"), input);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, Path(name, "in").c_str(), O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, Path(name, "out").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, Path(name, "err").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        args.insert(args.begin(), KORVANE_EXE);
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        std::vector<std::string> env_text{"KORVANE_INSTANCE_DIR=" + instance_dir_,
                                          "XDG_DATA_HOME=" + folder_ + "/data"};
        // No display either: a run without --headless must not open a window.
        for (char** e = environ; *e != nullptr; ++e) {
            const std::string entry = *e;
            bool dropped = false;
            for (const char* name : {"KORVANE_INSTANCE_DIR=", "XDG_DATA_HOME=", "DISPLAY=",
                                     "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="}) {
                dropped = dropped || entry.rfind(name, 0) == 0;
            }
            if (!dropped) {
                env_text.push_back(entry);
            }
        }
        std::vector<char*> envp;
        for (std::string& e : env_text) {
            envp.push_back(e.data());
        }
        envp.push_back(nullptr);
        pid_t pid = -1;
        const int rc = posix_spawn(&pid, KORVANE_EXE, &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        return rc == 0 ? pid : -1;
    }

    // The exit code of a run started with Spawn.
    static int Wait(pid_t pid) {
        int status = 0;
        if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
            return -1;
        }
        return WEXITSTATUS(status);
    }

    int Run(const std::string& name, std::vector<std::string> args, const std::string& input = "") {
        return Wait(Spawn(name, std::move(args), input));
    }

    std::string Out(const std::string& name) const { return ReadFile(Path(name, "out")); }
    std::string Err(const std::string& name) const { return ReadFile(Path(name, "err")); }
    std::string Path(const std::string& name, const std::string& what) const {
        return folder_ + "/" + name + "." + what;
    }
    const std::string& folder() const { return folder_; }

  private:
    std::string folder_;
    std::string instance_dir_;
};

const std::string kScripts = KORVANE_TEST_SCRIPTS;

TEST(Program, AScriptedRunWritesTheExpectedTranscript) {
    Program program;
    const int code =
        program.Run("run", {"--headless", "--platform", "sim", "--deploy", kScripts + "/deploy.ini",
                            "--script", kScripts + "/startup.script", "acme^kim^secret^7194"});
    EXPECT_EQ(code, 0) << program.Err("run");
    EXPECT_EQ(program.Out("run"), ReadFile(kScripts + "/startup.expected"));
}

TEST(Program, ASecondCopyShowsTheFirstCopysWindowAndEnds) {
    Program program;
    const pid_t first = program.Spawn("first", {"--headless", "--script", "-"},
                                      "syscommand main minimize\n"
                                      "pump 20000\n"
                                      "expect main normal\n");
    ASSERT_GT(first, 0);
    // The second copy starts once the first one's window is down.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (program.Out("first").find("minimize main\n") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(program.Run("second", {"--headless", "--script", "-"}, "note \"never read\"\n"), 0)
        << program.Err("second");
    EXPECT_EQ(Program::Wait(first), 0) << program.Err("first");
    EXPECT_EQ(program.Out("second"), "") << "the second copy shows no window";
    const std::string out = program.Out("first");
    EXPECT_NE(out.find("minimize main\nshow main normal\n"), std::string::npos) << out;
}

TEST(Program, FaultsEndWithTheirOwnExitCodes) {
    Program program;
    WriteFile(program.folder() + "/bad.ini", "[environment]\nprogram_path = relative\n");
    struct Case {
        std::vector<std::string> args;
        std::string input;
        int code;
        std::string message;
    };
    const Case cases[] = {
        // No desktop window: not built, or no display to open it on.
        {{}, "", 3, "; run with --headless"},
        {{"--headless", "--bogus"}, "", 2, "unknown option --bogus"},
        {{"--headless", "--platform", "sim", "--script", "-"},
         "click main.1004\nfly\n",
         1,
         "korvane: -:2: unknown command \"fly\""},
        {{"--headless", "--platform", "sim", "--script", "-"},
         "expect state Connected\n",
         1,
         "-:1: expected state Connected, got Idle"},
        {{"--headless", "--deploy", "/nonexistent/deploy.ini"},
         "",
         4,
         "/nonexistent/deploy.ini: no such file"},
        {{"--headless", "--platform", "sim", "--machine", program.folder() + "/bad.ini"},
         "",
         4,
         "bad.ini:2: program_path must be an absolute path"},
        {{"--headless", "--script", "/nonexistent/s.txt"}, "", 4, "cannot be read"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string name = "case" + std::to_string(n++);
        EXPECT_EQ(program.Run(name, c.args, c.input), c.code) << name;
        EXPECT_NE(program.Err(name).find(c.message), std::string::npos)
            << name << ": " << program.Err(name);
    }
    EXPECT_EQ(program.Run("help", {"--help"}), 0);
    EXPECT_NE(program.Out("help").find("usage: korvane"), std::string::npos);
}

}  // namespace
}  // namespace korvane
