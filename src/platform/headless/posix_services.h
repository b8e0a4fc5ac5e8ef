// The services both platforms of Linux take from the system alike: the
// clocks, the temporary folder, file times, the version the library was
// built with, and the Windows-1252 code page that stands in for the ANSI one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace quadrel::posix {

LocalTime localTimeNow();
uint64_t steadyTickMs();
// TMPDIR (or /tmp when unset), ending with "/".
Text temporaryFolder();
// Linux files carry no version resource: the version this library was built
// with, as both the file and the product version.
void builtVersion(uint16_t fileVersion[4], uint16_t productVersion[4]);
bool fileModifiedTime(TextView path, LocalTime& time);
Text cp1252ToText(std::string_view bytes);
// The file this code was loaded from (the shared library, or the program it
// is linked into), found with dladdr; the empty text when unknown.
Text ownModuleFile();
// The user's data folder of the library: $XDG_DATA_HOME/quadrel/, else
// ~/.local/share/quadrel/ (empty when neither is known), ending with "/".
Text userDataFolder();
// Characters outside the code page become "?".
std::string textToCp1252(TextView text);

}  // namespace quadrel::posix
