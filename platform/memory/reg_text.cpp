#include "platform/memory/reg_text.h"

#include <algorithm>
#include <stdexcept>

#include "platform/codepage.h"
#include "platform/text.h"

namespace platform {
namespace {

const char kHeader4[] = "REGEDIT4";
const char kHeader5[] = "Windows Registry Editor Version 5.00";

struct ParseError : std::runtime_error {
    ParseError(int l, const std::string& m) : std::runtime_error(m), line(l) {}
    int line;
};

struct Operation {
    enum Kind { SetValue, DeleteValue, CreateKey, DeleteKey } kind;
    RegRoot root;
    std::string path;
    std::string name;
    RegValue value;
};

bool isStringType(uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// Lines end at CR, LF or CR LF; text after the last line end is a line when there is any.
std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

std::string stripLeft(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    return s.substr(i);
}

std::string stripRight(const std::string& s) {
    size_t n = s.size();
    while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\t')) --n;
    return s.substr(0, n);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class Parser {
public:
    // The lines are UTF-8 whatever the file's encoding, so that a trail byte of a multi-byte
    // character that happens to be "\" or "\"" is never taken for an escape or a quote.
    Parser(std::vector<std::string> lines, unsigned codePage)
        : lines_(std::move(lines)), codePage_(codePage) {}

    std::vector<Operation> parse() {
        size_t i = 0;
        while (i < lines_.size() && stripRight(stripLeft(lines_[i])).empty()) ++i;
        if (i == lines_.size()) throw ParseError(1, "empty file: no header");
        std::string header = stripRight(stripLeft(lines_[i]));
        if (header == kHeader4) {
            hexStringsAreUtf16_ = false;
        } else if (header == kHeader5) {
            hexStringsAreUtf16_ = true;
        } else {
            throw ParseError(static_cast<int>(i + 1),
                             "expected \"REGEDIT4\" or \"Windows Registry Editor Version 5.00\"");
        }
        for (++i; i < lines_.size(); ++i) {
            lineNo_ = static_cast<int>(i + 1);
            std::string line = stripLeft(lines_[i]);
            if (line.empty() || line[0] == ';' || line[0] == '#') continue;
            if (line[0] == '[') {
                keyLine(stripRight(line));
            } else {
                valueLine(line, i);
            }
        }
        return std::move(ops_);
    }

private:
    [[noreturn]] void fail(const std::string& message) const { throw ParseError(lineNo_, message); }

    std::string toStore(const std::string& text) const { return utf8ToCodePage(text, codePage_); }

    void keyLine(const std::string& line) {
        if (line.size() < 2 || line.back() != ']') fail("key line without closing \"]\"");
        std::string inner = line.substr(1, line.size() - 2);
        bool remove = !inner.empty() && inner[0] == '-';
        if (remove) inner = inner.substr(1);
        size_t cut = inner.find('\\');
        std::string rootText = inner.substr(0, cut);
        std::string path = cut == std::string::npos ? "" : inner.substr(cut + 1);
        RegRoot root;
        if (rootText == "HKEY_LOCAL_MACHINE" || rootText == "HKLM") {
            root = RegRoot::LocalMachine;
        } else if (rootText == "HKEY_CURRENT_USER" || rootText == "HKCU") {
            root = RegRoot::CurrentUser;
        } else {
            fail("unknown root \"" + rootText + "\"");
        }
        path = toStore(path);
        if (remove) {
            ops_.push_back({Operation::DeleteKey, root, path, "", {}});
            haveKey_ = false;
        } else {
            ops_.push_back({Operation::CreateKey, root, path, "", {}});
            haveKey_ = true;
            root_ = root;
            path_ = path;
        }
    }

    // Reads a quoted string starting at s[pos] == '"'; pos ends after the closing quote.
    std::string quoted(const std::string& s, size_t& pos) {
        std::string out;
        ++pos;
        while (pos < s.size()) {
            char c = s[pos++];
            if (c == '"') return out;
            if (c == '\\') {
                if (pos >= s.size()) break;
                char e = s[pos++];
                switch (e) {
                    case '\\': out += '\\'; break;
                    case '"': out += '"'; break;
                    case 'n': out += '\n'; break;
                    case 'r': out += '\r'; break;
                    case '0': out += '\0'; break;
                    default: out += '\\'; out += e; break;
                }
            } else {
                out += c;
            }
        }
        fail("string without closing quote");
    }

    void expectEnd(const std::string& s, size_t pos) {
        std::string rest = stripRight(stripLeft(s.substr(pos)));
        if (!rest.empty() && rest[0] != ';') fail("unexpected text \"" + rest + "\"");
    }

    void valueLine(const std::string& line, size_t& index) {
        if (!haveKey_) fail("value outside a key");
        size_t pos = 0;
        std::string name;
        if (line[0] == '@') {
            pos = 1;
        } else if (line[0] == '"') {
            name = toStore(quoted(line, pos));
        } else {
            fail("expected a value name in quotes, or @");
        }
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
        if (pos >= line.size() || line[pos] != '=') fail("expected \"=\" after the value name");
        ++pos;
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
        std::string data = line.substr(pos);

        Operation op{Operation::SetValue, root_, path_, name, {}};
        if (stripRight(data) == "-") {
            op.kind = Operation::DeleteValue;
        } else if (!data.empty() && data[0] == '"') {
            size_t p = 0;
            std::string text = toStore(quoted(data, p));
            expectEnd(data, p);
            op.value.type = kRegSz;
            op.value.data.assign(text.begin(), text.end());
            op.value.data.push_back(0);
        } else if (lowerAscii(data.substr(0, 6)) == "dword:") {
            std::string digits = stripRight(data.substr(6));
            size_t semi = digits.find(';');
            if (semi != std::string::npos) digits = stripRight(digits.substr(0, semi));
            if (digits.empty() || digits.size() > 8) fail("dword needs 1 to 8 hexadecimal digits");
            for (char c : digits) {
                if (hexDigit(c) < 0) fail("bad hexadecimal digit in dword");
            }
            uint32_t v = readHex(digits);
            op.value.type = kRegDword;
            op.value.data = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                             static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
        } else if (lowerAscii(data.substr(0, 3)) == "hex") {
            hexValue(data, index, op.value);
        } else {
            fail("unknown value data \"" + data + "\"");
        }
        ops_.push_back(op);
    }

    void hexValue(std::string data, size_t& index, RegValue& value) {
        size_t pos = 3;
        value.type = kRegBinary;
        if (pos < data.size() && data[pos] == '(') {
            size_t close = data.find(')', pos);
            if (close == std::string::npos || close == pos + 1 || close - pos - 1 > 8) {
                fail("bad hex(type)");
            }
            std::string typeText = data.substr(pos + 1, close - pos - 1);
            for (char c : typeText) {
                if (hexDigit(c) < 0) fail("bad hex(type)");
            }
            value.type = readHex(typeText);
            pos = close + 1;
        }
        if (pos >= data.size() || data[pos] != ':') fail("expected \":\" after hex");
        std::string list = data.substr(pos + 1);
        // Gather continuation lines: a list that ends in "\" goes on in the next line.
        for (;;) {
            std::string trimmed = stripRight(list);
            size_t semi = trimmed.find(';');
            if (semi != std::string::npos) trimmed = stripRight(trimmed.substr(0, semi));
            if (!trimmed.empty() && trimmed.back() == '\\') {
                trimmed.pop_back();
                if (index + 1 >= lines_.size()) fail("continuation at the end of the file");
                ++index;
                lineNo_ = static_cast<int>(index + 1);
                list = trimmed + stripLeft(lines_[index]);
            } else {
                list = trimmed;
                break;
            }
        }
        std::vector<uint8_t> bytes;
        size_t p = 0;
        while (p < list.size()) {
            while (p < list.size() && (list[p] == ' ' || list[p] == '\t')) ++p;
            if (p >= list.size()) break;
            int hi = hexDigit(list[p]);
            if (hi < 0) fail("bad byte in hex list");
            int v = hi;
            ++p;
            if (p < list.size() && hexDigit(list[p]) >= 0) {
                v = v * 16 + hexDigit(list[p]);
                ++p;
            }
            bytes.push_back(static_cast<uint8_t>(v));
            while (p < list.size() && (list[p] == ' ' || list[p] == '\t')) ++p;
            if (p < list.size()) {
                if (list[p] != ',') fail("expected \",\" between bytes");
                ++p;
            }
        }
        // Text in hex form is UTF-16 in a version 5 file and already in the code page in a
        // REGEDIT4 file.
        if (hexStringsAreUtf16_ && isStringType(value.type)) {
            std::string utf8 = utf16leToUtf8(std::string(bytes.begin(), bytes.end()));
            std::string ansi = utf8ToCodePage(utf8, codePage_);
            bytes.assign(ansi.begin(), ansi.end());
        }
        value.data = bytes;
    }

    std::vector<std::string> lines_;
    unsigned codePage_;
    bool hexStringsAreUtf16_ = false;
    int lineNo_ = 0;
    bool haveKey_ = false;
    RegRoot root_ = RegRoot::CurrentUser;
    std::string path_;
    std::vector<Operation> ops_;
};

// Quoted text as the reader takes it back: "\" and the quote escaped, and carriage return,
// line feed and zero (possible in value names) written as \r, \n and \0, so that they neither
// end the line nor vanish.
std::string escapeString(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\r' || c == '\n' || c == '\0') {
            out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : "\\0";
            continue;
        }
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out;
}

// A REG_SZ that is plain text in the code page with exactly one terminating zero is written as
// a quoted string; anything else as hex(1), so that export and import give back the same bytes.
bool isPlainString(const RegValue& v, unsigned codePage) {
    if (v.type != kRegSz || v.data.empty() || v.data.back() != 0) return false;
    for (size_t i = 0; i + 1 < v.data.size(); ++i) {
        if (v.data[i] < 0x20) return false;
    }
    std::string text(v.data.begin(), v.data.end() - 1);
    return utf8ToCodePage(codePageToUtf8(text, codePage), codePage) == text;
}

class Writer {
public:
    Writer(RegistryStore& store, RegTextFormat format, unsigned codePage)
        : store_(store), format_(format), codePage_(codePage) {}

    void key(RegRoot root, const std::string& path) {
        auto k = store_.open(root, path, KeyAccess::Read);
        if (!k) return;
        out_ += "[" + text(std::string(rootName(root)) + (path.empty() ? "" : "\\" + path)) + "]\r\n";
        std::vector<std::string> names;
        k->valueNames(names);
        for (const auto& name : names) {
            RegValue v;
            if (!k->query(name, v)) continue;
            std::string line = name.empty() ? "@=" : "\"" + escapeString(text(name)) + "\"=";
            if (isPlainString(v, codePage_)) {
                std::string s(v.data.begin(), v.data.end() - 1);
                line += "\"" + escapeString(text(s)) + "\"";
            } else if (v.type == kRegDword && v.data.size() == 4) {
                uint32_t n = v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) |
                             (static_cast<uint32_t>(v.data[3]) << 24);
                line += "dword:" + lowerAscii(hexText(n, 8));
            } else {
                line += hexList(line, v);
            }
            out_ += line + "\r\n";
        }
        out_ += "\r\n";
        std::vector<std::string> subKeys;
        k->subKeyNames(subKeys);
        for (const auto& sub : subKeys) key(root, path.empty() ? sub : path + "\\" + sub);
    }

    std::string finish() {
        if (format_ == RegTextFormat::Regedit4) {
            return utf8ToCodePage(std::string(kHeader4) + "\r\n\r\n" + out_, codePage_);
        }
        return "\xFF\xFE" + utf8ToUtf16le(std::string(kHeader5) + "\r\n\r\n" + out_);
    }

private:
    // The text is built in UTF-8 (escaped there, so that multi-byte characters stay whole)
    // and converted to the file's encoding at the end.
    std::string text(const std::string& stored) const { return codePageToUtf8(stored, codePage_); }

    std::string hexList(const std::string& start, const RegValue& v) const {
        std::string head = v.type == kRegBinary
                               ? "hex:"
                               : "hex(" + lowerAscii(removeLeadingZeros(hexText(v.type, 8))) + "):";
        std::string bytes(v.data.begin(), v.data.end());
        if (format_ == RegTextFormat::Version5 && isStringType(v.type)) {
            bytes = utf8ToUtf16le(codePageToUtf8(bytes, codePage_));
        }
        std::string out = head;
        size_t column = start.size() + head.size();
        for (size_t i = 0; i < bytes.size(); ++i) {
            out += lowerAscii(hexText(static_cast<uint8_t>(bytes[i]), 2));
            column += 2;
            if (i + 1 < bytes.size()) {
                out += ',';
                ++column;
                if (column >= 77) {
                    out += "\\\r\n  ";
                    column = 2;
                }
            }
        }
        return out;
    }

    static std::string removeLeadingZeros(const std::string& s) {
        size_t i = 0;
        while (i + 1 < s.size() && s[i] == '0') ++i;
        return s.substr(i);
    }

    RegistryStore& store_;
    RegTextFormat format_;
    unsigned codePage_;
    std::string out_;
};

}  // namespace

std::string RegImportResult::describe() const {
    if (ok) return "ok";
    return "line " + std::to_string(line) + ": " + message;
}

RegImportResult importRegText(RegistryStore& store, std::string_view fileBytes, unsigned codePage) {
    std::string text;
    if (fileBytes.size() >= 2 && fileBytes[0] == '\xFF' && fileBytes[1] == '\xFE') {
        text = utf16leToUtf8(fileBytes.substr(2));
    } else if (fileBytes.size() >= 3 && fileBytes.substr(0, 3) == "\xEF\xBB\xBF") {
        text = std::string(fileBytes.substr(3));
    } else {
        text = codePageToUtf8(fileBytes, codePage);
    }
    std::vector<Operation> ops;
    try {
        ops = Parser(splitLines(text), codePage).parse();
    } catch (const ParseError& e) {
        return RegImportResult{false, e.line, e.what()};
    }
    // Values follow the key line of their key (never a deleting one): it is opened once for all.
    std::unique_ptr<RegistryKey> section;
    for (const auto& op : ops) {
        switch (op.kind) {
            case Operation::CreateKey:
                section = store.create(op.root, op.path);
                break;
            case Operation::DeleteKey:
                deleteKeyTree(store, op.root, op.path);
                break;
            case Operation::SetValue:
                if (section) section->set(op.name, op.value.type, op.value.data);
                break;
            case Operation::DeleteValue:
                if (section) section->deleteValue(op.name);
                break;
        }
    }
    return {};
}

std::string exportRegText(RegistryStore& store, const std::vector<RegKeyRef>& keys,
                          RegTextFormat format, unsigned codePage) {
    Writer writer(store, format, codePage);
    for (const auto& k : keys) writer.key(k.root, k.path);
    return writer.finish();
}

}  // namespace platform
