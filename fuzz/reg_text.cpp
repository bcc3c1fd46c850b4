// .reg text: whatever imports exports, in either format, as text that imports back to the same
// tree (compared through the same export). Version 5 text holds strings as UTF-16, so string
// bytes that are no text in the code page come out of it as "?" and are compared as such.
#include "fuzz/fuzz.h"

using namespace platform;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    unsigned codePage = data[0] % 3 == 0 ? 936 : data[0] % 3 == 1 ? 950 : 1252;
    std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::vector<RegKeyRef> everything = {{RegRoot::LocalMachine, ""}, {RegRoot::CurrentUser, ""}};
    MemoryRegistry first;
    first.setCodePage(codePage);
    if (!importRegText(first, text, codePage).ok) return 0;
    for (auto format : {RegTextFormat::Regedit4, RegTextFormat::Version5}) {
        MemoryRegistry second;
        second.setCodePage(codePage);
        std::string exported = exportRegText(first, everything, format, codePage);
        auto result = importRegText(second, exported, codePage);
        require(result.ok, "an export imports", result.describe());
        require(exportRegText(second, everything, format, codePage) == exported, "an export imports back to the same tree",
                exported);
    }
    return 0;
}
