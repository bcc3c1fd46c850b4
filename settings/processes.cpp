#include "settings/processes.h"

#include "platform/text.h"

namespace settings {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

namespace {

bool matches(const platform::ProcessEntry& process, const std::string& wanted) {
    std::string name = platform::upperAscii(wanted);
    return platform::upperAscii(platform::fileNamePart(process.exeFile)) == name ||
           platform::upperAscii(process.exeFile) == name;
}

}  // namespace

const std::vector<platform::ProcessEntry>* Processes::processList() const {
    if (!listTaken_) {
        list_ = system_.processes();
        listTaken_ = true;
    }
    return list_ ? &*list_ : nullptr;
}

bool Processes::runs(const std::string& name) const {
    auto list = processList();
    if (!list) return false;
    for (const auto& p : *list) {
        if (matches(p, name)) return true;
    }
    return false;
}

void Processes::end(const std::string& name) {
    auto list = processList();
    if (!list) return;
    std::vector<uint32_t> ended;
    for (const auto& p : *list) {
        if (matches(p, name)) ended.push_back(p.id);
    }
    for (uint32_t id : ended) system_.terminateProcess(id);
    if (!ended.empty()) forgetProcessList();
}

void Processes::start(const std::string& path) {
    bool quote = path.find(' ') != std::string::npos && path.find('"') == std::string::npos;
    if (system_.startProgram(quote ? "\"" + path + "\"" : path)) forgetProcessList();
}

bool Processes::startupEntry(const std::string& name, bool remove) {
    bool found = false;
    for (RegRoot root : {RegRoot::CurrentUser, RegRoot::LocalMachine}) {
        RegKey key = registry_.openForRead(root, kRunKey);
        std::vector<std::string> names;
        registry_.listValueNames(key, names);
        for (const auto& value : names) {
            if (platform::fileNamePart(registry_.getString(key, value)) != name) continue;
            found = true;
            if (remove) registry_.deleteValue(registry_.openOrCreate(root, kRunKey), value);
        }
    }
    return found;
}

bool Processes::registerLibrary(const std::string& library, bool registering) {
    auto result = system_.callRegistrationEntry(system_.systemDirectory() + "\\" + library, registering);
    return result && *result >= 0;
}

}  // namespace settings
