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
// Once the editor is known: keeps the settings beside the DLL when a settings
// file is there and the folder can be written; otherwise moves the settings
// file and the debug file to the editor's plug-in configuration folder and
// reads the settings found there.
void settleSettingsFolder();

}  // namespace quadrel::plugin
