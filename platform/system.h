// Everything the program asks of the operating system besides the registry.
// platform/win32 answers with the real API, platform/memory from tables a test sets up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class RegistryStore;

struct ProcessEntry {
    uint32_t id = 0;
    std::string exeFile;  // as the process list reports it: a file name or a full path
};

// The version information of one file, read once.
class VersionInfo {
public:
    virtual ~VersionInfo() = default;
    // The entries of "\VarFileInfo\Translation" (language in the low 16 bits, code page in
    // the high 16 bits); empty when the query fails.
    virtual std::vector<uint32_t> translations() const = 0;
    // The text of a string sub-block up to its terminating zero; nothing when it is missing.
    virtual std::optional<std::string> queryString(const std::string& subBlock) const = 0;
};

// SystemParametersInfoA actions and flags the program uses.
enum : uint32_t {
    kSpiSetDefaultInputLang = 0x5A,
    kSpiSetInputLangToggle = 0x5B,
    kSpiSetShowImeUi = 0x6F,
    kSpifUpdateIniFile = 1,
    kSpifSendChange = 2,
};

// What a file check can say: the file is there, it certainly is not (its file or its folder is not
// found), or nothing certain (access denied, a drive not ready, a network path out of reach).
enum class FileState { Present, Absent, Unchecked };

// The version Windows really is, as RtlGetVersion gives it: GetVersion tells a program without
// a compatibility manifest that Windows 8.1, 10 and 11 are 6.2.
struct RealVersion {
    uint32_t major = 0, minor = 0, build = 0;
};

// The answer of a call to input.dll's language-profile functions: done, refused, or not made
// because the system folder holds no input.dll that exports the function.
enum class ProfileCall { Done, Failed, NotAvailable };
enum : uint32_t { kIlotUninstall = 0x1 };  // InstallLayoutOrTip: disable the items

// Keyboard-layout flags.
enum : uint32_t {
    kKlfActivate = 0x1,
    kKlfReorder = 0x8,
    kKlfShiftLock = 0x10000,
    kKlfReset = 0x40000000,
};

class System {
public:
    virtual ~System() = default;

    // Version and locale.
    virtual uint32_t version() const = 0;            // the raw GetVersion value
    virtual RealVersion realVersion() const = 0;     // RtlGetVersion, else from GetVersion (9x)
    virtual uint32_t systemDefaultLcid() const = 0;  // GetSystemDefaultLCID
    virtual unsigned ansiCodePage() const = 0;       // GetACP
    // UTF-8 text in the system's ANSI code page; characters it lacks become '?'.
    virtual std::string fromUtf8(std::string_view utf8) const = 0;

    // Command line and folders.
    virtual std::string commandLine() const = 0;      // GetCommandLineA
    virtual std::string systemDirectory() const = 0;  // GetSystemDirectoryA, no trailing "\"
    // The folder where Windows keeps its own input methods, as this program can look into it:
    // the system folder, or for a 32-bit program on 64-bit Windows (which sees SysWOW64 where
    // it asks for system32) the Sysnative alias of the native one. Empty when this program
    // cannot look into the native folder at all.
    virtual std::string nativeSystemDirectory() const = 0;
    // The folder where 64-bit Windows keeps its 32-bit system files (SysWOW64), which both builds
    // can look into; empty on 32-bit Windows.
    virtual std::string wow64SystemDirectory() const = 0;
    virtual std::string modulePath() const = 0;       // GetModuleFileNameA of the program

    // Files.
    // GetFileAttributesA: present when it succeeds on an item that is not a folder; absent when it
    // fails because the file or its folder is not found, or names a folder.
    virtual FileState fileState(const std::string& path) const = 0;
    bool isFile(const std::string& path) const { return fileState(path) == FileState::Present; }
    // The whole file, or nothing when it cannot be read or is larger than maxBytes.
    virtual std::optional<std::string> readFile(const std::string& path, size_t maxBytes) const = 0;
    // Writes the bytes to the file, replacing it or appending to it (creating it when missing);
    // false when it cannot be written in full.
    virtual bool writeFile(const std::string& path, const std::string& bytes, bool append) = 0;
    // ExpandEnvironmentStringsA with room for `room` characters; empty when it does not fit.
    virtual std::string expandEnvironment(const std::string& text, size_t room) const = 0;
    // Null when the file has no version information.
    virtual std::unique_ptr<VersionInfo> versionInfo(const std::string& path) const = 0;
    // The module loaded as data (none of its code runs), LoadStringA with room for `room`
    // characters, FreeLibrary; empty on failure.
    virtual std::string loadString(const std::string& modulePath, unsigned id, size_t room) = 0;

    // Processes and libraries.
    // Nothing when the process list is unavailable (the toolhelp functions are missing).
    virtual std::optional<std::vector<ProcessEntry>> processes() = 0;
    virtual bool terminateProcess(uint32_t id) = 0;
    // CreateProcessA of the command line, waiting at most 5 ms; true when it was created. The
    // program is named by its full path: a bare name would be looked for in this program's own
    // folder and the current one first.
    virtual bool startProgram(const std::string& commandLine) = 0;
    // LoadLibraryA of the library's full path, DllRegisterServer or DllUnregisterServer,
    // FreeLibrary. Nothing when the library does not load or lacks the entry; otherwise the
    // entry's result.
    virtual std::optional<int32_t> callRegistrationEntry(const std::string& library,
                                                         bool registering) = 0;

    // Keyboard layouts and system parameters. Handles are 32-bit, as on 32-bit Windows.
    virtual std::vector<uint32_t> keyboardLayoutList(size_t room) = 0;
    virtual uint32_t loadKeyboardLayout(const std::string& klid, uint32_t flags) = 0;
    virtual bool unloadKeyboardLayout(uint32_t layout) = 0;
    virtual uint32_t activateKeyboardLayout(uint32_t layout, uint32_t flags) = 0;
    // pvParam is null or points to one 32-bit value.
    virtual bool systemParametersInfo(uint32_t action, uint32_t uiParam, const uint32_t* pvParam,
                                      uint32_t winIni) = 0;

    // A command-line run's output: text in the ANSI code page with CR LF line ends, written to
    // standard output when the caller gave the program one (a pipe or a file), else to the
    // console of the process that started it. False when there is neither.
    virtual bool writeOutput(const std::string& text) = 0;
    // False when the program runs where nobody can see a window: a window station that is not
    // visible (a service, a task run without a logged-on user).
    virtual bool desktopVisible() const = 0;
    // The local date and time as "YYYY-MM-DD HH:MM:SS", for the lines of a log.
    virtual std::string localTime() const = 0;

    // Input method manager.
    // ImmInstallIMEA; the new layout's handle, 0 on failure.
    virtual uint32_t installIme(const std::string& imeFile, const std::string& layoutText) = 0;
    // ImmConfigureIMEW (wide) or ImmConfigureIMEA with IME_CONFIG_GENERAL and no data.
    virtual bool configureIme(uint32_t layout, uintptr_t ownerWindow, bool wide) = 0;

    // The user's language profile of Windows Vista and later (input.dll, loaded once by its full
    // path in the system folder). Items are "<LANGID>:<KLID>" texts in ASCII, separated by ";".
    virtual ProfileCall installLayoutOrTip(const std::string& list, uint32_t flags) = 0;
    virtual ProfileCall setDefaultLayoutOrTip(const std::string& item, uint32_t flags) = 0;
};

// What the machines that only simulate the system (the memory machine, a preview) share with
// Windows' own rules.

// The keyboard-layout catalogue under HKEY_LOCAL_MACHINE.
extern const char kLayoutCatalogueKey[];
// The program file a command line starts: a full path (possibly quoted) as it is, a bare name
// from the system folder or else the Windows folder (this program names its programs by their
// full path; were it to name one bare, Windows would look in the program's own folder first,
// where anyone may have put a program of that name); empty when there is none.
std::string programFile(const System& system, const std::string& commandLine);
// The loaded-layout list (first = active) as the system changes it. A KLID loads when the
// catalogue has it, as its handle: an input method's KLID read as a number, a plain layout's
// language in both halves; it moves to the front with kKlfReorder, else to the end.
uint32_t loadLayout(std::vector<uint32_t>& list, RegistryStore& registry, const std::string& klid, uint32_t flags);
bool unloadLayout(std::vector<uint32_t>& list, uint32_t layout);
// Moves the layout to the front; the previously active one, or 0 when the layout is not loaded.
// Layout 0 changes nothing.
uint32_t activateLayout(std::vector<uint32_t>& list, uint32_t layout);

}  // namespace platform
