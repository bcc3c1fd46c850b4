// .reg text: whatever imports exports, in either format, as text that imports back to the same
// tree (compared through its REGEDIT4 export).
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
    std::string exported = exportRegText(first, everything, RegTextFormat::Regedit4, codePage);
    for (auto format : {RegTextFormat::Regedit4, RegTextFormat::Version5}) {
        MemoryRegistry second;
        second.setCodePage(codePage);
        auto result = importRegText(second, exportRegText(first, everything, format, codePage), codePage);
        require(result.ok, "an export imports", result.describe());
        require(exportRegText(second, everything, RegTextFormat::Regedit4, codePage) == exported,
                "an export imports back to the same tree", exported);
    }
    return 0;
}
