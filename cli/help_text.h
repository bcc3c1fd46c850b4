// The command-line help: one line per switch, the switch form and its description separated
// by tabs so that a message box lines them up in columns.
#pragma once

#include <string>

#include "settings/windows_version.h"

namespace cli {

// 32 lines separated by a single CR, with no CR after the last line, as bytes of the
// language's code page. The English text is ASCII except for the ideographic commas of
// its lines 14 and 32, which it holds as the GBK bytes A1 A2.
std::string helpText(settings::UiLanguage language);

}  // namespace cli
