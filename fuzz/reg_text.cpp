// .reg text: whatever imports exports, in either format, as text that imports back to the same
// tree. Version 5 text holds strings as UTF-16, so string bytes that are no text in the code page
// come out of it as "?" once; REGEDIT4 text loses nothing.
#include "fuzz/fuzz.h"

using namespace platform;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static const std::vector<RegKeyRef> everything = {{RegRoot::LocalMachine, ""}, {RegRoot::CurrentUser, ""}};
    unsigned codePage = data[0] % 3 == 0 ? 936 : data[0] % 3 == 1 ? 950 : 1252;
    std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    auto all = [codePage](MemoryRegistry& r) { return exportRegText(r, everything, RegTextFormat::Regedit4, codePage); };
    // The same tree exports as the same text; only different trees are compared as text.
    auto same = [&all](MemoryRegistry& a, MemoryRegistry& b) { return a == b || all(a) == all(b); };
    auto reimport = [&](MemoryRegistry& from, MemoryRegistry& to, RegTextFormat format) {
        to.setCodePage(codePage);
        auto result = importRegText(to, exportRegText(from, everything, format, codePage), codePage);
        require(result.ok, "an export imports", [&] { return result.describe(); });
    };
    MemoryRegistry first;
    first.setCodePage(codePage);
    if (!importRegText(first, text, codePage).ok) return 0;
    for (auto format : {RegTextFormat::Regedit4, RegTextFormat::Version5}) {
        MemoryRegistry second, third;
        reimport(first, second, format);
        // Export and import are deterministic: a tree that came back whole would again.
        if (second == first) continue;
        reimport(second, third, format);
        require(same(third, second), "an export imports back to the same tree", [&] { return all(second); });
        require(format == RegTextFormat::Version5 || same(second, first), "REGEDIT4 text loses nothing",
                [&] { return all(first); });
    }
    return 0;
}
