// The command line (and a switch file holding the same text) on the Chinese XP machine:
// splitting, the switch list, every switch, apply and the reload.
#include "fuzz/fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    runCommandLine(text, text);
    return 0;
}
