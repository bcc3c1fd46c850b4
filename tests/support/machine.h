// A memory machine for tests, seeded from .reg text, with helpers to put input-method files
// into its system folder.
#pragma once

#include <string>
#include <vector>

#include "platform/memory/memory_system.h"
#include "platform/memory/reg_text.h"

namespace testing_support {

struct TestMachine : platform::MemoryMachine {
    // Imports .reg text (UTF-8, or 8-bit in the machine's code page); fails the test on error.
    void load(const std::string& regText);
    // The keys as REGEDIT4 text in UTF-8, for comparing whole.
    std::string exportKeys(const std::vector<platform::RegKeyRef>& keys);
    // An input-method file in the system folder with a version-information description
    // (given in UTF-8) under the translation 0804/04B0.
    void addIme(const std::string& file, const std::string& descriptionUtf8);
    std::string systemPath(const std::string& file) const { return system.systemDir + "\\" + file; }
};

// The contents of a file under tests/fixtures.
std::string fixture(const std::string& name);

}  // namespace testing_support
