// A system over another one that logs, as one readable line each, every call that acts on the
// running system. Passing through, the calls go to the other system. In a preview they are only
// simulated: the other system is asked for what it is (folders, files, the first process and
// layout lists) and the answers that follow reflect what the preview would have done.
#pragma once

#include "platform/system.h"

namespace platform {

struct SystemCall {
    std::string text;      // e.g. "start program C:\WINDOWS\system32\ctfmon.exe"
    bool changes = false;  // a program started that did not run yet, a process ended, an install,
                           // a change of the language profile
    bool refused = false;  // the system refused it (the text then ends in " (failed)")
};

inline bool operator==(const SystemCall& a, const SystemCall& b) {
    return a.text == b.text && a.changes == b.changes && a.refused == b.refused;
}

class RecordingSystem : public System {
public:
    // registry: where a preview looks up the keyboard-layout catalogue; give it the store the
    // program writes through, so that the preview sees its own changes.
    RecordingSystem(System& real, RegistryStore& registry, bool preview);

    const std::vector<SystemCall>& calls() const { return calls_; }
    size_t refusals() const;
    // Whether the loaded layouts differ now from the first list: in a preview as simulated,
    // passing through as the other system reports them.
    bool layoutsChanged();

    uint32_t version() const override { return real_.version(); }
    RealVersion realVersion() const override { return real_.realVersion(); }
    uint32_t systemDefaultLcid() const override { return real_.systemDefaultLcid(); }
    unsigned ansiCodePage() const override { return real_.ansiCodePage(); }
    std::string fromUtf8(std::string_view utf8) const override { return real_.fromUtf8(utf8); }
    std::string commandLine() const override { return real_.commandLine(); }
    std::string systemDirectory() const override { return real_.systemDirectory(); }
    std::string nativeSystemDirectory() const override { return real_.nativeSystemDirectory(); }
    std::string wow64SystemDirectory() const override { return real_.wow64SystemDirectory(); }
    std::string modulePath() const override { return real_.modulePath(); }
    std::string expandEnvironment(const std::string& text, size_t room) const override {
        return real_.expandEnvironment(text, room);
    }
    FileState fileState(const std::string& path) const override { return real_.fileState(path); }
    std::optional<std::string> readFile(const std::string& path, size_t maxBytes) const override {
        return real_.readFile(path, maxBytes);
    }
    // The run's own files (its output, log and saved settings) are written in a preview too.
    bool writeFile(const std::string& path, const std::string& bytes, bool append) override {
        return real_.writeFile(path, bytes, append);
    }
    bool writeOutput(const std::string& text) override { return real_.writeOutput(text); }
    bool desktopVisible() const override { return real_.desktopVisible(); }
    std::string localTime() const override { return real_.localTime(); }
    std::unique_ptr<VersionInfo> versionInfo(const std::string& path) const override {
        return real_.versionInfo(path);
    }
    std::string loadString(const std::string& modulePath, unsigned id, size_t room) override {
        return real_.loadString(modulePath, id, room);
    }

    std::optional<std::vector<ProcessEntry>> processes() override;
    bool terminateProcess(uint32_t id) override;
    bool startProgram(const std::string& commandLine) override;
    std::optional<int32_t> callRegistrationEntry(const std::string& library, bool registering) override;
    std::vector<uint32_t> keyboardLayoutList(size_t room) override;
    uint32_t loadKeyboardLayout(const std::string& klid, uint32_t flags) override;
    bool unloadKeyboardLayout(uint32_t layout) override;
    uint32_t activateKeyboardLayout(uint32_t layout, uint32_t flags) override;
    bool systemParametersInfo(uint32_t action, uint32_t uiParam, const uint32_t* pvParam, uint32_t winIni) override;
    uint32_t installIme(const std::string& imeFile, const std::string& layoutText) override;
    bool configureIme(uint32_t layout, uintptr_t ownerWindow, bool wide) override;
    // A preview takes them as done; a call refused or not made counts as refused.
    ProfileCall installLayoutOrTip(const std::string& list, uint32_t flags) override;
    ProfileCall setDefaultLayoutOrTip(const std::string& item, uint32_t flags) override;

private:
    void log(const char* what, const std::string& subject, bool changes, bool refused, const char* failure = " (failed)");
    ProfileCall logProfileCall(const char* what, const std::string& items, ProfileCall result);
    // The processes as the first list showed them, with the programs this run started and
    // without those it ended; null when there is no list.
    std::vector<ProcessEntry>* running();
    std::vector<uint32_t>& layouts();  // the first layout list, changed as a preview changes it

    System& real_;
    RegistryStore& registry_;
    bool preview_;
    std::vector<SystemCall> calls_;
    bool processesTaken_ = false;
    std::optional<std::vector<ProcessEntry>> running_;
    bool layoutsTaken_ = false;
    std::vector<uint32_t> firstLayouts_, layouts_;
};

}  // namespace platform
