#include "cli/report.h"

namespace cli {

void Report::item(const std::string& item, const ItemResult& result) {
    line(item + ": " + result.text);
    if (result.outcome == ItemResult::DidNothing) fail(kItemDidNothing);
    if (result.outcome == ItemResult::Refused) fail(kWindowsRefused);
}

std::string Report::text() const {
    std::string out;
    for (const auto& l : lines_) out += l + "\r\n";
    return out;
}

}  // namespace cli
