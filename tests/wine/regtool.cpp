// Host tool for the Wine tests and the demo.
//   regtool canon FILE [KEY...]   prints the keys (default: everything) as UTF-8 REGEDIT4 text,
//                                 values sorted by name, so that two files compare by meaning
//   regtool v5 IN OUT             rewrites a .reg file as version 5 (UTF-16LE)
// 8-bit input is read as UTF-8.
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

bool readAll(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// Copies a key tree with its values in name order.
void copySorted(MemoryRegistry& from, MemoryRegistry& to, RegRoot root, const std::string& path) {
    auto src = from.open(root, path, KeyAccess::Read);
    if (!src) return;
    auto dst = to.create(root, path);
    std::vector<std::string> names;
    src->valueNames(names);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return platform::compareNoCase(a, b) < 0; });
    for (const auto& n : names) {
        platform::RegValue v;
        if (src->query(n, v)) dst->set(n, v.type, v.data);
    }
    std::vector<std::string> subKeys;
    src->subKeyNames(subKeys);
    for (const auto& s : subKeys) copySorted(from, to, root, path.empty() ? s : path + "\\" + s);
}

// The keys named on the command line, or every top-level key of the registry.
bool keysToWrite(MemoryRegistry& reg, const std::vector<std::string>& names, std::vector<platform::RegKeyRef>& keys) {
    for (const std::string& name : names) {
        size_t cut = name.find('\\');
        std::string root = name.substr(0, cut);
        std::string path = cut == std::string::npos ? "" : name.substr(cut + 1);
        if (root != "HKEY_LOCAL_MACHINE" && root != "HKEY_CURRENT_USER") return false;
        keys.push_back({root == "HKEY_CURRENT_USER" ? RegRoot::CurrentUser : RegRoot::LocalMachine, path});
    }
    for (RegRoot root : {RegRoot::LocalMachine, RegRoot::CurrentUser}) {
        std::vector<std::string> top;
        if (auto k = reg.open(root, "", KeyAccess::Read); k && names.empty()) k->subKeyNames(top);
        for (const auto& t : top) keys.push_back({root, t});
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string command = argc > 1 ? argv[1] : "";
    std::vector<std::string> args(argv + std::min(argc, 2), argv + argc);
    const unsigned codePage = platform::kCodePageUtf8;
    std::string text;
    MemoryRegistry reg, sorted;
    std::vector<platform::RegKeyRef> keys;
    std::vector<std::string> names(args.begin() + std::min<size_t>(args.size(), command == "v5" ? 2 : 1), args.end());
    if ((command != "v5" && command != "canon") || args.empty() || (command == "v5" && args.size() != 2)) {
        std::cerr << "usage: regtool canon FILE [KEY...] | regtool v5 IN OUT\n";
        return 2;
    }
    if (!readAll(args[0], text)) {
        std::cerr << "regtool: cannot read " << args[0] << "\n";
        return 1;
    }
    reg.setCodePage(codePage);
    sorted.setCodePage(codePage);
    auto result = platform::importRegText(reg, text, codePage);
    if (!result.ok) {
        std::cerr << "regtool: " << args[0] << ": " << result.describe() << "\n";
        return 1;
    }
    for (RegRoot root : {RegRoot::LocalMachine, RegRoot::CurrentUser}) copySorted(reg, sorted, root, "");
    if (!keysToWrite(sorted, names, keys)) {
        std::cerr << "regtool: keys start with HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER\n";
        return 2;
    }
    if (command == "v5") {
        std::ofstream out(args[1], std::ios::binary);
        out << platform::exportRegText(sorted, keys, platform::RegTextFormat::Version5, codePage);
        return out ? 0 : 1;
    }
    std::cout << platform::codePageToUtf8(
        platform::exportRegText(sorted, keys, platform::RegTextFormat::Regedit4, codePage), codePage);
    return 0;
}
