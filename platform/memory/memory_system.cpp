#include "platform/memory/memory_system.h"

#include <algorithm>

#include "platform/codepage.h"
#include "platform/text.h"

namespace platform {
namespace {

std::string hex0x(uint32_t v) { return "0x" + hexText(v, 8); }

}  // namespace

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const {
    return compareNoCase(a, b) < 0;
}

MemorySystem::MemorySystem(MemoryRegistry& registry) : registry_(&registry) {
    environment["SystemRoot"] = "C:\\WINDOWS";
    environment["windir"] = "C:\\WINDOWS";
}

void MemorySystem::addFile(const std::string& path, const std::string& contents) {
    files[path] = contents;
}

void MemorySystem::addProcess(const std::string& exeFile) {
    processTable.push_back({nextProcessId_, exeFile});
    nextProcessId_ += 4;
}

std::string MemorySystem::fromUtf8(std::string_view utf8) const {
    return utf8ToCodePage(utf8, codePage);
}

FileState MemorySystem::fileState(const std::string& path) const {
    if (uncheckable.count(path)) return FileState::Unchecked;
    return files.count(path) ? FileState::Present : FileState::Absent;
}

std::optional<std::string> MemorySystem::readFile(const std::string& path, size_t maxBytes) const {
    auto it = files.find(path);
    if (it == files.end() || it->second.size() > maxBytes) return std::nullopt;
    return it->second;
}

// A file can be written where its folder is a folder of some file the machine holds, or of the
// program: enough to tell a writable path from one in a folder that does not exist.
bool MemorySystem::writeFile(const std::string& path, const std::string& bytes, bool append) {
    std::string folder = folderOf(path);
    bool known = equalsNoCase(folder, folderOf(programPath));
    for (const auto& file : files) known = known || equalsNoCase(folderOf(file.first), folder);
    if (folder.empty() || !known) return false;
    std::string& contents = files[path];
    contents = append ? contents + bytes : bytes;
    return true;
}

bool MemorySystem::writeOutput(const std::string& text) {
    if (!output) return false;
    *output += text;
    return true;
}

std::string MemorySystem::expandEnvironment(const std::string& text, size_t room) const {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        size_t close = std::string::npos;
        if (text[i] == '%') close = text.find('%', i + 1);
        if (close != std::string::npos) {
            auto it = environment.find(text.substr(i + 1, close - i - 1));
            if (it != environment.end()) {
                out += it->second;
                i = close + 1;
                continue;
            }
        }
        out += text[i++];
    }
    // The result and its terminating zero must fit the room, as with the real call.
    if (out.size() + 1 > room) return {};
    return out;
}

namespace {

class TableVersionInfo : public VersionInfo {
public:
    explicit TableVersionInfo(MemoryVersionInfo info) : info_(std::move(info)) {}
    std::vector<uint32_t> translations() const override { return info_.translations; }
    std::optional<std::string> queryString(const std::string& subBlock) const override {
        for (const auto& s : info_.strings) {
            if (equalsNoCase(s.first, subBlock)) return s.second;
        }
        return std::nullopt;
    }

private:
    MemoryVersionInfo info_;
};

}  // namespace

std::unique_ptr<VersionInfo> MemorySystem::versionInfo(const std::string& path) const {
    if (!isFile(path)) return nullptr;
    auto it = versionInfos.find(path);
    if (it == versionInfos.end()) return nullptr;
    return std::make_unique<TableVersionInfo>(it->second);
}

std::string MemorySystem::loadString(const std::string& modulePath, unsigned id, size_t room) {
    if (!isFile(modulePath)) return {};
    auto module = stringResources.find(modulePath);
    if (module == stringResources.end()) return {};
    auto it = module->second.find(id);
    if (it == module->second.end() || room == 0) return {};
    return it->second.substr(0, room - 1);
}

std::optional<std::vector<ProcessEntry>> MemorySystem::processes() {
    if (!toolhelpAvailable) return std::nullopt;
    return processTable;
}

bool MemorySystem::terminateProcess(uint32_t id) {
    calls.push_back("TerminateProcess(" + std::to_string(id) + ")");
    auto it = std::find_if(processTable.begin(), processTable.end(),
                           [id](const ProcessEntry& p) { return p.id == id; });
    if (it == processTable.end()) return false;
    processTable.erase(it);
    return true;
}

bool MemorySystem::startProgram(const std::string& commandLine) {
    calls.push_back("CreateProcessA(" + commandLine + ")");
    std::string path = programFile(*this, commandLine);
    if (path.empty()) return false;
    addProcess(fileNamePart(path));
    return true;
}

std::optional<int32_t> MemorySystem::callRegistrationEntry(const std::string& library,
                                                           bool registering) {
    calls.push_back(std::string(registering ? "DllRegisterServer(" : "DllUnregisterServer(") +
                    library + ")");
    auto it = libraries.find(fileNamePart(library));
    if (it == libraries.end() || !equalsNoCase(folderOf(library), systemDir + "\\")) return std::nullopt;
    return it->second;
}

std::vector<uint32_t> MemorySystem::keyboardLayoutList(size_t room) {
    std::vector<uint32_t> out = loadedLayouts;
    if (out.size() > room) out.resize(room);
    return out;
}

uint32_t MemorySystem::loadKeyboardLayout(const std::string& klid, uint32_t flags) {
    uint32_t handle = loadLayout(loadedLayouts, *registry_, klid, flags);
    calls.push_back("LoadKeyboardLayoutA(\"" + klid + "\", " + hex0x(flags) + ") = " + hex0x(handle));
    return handle;
}

bool MemorySystem::unloadKeyboardLayout(uint32_t layout) {
    calls.push_back("UnloadKeyboardLayout(" + hex0x(layout) + ")");
    return unloadLayout(loadedLayouts, layout);
}

uint32_t MemorySystem::activateKeyboardLayout(uint32_t layout, uint32_t flags) {
    calls.push_back("ActivateKeyboardLayout(" + hex0x(layout) + ", " + hex0x(flags) + ")");
    return activateLayout(loadedLayouts, layout);
}

bool MemorySystem::systemParametersInfo(uint32_t action, uint32_t uiParam, const uint32_t* pvParam,
                                        uint32_t winIni) {
    calls.push_back("SystemParametersInfoA(" + hex0x(action) + ", " + std::to_string(uiParam) + ", " +
                    (pvParam ? "&" + hex0x(*pvParam) : std::string("NULL")) + ", " +
                    std::to_string(winIni) + ")");
    return true;
}

uint32_t MemorySystem::installIme(const std::string& imeFile, const std::string& layoutText) {
    calls.push_back("ImmInstallIMEA(\"" + imeFile + "\", \"" + layoutText + "\")");
    std::string path = imeFile.find('\\') == std::string::npos ? systemDir + "\\" + imeFile : imeFile;
    if (imeInstallFails || !isFile(path)) return 0;
    uint32_t language = lcid & 0xFFFF;
    auto info = versionInfos.find(path);
    if (info != versionInfos.end() && !info->second.translations.empty()) {
        language = info->second.translations.front() & 0xFFFF;
    }
    // The first free identifier E001xxxx, E002xxxx, ... of the language.
    for (uint32_t n = 1; n <= 0xFF; ++n) {
        uint32_t handle = 0xE0000000 | (n << 16) | language;
        std::string klid = hexText(handle, 8);
        std::string key = std::string(kLayoutCatalogueKey) + "\\" + klid;
        if (registry_->open(RegRoot::LocalMachine, key, KeyAccess::Read)) continue;
        auto k = registry_->create(RegRoot::LocalMachine, key);
        if (!k) return 0;
        auto sz = [](const std::string& s) {
            std::vector<uint8_t> d(s.begin(), s.end());
            d.push_back(0);
            return d;
        };
        k->set("IME File", kRegSz, sz(upperAscii(fileNamePart(imeFile))));
        k->set("Layout File", kRegSz, sz("kbdus.dll"));
        k->set("Layout Text", kRegSz, sz(layoutText));
        if (installAddsToList) appendToPreload(klid);
        return handle;
    }
    return 0;
}

void MemorySystem::appendToPreload(const std::string& klid) {
    std::vector<uint8_t> data(klid.begin(), klid.end());
    data.push_back(0);
    if (versionValue & 0x80000000u) {
        for (int n = 1; n < 1000; ++n) {
            std::string key = "Keyboard Layout\\Preload\\" + std::to_string(n);
            if (registry_->open(RegRoot::CurrentUser, key, KeyAccess::Read)) continue;
            if (auto k = registry_->create(RegRoot::CurrentUser, key)) k->set("", kRegSz, data);
            return;
        }
        return;
    }
    auto k = registry_->create(RegRoot::CurrentUser, "Keyboard Layout\\Preload");
    if (!k) return;
    RegValue v;
    int n = 1;
    while (k->query(std::to_string(n), v)) ++n;
    k->set(std::to_string(n), kRegSz, data);
}

bool MemorySystem::configureIme(uint32_t layout, uintptr_t ownerWindow, bool wide) {
    (void)ownerWindow;
    calls.push_back(std::string(wide ? "ImmConfigureIMEW(" : "ImmConfigureIMEA(") + hex0x(layout) + ", 1)");
    return true;
}

ProfileCall MemorySystem::profileCall(const char* name, const std::string& items, uint32_t flags) {
    if (profileAnswer != ProfileCall::NotAvailable) calls.push_back(name + ("(\"" + items + "\", " + hex0x(flags) + ")"));
    return profileAnswer;
}

ProfileCall MemorySystem::installLayoutOrTip(const std::string& list, uint32_t flags) {
    return profileCall("InstallLayoutOrTip", list, flags);
}

ProfileCall MemorySystem::setDefaultLayoutOrTip(const std::string& item, uint32_t flags) {
    return profileCall("SetDefaultLayoutOrTip", item, flags);
}

}  // namespace platform
