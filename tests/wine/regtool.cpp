// Host tool for the Wine tests and the demo.
//   regtool canon FILE [--cp N] [KEY...]   prints the keys (default: everything) as UTF-8
//                                          REGEDIT4 text, values sorted by name, so that two
//                                          files can be compared by meaning
//   regtool v5 IN OUT [--cp N]             rewrites a .reg file as version 5 (UTF-16LE)
// --cp gives the code page of 8-bit input (default 65001, UTF-8).
#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

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

bool parseKey(const std::string& text, platform::RegKeyRef& out) {
    size_t cut = text.find('\\');
    std::string root = text.substr(0, cut);
    out.path = cut == std::string::npos ? "" : text.substr(cut + 1);
    if (root == "HKEY_LOCAL_MACHINE" || root == "HKLM") {
        out.root = RegRoot::LocalMachine;
    } else if (root == "HKEY_CURRENT_USER" || root == "HKCU") {
        out.root = RegRoot::CurrentUser;
    } else {
        return false;
    }
    return true;
}

int usage() {
    std::cerr << "usage: regtool canon FILE [--cp N] [KEY...] | regtool v5 IN OUT [--cp N]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    std::string command = argv[1];
    std::vector<std::string> args;
    unsigned codePage = platform::kCodePageUtf8;
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--cp" && i + 1 < argc) {
            codePage = static_cast<unsigned>(std::stoul(argv[++i]));
        } else {
            args.push_back(a);
        }
    }
    if (args.empty()) return usage();
    std::string text;
    if (!readAll(args[0], text)) {
        std::cerr << "regtool: cannot read " << args[0] << "\n";
        return 1;
    }
    MemoryRegistry reg;
    reg.setCodePage(codePage);
    auto result = platform::importRegText(reg, text, codePage);
    if (!result.ok) {
        std::cerr << "regtool: " << args[0] << ": " << result.describe() << "\n";
        return 1;
    }
    if (command == "v5") {
        if (args.size() != 2) return usage();
        std::vector<platform::RegKeyRef> keys;
        for (RegRoot root : {RegRoot::LocalMachine, RegRoot::CurrentUser}) {
            std::vector<std::string> top;
            if (auto k = reg.open(root, "", KeyAccess::Read)) k->subKeyNames(top);
            for (const auto& t : top) keys.push_back({root, t});
        }
        std::ofstream out(args[1], std::ios::binary);
        out << platform::exportRegText(reg, keys, platform::RegTextFormat::Version5, codePage);
        return out ? 0 : 1;
    }
    if (command != "canon") return usage();
    std::vector<platform::RegKeyRef> keys;
    for (size_t i = 1; i < args.size(); ++i) {
        platform::RegKeyRef k;
        if (!parseKey(args[i], k)) {
            std::cerr << "regtool: bad key " << args[i] << "\n";
            return 2;
        }
        keys.push_back(k);
    }
    MemoryRegistry sorted;
    sorted.setCodePage(codePage);
    for (RegRoot root : {RegRoot::LocalMachine, RegRoot::CurrentUser}) copySorted(reg, sorted, root, "");
    if (keys.empty()) {
        for (RegRoot root : {RegRoot::LocalMachine, RegRoot::CurrentUser}) {
            std::vector<std::string> top;
            if (auto k = sorted.open(root, "", KeyAccess::Read)) k->subKeyNames(top);
            for (const auto& t : top) keys.push_back({root, t});
        }
    }
    std::string out = platform::exportRegText(sorted, keys, platform::RegTextFormat::Regedit4, codePage);
    std::cout << platform::codePageToUtf8(out, codePage);
    return 0;
}
