// How the program's registry operations behave. The same cases run natively over the memory
// registry and, built with MinGW, under Wine over the real registry.
#include <gtest/gtest.h>

#include <algorithm>

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

// Text is read only from REG_SZ, up to its first zero and without needing one; numbers only
// from REG_DWORD. Every value exists whatever its type.
TEST_F(RegistrySemantics, ReadsTextOnlyFromRegSzAndNumbersOnlyFromRegDword) {
    struct Case {
        const char* name;
        uint32_t type;
        std::string bytes;
        const char* text;
        uint32_t number;
    } cases[] = {
        {"expand", platform::kRegExpandSz, std::string("%SystemRoot%\0", 13), "", 0},
        {"dword", platform::kRegDword, std::string("\x01\x00\x01\x00", 4), "", 0x10001},
        {"long dword", platform::kRegDword, std::string("\x01\x00\x00\x00\x00", 5), "", 0},
        {"binary", platform::kRegBinary, std::string("\x05\x00\x00\x00", 4), "", 0},
        {"sz", platform::kRegSz, std::string("5\0", 2), "5", 0},
        {"two", platform::kRegSz, std::string("ab\0cd\0", 6), "ab", 0},
        {"unterminated", platform::kRegSz, "abc", "abc", 0},
        {"empty", platform::kRegSz, "", "", 0},
    };
    for (const auto& c : cases) rawSet(c.name, c.type, c.bytes);
    RegKey key = reg.openForRead(RegRoot::CurrentUser, path);
    for (const auto& c : cases) {
        EXPECT_EQ(c.text, reg.getString(key, c.name)) << c.name;
        EXPECT_EQ(c.number, reg.getNumber(key, c.name)) << c.name;
        EXPECT_TRUE(reg.valueExists(key, c.name)) << c.name;
    }
}

// Every write under HKEY_LOCAL_MACHINE counts as a change to the machine; writes to the user's
// keys do not.
TEST_F(RegistrySemantics, WritesToTheMachineAreCounted) {
    uint32_t before = reg.machineChanges();
    RegKey user = reg.openOrCreate(RegRoot::CurrentUser, path);
    reg.setString(user, "s", "1");
    reg.setNumber(user, "n", 1);
    EXPECT_EQ(before, reg.machineChanges());
    const uint8_t byte = 1;
    RegKey machine = reg.openOrCreate(RegRoot::LocalMachine, path + "\\k");
    reg.setString(machine, "s", "1");
    reg.setNumber(machine, "n", 1);
    reg.setValue(machine, "b", {platform::kRegBinary, {byte}});
    reg.deleteValue(machine, "s");
    reg.deleteKey(RegRoot::LocalMachine, path + "\\k");
    EXPECT_EQ(before + 6, reg.machineChanges());
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

}  // namespace
