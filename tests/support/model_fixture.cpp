#include "tests/support/model_fixture.h"

#include <sstream>

#include "platform/codepage.h"
#include "settings/processes.h"
#include "ui/texts.h"

namespace testing_support {

bool ScriptedPrompts::show(const settings::MessageBoxRequest& request) {
    shown.push_back(request);
    if (answers.empty()) return true;
    bool answer = answers.front();
    answers.erase(answers.begin());
    return answer;
}

std::string ScriptedPrompts::boxes() const {
    using Box = settings::MessageBoxRequest;
    std::string out;
    for (const auto& b : shown) {
        out += b.caption + ": " + b.text + (b.okCancel ? " okcancel" : "") +
               (b.icon == Box::Icon::Information ? " info" : b.icon == Box::Icon::Exclamation ? " warning" : "") +
               (b.owner == Box::Owner::ActiveWindow ? " active" : "") + (b.foreground ? " foreground" : "") + "\n";
    }
    return out;
}

settings::SettingsModel& ModelFixture::start(bool commandLineMode) {
    // The texts of each language, made once: making them converts every text.
    using settings::UiLanguage;
    static const settings::ModelTexts texts[] = {ui::modelTexts(UiLanguage::English),
                                                 ui::modelTexts(UiLanguage::SimplifiedChinese),
                                                 ui::modelTexts(UiLanguage::TraditionalChinese)};
    auto language = static_cast<size_t>(settings::uiLanguageFor(m.system.lcid));
    model = std::make_unique<settings::SettingsModel>(registry, m.system, prompts, texts[language], commandLineMode);
    model->load();
    return *model;
}

std::string withoutCarriageReturns(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c != '\r') out += c;
    }
    return out;
}

std::string rowOrder(const settings::SettingsModel& model) {
    std::string out;
    for (const auto& r : model.snapshot.rows) out += (out.empty() ? "" : " ") + r.klid;
    return out;
}

std::string dump(const settings::SettingsModel& model, unsigned cp) {
    const auto& s = model.snapshot;
    const auto& w = model.window;
    const settings::ControlStates c = model.controlStates();
    auto text = [cp](const std::string& bytes) { return platform::codePageToUtf8(bytes, cp); };
    auto onOff = [](bool b) { return b ? "on" : "off"; };
    std::ostringstream out;
    for (const auto& r : s.rows) {
        const auto* v = r.unreadable ? &*r.unreadable : nullptr;  // a value that is no KLID: its type and text
        std::string klid = v ? "(type " + std::to_string(v->type) + ": " + settings::textFromBytes(v->data) + ")" : r.klid;
        out << "row " << klid << " | " << text(r.classicName) << " | " << text(r.displayName) << " | pending "
            << text(r.pendingDisplayName) << " | shown " << text(r.shownName) << " | hotkey " << text(r.hotkeyText)
            << "\n";
    }
    for (const auto& a : s.addable) {
        out << "addable " << a.klid << " | " << text(a.classicName) << " | " << text(a.displayName) << " | item "
            << text(a.itemText) << "\n";
    }
    for (const auto& r : s.records) out << "record " << r.modifierText << " " << r.keyText << " -> " << r.target << "\n";
    for (const auto& t : s.toggles) out << "toggle " << t.modifierText << " " << t.keyText << "\n";
    out << "indicator switch " << onOff(s.indicatorSwitch) << ", internat " << onOff(s.indicatorOption) << ", ctfmon "
        << onOff(s.textServicesOption) << "\n";
    out << "caps mode " << s.capsLockMode << ", show status " << onOff(s.showStatus) << "\n";
    out << "language switch " << onOff(s.languageSwitch) << " key " << s.languageKey << ", layout switch "
        << onOff(s.layoutSwitch) << " key " << s.layoutKey << "\n";
    out << "enabled: style " << onOff(c.styleGroup) << ", internat " << onOff(c.indicatorOption) << ", ctfmon "
        << onOff(c.textServicesOption) << ", language key " << onOff(c.languageKey) << ", layout switch "
        << onOff(c.layoutSwitch) << ", layout key " << onOff(w.layoutKeyEnabled) << ", caps " << onOff(c.capsLock)
        << "\n";
    out << "list selection " << w.listSelection << ", add selection " << w.addSelection << ", up " << onOff(c.up)
        << ", down " << onOff(c.down) << ", delete " << onOff(c.remove) << ", add " << onOff(c.add) << ", property "
        << onOff(c.property) << ", registry delete " << onOff(c.registryDelete) << ", install " << onOff(c.install)
        << "\n";
    out << "language caption " << text(w.languageSwitchCaption) << ", toggle button " << text(w.toggleButtonCaption)
        << ", status " << text(w.status) << "\n";
    return out.str();
}

::testing::AssertionResult ModelFixture::shows(const std::string& text) const {
    std::string all = dump();
    if (all.find(text) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no \"" << text << "\" in\n" << all;
}

std::string ModelFixture::written() {
    using platform::RegRoot;
    return withoutCarriageReturns(m.exportKeys({
        {RegRoot::LocalMachine, settings::kLayoutCatalogueKey},
        {RegRoot::LocalMachine, settings::kRunKey},
        {RegRoot::CurrentUser, "Keyboard Layout"},
        {RegRoot::CurrentUser, "Control Panel\\Input Method"},
        {RegRoot::CurrentUser, "Software\\Microsoft\\CTF"},
        {RegRoot::CurrentUser, settings::kRunKey},
    }));
}

std::string ModelFixture::calls() const {
    std::string out;
    for (const auto& c : m.system.calls) out += c + "\n";
    return out;
}

}  // namespace testing_support
