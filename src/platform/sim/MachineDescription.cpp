#include "platform/sim/MachineDescription.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace korvane {

namespace {

bool ParseWhole(const std::string& text, long long& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && ptr == end;
}

}  // namespace

const IniEntry* SectionReader::Last(const std::string& key) {
    asked_.insert(key);
    const IniEntry* found = nullptr;
    for (const IniEntry& entry : section_.entries) {
        if (entry.key == key) {
            found = &entry;
        }
    }
    return found;
}

bool SectionReader::Text(const std::string& key, std::string& value) {
    const IniEntry* entry = Last(key);
    if (entry == nullptr) {
        return false;
    }
    value = entry->value;
    return true;
}

std::vector<const IniEntry*> SectionReader::All(const std::string& key) {
    asked_.insert(key);
    std::vector<const IniEntry*> entries;
    for (const IniEntry& entry : section_.entries) {
        if (entry.key == key) {
            entries.push_back(&entry);
        }
    }
    return entries;
}

int SectionReader::Integer(const std::string& key, long long low, long long high, long long& value,
                           IniError& error) {
    const IniEntry* entry = Last(key);
    if (entry == nullptr) {
        return 0;
    }
    long long parsed = 0;
    if (!ParseWhole(entry->value, parsed) || parsed < low || parsed > high) {
        error = {entry->line, key + " must be a whole number from " + std::to_string(low) + " to " +
                                  std::to_string(high)};
        return -1;
    }
    value = parsed;
    return 1;
}

int SectionReader::Flag(const std::string& key, bool& value, IniError& error) {
    const IniEntry* entry = Last(key);
    if (entry == nullptr) {
        return 0;
    }
    const std::string& v = entry->value;
    if (v == "yes" || v == "true" || v == "on" || v == "1") {
        value = true;
    } else if (v == "no" || v == "false" || v == "off" || v == "0") {
        value = false;
    } else {
        error = {entry->line, key + " must be yes or no"};
        return -1;
    }
    return 1;
}

int SectionReader::Finish(IniError& error) const {
    for (const IniEntry& entry : section_.entries) {
        if (asked_.count(entry.key) == 0) {
            error = {entry.line, "unknown key " + entry.key + " in [" + section_.type + "]"};
            return -1;
        }
    }
    return 0;
}

void MachineDescription::Register(const std::string& type, Naming naming, Handler handler) {
    handlers_[type] = Entry{naming, std::move(handler)};
}

std::vector<std::string> MachineDescription::SectionTypes() const {
    std::vector<std::string> types;
    for (const auto& [type, entry] : handlers_) {
        types.push_back(type);
    }
    return types;
}

int MachineDescription::Check(const IniSection& section, IniError& error) const {
    if (section.type.empty()) {
        error = {section.entries.front().line, "a key before the first section"};
        return -1;
    }
    const auto it = handlers_.find(section.type);
    if (it == handlers_.end()) {
        error = {section.line, "unknown section [" + section.type + "]"};
        return -1;
    }
    if (it->second.naming == Naming::Required && !section.has_name) {
        error = {section.line, "[" + section.type + "] needs a name: [" + section.type + " NAME]"};
        return -1;
    }
    if (it->second.naming == Naming::None && section.has_name) {
        error = {section.line, "[" + section.type + "] takes no name"};
        return -1;
    }
    return 0;
}

int MachineDescription::Load(const std::string& text, const std::string& source,
                             std::string& error) const {
    std::vector<IniSection> sections;
    IniError fault;
    int result = ParseIniText(text, sections, fault);
    for (std::size_t i = 0; result == 0 && i < sections.size(); ++i) {
        result = Check(sections[i], fault);
    }
    for (std::size_t i = 0; result == 0 && i < sections.size(); ++i) {
        result = handlers_.at(sections[i].type).handler(sections[i], fault);
    }
    if (result != 0) {
        error = source + ":" + std::to_string(fault.line) + ": " + fault.message;
        return -1;
    }
    return 0;
}

int MachineDescription::LoadFile(const std::string& path, std::string& error) const {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be read";
        return -1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return Load(text.str(), path, error);
}

}  // namespace korvane
