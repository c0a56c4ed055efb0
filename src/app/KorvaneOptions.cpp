#include "app/KorvaneOptions.h"

#include <cstring>

namespace korvane {

const char* const kKorvaneUsage =
    "usage: korvane [--headless] [--script FILE|-] [--platform linux|sim]\n"
    "               [--machine FILE] [--deploy FILE] [--instance-dir DIR] [--no-tray]\n"
    "               [--] [ARG]\n"
    "  ARG               client code^user id^password^gate, as a launcher passes it\n"
    "  --headless        run without a screen; effects go to standard output\n"
    "  --script FILE     drive the headless run from FILE (- for standard input)\n"
    "  --platform NAME   linux (this machine) or sim (a simulated machine)\n"
    "  --machine FILE    the simulated machine's description (with --platform sim)\n"
    "  --deploy FILE     deployment settings instead of deploy.ini beside the program\n"
    "  --instance-dir D  where the single-copy lock and socket live\n"
    "  --no-tray         run as on a desktop without a notification area\n"
    "See docs/automation.md and docs/machine-file.md.\n";

namespace {

bool TakesValue(const std::string& name) {
    for (const char* option :
         {"--script", "--platform", "--machine", "--deploy", "--instance-dir"}) {
        if (name == option) {
            return true;
        }
    }
    return false;
}

void TakeValue(const std::string& name, KorvaneOptions& o, const std::string& value) {
    if (name == "--script") {
        o.script = value;
    } else if (name == "--platform") {
        o.platform = value;
    } else if (name == "--machine") {
        o.machine = value;
    } else if (name == "--deploy") {
        o.deploy = value;
    } else if (name == "--instance-dir") {
        o.instance_dir = value;
    }
}

}  // namespace

int ParseKorvaneOptions(int argc, const char* const* argv, KorvaneOptions& options,
                        std::string& error) {
    bool only_arguments = false;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (only_arguments || word.size() < 2 || word.compare(0, 2, "--") != 0) {
            // Further words are not read, as with the launcher's command line.
            if (!options.argument.has_value()) {
                options.argument = word;
            }
            continue;
        }
        if (word == "--") {
            only_arguments = true;
        } else if (word == "--help") {
            options.help = true;
        } else if (word == "--headless") {
            options.headless = true;
        } else if (word == "--no-tray") {
            options.no_tray = true;
        } else if (TakesValue(word)) {
            if (i + 1 >= argc) {
                error = word + " needs a value";
                return -1;
            }
            TakeValue(word, options, argv[++i]);
        } else {
            error = "unknown option " + word;
            return -1;
        }
    }
    if (options.platform != "linux" && options.platform != "sim") {
        error = "--platform is linux or sim, not " + options.platform;
        return -1;
    }
    if (!options.machine.empty() && options.platform != "sim") {
        error = "--machine needs --platform sim";
        return -1;
    }
    if (options.script.has_value() && !options.headless) {
        error = "--script needs --headless";
        return -1;
    }
    return 0;
}

}  // namespace korvane
