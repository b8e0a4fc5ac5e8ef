// Read-only information reports: help, memory, commands, log file, flags,
// about, and the view of the error and debug logs.
#pragma once

#include "core/text/u16.h"

namespace quadrel {

struct Engine;

// The information block; commented puts "'" before every line.
Text informationBlock(Engine& e, bool longForm, bool commented);

Text helpReport(Engine& e);
Text memoryReport(Engine& e);
Text flagsReport(Engine& e);

// Shows a report line by line in a fresh messages window.
void showReport(Engine& e, TextView text);

}  // namespace quadrel
