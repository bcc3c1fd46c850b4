#include "platform/memory/memory_registry.h"
#include "tests/support/test_store.h"

namespace testing_support {
namespace {
platform::MemoryRegistry store;
}

platform::RegistryStore& testStore() { return store; }

bool storeIsWine() { return false; }

std::string scratchPath() { return "Software\\KestrineTest"; }

void clearScratch() {
    platform::deleteKeyTree(store, platform::RegRoot::CurrentUser, scratchPath());
    platform::deleteKeyTree(store, platform::RegRoot::LocalMachine, scratchPath());
}

}  // namespace testing_support
