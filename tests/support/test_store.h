// The registry the shared registry tests run against: the memory registry natively, the real
// registry in the conformance build that runs under Wine.
#pragma once

#include <string>

#include "platform/registry_store.h"

namespace testing_support {

platform::RegistryStore& testStore();
// A key path, the same under both roots, that belongs to the tests; it is removed before and
// after each test.
std::string scratchPath();
void clearScratch();
// True when the store is Wine's registry, for the cases where Wine differs from Windows.
bool storeIsWine();

}  // namespace testing_support
