// An in-memory machine for tests: a registry, files, version information, string resources,
// a process table, loadable libraries and keyboard layouts, all set up by the test, and a log
// of every call that changes the running system, in the order the program made them.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/memory/memory_registry.h"
#include "platform/system.h"

namespace platform {

struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

struct MemoryVersionInfo {
    std::vector<uint32_t> translations;
    std::map<std::string, std::string> strings;  // sub-block, e.g. "\StringFileInfo\080404B0\FileDescription"
};

class MemorySystem : public System {
public:
    explicit MemorySystem(MemoryRegistry& registry);

    // What the test sets up. Paths are compared without regard to ASCII case.
    uint32_t versionValue = 0x0A280105;  // Windows XP
    RealVersion realVersionValue{5, 1, 2600};
    uint32_t lcid = 0x0804;
    unsigned codePage = 936;
    std::string commandLineText = "\"C:\\Program Files\\Kestrine\\kestrine.exe\" ";
    std::string systemDir = "C:\\WINDOWS\\system32";
    // The native system folder when the program runs under WOW64 ("" when it cannot be seen).
    std::optional<std::string> nativeSystemDir;
    std::string wow64SystemDir;  // SysWOW64 on 64-bit Windows; empty on 32-bit Windows
    std::string programPath = "C:\\Program Files\\Kestrine\\kestrine.exe";
    std::map<std::string, std::string, NoCaseLess> files;        // full path -> contents
    // Paths whose check fails for another reason than a missing file (access denied, a drive
    // not ready): neither present nor absent.
    std::set<std::string, NoCaseLess> uncheckable;
    std::map<std::string, std::string, NoCaseLess> environment;  // name -> value
    std::map<std::string, MemoryVersionInfo, NoCaseLess> versionInfos;  // full path -> info
    std::map<std::string, std::map<unsigned, std::string>, NoCaseLess> stringResources;
    std::vector<ProcessEntry> processTable;
    bool toolhelpAvailable = true;
    // Libraries of the system folder that load, by file name, with the result of their
    // registration entries.
    std::map<std::string, int32_t, NoCaseLess> libraries;
    std::vector<uint32_t> loadedLayouts;  // first = active
    // ImmInstallIMEA fails; otherwise it creates the catalogue entry and, as Windows does (but
    // not Wine: installAddsToList false), adds the new layout at the end of the user's preload list.
    bool imeInstallFails = false;
    bool installAddsToList = true;
    // The answer of input.dll's language-profile functions; NotAvailable: there is none to call.
    ProfileCall profileAnswer = ProfileCall::Done;
    // Where a command-line run's output goes: nothing when the program has no output channel.
    std::optional<std::string> output;
    bool visibleDesktop = true;
    std::string timeText = "2026-12-07 09:30:00";

    // Every call that changed (or tried to change) the system, one line each.
    std::vector<std::string> calls;

    void addFile(const std::string& path, const std::string& contents = "");
    void addProcess(const std::string& exeFile);

    uint32_t version() const override { return versionValue; }
    RealVersion realVersion() const override { return realVersionValue; }
    uint32_t systemDefaultLcid() const override { return lcid; }
    unsigned ansiCodePage() const override { return codePage; }
    std::string fromUtf8(std::string_view utf8) const override;
    std::string commandLine() const override { return commandLineText; }
    std::string systemDirectory() const override { return systemDir; }
    std::string nativeSystemDirectory() const override { return nativeSystemDir.value_or(systemDir); }
    std::string wow64SystemDirectory() const override { return wow64SystemDir; }
    std::string modulePath() const override { return programPath; }
    FileState fileState(const std::string& path) const override;
    std::optional<std::string> readFile(const std::string& path, size_t maxBytes) const override;
    bool writeFile(const std::string& path, const std::string& bytes, bool append) override;
    std::string expandEnvironment(const std::string& text, size_t room) const override;
    std::unique_ptr<VersionInfo> versionInfo(const std::string& path) const override;
    std::string loadString(const std::string& modulePath, unsigned id, size_t room) override;
    std::optional<std::vector<ProcessEntry>> processes() override;
    bool terminateProcess(uint32_t id) override;
    bool startProgram(const std::string& commandLine) override;
    std::optional<int32_t> callRegistrationEntry(const std::string& library, bool registering) override;
    std::vector<uint32_t> keyboardLayoutList(size_t room) override;
    uint32_t loadKeyboardLayout(const std::string& klid, uint32_t flags) override;
    bool unloadKeyboardLayout(uint32_t layout) override;
    uint32_t activateKeyboardLayout(uint32_t layout, uint32_t flags) override;
    bool systemParametersInfo(uint32_t action, uint32_t uiParam, const uint32_t* pvParam,
                              uint32_t winIni) override;
    bool writeOutput(const std::string& text) override;
    bool desktopVisible() const override { return visibleDesktop; }
    std::string localTime() const override { return timeText; }
    uint32_t installIme(const std::string& imeFile, const std::string& layoutText) override;
    bool configureIme(uint32_t layout, uintptr_t ownerWindow, bool wide) override;
    ProfileCall installLayoutOrTip(const std::string& list, uint32_t flags) override;
    ProfileCall setDefaultLayoutOrTip(const std::string& item, uint32_t flags) override;

private:
    ProfileCall profileCall(const char* name, const std::string& items, uint32_t flags);

    void appendToPreload(const std::string& klid);

    friend struct MemoryMachine;
    MemoryRegistry* registry_;
    uint32_t nextProcessId_ = 100;
};

// A registry and a system that belong together, as one test machine. A copy is a machine of its
// own (its system works on its own registry), so that a machine set up once can be restored.
struct MemoryMachine {
    MemoryMachine() = default;
    MemoryMachine(const MemoryMachine& other) : registry(other.registry), system(other.system) {
        system.registry_ = &registry;
    }
    MemoryMachine& operator=(const MemoryMachine& other) {
        registry = other.registry;
        system = other.system;
        system.registry_ = &registry;
        return *this;
    }

    MemoryRegistry registry;
    MemorySystem system{registry};
};

}  // namespace platform
