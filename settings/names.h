// The two look-ups that give catalogue entries readable names: the description in a file's
// version information, and the string an indirect display name points to.
#pragma once

#include <string>

#include "platform/system.h"

namespace settings {

// The "FileDescription" of the file's first version-information translation, or empty.
std::string GetFileDescription(const platform::System& system, const std::string& path);

// A text beginning with "@" names a string resource as "@path,-number": the result is that
// string (empty when the file or the string is missing); a path without a folder is looked for
// in the system folder. Any other text comes back unchanged.
std::string ResolveDisplayName(platform::System& system, const std::string& text);

}  // namespace settings
