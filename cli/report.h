// What a command-line run tells its caller: its exit status, a bit mask that is the same on
// every Windows version, and its output lines: one for each switch item, the messages its
// boxes showed, the settings it changed and the system calls it made, and a summary.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cli {

enum ExitBit : uint32_t {
    kItemDidNothing = 1,  // an item was no switch, found nothing or was not understood
    kWindowsRefused = 2,  // a registry write, a program start or end, a registration, an install
    kWouldChange = 4,     // a preview: applying would change something
};

// What one switch item did.
struct ItemResult {
    enum Outcome {
        Done,        // it changed what it asked for
        Already,     // what it asked for already held
        DidNothing,  // sets kItemDidNothing
        Refused,     // sets kWindowsRefused
    };
    Outcome outcome = Done;
    std::string text;  // what it did, or why it did nothing
};

// The text with its line breaks turned into blanks, so that it stays one line of the output.
std::string oneLine(const std::string& text);

class Report {
public:
    void line(const std::string& text) { lines_.push_back(text); }
    // "ITEM: TEXT", and the item's bit.
    void item(const std::string& item, const ItemResult& result);
    void fail(uint32_t bits) { status_ |= bits; }
    uint32_t status() const { return status_; }
    // Every line so far, each ended by CR LF.
    std::string text() const;

private:
    std::vector<std::string> lines_;
    uint32_t status_ = 0;
};

}  // namespace cli
