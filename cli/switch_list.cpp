#include "cli/switch_list.h"

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

// A line ends at CR or CR LF; a lone LF stays in the line. The lines are joined with nothing
// between them.
std::string joinLines(const std::string& text) {
    std::string joined;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            continue;
        }
        joined += text[i];
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
    while (end < commandLine.size() && static_cast<unsigned char>(commandLine[end]) > 32) ++end;
    return commandLine.substr(end);
}

}  // namespace

SwitchList buildSwitchList(const std::string& commandLine, const platform::System& system) {
    SwitchList list;
    // The piece before the first "/" is no switch.
    list.items = SplitText("/", afterProgramPath(commandLine));
    list.items.erase(list.items.begin());
    if (list.items.size() != 1) return list;

    const std::string& item = list.items.front();
    std::string trimmed = platform::trimControls(item);
    std::string lowered = platform::lowerAscii(trimmed);
    if (trimmed == "?" || lowered == "h" || lowered == "help") {
        list.help = true;
    } else if (platform::lowerAscii(item.substr(0, 5)) == "load:") {
        std::string name = platform::trimControls(item.substr(item.find(':') + 1));
        auto contents = system.readFile(programDirectory(system) + name, kMaxSwitchFileBytes);
        list.items = SplitText("/", joinLines(contents.value_or("")));
    }
    return list;
}

}  // namespace cli
