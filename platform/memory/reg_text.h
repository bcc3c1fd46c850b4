// Reading and writing registry keys as .reg text, in both forms regedit writes:
// "REGEDIT4" (8-bit, in a given ANSI code page) and "Windows Registry Editor Version 5.00"
// (UTF-16LE with a byte-order mark). Works over any registry store, so a fixture can seed the
// memory registry and an export can be compared with what Wine's reg.exe writes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/registry_store.h"

namespace platform {

enum class RegTextFormat { Regedit4, Version5 };

struct RegImportResult {
    bool ok = true;
    int line = 0;  // 1-based line of the first error
    std::string message;
    std::string describe() const;  // "line N: message", or "ok"
};

// Imports .reg text into the store. The encoding is taken from the byte-order mark (UTF-16LE
// or UTF-8), otherwise the bytes are in `codePage`; strings reach the store in `codePage`.
// Malformed text changes nothing and reports the line.
RegImportResult importRegText(RegistryStore& store, std::string_view fileBytes, unsigned codePage);

struct RegKeyRef {
    RegRoot root;
    std::string path;
};

// The keys and all their sub-keys as .reg text, with CRLF line ends. A missing key is left out.
// Version5 text is UTF-16LE with a byte-order mark (string data that is no text in the code
// page comes out with "?" there); Regedit4 text is in `codePage`.
std::string exportRegText(RegistryStore& store, const std::vector<RegKeyRef>& keys,
                          RegTextFormat format, unsigned codePage);

}  // namespace platform
