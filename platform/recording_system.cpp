#include "platform/recording_system.h"

#include <algorithm>

#include "platform/text.h"

namespace platform {

namespace {

constexpr size_t kLayoutRoom = 256;  // layouts asked for the first list

}  // namespace

RecordingSystem::RecordingSystem(System& real, RegistryStore& registry, bool preview)
    : real_(real), registry_(registry), preview_(preview) {}

size_t RecordingSystem::refusals() const {
    return static_cast<size_t>(
        std::count_if(calls_.begin(), calls_.end(), [](const SystemCall& c) { return c.refused; }));
}

void RecordingSystem::log(const char* what, const std::string& subject, bool changes, bool refused, const char* failure) {
    calls_.push_back({what + subject + (refused ? failure : ""), changes, refused});
}

std::vector<ProcessEntry>* RecordingSystem::running() {
    if (!processesTaken_) {
        running_ = real_.processes();
        processesTaken_ = true;
    }
    return running_ ? &*running_ : nullptr;
}

std::optional<std::vector<ProcessEntry>> RecordingSystem::processes() {
    bool first = !processesTaken_;
    std::vector<ProcessEntry>* list = running();
    if (!preview_ && !first) return real_.processes();
    if (!list) return std::nullopt;
    return *list;
}

bool RecordingSystem::terminateProcess(uint32_t id) {
    std::vector<ProcessEntry>* list = running();
    size_t i = 0;
    while (list && i < list->size() && (*list)[i].id != id) ++i;
    bool listed = list && i < list->size();
    std::string text = std::to_string(id);
    if (listed) text += " (" + (*list)[i].exeFile + ")";
    bool done = preview_ ? listed : real_.terminateProcess(id);
    if (done && listed) list->erase(list->begin() + static_cast<long>(i));
    log("end process ", text, done, !done);
    return done;
}

bool RecordingSystem::startProgram(const std::string& commandLine) {
    std::string file = programFile(*this, commandLine);
    std::vector<ProcessEntry>* list = running();  // as it was before the start
    bool done = preview_ ? !file.empty() : real_.startProgram(commandLine);
    std::string name = fileNamePart(file.empty() ? commandLine : file);
    bool ran = false;
    if (list) {
        uint32_t id = 100;
        for (const auto& p : *list) {
            ran = ran || equalsNoCase(fileNamePart(p.exeFile), name);
            id = std::max(id, p.id + 4);
        }
        if (done) list->push_back({id, name});
    }
    log("start program ", file.empty() ? commandLine : file, done && !ran, !done);
    return done;
}

std::optional<int32_t> RecordingSystem::callRegistrationEntry(const std::string& library, bool registering) {
    // A library named without a folder is the system folder's, as the program loads it.
    std::string path = library.find('\\') == std::string::npos ? systemDirectory() + "\\" + library : library;
    std::optional<int32_t> result;
    if (!preview_) {
        result = real_.callRegistrationEntry(path, registering);
    } else if (isFile(path)) {
        result = 0;
    }
    log(registering ? "register library " : "unregister library ", path, false, !result || *result < 0);
    return result;
}

std::vector<uint32_t>& RecordingSystem::layouts() {
    if (!layoutsTaken_) {
        firstLayouts_ = layouts_ = real_.keyboardLayoutList(kLayoutRoom);
        layoutsTaken_ = true;
    }
    return layouts_;
}

bool RecordingSystem::layoutsChanged() {
    if (!layoutsTaken_) return false;
    return (preview_ ? layouts_ : real_.keyboardLayoutList(kLayoutRoom)) != firstLayouts_;
}

std::vector<uint32_t> RecordingSystem::keyboardLayoutList(size_t room) {
    bool first = !layoutsTaken_;
    std::vector<uint32_t> list = layouts();
    if (!preview_ && !first) list = real_.keyboardLayoutList(room);
    if (list.size() > room) list.resize(room);
    return list;
}

uint32_t RecordingSystem::loadKeyboardLayout(const std::string& klid, uint32_t flags) {
    std::vector<uint32_t>& list = layouts();
    log("load keyboard layout ", klid, false, false);
    return preview_ ? loadLayout(list, registry_, klid, flags) : real_.loadKeyboardLayout(klid, flags);
}

bool RecordingSystem::unloadKeyboardLayout(uint32_t layout) {
    std::vector<uint32_t>& list = layouts();
    log("unload keyboard layout ", hexText(layout, 8), false, false);
    return preview_ ? unloadLayout(list, layout) : real_.unloadKeyboardLayout(layout);
}

uint32_t RecordingSystem::activateKeyboardLayout(uint32_t layout, uint32_t flags) {
    std::vector<uint32_t>& list = layouts();
    std::string text = hexText(layout, 8);
    if (flags != kKlfActivate) text += ", flags " + hexText(flags, 8);
    log("activate keyboard layout ", text, false, false);
    return preview_ ? activateLayout(list, layout) : real_.activateKeyboardLayout(layout, flags);
}

bool RecordingSystem::systemParametersInfo(uint32_t action, uint32_t uiParam, const uint32_t* pvParam,
                                           uint32_t winIni) {
    const char* what = "set system parameter ";
    std::string subject = hexText(action, 8);
    if (action == kSpiSetShowImeUi) {
        what = uiParam ? "show the input method status window" : "hide the input method status window";
        subject.clear();
    }
    if (action == kSpiSetInputLangToggle) {
        what = "reload the input language switch keys";
        subject.clear();
    }
    if (action == kSpiSetDefaultInputLang) {
        what = "set the default input language to ";
        subject = hexText(pvParam ? *pvParam : 0, 8);
    }
    log(what, subject, false, false);
    return preview_ || real_.systemParametersInfo(action, uiParam, pvParam, winIni);
}

uint32_t RecordingSystem::installIme(const std::string& imeFile, const std::string& layoutText) {
    // A preview goes on as if the install produced no layout.
    uint32_t layout = preview_ ? 0 : real_.installIme(imeFile, layoutText);
    bool refused = !preview_ && layout == 0;
    log("install input method ", imeFile + " as \"" + layoutText + "\"", !refused, refused);
    return layout;
}

bool RecordingSystem::configureIme(uint32_t layout, uintptr_t ownerWindow, bool wide) {
    log("configure input method ", hexText(layout, 8), false, false);
    return preview_ || real_.configureIme(layout, ownerWindow, wide);
}

ProfileCall RecordingSystem::logProfileCall(const char* what, const std::string& items, ProfileCall result) {
    log(what, items, result == ProfileCall::Done, result != ProfileCall::Done,
        result == ProfileCall::Failed ? " (failed)" : " (failed: no input.dll with this function in the system folder)");
    return result;
}

ProfileCall RecordingSystem::installLayoutOrTip(const std::string& list, uint32_t flags) {
    return logProfileCall(flags & kIlotUninstall ? "language profile: disable " : "language profile: enable ", list,
                          preview_ ? ProfileCall::Done : real_.installLayoutOrTip(list, flags));
}

ProfileCall RecordingSystem::setDefaultLayoutOrTip(const std::string& item, uint32_t flags) {
    return logProfileCall("language profile: make default ", item,
                          preview_ ? ProfileCall::Done : real_.setDefaultLayoutOrTip(item, flags));
}

}  // namespace platform
