// A switch file of any bytes (any encoding, any line ends, any size up to the limit) run
// through /load: on the Chinese XP machine, with the command line's invariants.
#include "fuzz/fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    runCommandLine("/load:f.txt", std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
