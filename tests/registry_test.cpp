// How the program's registry operations behave. The same cases run natively over the memory
// registry and, built with MinGW, under Wine over the real registry.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "settings/registry.h"
#include "tests/support/test_store.h"

using platform::RegRoot;
using settings::RegKey;
using settings::Registry;
using testing_support::scratchPath;

namespace {

class RegistrySemantics : public ::testing::Test {
protected:
    void SetUp() override { testing_support::clearScratch(); }
    void TearDown() override { testing_support::clearScratch(); }

    Registry reg{testing_support::testStore()};
    std::string path = scratchPath();

    // Writes a value of any type straight into the store, past the program's operations.
    void rawSet(const std::string& name, uint32_t type, const std::string& bytes) {
        auto k = testing_support::testStore().create(RegRoot::CurrentUser, path);
        ASSERT_TRUE(k);
        ASSERT_TRUE(k->set(name, type, std::vector<uint8_t>(bytes.begin(), bytes.end())));
    }
    platform::RegValue rawGet(const std::string& name) {
        platform::RegValue v;
        auto k = testing_support::testStore().open(RegRoot::CurrentUser, path, platform::KeyAccess::Read);
        if (k) k->query(name, v);
        return v;
    }
};

TEST_F(RegistrySemantics, MissingKeysAndValuesReadAsEmptyOrZero) {
    RegKey none = reg.openForRead(RegRoot::CurrentUser, path + "\\Missing");
    EXPECT_FALSE(none.isOpen());
    EXPECT_EQ("", reg.getString(none, "x"));
    EXPECT_EQ(0u, reg.getNumber(none, "x"));
    EXPECT_FALSE(reg.valueExists(none, "x"));
    EXPECT_FALSE(reg.keyExists(RegRoot::CurrentUser, path + "\\Missing"));

    // Every operation given no key reports failure and touches nothing.
    EXPECT_FALSE(reg.setString(none, "x", "y"));
    EXPECT_FALSE(reg.setNumber(none, "x", 1));
    EXPECT_FALSE(reg.deleteValue(none, "x"));
    std::vector<std::string> names = {"stale"};
    reg.listSubKeys(none, names);
    EXPECT_TRUE(names.empty());

    RegKey key = reg.openOrCreate(RegRoot::CurrentUser, path);
    EXPECT_EQ("", reg.getString(key, "absent"));
    EXPECT_EQ(0u, reg.getNumber(key, "absent"));
    EXPECT_FALSE(reg.valueExists(key, "absent"));
}

TEST_F(RegistrySemantics, GetStringReadsOnlyRegSz) {
    rawSet("expand", platform::kRegExpandSz, std::string("%SystemRoot%\0", 13));
    rawSet("dword", platform::kRegDword, std::string("\x01\x00\x00\x00", 4));
    rawSet("binary", platform::kRegBinary, "abc");
    rawSet("sz", platform::kRegSz, std::string("text\0", 5));
    RegKey key = reg.openForRead(RegRoot::CurrentUser, path);
    EXPECT_EQ("", reg.getString(key, "expand"));
    EXPECT_EQ("", reg.getString(key, "dword"));
    EXPECT_EQ("", reg.getString(key, "binary"));
    EXPECT_EQ("text", reg.getString(key, "sz"));
    EXPECT_TRUE(reg.valueExists(key, "expand"));
}

TEST_F(RegistrySemantics, GetStringStopsAtTheFirstZeroAndToleratesNoTerminator) {
    rawSet("two", platform::kRegSz, std::string("ab\0cd\0", 6));
    rawSet("unterminated", platform::kRegSz, "abc");
    rawSet("empty", platform::kRegSz, "");
    RegKey key = reg.openForRead(RegRoot::CurrentUser, path);
    EXPECT_EQ("ab", reg.getString(key, "two"));
    EXPECT_EQ("abc", reg.getString(key, "unterminated"));
    EXPECT_EQ("", reg.getString(key, "empty"));
}

TEST_F(RegistrySemantics, SetStringWritesTextWithTerminatingZero) {
    RegKey key = reg.openOrCreate(RegRoot::CurrentUser, path);
    ASSERT_TRUE(reg.setString(key, "Name", "E0010804"));
    ASSERT_TRUE(reg.setString(key, "", "default"));
    platform::RegValue v = rawGet("Name");
    EXPECT_EQ(platform::kRegSz, v.type);
    EXPECT_EQ(std::string("E0010804\0", 9), std::string(v.data.begin(), v.data.end()));
    EXPECT_EQ("default", reg.getString(key, ""));
}

TEST_F(RegistrySemantics, GetNumberReadsOnlyRegDword) {
    RegKey key = reg.openOrCreate(RegRoot::CurrentUser, path);
    ASSERT_TRUE(reg.setNumber(key, "Attributes", 0x10000));
    rawSet("sz", platform::kRegSz, std::string("5\0", 2));
    rawSet("binary", platform::kRegBinary, std::string("\x05\x00\x00\x00", 4));
    EXPECT_EQ(0x10000u, reg.getNumber(key, "Attributes"));
    EXPECT_EQ(0u, reg.getNumber(key, "sz"));
    EXPECT_EQ(0u, reg.getNumber(key, "binary"));
    platform::RegValue v = rawGet("Attributes");
    EXPECT_EQ(platform::kRegDword, v.type);
    EXPECT_EQ(4u, v.data.size());
}

TEST_F(RegistrySemantics, BinaryIsWrittenExactlyAndReadWithinTheBuffer) {
    RegKey key = reg.openOrCreate(RegRoot::CurrentUser, path);
    const uint8_t bytes[] = {0x06, 0xC0, 0x00, 0x00, 0x99, 0x98};
    ASSERT_TRUE(reg.setBinary(key, "Key Modifiers", bytes, 4));
    platform::RegValue v = rawGet("Key Modifiers");
    EXPECT_EQ(platform::kRegBinary, v.type);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 4), v.data);

    // A buffer smaller than the value gets only what fits; the bytes after it stay untouched.
    ASSERT_TRUE(reg.setBinary(key, "Long", bytes, 6));
    uint8_t buffer[4];
    std::memset(buffer, 0xEE, sizeof buffer);
    reg.getBinary(key, "Long", buffer, 2);
    EXPECT_EQ(0x06, buffer[0]);
    EXPECT_EQ(0xC0, buffer[1]);
    EXPECT_EQ(0xEE, buffer[2]);
    EXPECT_EQ(0xEE, buffer[3]);

    // A missing value leaves the buffer as it was.
    uint8_t kept[4] = {1, 2, 3, 4};
    reg.getBinary(key, "Missing", kept, sizeof kept);
    EXPECT_EQ(1, kept[0]);
    EXPECT_EQ(4, kept[3]);
}

TEST_F(RegistrySemantics, ValueNamesIgnoreCaseButKeepTheirFirstSpelling) {
    RegKey key = reg.openOrCreate(RegRoot::CurrentUser, path);
    ASSERT_TRUE(reg.setString(key, "IME File", "PINTLGNT.IME"));
    EXPECT_EQ("PINTLGNT.IME", reg.getString(key, "ime file"));
    EXPECT_EQ("PINTLGNT.IME", reg.getString(key, "IME FILE"));
    ASSERT_TRUE(reg.setString(key, "ime file", "WINPY.IME"));
    std::vector<std::string> names;
    reg.listValueNames(key, names);
    EXPECT_EQ(std::vector<std::string>{"IME File"}, names);
    EXPECT_EQ("WINPY.IME", reg.getString(key, "IME File"));
}

TEST_F(RegistrySemantics, OpeningForWriteDoesNotCreateAndReadOnlyKeysRefuseWrites) {
    EXPECT_FALSE(reg.openForWrite(RegRoot::CurrentUser, path).isOpen());
    RegKey created = reg.openOrCreate(RegRoot::CurrentUser, path + "\\a\\b");
    ASSERT_TRUE(created.isOpen());
    EXPECT_TRUE(reg.keyExists(RegRoot::CurrentUser, path + "\\a"));

    RegKey writable = reg.openForWrite(RegRoot::CurrentUser, path + "\\a");
    ASSERT_TRUE(writable.isOpen());
    EXPECT_TRUE(reg.setString(writable, "v", "1"));
    EXPECT_TRUE(reg.deleteValue(writable, "v"));

    RegKey readOnly = reg.openForRead(RegRoot::CurrentUser, path + "\\a");
    EXPECT_FALSE(reg.setString(readOnly, "v", "1"));
    EXPECT_FALSE(reg.valueExists(readOnly, "v"));
}

TEST_F(RegistrySemantics, KeyNamesIgnoreCase) {
    reg.openOrCreate(RegRoot::CurrentUser, path + "\\Keyboard Layout\\Preload");
    EXPECT_TRUE(reg.keyExists(RegRoot::CurrentUser, path + "\\KEYBOARD LAYOUT\\preload"));
    std::vector<std::string> names;
    reg.listSubKeys(reg.openForRead(RegRoot::CurrentUser, path + "\\keyboard layout"), names);
    EXPECT_EQ(std::vector<std::string>{"Preload"}, names);
}

TEST_F(RegistrySemantics, DeletingValuesAndKeys) {
    RegKey key = reg.openOrCreate(RegRoot::CurrentUser, path + "\\k");
    reg.setString(key, "v", "x");
    EXPECT_TRUE(reg.deleteValue(key, "V"));
    EXPECT_FALSE(reg.deleteValue(key, "v"));
    reg.openOrCreate(RegRoot::CurrentUser, path + "\\k\\child");
    // A key with sub-keys is not deleted (as on the NT family).
    EXPECT_FALSE(reg.deleteKey(RegRoot::CurrentUser, path + "\\k"));
    EXPECT_TRUE(reg.deleteKey(RegRoot::CurrentUser, path + "\\k\\child"));
    EXPECT_TRUE(reg.deleteKey(RegRoot::CurrentUser, path + "\\k"));
    EXPECT_FALSE(reg.keyExists(RegRoot::CurrentUser, path + "\\k"));
    EXPECT_FALSE(reg.deleteKey(RegRoot::CurrentUser, path + "\\k"));
}

TEST_F(RegistrySemantics, ListsClearFirstAndNameEverything) {
    RegKey key = reg.openOrCreate(RegRoot::CurrentUser, path);
    reg.setString(key, "2", "b");
    reg.setString(key, "1", "a");
    reg.setString(key, "10", "c");
    for (const char* sub : {"E0010804", "00000409", "e0020804"}) {
        reg.openOrCreate(RegRoot::CurrentUser, path + "\\" + sub);
    }
    std::vector<std::string> names = {"left over"};
    reg.listValueNames(key, names);
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"1", "10", "2"}), names);
    // Sub-keys come sorted without regard to case, on Windows and on Wine.
    reg.listSubKeys(key, names);
    EXPECT_EQ((std::vector<std::string>{"00000409", "E0010804", "e0020804"}), names);
}

TEST_F(RegistrySemantics, ValuesEnumerateInCreationOrder) {
    if (testing_support::storeIsWine()) {
        GTEST_SKIP() << "Wine enumerates values sorted by name; Windows in the order they were created";
    }
    RegKey key = reg.openOrCreate(RegRoot::CurrentUser, path);
    reg.setString(key, "2", "b");
    reg.setString(key, "1", "a");
    reg.setString(key, "10", "c");
    std::vector<std::string> names;
    reg.listValueNames(key, names);
    EXPECT_EQ((std::vector<std::string>{"2", "1", "10"}), names);
}

TEST_F(RegistrySemantics, BothRootsAreSeparate) {
    RegKey machine = reg.openOrCreate(RegRoot::LocalMachine, path);
    reg.setString(machine, "where", "machine");
    RegKey user = reg.openOrCreate(RegRoot::CurrentUser, path);
    reg.setString(user, "where", "user");
    EXPECT_EQ("machine", reg.getString(reg.openForRead(RegRoot::LocalMachine, path), "where"));
    EXPECT_EQ("user", reg.getString(reg.openForRead(RegRoot::CurrentUser, path), "where"));
}

}  // namespace
