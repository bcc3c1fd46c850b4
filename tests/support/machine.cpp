#include "tests/support/machine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/codepage.h"

namespace testing_support {
namespace {

bool isUtf8(const std::string& s) {
    for (size_t i = 0; i < s.size();) {
        auto b = static_cast<unsigned char>(s[i]);
        size_t n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (size_t k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        }
        i += n;
    }
    return true;
}

}  // namespace

void TestMachine::load(const std::string& regText) {
    registry.setCodePage(system.codePage);
    std::string text = isUtf8(regText) ? regText : platform::codePageToUtf8(regText, system.codePage);
    auto result = platform::importRegText(registry, "\xEF\xBB\xBF" + text, system.codePage);
    ASSERT_TRUE(result.ok) << result.describe();
}

std::string TestMachine::exportKeys(const std::vector<platform::RegKeyRef>& keys) {
    return platform::codePageToUtf8(
        platform::exportRegText(registry, keys, platform::RegTextFormat::Regedit4, system.codePage), system.codePage);
}

void TestMachine::addIme(const std::string& file, const std::string& descriptionUtf8) {
    std::string path = systemPath(file);
    system.addFile(path, "MZ");
    platform::MemoryVersionInfo info;
    info.translations = {0x04B00804};
    info.strings["\\StringFileInfo\\080404B0\\FileDescription"] = platform::utf8ToCodePage(descriptionUtf8, system.codePage);
    system.versionInfos[path] = info;
}

std::string fixture(const std::string& name) {
    std::ifstream in(std::string(KESTRINE_SOURCE_DIR) + "/tests/fixtures/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << "missing fixture " << name;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace testing_support
