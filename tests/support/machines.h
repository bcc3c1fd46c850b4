// Machines the model tests share. Seeding replaces the fixture's machine with a copy of one
// read once per process.
#pragma once

#include "tests/support/model_fixture.h"

namespace testing_support {

// The Simplified Chinese Windows XP user of tests/fixtures/xp_zh_cn.reg: its input-method
// files, text services running and registered, its three layouts loaded.
void seedXpChinese(ModelFixture& f);

// The Simplified Chinese Windows 98 user of tests/fixtures/win98_zh_cn.reg, with internat.exe
// running. `ninexRegistry`: the registry deletes a key with its sub-keys, as 9x does (Wine
// and the NT family do not).
void seedWin98Chinese(ModelFixture& f, bool ninexRegistry);

inline const std::string kProgramFolder = "C:\\Program Files\\Kestrine\\";

// Runs kestrine.exe from that folder with the arguments on the machine, as the program runs a
// command line, with an output channel: the output, and the exit status in `status`.
std::string runProgram(ModelFixture& machine, const std::string& arguments, uint32_t* status = nullptr);
// A run's output without its summary line and the word "would ": a preview's must be the run's.
std::string withoutPreviewWords(std::string output);

}  // namespace testing_support
