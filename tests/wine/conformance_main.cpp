// The registry tests built with MinGW and run under Wine against the real registry, so that
// the same cases prove the memory registry and the Win32 one behave alike.
#include <gtest/gtest.h>

#include "platform/win32/win32_registry.h"
#include "tests/support/test_store.h"

namespace testing_support {
namespace {
platform::Win32Registry store;
}

platform::RegistryStore& testStore() { return store; }

bool storeIsWine() { return true; }

std::string scratchPath() { return "Software\\KestrineConformance"; }

void clearScratch() {
    platform::deleteKeyTree(store, platform::RegRoot::CurrentUser, scratchPath());
    platform::deleteKeyTree(store, platform::RegRoot::LocalMachine, scratchPath());
}

}  // namespace testing_support

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
