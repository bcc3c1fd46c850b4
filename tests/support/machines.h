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

}  // namespace testing_support
