// One command-line run: the layer between the program and the machine that records what the
// run changes (and, in a preview, keeps it from the machine), the prompts that never wait for
// a person who is not there, and the end of the run: the saved settings, the output lines, the
// log and the exit status.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "cli/installer.h"
#include "cli/report.h"
#include "cli/switch_list.h"
#include "platform/recording_store.h"
#include "platform/recording_system.h"
#include "settings/prompts.h"
#include "settings/registry.h"
#include "settings/settings_model.h"

namespace cli {

class CommandLineRun : private settings::UserPrompts {
public:
    // `store`, `system` and `prompts` are the real ones. A run without a visible desktop is quiet
    // whatever its switches say.
    CommandLineRun(platform::RegistryStore& store, platform::System& system, settings::UserPrompts& prompts,
                   const SwitchList& list);

    const settings::Registry& registry() const { return registry_; }
    platform::System& system() { return recordingSystem_; }
    // Every box's text goes into the output; the box is shown unless the run is quiet.
    settings::UserPrompts& prompts() { return *this; }
    const RunOptions& options() const { return options_; }
    bool quiet() const { return quiet_; }
    Report& report() { return report_; }

    // The help switch: the help for a console into the output, and the help box unless quiet.
    void showHelp(const std::string& consoleHelp, const settings::MessageBoxRequest& box);
    // Runs the switch items on the model, then `applyWithClose`.
    void runSwitches(settings::SettingsModel& model, Installer& installer, const std::function<void()>& applyWithClose);
    // Saves the settings when asked, writes the output and the log; the run's exit status.
    uint32_t finish(settings::SettingsModel& model);

private:
    bool show(const settings::MessageBoxRequest& request) override;
    void save(settings::SettingsModel& model);

    platform::System& realSystem_;
    settings::UserPrompts& realPrompts_;
    SwitchList list_;
    RunOptions options_;
    bool quiet_;
    platform::RecordingStore recordingStore_;
    platform::RecordingSystem recordingSystem_;
    settings::Registry registry_;
    Report report_;
};

// A registry change as an output line: "set KEY "NAME" = VALUE (was VALUE)", "delete ...".
std::string describeChange(const platform::RegistryChange& change, bool preview);

}  // namespace cli
