// The system services over the real Win32 API. Functions that some Windows generations lack
// (the toolhelp functions on NT 4, the wide IME configuration call on 9x, RtlGetVersion, input.dll's
// language-profile functions) are bound at run time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/system.h"

namespace platform {

class Win32System : public System {
public:
    uint32_t version() const override;
    RealVersion realVersion() const override;
    uint32_t systemDefaultLcid() const override;
    unsigned ansiCodePage() const override;
    std::string fromUtf8(std::string_view utf8) const override;
    std::string commandLine() const override;
    std::string systemDirectory() const override;
    std::string nativeSystemDirectory() const override;
    std::string wow64SystemDirectory() const override;
    std::string modulePath() const override;
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
    bool desktopVisible() const override;
    std::string localTime() const override;
    uint32_t installIme(const std::string& imeFile, const std::string& layoutText) override;
    bool configureIme(uint32_t layout, uintptr_t ownerWindow, bool wide) override;
    ProfileCall installLayoutOrTip(const std::string& list, uint32_t flags) override;
    ProfileCall setDefaultLayoutOrTip(const std::string& item, uint32_t flags) override;

private:
    // The folders never change while the program runs: asked once.
    mutable std::optional<std::string> systemDirectory_;
    mutable std::optional<std::string> nativeSystemDirectory_;
    mutable std::optional<std::string> wow64SystemDirectory_;
    mutable std::optional<std::string> modulePath_;

    // Version information already read, with the size and time of the file it came from, so
    // that a file read again unchanged is not read twice. "data" is empty for a file without.
    struct ReadVersionInfo {
        std::string path;
        uint64_t size = 0;
        uint64_t written = 0;
        std::vector<char> data;
    };
    mutable std::vector<ReadVersionInfo> versionInfos_;
};

}  // namespace platform
