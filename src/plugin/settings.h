// The settings file: section "Quadrel" of an INI profile.
#pragma once

#include <cstdint>

#include "core/text/u16.h"

namespace quadrel::plugin {

// An on/off key: the integer its text starts with is greater than 0.
bool readOnOff(TextView key);
// Reads "Decimals": 4 when missing or empty, else the integer its text starts with.
int32_t readDecimals();
void writeSetting(TextView key, int64_t value);
// Flushes the profile cache of the settings file.
void flushSettings();
// Reads every setting into the plug-in state and the engine (at load).
void loadSettings();

}  // namespace quadrel::plugin
