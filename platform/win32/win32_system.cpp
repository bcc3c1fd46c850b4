#include "platform/win32/win32_system.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cstring>

#include "platform/codepage.h"
#include "platform/text.h"
#include "platform/win32/system_library.h"

namespace platform {
namespace {

// Keeps Windows from showing its own error boxes while a library or file is probed.
class QuietErrors {
public:
    QuietErrors() : old_(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
    ~QuietErrors() { SetErrorMode(old_); }

private:
    UINT old_;
};

// Calls a function that fills a path buffer and returns its length, growing the buffer while
// the answer does not fit.
template <typename Fill>
std::string pathFrom(Fill fill) {
    std::vector<char> buffer(MAX_PATH + 1);
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD n = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size() - 1) return std::string(buffer.data(), n);
        buffer.resize(buffer.size() * 4);
    }
    return {};
}

constexpr DWORD kImeConfigGeneral = 1;

HMODULE imm32() {
    static HMODULE module = systemLibrary("imm32.dll");
    return module;
}

// version.dll is no known DLL, so an import of it would be taken from the program's folder when
// one lies there: its functions come from the system folder's copy, bound when first needed.
struct VersionFunctions {
    DWORD(WINAPI* size)(LPCSTR, LPDWORD);
    BOOL(WINAPI* read)(LPCSTR, DWORD, DWORD, LPVOID);
    BOOL(WINAPI* query)(LPCVOID, LPCSTR, LPVOID*, PUINT);
};

const VersionFunctions& versionFunctions() {
    static const VersionFunctions functions = [] {
        HMODULE module = systemLibrary("version.dll");
        VersionFunctions f;
        f.size = libraryFunction<decltype(f.size)>(module, "GetFileVersionInfoSizeA");
        f.read = libraryFunction<decltype(f.read)>(module, "GetFileVersionInfoA");
        f.query = libraryFunction<decltype(f.query)>(module, "VerQueryValueA");
        return f.size && f.read && f.query ? f : VersionFunctions{};
    }();
    return functions;
}

// A handle travels as its low 32 bits; 64-bit Windows holds it sign-extended (an input method's
// E0010804 is FFFFFFFFE0010804 there), so it goes back the same way.
HKL toHkl(uint32_t layout) {
    return reinterpret_cast<HKL>(static_cast<intptr_t>(static_cast<int32_t>(layout)));
}
uint32_t fromHkl(HKL layout) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(layout)); }

class Win32VersionInfo : public VersionInfo {
public:
    explicit Win32VersionInfo(std::vector<char> data) : data_(std::move(data)) {}

    std::vector<uint32_t> translations() const override {
        std::vector<uint32_t> out;
        void* ptr = nullptr;
        UINT length = 0;
        if (!versionFunctions().query(data_.data(), "\\VarFileInfo\\Translation", &ptr, &length) ||
            ptr == nullptr || !inside(ptr, length)) {
            return out;
        }
        for (UINT i = 0; i + 4 <= length; i += 4) {
            uint32_t entry;
            std::memcpy(&entry, static_cast<const char*>(ptr) + i, 4);
            out.push_back(entry);
        }
        return out;
    }

    std::optional<std::string> queryString(const std::string& subBlock) const override {
        void* ptr = nullptr;
        UINT length = 0;
        if (!versionFunctions().query(data_.data(), subBlock.c_str(), &ptr, &length) ||
            ptr == nullptr || !inside(ptr, 0)) {
            return std::nullopt;
        }
        const char* text = static_cast<const char*>(ptr);
        size_t room = static_cast<size_t>(data_.data() + data_.size() - text);
        size_t n = 0;
        while (n < room && text[n] != '\0') ++n;
        return std::string(text, n);
    }

private:
    // The answer must lie in our buffer before we read it.
    bool inside(const void* ptr, size_t length) const {
        const char* p = static_cast<const char*>(ptr);
        return p >= data_.data() && p <= data_.data() + data_.size() &&
               length <= static_cast<size_t>(data_.data() + data_.size() - p);
    }

    std::vector<char> data_;
};

}  // namespace

uint32_t Win32System::version() const { return GetVersion(); }

RealVersion Win32System::realVersion() const {
    // ntdll is loaded into every process where it exists.
    auto get = libraryFunction<LONG(WINAPI*)(OSVERSIONINFOW*)>(GetModuleHandleA("ntdll.dll"), "RtlGetVersion");
    OSVERSIONINFOW info;
    std::memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    if (get && get(&info) == 0) return {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
    DWORD v = GetVersion();  // 9x keeps no build number in it
    return {v & 0xFF, (v >> 8) & 0xFF, (v & 0x80000000) ? 0 : v >> 16};
}

uint32_t Win32System::systemDefaultLcid() const { return GetSystemDefaultLCID(); }

unsigned Win32System::ansiCodePage() const { return GetACP(); }

std::string Win32System::fromUtf8(std::string_view utf8) const { return utf8ToCodePage(utf8, GetACP()); }

std::string Win32System::commandLine() const {
    const char* text = GetCommandLineA();
    return text ? text : "";
}

std::string Win32System::systemDirectory() const {
    if (!systemDirectory_) systemDirectory_ = systemFolder();
    return *systemDirectory_;
}

// True for a 32-bit program on 64-bit Windows. IsWow64Process is looked up at run time: Windows
// before XP SP2 lacks it, and there is no WOW64 there.
static bool runsUnderWow64() {
    auto isWow64 = kernelFunction<BOOL(WINAPI*)(HANDLE, PBOOL)>("IsWow64Process");
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

// The folder where Windows keeps its own input methods, as this program can look into it.
static std::string nativeSystemFolder(const std::string& system) {
    if (!runsUnderWow64()) return system;
    // The redirector leaves "Sysnative" beside the system folder alone. Windows versions whose
    // WOW64 lacks the alias give no way in: say so rather than answer with SysWOW64.
    size_t cut = system.rfind('\\');
    if (cut == std::string::npos) return {};
    std::string alias = system.substr(0, cut) + "\\Sysnative";
    QuietErrors quiet;
    DWORD attributes = GetFileAttributesA(alias.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
    return alias;
}

std::string Win32System::nativeSystemDirectory() const {
    if (!nativeSystemDirectory_) nativeSystemDirectory_ = nativeSystemFolder(systemDirectory());
    return *nativeSystemDirectory_;
}

// GetSystemWow64DirectoryA, which Windows before XP lacks; it fails on 32-bit Windows.
std::string Win32System::wow64SystemDirectory() const {
    if (!wow64SystemDirectory_) {
        auto get = kernelFunction<UINT(WINAPI*)(LPSTR, UINT)>("GetSystemWow64DirectoryA");
        wow64SystemDirectory_ = get ? pathFrom([get](char* b, DWORD n) { return static_cast<DWORD>(get(b, n)); }) : "";
    }
    return *wow64SystemDirectory_;
}

std::string Win32System::modulePath() const {
    if (!modulePath_) modulePath_ = pathFrom([](char* b, DWORD n) { return GetModuleFileNameA(nullptr, b, n); });
    return *modulePath_;
}

FileState Win32System::fileState(const std::string& path) const {
    QuietErrors quiet;
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        return attributes & FILE_ATTRIBUTE_DIRECTORY ? FileState::Absent : FileState::Present;
    }
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileState::Absent : FileState::Unchecked;
}

std::optional<std::string> Win32System::readFile(const std::string& path, size_t maxBytes) const {
    QuietErrors quiet;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::string> result;
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    if (size != INVALID_FILE_SIZE && high == 0 && size <= maxBytes) {
        std::string data(size, '\0');
        DWORD done = 0;
        bool ok = true;
        while (ok && done < size) {
            DWORD got = 0;
            ok = ReadFile(file, &data[done], size - done, &got, nullptr) && got > 0;
            done += got;
        }
        data.resize(done);
        result = data;
    }
    CloseHandle(file);
    return result;
}

// Writes every byte, as WriteFile may take fewer at a time (a pipe whose reader is slow).
static bool writeAll(HANDLE file, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD wrote = 0;
        if (!WriteFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &wrote, nullptr) || wrote == 0) {
            return false;
        }
        done += wrote;
    }
    return true;
}

bool Win32System::writeFile(const std::string& path, const std::string& bytes, bool append) {
    QuietErrors quiet;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, append ? OPEN_ALWAYS : CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = (!append || SetFilePointer(file, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER) && writeAll(file, bytes);
    return CloseHandle(file) && ok;
}

std::string Win32System::expandEnvironment(const std::string& text, size_t room) const {
    if (room == 0) return {};
    std::vector<char> buffer(room + 1, '\0');
    DWORD n = ExpandEnvironmentStringsA(text.c_str(), buffer.data(), static_cast<DWORD>(room));
    if (n == 0 || n > room) return {};
    buffer[room] = '\0';
    return std::string(buffer.data());
}

// The size and last write time of a file, through GetFileAttributesExA where the system has it
// (Windows 95 does not); false when they cannot be had.
static bool fileStamp(const std::string& path, uint64_t& size, uint64_t& written) {
    static const auto getAttributesEx =
        kernelFunction<BOOL(WINAPI*)(LPCSTR, GET_FILEEX_INFO_LEVELS, LPVOID)>("GetFileAttributesExA");
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!getAttributesEx || !getAttributesEx(path.c_str(), GetFileExInfoStandard, &data)) return false;
    size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    written = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    return true;
}

std::unique_ptr<VersionInfo> Win32System::versionInfo(const std::string& path) const {
    QuietErrors quiet;
    ReadVersionInfo now;
    now.path = upperAscii(path);
    bool stamped = fileStamp(path, now.size, now.written);
    ReadVersionInfo* known = nullptr;
    for (auto& info : versionInfos_) {
        if (info.path == now.path) known = &info;
    }
    if (!stamped || !known || known->size != now.size || known->written != now.written) {
        const VersionFunctions& version = versionFunctions();
        DWORD handle = 0;
        DWORD size = version.size ? version.size(path.c_str(), &handle) : 0;
        now.data.resize(size);
        if (size != 0 && !version.read(path.c_str(), 0, size, now.data.data())) now.data.clear();
        if (!known) known = &versionInfos_.emplace_back();
        *known = std::move(now);
    }
    if (known->data.empty()) return nullptr;
    return std::make_unique<Win32VersionInfo>(known->data);
}

std::string Win32System::loadString(const std::string& modulePath, unsigned id, size_t room) {
    if (room == 0) return {};
    QuietErrors quiet;
    // Only its strings are wanted: mapped as data, none of its code runs.
    HMODULE module = LoadLibraryExA(modulePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return {};
    std::vector<char> buffer(room + 1, '\0');
    int n = LoadStringA(module, id, buffer.data(), static_cast<int>(room));
    FreeLibrary(module);
    if (n <= 0) return {};
    size_t length = static_cast<size_t>(n) < room ? static_cast<size_t>(n) : room - 1;
    return std::string(buffer.data(), length);
}

std::optional<std::vector<ProcessEntry>> Win32System::processes() {
    static_assert(sizeof(PROCESSENTRY32) == (sizeof(void*) == 8 ? 304 : 296),
                  "the process record is 296 bytes on 32-bit Windows and 304 on 64-bit Windows");
    using Walk = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);
    auto snapshot = kernelFunction<HANDLE(WINAPI*)(DWORD, DWORD)>("CreateToolhelp32Snapshot");
    auto first = kernelFunction<Walk>("Process32First");
    auto next = kernelFunction<Walk>("Process32Next");
    if (!snapshot || !first || !next) return std::nullopt;
    HANDLE list = snapshot(TH32CS_SNAPPROCESS, 0);
    if (list == INVALID_HANDLE_VALUE) return std::nullopt;
    std::vector<ProcessEntry> out;
    PROCESSENTRY32 entry;
    std::memset(&entry, 0, sizeof entry);
    entry.dwSize = sizeof entry;
    for (BOOL more = first(list, &entry); more; more = next(list, &entry)) {
        size_t n = strnlen(entry.szExeFile, sizeof entry.szExeFile);
        out.push_back({entry.th32ProcessID, std::string(entry.szExeFile, n)});
        entry.dwSize = sizeof entry;
    }
    CloseHandle(list);
    return out;
}

bool Win32System::terminateProcess(uint32_t id) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id);
    if (!process) return false;
    bool ok = TerminateProcess(process, 0) != 0;
    CloseHandle(process);
    return ok;
}

bool Win32System::startProgram(const std::string& commandLine) {
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');  // CreateProcessA may write into its command line
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION info;
    std::memset(&info, 0, sizeof info);
    QuietErrors quiet;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                        nullptr, &startup, &info)) {
        return false;
    }
    WaitForSingleObject(info.hProcess, 5);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

std::optional<int32_t> Win32System::callRegistrationEntry(const std::string& library, bool registering) {
    QuietErrors quiet;
    HMODULE module = LoadLibraryExA(library.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) return std::nullopt;
    auto entry =
        libraryFunction<HRESULT(STDAPICALLTYPE*)()>(module, registering ? "DllRegisterServer" : "DllUnregisterServer");
    std::optional<int32_t> result;
    if (entry) result = static_cast<int32_t>(entry());
    FreeLibrary(module);
    return result;
}

std::vector<uint32_t> Win32System::keyboardLayoutList(size_t room) {
    std::vector<HKL> buffer(room);
    int n = room ? GetKeyboardLayoutList(static_cast<int>(room), buffer.data()) : 0;
    std::vector<uint32_t> out;
    for (int i = 0; i < n && static_cast<size_t>(i) < room; ++i) out.push_back(fromHkl(buffer[i]));
    return out;
}

uint32_t Win32System::loadKeyboardLayout(const std::string& klid, uint32_t flags) {
    return fromHkl(LoadKeyboardLayoutA(klid.c_str(), flags));
}

bool Win32System::unloadKeyboardLayout(uint32_t layout) { return UnloadKeyboardLayout(toHkl(layout)) != 0; }

uint32_t Win32System::activateKeyboardLayout(uint32_t layout, uint32_t flags) {
    return fromHkl(ActivateKeyboardLayout(toHkl(layout), flags));
}

bool Win32System::systemParametersInfo(uint32_t action, uint32_t uiParam, const uint32_t* pvParam,
                                       uint32_t winIni) {
    HKL value = pvParam ? toHkl(*pvParam) : nullptr;
    return SystemParametersInfoA(action, uiParam, pvParam ? &value : nullptr, winIni) != 0;
}

// Text for a console goes in as UTF-16, so that it shows right whatever the console's own code
// page; a pipe or a file gets the ANSI bytes.
static bool writeToConsole(HANDLE console, const std::string& text) {
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return text.empty();
    std::vector<wchar_t> wide(static_cast<size_t>(n));
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    DWORD wrote = 0;
    return WriteConsoleW(console, wide.data(), static_cast<DWORD>(n), &wrote, nullptr) != 0;
}

bool Win32System::writeOutput(const std::string& text) {
    // A GUI program has standard output only when its caller gave it one (a management agent's
    // pipe, a batch file's redirection). A character device is a console or NUL.
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out && out != INVALID_HANDLE_VALUE) {
        DWORD type = GetFileType(out);
        if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE) return writeAll(out, text);
        if (type == FILE_TYPE_CHAR) return writeToConsole(out, text) || writeAll(out, text);
    }
    // Else the console of the program that started this one, when there is one. AttachConsole
    // came with Windows XP: looked up at run time, so that older systems still start the program.
    auto attach = kernelFunction<BOOL(WINAPI*)(DWORD)>("AttachConsole");
    if (!attach || !attach(static_cast<DWORD>(-1))) return false;  // ATTACH_PARENT_PROCESS
    HANDLE console = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) return false;
    bool ok = writeToConsole(console, text);
    CloseHandle(console);
    return ok;
}

bool Win32System::desktopVisible() const {
    // Windows 95 lacks window stations: a desktop is always there.
    HMODULE user = GetModuleHandleA("user32.dll");
    auto station = libraryFunction<HWINSTA(WINAPI*)()>(user, "GetProcessWindowStation");
    auto information = libraryFunction<BOOL(WINAPI*)(HANDLE, int, PVOID, DWORD, LPDWORD)>(user, "GetUserObjectInformationA");
    USEROBJECTFLAGS flags;
    std::memset(&flags, 0, sizeof flags);
    DWORD needed = 0;
    HWINSTA current = station ? station() : nullptr;
    if (!current || !information || !information(current, UOI_FLAGS, &flags, sizeof flags, &needed)) return true;
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

std::string Win32System::localTime() const {
    SYSTEMTIME t;
    GetLocalTime(&t);
    auto two = [](unsigned n) { return std::string(1, static_cast<char>('0' + n / 10 % 10)) + static_cast<char>('0' + n % 10); };
    return std::to_string(t.wYear) + "-" + two(t.wMonth) + "-" + two(t.wDay) + " " + two(t.wHour) + ":" + two(t.wMinute) +
           ":" + two(t.wSecond);
}

uint32_t Win32System::installIme(const std::string& imeFile, const std::string& layoutText) {
    auto install = libraryFunction<HKL(WINAPI*)(LPCSTR, LPCSTR)>(imm32(), "ImmInstallIMEA");
    if (!install) return 0;
    return fromHkl(install(imeFile.c_str(), layoutText.c_str()));
}

bool Win32System::configureIme(uint32_t layout, uintptr_t ownerWindow, bool wide) {
    auto configure = libraryFunction<BOOL(WINAPI*)(HKL, HWND, DWORD, LPVOID)>(
        imm32(), wide ? "ImmConfigureIMEW" : "ImmConfigureIMEA");
    if (!configure) return false;
    return configure(toHkl(layout), reinterpret_cast<HWND>(ownerWindow), kImeConfigGeneral, nullptr) != 0;
}

// Both language-profile functions take a UTF-16 item list and flags and return TRUE on success.
// input.dll has no import library; it is loaded by its full path only, never found by the search
// order, which would also look in the program's folder.
static ProfileCall callInputLibrary(const char* name, const std::string& items, uint32_t flags) {
    static HMODULE module = [] {
        QuietErrors quiet;
        return systemLibrary("input.dll");
    }();
    auto call = libraryFunction<BOOL(WINAPI*)(LPCWSTR, DWORD)>(module, name);
    if (!call) return ProfileCall::NotAvailable;
    std::vector<wchar_t> wide(items.size() + 1);
    for (size_t i = 0; i < items.size(); ++i) wide[i] = static_cast<unsigned char>(items[i]);  // ASCII: one unit each
    return call(wide.data(), flags) ? ProfileCall::Done : ProfileCall::Failed;
}

ProfileCall Win32System::installLayoutOrTip(const std::string& list, uint32_t flags) {
    return callInputLibrary("InstallLayoutOrTip", list, flags);
}

ProfileCall Win32System::setDefaultLayoutOrTip(const std::string& item, uint32_t flags) {
    return callInputLibrary("SetDefaultLayoutOrTip", item, flags);
}

}  // namespace platform
