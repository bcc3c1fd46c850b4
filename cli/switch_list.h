// The command line as a list of switch items: the pieces between its "/" characters, or the
// joined lines of a switch file named by "/load:". Switches that hold for the whole run
// ("/quiet", "/whatif", "/log:", "/save:") are taken out of the list wherever they stand.
#pragma once

#include <string>
#include <vector>

#include "platform/system.h"

namespace cli {

// Splits at every separator: "a/b/" gives "a", "b" and ""; "" gives one empty text.
std::vector<std::string> SplitText(const std::string& separator, const std::string& text);

// True when the command line holds an argument after the program name, as the platform
// splits arguments: runs of characters above code 32, double quotes keeping blanks inside one
// argument, an empty pair of quotes counting as nothing. "prog.exe/on" holds none.
bool hasArguments(const std::string& commandLine);

// One switch item, as bytes of the system's code page.
struct SwitchItem {
    std::string text;
    // Read from a Unicode switch file, it held characters the system's code page lacks: it
    // must not run, as it would match something else or nothing.
    bool lostCharacters = false;
};

// The switches that hold for the whole run, wherever they stand.
struct RunOptions {
    bool quiet = false;     // no message box: what a box would say goes to the output
    bool whatif = false;    // a preview: nothing is written, started, ended or installed
    std::string logFile;    // full path of the log the run's output is appended to
    std::string saveFile;   // full path of the switch file the settings are saved to
};

struct SwitchList {
    std::vector<SwitchItem> items;
    RunOptions options;
    bool help = false;  // the only item asks for the help text
    // The switch file of a "/load:" item: the item, the file's full path, and whether it could
    // not be read (too large, missing, unreadable).
    std::string loadItem;
    std::string loadPath;
    bool loadFailed = false;
};

constexpr size_t kMaxSwitchFileBytes = 1 << 20;

// The switch items of the command line. A single item "?", "h" or "help" asks for help; a
// single item "load:NAME" reads the switch file NAME (a full path, or a name in the program's
// folder), whose lines are split into the items instead.
SwitchList buildSwitchList(const std::string& commandLine, const platform::System& system);

// The folder of the running program, ending in "\".
std::string programDirectory(const platform::System& system);
// A file named on the command line: a full path as it stands, else a name in the program's
// folder; enclosing double quotes go.
std::string resolveFileName(const std::string& name, const platform::System& system);

// The text of a switch file. A file that starts with a UTF-8 or UTF-16 LE byte-order mark is
// read as such; so is a file without a mark that is valid UTF-8 holding at least one multi-byte
// sequence, unless the system's code page is a double-byte one (Chinese, Japanese, Korean) and
// the text holds a character that code page lacks: short GBK or Big5 texts are valid UTF-8 now
// and then ("全拼" in GBK reads as "ȫƴ"), but then almost never of characters GBK or Big5 has.
// A Unicode file sets `unicode` and comes back as UTF-8 without its mark; anything else is taken
// as it stands, in the system's code page.
std::string decodeSwitchFile(const std::string& bytes, unsigned codePage, bool& unicode);

}  // namespace cli
