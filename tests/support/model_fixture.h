// A settings model over a memory machine, with scripted answers to its message boxes and a
// readable dump of the whole model for comparing.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "settings/settings_model.h"
#include "tests/support/machine.h"

namespace testing_support {

class ScriptedPrompts : public settings::UserPrompts {
public:
    bool show(const settings::MessageBoxRequest& request) override;
    std::vector<settings::MessageBoxRequest> shown;
    std::vector<bool> answers;  // taken in order; OK when the script has run out
    // Each box shown as "caption: text [okcancel] [info|warning] [active] [foreground]", one a line.
    std::string boxes() const;
};

// The model's snapshot and window state, one fact a line, texts in UTF-8.
std::string dump(const settings::SettingsModel& model, unsigned codePage);

struct ModelFixture {
    TestMachine m;
    settings::Registry registry{m.registry};
    ScriptedPrompts prompts;
    std::unique_ptr<settings::SettingsModel> model;

    // Makes the model (in the machine's UI language) and loads it.
    settings::SettingsModel& start(bool commandLineMode = false);
    // The snapshot and the window state, one fact a line.
    std::string dump() const { return testing_support::dump(*model, m.system.codePage); }
    // Whether the dump holds the text; a failure shows the dump.
    ::testing::AssertionResult shows(const std::string& text) const;
    // Every key the program writes, as UTF-8 REGEDIT4 text without carriage returns.
    std::string written();
    std::string calls() const;  // the system calls, one a line
};

// Windows versions as GetVersion reports them.
constexpr uint32_t kWin98 = 0xC0000A04;
constexpr uint32_t kNt4 = 0x05650004;
constexpr uint32_t kWin2000 = 0x08930005;
constexpr uint32_t kWinXp = 0x0A280105;
constexpr uint32_t kWin2003 = 0x0ECE0205;
constexpr uint32_t kVista = 0x17720006;
constexpr uint32_t kWin7 = 0x1DB10106;

std::string withoutCarriageReturns(const std::string& text);
// The rows' KLIDs in list order, separated by blanks.
std::string rowOrder(const settings::SettingsModel& model);

}  // namespace testing_support
