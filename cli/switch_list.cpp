#include "cli/switch_list.h"

#include <optional>

#include "platform/codepage.h"
#include "platform/text.h"

namespace cli {

std::vector<std::string> SplitText(const std::string& separator, const std::string& text) {
    std::vector<std::string> parts;
    if (separator.empty()) return {text};
    // One pass over the text: a switch file at its size limit may hold a million separators.
    size_t start = 0;
    for (size_t cut = text.find(separator); cut != std::string::npos; cut = text.find(separator, start)) {
        parts.push_back(text.substr(start, cut - start));
        start = cut + separator.size();
    }
    parts.push_back(text.substr(start));
    return parts;
}

bool hasArguments(const std::string& commandLine) {
    size_t i = 0;
    size_t n = commandLine.size();
    auto blank = [&](size_t k) { return static_cast<unsigned char>(commandLine[k]) <= 32; };
    // Reads one argument from i; true when it holds anything besides quotes.
    auto argument = [&]() {
        bool quoted = false;
        bool content = false;
        while (i < n && (quoted || !blank(i))) {
            if (commandLine[i] == '"') {
                quoted = !quoted;
            } else {
                content = true;
            }
            ++i;
        }
        return content;
    };
    while (i < n && blank(i)) ++i;
    argument();  // the program name
    for (;;) {
        while (i < n && blank(i)) ++i;
        if (i >= n) return false;
        if (argument()) return true;
    }
}

std::string programDirectory(const platform::System& system) { return platform::folderOf(system.modulePath()); }

namespace {

bool blank(char c) { return static_cast<unsigned char>(c) <= 32; }

// The text without one pair of double quotes around all of it (after trimming).
std::string unquoted(const std::string& text) {
    std::string t = platform::trimControls(text);
    return t.size() >= 2 && t.front() == '"' && t.back() == '"' ? t.substr(1, t.size() - 2) : t;
}

// Callers quote an argument that holds blanks: "/add2:x.ime,ctrl+shift_2". The quote before the
// "/" would end up in the item before, the closing one in the hot key: a quote that opens an
// argument (at the start or after a blank) right before a "/" goes, with the next quote that
// closes an argument (at the end or before a blank). Quotes inside an argument stay.
std::string withoutArgumentQuotes(const std::string& text) {
    size_t n = text.size();
    // The quotes that can close an argument, in order, and the next one not yet used.
    std::vector<size_t> closers;
    for (size_t i = 0; i < n; ++i) {
        if (text[i] == '"' && (i + 1 == n || blank(text[i + 1]))) closers.push_back(i);
    }
    size_t next = 0;
    size_t dropped = std::string::npos;  // the closing quote of the argument being read
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        if (i == dropped) continue;
        bool opens = dropped == std::string::npos || i > dropped;
        if (opens && text[i] == '"' && i + 1 < n && text[i + 1] == '/' && (i == 0 || blank(text[i - 1]))) {
            while (next < closers.size() && closers[next] <= i) ++next;
            if (next < closers.size()) {
                dropped = closers[next++];
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// The lines of a switch file joined with nothing between them. A line ends at CR or CR LF; a
// lone LF stays in the line (trimming removes it at the ends of an item). A line whose first
// non-blank character is ";" is a comment, up to the next CR or LF.
std::string joinLines(const std::string& text) {
    std::string joined;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] != ';') joined += withoutArgumentQuotes(line);
        if (end < text.size() && text[end] == '\n') joined += '\n';
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return joined;
}

// The command line without the program path, delimited as Windows delimits it: up to the
// closing quote when it starts with a quote, else up to the first blank. A path may hold "/"
// ("C:/Tools/kestrine.exe"), which must not start a switch.
std::string afterProgramPath(const std::string& commandLine) {
    if (!commandLine.empty() && commandLine[0] == '"') {
        size_t close = commandLine.find('"', 1);
        return close == std::string::npos ? std::string() : commandLine.substr(close + 1);
    }
    size_t end = 0;
    while (end < commandLine.size() && !blank(commandLine[end])) ++end;
    return commandLine.substr(end);
}

// The pieces of a text split at "/", the first one left out unless asked for; an item wholly
// enclosed in double quotes loses them.
std::vector<SwitchItem> itemsOf(const std::string& text, bool keepFirst) {
    std::vector<SwitchItem> items;
    std::vector<std::string> pieces = SplitText("/", text);
    for (size_t i = keepFirst ? 0 : 1; i < pieces.size(); ++i) {
        const std::string& piece = pieces[i];
        std::string trimmed = platform::trimControls(piece);
        bool quoted = trimmed.size() >= 2 && trimmed.front() == '"' && trimmed.back() == '"';
        items.push_back({quoted ? trimmed.substr(1, trimmed.size() - 2) : piece});
    }
    return items;
}

// Takes the switches that hold for the whole run out of the list.
void takeRunOptions(std::vector<SwitchItem>& items, RunOptions& options, const platform::System& system) {
    std::vector<SwitchItem> kept;
    for (auto& item : items) {
        std::string trimmed = platform::trimControls(item.text);
        std::string name = platform::lowerAscii(trimmed);
        std::string argument = trimmed.substr(trimmed.find(':') + 1);
        if (name == "quiet") {
            options.quiet = true;
        } else if (name == "whatif") {
            options.whatif = true;
        } else if (name.compare(0, 4, "log:") == 0 && !item.lostCharacters) {
            options.logFile = resolveFileName(argument, system);
        } else if (name.compare(0, 5, "save:") == 0 && !item.lostCharacters) {
            options.saveFile = resolveFileName(argument, system);
        } else {
            kept.push_back(std::move(item));
        }
    }
    items = std::move(kept);
}

}  // namespace

std::string resolveFileName(const std::string& name, const platform::System& system) {
    std::string file = unquoted(name);
    bool fullPath = file.compare(0, 1, "\\") == 0 || (file.size() > 1 && file[1] == ':');
    return fullPath || file.empty() ? file : programDirectory(system) + file;
}

namespace {

// The UTF-8 text in the code page, or nothing when the code page lacks one of its characters.
std::optional<std::string> exactlyIn(const std::string& utf8, unsigned codePage) {
    std::string converted = platform::utf8ToCodePage(utf8, codePage);
    if (platform::codePageToUtf8(converted, codePage) != utf8) return std::nullopt;
    return converted;
}

}  // namespace

std::string decodeSwitchFile(const std::string& bytes, unsigned codePage, bool& unicode) {
    unicode = true;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return bytes.substr(3);
    if (bytes.compare(0, 2, "\xFF\xFE") == 0) return platform::utf16leToUtf8(std::string_view(bytes).substr(2));
    bool multibyte = false;
    bool doubleByte = codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950;
    unicode = platform::isUtf8(bytes, multibyte) && multibyte && (!doubleByte || exactlyIn(bytes, codePage));
    return bytes;
}

SwitchList buildSwitchList(const std::string& commandLine, const platform::System& system) {
    SwitchList list;
    list.items = itemsOf(withoutArgumentQuotes(afterProgramPath(commandLine)), false);
    takeRunOptions(list.items, list.options, system);
    if (list.items.size() != 1) return list;

    const std::string& item = list.items.front().text;
    std::string trimmed = platform::trimControls(item);
    std::string lowered = platform::lowerAscii(trimmed);
    if (trimmed == "?" || lowered == "h" || lowered == "help") {
        list.help = true;
    } else if (platform::lowerAscii(item.substr(0, 5)) == "load:") {
        list.loadItem = trimmed;
        list.loadPath = resolveFileName(item.substr(item.find(':') + 1), system);
        auto contents = system.readFile(list.loadPath, kMaxSwitchFileBytes);
        list.loadFailed = !contents || list.loadPath.empty();
        bool unicode = false;
        unsigned codePage = system.ansiCodePage();
        list.items = itemsOf(joinLines(decodeSwitchFile(contents.value_or(""), codePage, unicode)), true);
        // A Unicode file's items go into the system's code page; an item with a character the
        // code page lacks is marked rather than matched with a "?" in its place.
        for (auto& fileItem : list.items) {
            if (!unicode) continue;
            auto converted = exactlyIn(fileItem.text, codePage);
            fileItem.lostCharacters = !converted;
            fileItem.text = converted ? *converted : platform::utf8ToCodePage(fileItem.text, codePage);
        }
        takeRunOptions(list.items, list.options, system);
    }
    return list;
}

}  // namespace cli
