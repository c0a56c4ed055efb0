#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/IniText.h"

namespace korvane {

// Reads one section's keys for a handler and remembers which it asked for,
// so misspelt keys are reported instead of ignored.
class SectionReader {
  public:
    explicit SectionReader(const IniSection& section) : section_(section) {}

    const IniSection& section() const { return section_; }
    // The last value of `key`; false when absent.
    bool Text(const std::string& key, std::string& value);
    // The last entry of `key` (with its line), null when absent.
    const IniEntry* Get(const std::string& key) { return Last(key); }
    // Every entry of a repeatable key, in file order.
    std::vector<const IniEntry*> All(const std::string& key);
    // 1 when read, 0 when absent, -1 (with error) when not a whole number in
    // [low, high].
    int Integer(const std::string& key, long long low, long long high, long long& value,
                IniError& error);
    // yes/no, true/false, on/off, 1/0. Same results as Integer.
    int Flag(const std::string& key, bool& value, IniError& error);
    // 0, or -1 naming the first key no reader asked for.
    int Finish(IniError& error) const;

  private:
    const IniEntry* Last(const std::string& key);

    const IniSection& section_;
    std::set<std::string> asked_;
};

// The description file of a simulated machine: sections of the INI dialect
// (platform/IniText.h), each type handled by whoever owns that part of the
// machine. Owners register a handler per section type before loading.
class MachineDescription {
  public:
    enum class Naming { None, Required, Optional };
    // 0 to go on, -1 with the line and reason of a fault.
    using Handler = std::function<int(const IniSection& section, IniError& error)>;

    void Register(const std::string& type, Naming naming, Handler handler);
    bool Registered(const std::string& type) const { return handlers_.count(type) != 0; }
    std::vector<std::string> SectionTypes() const;

    // Parses all of `text`, then hands the sections to their handlers in file
    // order. 0, or -1 with "source:line: reason".
    int Load(const std::string& text, const std::string& source, std::string& error) const;
    int LoadFile(const std::string& path, std::string& error) const;

  private:
    struct Entry {
        Naming naming;
        Handler handler;
    };
    int Check(const IniSection& section, IniError& error) const;

    std::map<std::string, Entry> handlers_;
};

}  // namespace korvane
