// .reg text in and out of the memory registry.
#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/reg_text.h"

using platform::MemoryRegistry;
using platform::RegRoot;
using platform::RegTextFormat;

namespace {

// 美国英语 in GBK.
const std::string kGbkUs = "\xC3\xC0\xB9\xFA\xD3\xA2\xD3\xEF";

std::string sampleRegedit4(const std::string& chinese) {
    return "REGEDIT4\r\n"
           "\r\n"
           "; a comment, and a blank line below\r\n"
           "\r\n"
           "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\00000409]\r\n"
           "\"Layout File\"=\"KBDUS.DLL\"\r\n"
           "\"Layout Text\"=\"" + chinese + "\"\r\n"
           "@=\"default \\\"quoted\\\" back\\\\slash\"\r\n"
           "\"Empty\"=\"\"\r\n"
           "\"Number\"=dword:0001abcd\r\n"
           "\"Binary\"=hex:06,c0,00,00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,\\\r\n"
           "  14,15,16,17,18\r\n"
           "\"Expand\"=hex(2):25,53,79,73,74,65,6d,52,6f,6f,74,25,00\r\n"
           "\"Multi\"=hex(7):61,00,62,00,00\r\n"
           "\"None\"=hex(0):\r\n"
           "\"Qword\"=hex(b):01,00,00,00,00,00,00,00\r\n"
           "\"Unterminated\"=hex(1):41,42\r\n"
           "\"line\\r\\nbreak\\0\"=\"\"\r\n"
           "\r\n"
           "[HKEY_LOCAL_MACHINE\\SYSTEM\\" + chinese + "C\\x]\r\n"
           "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\E0010804\\Empty Child]\r\n"
           "\r\n"
           "[HKEY_CURRENT_USER\\Keyboard Layout\\Preload]\r\n"
           "\"1\"=\"E0010804\"\r\n"
           "\"2\"=\"00000804\"\r\n";
}

std::string storedString(MemoryRegistry& reg, RegRoot root, const std::string& path, const std::string& name) {
    platform::RegValue v;
    auto k = reg.open(root, path, platform::KeyAccess::Read);
    if (!k || !k->query(name, v)) return "<missing>";
    return std::string(v.data.begin(), v.data.end());
}

TEST(RegText, Version5TextIsUtf16AndStringsReachTheStoreInItsCodePage) {
    std::string utf8 =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\L]\r\n"
        "\"Layout Text\"=\"\xE7\xBE\x8E\xE5\x9B\xBD\xE8\x8B\xB1\xE8\xAF\xAD\"\r\n"  // 美国英语
        "\"Expand\"=hex(2):25,00,41,00,25,00,00,00\r\n";
    std::string file = "\xFF\xFE" + platform::utf8ToUtf16le(utf8);
    MemoryRegistry reg;
    auto result = platform::importRegText(reg, file, 936);
    ASSERT_TRUE(result.ok) << result.describe();
    EXPECT_EQ(kGbkUs + '\0', storedString(reg, RegRoot::LocalMachine, "L", "Layout Text"));
    EXPECT_EQ(std::string("%A%\0", 4), storedString(reg, RegRoot::LocalMachine, "L", "Expand"));
    std::string out = platform::exportRegText(reg, {{RegRoot::LocalMachine, "L"}}, RegTextFormat::Version5, 936);
    EXPECT_EQ("\xFF\xFE", out.substr(0, 2));
    EXPECT_EQ(utf8 + "\r\n", platform::utf16leToUtf8(out.substr(2)));
}

TEST(RegText, DeletionLinesRemoveKeysWithTheirSubKeysAndSingleValues) {
    MemoryRegistry reg;
    ASSERT_TRUE(platform::importRegText(reg, sampleRegedit4(kGbkUs), 936).ok);
    auto result = platform::importRegText(reg,
                                          "REGEDIT4\n"
                                          "[-HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\E0010804]\n"
                                          "[-HKEY_CURRENT_USER\\Missing\\Key]\n"
                                          "[HKEY_CURRENT_USER\\Keyboard Layout\\Preload]\n"
                                          "\"2\"=-\n"
                                          "\"absent\"=-\n"
                                          "\"3\"=dword:10000000 ; a comment\n",
                                          936);
    ASSERT_TRUE(result.ok) << result.describe();
    EXPECT_EQ("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Keyboard Layout\\Preload]\r\n\"1\"=\"E0010804\"\r\n\"3\"=dword:10000000\r\n\r\n",
              platform::exportRegText(reg, {{RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\E0010804"},
                                            {RegRoot::CurrentUser, "Keyboard Layout\\Preload"}},
                                      RegTextFormat::Regedit4, 936));
    EXPECT_TRUE(reg.open(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\00000409",
                         platform::KeyAccess::Read));
}

// Malformed text changes nothing: a value after a deleting key line, a dword with a letter past F.
TEST(RegText, MalformedTextChangesNothing) {
    for (const char* value : {"[-HKEY_CURRENT_USER\\B]\n\"v\"=\"1\"", "\"v\"=dword:0G"}) {
        MemoryRegistry reg;
        auto result = platform::importRegText(reg, "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n" + std::string(value) + "\n", 936);
        EXPECT_FALSE(result.ok) << value;
        EXPECT_FALSE(reg.open(RegRoot::CurrentUser, "A", platform::KeyAccess::Read)) << value;
    }
}

// A double-byte character whose second byte is "\\" does not split a key path (Shift-JIS 表, and
// the same bytes in the other double-byte code pages); a trailing "\\" is ignored, an empty
// component refused.
TEST(MemoryRegistry, SecondBytesDoNotSplitKeyPaths) {
    for (unsigned codePage : {932u, 936u, 949u, 950u}) {
        MemoryRegistry reg;
        reg.setCodePage(codePage);
        ASSERT_TRUE(reg.create(RegRoot::CurrentUser, "x\\\x95\x5C\\")) << codePage;
        EXPECT_TRUE(reg.open(RegRoot::CurrentUser, "x", platform::KeyAccess::Read)) << codePage;
        EXPECT_FALSE(reg.open(RegRoot::CurrentUser, "x\\\x95", platform::KeyAccess::Read)) << codePage;
        EXPECT_FALSE(reg.create(RegRoot::CurrentUser, "x\\\\y")) << codePage;
    }
}

TEST(MemoryRegistry, NinexRegistryDeletesSubKeysWithTheirParent) {
    MemoryRegistry nt;
    MemoryRegistry ninex;
    ninex.setDeleteTakesSubKeys(true);
    for (MemoryRegistry* reg : {&nt, &ninex}) reg->create(RegRoot::CurrentUser, "Keyboard Layout\\preload\\1");
    EXPECT_FALSE(nt.deleteKey(RegRoot::CurrentUser, "Keyboard Layout\\preload"));
    EXPECT_TRUE(ninex.deleteKey(RegRoot::CurrentUser, "Keyboard Layout\\preload"));
    EXPECT_FALSE(ninex.open(RegRoot::CurrentUser, "Keyboard Layout\\preload\\1", platform::KeyAccess::Read));
    // A handle to a deleted key fails from then on.
    auto held = nt.open(RegRoot::CurrentUser, "Keyboard Layout\\preload\\1", platform::KeyAccess::Full);
    ASSERT_TRUE(platform::deleteKeyTree(nt, RegRoot::CurrentUser, "Keyboard Layout\\preload"));
    EXPECT_FALSE(held->set("x", platform::kRegSz, {0}));
    std::vector<std::string> names;
    EXPECT_FALSE(held->subKeyNames(names));
    EXPECT_TRUE(platform::deleteKeyTree(nt, RegRoot::CurrentUser, "missing")) << "a tree that is not there is gone";
}

}  // namespace
