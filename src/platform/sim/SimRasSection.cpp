#include "platform/sim/SimRasSection.h"

#include <arpa/inet.h>

#include <charconv>
#include <string_view>

#include "platform/RasPort.h"
#include "platform/sim/MachineDescription.h"
#include "platform/sim/SimRas.h"

namespace korvane {

namespace {

constexpr int kMaxState = 0xFFFF;

// A state number in decimal or as 0x hex.
bool ParseState(std::string_view word, int& state) {
    int base = 10;
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
        word.remove_prefix(2);
        base = 16;
    }
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), state, base);
    return !word.empty() && ec == std::errc() && end == word.data() + word.size() && state >= 0 &&
           state <= kMaxState;
}

// "0 1 2 0x2000" or "0, 1, 2, 0x2000".
int ReadStates(const IniEntry& entry, std::vector<int>& states, IniError& error) {
    std::string_view rest = entry.value;
    while (!rest.empty()) {
        const std::size_t start = rest.find_first_not_of(" ,\t");
        if (start == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(start);
        const std::size_t end = rest.find_first_of(" ,\t");
        const std::string_view word = rest.substr(0, end);
        int state = 0;
        if (!ParseState(word, state)) {
            error = {entry.line,
                     "states must be numbers from 0 to 0xFFFF, not \"" + std::string(word) + "\""};
            return -1;
        }
        states.push_back(state);
        rest.remove_prefix(word.size());
    }
    if (states.empty()) {
        error = {entry.line, "states must name at least one state"};
        return -1;
    }
    return 0;
}

int ReadNumber(SectionReader& reader, const char* key, long long high, int& out, IniError& error) {
    long long value = 0;
    const int read = reader.Integer(key, 0, high, value, error);
    if (read == 1) {
        out = static_cast<int>(value);
    }
    return read < 0 ? -1 : 0;
}

int ReadScript(const IniSection& section, SimRasScript& script, IniError& error) {
    SectionReader reader(section);
    if (const IniEntry* entry = reader.Get("states")) {
        if (ReadStates(*entry, script.states, error) != 0) {
            return -1;
        }
    }
    if (ReadNumber(reader, "step_ms", 60000, script.step_ms, error) != 0 ||
        ReadNumber(reader, "error", 65535, script.error, error) != 0 ||
        ReadNumber(reader, "refuse", 65535, script.refuse, error) != 0 ||
        ReadNumber(reader, "drop_after_ms", 86400000, script.drop_after_ms, error) != 0 ||
        reader.Flag("check_phonebook", script.check_phonebook, error) < 0) {
        return -1;
    }
    if (const IniEntry* entry = reader.Get("client_address")) {
        in_addr parsed{};
        if (::inet_pton(AF_INET, entry->value.c_str(), &parsed) != 1) {
            error = {entry->line, "client_address must be a dotted IPv4 address"};
            return -1;
        }
        script.client_address = entry->value;
    }
    return reader.Finish(error);
}

}  // namespace

void RegisterRasSection(MachineDescription& description, SimRas& ras) {
    description.Register("ras", MachineDescription::Naming::None,
                         [&ras](const IniSection& section, IniError& error) {
                             SimRasScript script;
                             if (ReadScript(section, script, error) != 0) {
                                 return -1;
                             }
                             ras.SetScript(std::move(script));
                             return 0;
                         });
}

}  // namespace korvane
