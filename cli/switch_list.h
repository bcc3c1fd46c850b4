// The command line as a list of switch items: the pieces between its "/" characters, or the
// joined lines of a switch file named by "/load:".
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

struct SwitchList {
    std::vector<std::string> items;
    bool help = false;  // the only item asks for the help text
};

constexpr size_t kMaxSwitchFileBytes = 1 << 20;

// The switch items of the command line. A single item "?", "h" or "help" asks for help; a
// single item "load:NAME" reads the switch file NAME from the program's folder, whose lines
// (joined without separators) are split into the items instead.
SwitchList buildSwitchList(const std::string& commandLine, const platform::System& system);

// The folder of the running program, ending in "\".
std::string programDirectory(const platform::System& system);

}  // namespace cli
