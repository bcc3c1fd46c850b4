// The running programs, start-up entries and library registrations the language-indicator
// settings need.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/system.h"
#include "settings/registry.h"

namespace settings {

extern const char kRunKey[];  // "Software\Microsoft\Windows\CurrentVersion\Run", under both roots

class Processes {
public:
    Processes(const Registry& registry, platform::System& system) : registry_(registry), system_(system) {}

    // True when a running process matches the name: the file-name part of its executable, or
    // the whole executable text, equals the name without regard to ASCII case.
    bool runs(const std::string& name) const;
    // Ends every running process that matches the name.
    void end(const std::string& name);
    // Starts the program at that full path (in quotes when it holds a blank) and waits at most
    // 5 ms for it.
    void start(const std::string& path);
    // Looks through the Run keys (the user's first, then the machine's) for values whose text
    // names the program: the file-name part equals the name exactly, letter case included, so
    // an entry with arguments does not match. Removes each match when asked. True on a match.
    bool startupEntry(const std::string& name, bool remove);
    // DllRegisterServer or DllUnregisterServer of the system folder's library of that name; true
    // when it ran and succeeded.
    bool registerLibrary(const std::string& library, bool registering);
    // The process list is taken once and kept until this object starts or ends a program;
    // after a wait for the user it must be taken again.
    void forgetProcessList() { listTaken_ = false; }

private:
    // The running processes; null when the list is unavailable.
    const std::vector<platform::ProcessEntry>* processList() const;

    const Registry& registry_;
    platform::System& system_;
    mutable bool listTaken_ = false;
    mutable std::optional<std::vector<platform::ProcessEntry>> list_;
};

}  // namespace settings
