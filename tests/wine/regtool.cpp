// Host tool for the Wine tests and the demo; .reg files in 8-bit form are read as UTF-8.
//   regtool canon FILE KEY...   prints the keys as UTF-8 REGEDIT4 text, values sorted by name,
//                               so that two files compare by meaning
//   regtool v5 IN OUT           rewrites a .reg file as version 5 (UTF-16LE)
#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>

#include "platform/codepage.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/reg_text.h"
#include "platform/text.h"

using platform::KeyAccess;
using platform::MemoryRegistry;
using platform::RegRoot;

namespace {

// Copies a key tree with its values in name order.
void copySorted(MemoryRegistry& from, MemoryRegistry& to, RegRoot root, const std::string& path) {
    auto src = from.open(root, path, KeyAccess::Read);
    if (!src) return;
    auto dst = to.create(root, path);
    std::vector<std::string> names, subKeys;
    src->valueNames(names);
    std::sort(names.begin(), names.end(), [](auto& a, auto& b) { return platform::compareNoCase(a, b) < 0; });
    for (const auto& n : names) {
        platform::RegValue v;
        if (src->query(n, v)) dst->set(n, v.type, v.data);
    }
    src->subKeyNames(subKeys);
    for (const auto& s : subKeys) copySorted(from, to, root, path.empty() ? s : path + "\\" + s);
}

}  // namespace

int main(int argc, char** argv) {
    const unsigned codePage = platform::kCodePageUtf8;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 3 || (args[0] != "canon" && args[0] != "v5") || (args[0] == "v5" && args.size() != 3)) {
        std::cerr << "usage: regtool canon FILE KEY... | regtool v5 IN OUT\n";
        return 2;
    }
    std::ifstream in(args[1], std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    MemoryRegistry reg, sorted;
    reg.setCodePage(codePage);
    sorted.setCodePage(codePage);
    auto result = platform::importRegText(reg, text, codePage);
    if (!in || !result.ok) {
        std::cerr << "regtool: " << args[1] << ": " << (in ? result.describe() : "cannot read") << "\n";
        return 1;
    }
    std::vector<platform::RegKeyRef> keys;
    for (RegRoot root : {RegRoot::LocalMachine, RegRoot::CurrentUser}) {
        copySorted(reg, sorted, root, "");
        std::vector<std::string> top;
        if (auto k = sorted.open(root, "", KeyAccess::Read); k && args[0] == "v5") k->subKeyNames(top);
        for (const auto& t : top) keys.push_back({root, t});
    }
    for (size_t i = 2; args[0] == "canon" && i < args.size(); ++i) {
        std::string root = args[i].substr(0, args[i].find('\\'));
        if (root != "HKEY_LOCAL_MACHINE" && root != "HKEY_CURRENT_USER") {
            std::cerr << "regtool: keys start with HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER\n";
            return 2;
        }
        keys.push_back({root == "HKEY_CURRENT_USER" ? RegRoot::CurrentUser : RegRoot::LocalMachine,
                        args[i].find('\\') == std::string::npos ? "" : args[i].substr(args[i].find('\\') + 1)});
    }
    if (args[0] == "v5") {
        std::ofstream out(args[2], std::ios::binary);
        out << platform::exportRegText(sorted, keys, platform::RegTextFormat::Version5, codePage);
        return out ? 0 : 1;
    }
    std::string regedit4 = platform::exportRegText(sorted, keys, platform::RegTextFormat::Regedit4, codePage);
    std::cout << platform::codePageToUtf8(regedit4, codePage);
    return 0;
}
