#include "cli/command_line_run.h"

#include "cli/settings_file.h"
#include "cli/switch_processor.h"
#include "platform/codepage.h"
#include "platform/text.h"

namespace cli {

namespace {

// A value as .reg text writes it, short: text in quotes, a number as dword, bytes in hex.
std::string valueText(const std::optional<platform::RegValue>& value) {
    if (!value) return "nothing";
    const auto& data = value->data;
    if (value->type == platform::kRegSz || value->type == platform::kRegExpandSz) {
        return "\"" + settings::textFromBytes(data) + "\"";
    }
    if (value->type == platform::kRegDword && data.size() == 4) return "dword:" + platform::hexText(settings::numberFromBytes(data), 8);
    std::string text = value->type == platform::kRegBinary ? "hex:" : "hex(" + std::to_string(value->type) + "):";
    for (size_t i = 0; i < data.size(); ++i) text += (i ? "," : "") + platform::hexText(data[i], 2);
    return text;
}

}  // namespace

std::string describeChange(const platform::RegistryChange& change, bool preview) {
    std::string key = std::string(platform::rootName(change.root)) + "\\" + change.path;
    std::string would = preview ? "would " : "";
    using Kind = platform::RegistryChange::Kind;
    if (change.kind == Kind::KeyCreated) return would + "create key " + key;
    if (change.kind == Kind::KeyDeleted) return would + "delete key " + key;
    std::string name = key + " \"" + change.name + "\"";
    if (!change.after) return would + "delete " + name + " (was " + valueText(change.before) + ")";
    return would + "set " + name + " = " + valueText(change.after) + " (was " + valueText(change.before) + ")";
}

CommandLineRun::CommandLineRun(platform::RegistryStore& store, platform::System& system, settings::UserPrompts& prompts,
                               const SwitchList& list)
    : realSystem_(system),
      realPrompts_(prompts),
      list_(list),
      options_(list.options),
      quiet_(list.options.quiet || !system.desktopVisible()),
      recordingStore_(store, list.options.whatif, system.ansiCodePage()),
      recordingSystem_(system, recordingStore_, list.options.whatif),
      registry_(recordingStore_) {
    if (list.loadItem.empty()) return;
    if (list.loadFailed) {
        report_.item("/" + list.loadItem, {ItemResult::DidNothing, "cannot read " + list.loadPath});
    } else {
        report_.line("/" + list.loadItem + ": switches read from " + list.loadPath);
    }
}

bool CommandLineRun::show(const settings::MessageBoxRequest& request) {
    report_.line("message: " + oneLine(request.text));
    return quiet_ || realPrompts_.show(request);
}

void CommandLineRun::showHelp(const std::string& consoleHelp, const settings::MessageBoxRequest& box) {
    report_.line(consoleHelp);
    if (!quiet_) realPrompts_.show(box);
}

void CommandLineRun::runSwitches(settings::SettingsModel& model, Installer& installer,
                                 const std::function<void()>& applyWithClose) {
    model.switchesIndicator = SwitchProcessor::asksForIndicator(list_.items);
    installer.preview = options_.whatif;
    SwitchProcessor processor(model, installer, recordingSystem_, options_.whatif);
    processor.ProcessSwitches(list_.help ? std::vector<SwitchItem>() : list_.items, report_, applyWithClose);
}

void CommandLineRun::save(settings::SettingsModel& model) {
    SavedSettings saved = settingsAsSwitches(model);
    std::string item = "/save:" + options_.saveFile;
    // The file is written under a preview as well: it shows the settings as applying would leave them.
    if (!realSystem_.writeFile(options_.saveFile, saved.text, false)) {
        report_.item(item, {ItemResult::DidNothing, "cannot write " + options_.saveFile});
        return;
    }
    std::string text = "settings saved";
    for (const auto& what : saved.unsaved) text += "; not saved: " + what;
    report_.item(item, {saved.unsaved.empty() ? ItemResult::Done : ItemResult::DidNothing, text});
}

uint32_t CommandLineRun::finish(settings::SettingsModel& model) {
    if (!options_.saveFile.empty()) save(model);
    bool preview = options_.whatif;
    size_t changed = 0;
    for (const auto& change : recordingStore_.changes()) {
        report_.line(describeChange(change, preview));
        ++changed;
    }
    bool callsChange = recordingSystem_.layoutsChanged();
    for (const auto& call : recordingSystem_.calls()) {
        report_.line((preview ? "would call: " : "call: ") + call.text);
        callsChange = callsChange || call.changes;
    }
    if (registry_.refusedWrites() > 0 || recordingSystem_.refusals() > 0) report_.fail(kWindowsRefused);
    if (preview && (changed > 0 || callsChange)) report_.fail(kWouldChange);

    auto summary = [&] {
        uint32_t status = report_.status();
        std::string line = "exit status " + std::to_string(status) + ": ";
        line += preview ? "preview, nothing was changed; applying would make " : "";
        line += std::to_string(changed) + " registry change" + (changed == 1 ? "" : "s");
        if (status & kItemDidNothing) line += "; some items did nothing";
        if (status & kWindowsRefused) line += "; Windows refused some changes";
        return line;
    };
    if (!options_.logFile.empty()) {
        std::string log = "---- " + realSystem_.localTime() + " " + realSystem_.commandLine() + "\r\n" + report_.text() +
                          summary() + "\r\n";
        if (!realSystem_.writeFile(options_.logFile, platform::codePageToUtf8(log, realSystem_.ansiCodePage()), true)) {
            report_.item("/log:" + options_.logFile, {ItemResult::DidNothing, "cannot write " + options_.logFile});
        }
    }
    report_.line(summary());
    realSystem_.writeOutput(report_.text());
    return report_.status();
}

}  // namespace cli
