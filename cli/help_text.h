// The command-line help: one line per switch, the switch form and its description separated
// by tabs so that a message box lines them up in columns.
#pragma once

#include <string>
#include <string_view>

#include "platform/codepage.h"
#include "settings/windows_version.h"

namespace cli {

using CodePageConversion = std::string (*)(std::string_view utf8, unsigned codePage);

// 32 lines separated by a single CR, with no CR after the last line, as bytes of the
// language's code page. The English text is ASCII except for the ideographic commas of
// its lines 14 and 32, which it holds as the GBK bytes A1 A2: fixed bytes, so it needs no
// conversion and shows in full also where the system lacks code page 936. The Chinese texts
// go through `convert`.
std::string helpText(settings::UiLanguage language, CodePageConversion convert = platform::utf8ToCodePage);

// The help for a console or a log: the same lines ended by CR LF, then the switches for scripts
// and the exit status.
std::string consoleHelpText(settings::UiLanguage language, CodePageConversion convert = platform::utf8ToCodePage);

}  // namespace cli
