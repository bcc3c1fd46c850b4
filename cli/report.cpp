#include "cli/report.h"

namespace cli {

std::string oneLine(const std::string& text) {
    std::string out = text;
    for (char& c : out) c = c == '\r' || c == '\n' ? ' ' : c;
    return out;
}

void Report::item(const std::string& item, const ItemResult& result) {
    line(oneLine(item + ": " + result.text));
    if (result.outcome == ItemResult::DidNothing) fail(kItemDidNothing);
    if (result.outcome == ItemResult::Refused) fail(kWindowsRefused);
}

std::string Report::text() const {
    std::string out;
    for (const auto& l : lines_) out += l + "\r\n";
    return out;
}

}  // namespace cli
