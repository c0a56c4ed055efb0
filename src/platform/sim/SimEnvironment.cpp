#include "platform/sim/SimEnvironment.h"

#include "platform/sim/MachineDescription.h"

namespace korvane {

namespace {

bool Absolute(const std::string& path) {
    return !path.empty() && path[0] == '/';
}

}  // namespace

void SimEnvironment::AddFolder(const std::string& folder) {
    for (std::string f = folder; !f.empty() && folders.insert(f).second; f = FolderOf(f)) {
    }
}

bool SimEnvironment::SetCurrentDirectory(const std::string& folder) {
    if (!FolderExists(folder)) {
        return false;
    }
    current_directory = folder;
    return true;
}

bool SimEnvironment::CreateFolder(const std::string& folder) {
    if (folder.empty() || !FolderExists(FolderOf(folder))) {
        return false;
    }
    folders.insert(folder);
    return true;
}

void SimEnvironment::RegisterSection(MachineDescription& description) {
    description.Register("environment", MachineDescription::Naming::None,
                         [this](const IniSection& section, IniError& error) {
                             SectionReader reader(section);
                             if (const IniEntry* entry = reader.Get("program_path")) {
                                 if (!Absolute(entry->value)) {
                                     error = {entry->line, "program_path must be an absolute path"};
                                     return -1;
                                 }
                                 program_path = entry->value;
                                 AddFolder(FolderOf(entry->value));
                             }
                             if (const IniEntry* entry = reader.Get("windows_dir")) {
                                 if (!Absolute(entry->value)) {
                                     error = {entry->line, "windows_dir must be an absolute path"};
                                     return -1;
                                 }
                                 windows_folder = entry->value;
                                 AddFolder(entry->value);
                             }
                             for (const IniEntry* entry : reader.All("folder")) {
                                 if (!Absolute(entry->value)) {
                                     error = {entry->line, "folder must be an absolute path"};
                                     return -1;
                                 }
                                 AddFolder(entry->value);
                             }
                             return reader.Finish(error);
                         });
}

}  // namespace korvane
