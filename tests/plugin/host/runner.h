// Runs a scenario against the host and the loaded plug-in: the steps act
// like a user, the "expect" steps check what the plug-in did.
#pragma once

#include "scenario.h"

namespace host {

// Prints one line per check and a final "N passed, N failed" line. Gives the
// number of failed checks, or -1 when a step could not be run at all.
int runScenario(const Scenario& scenario);

}  // namespace host
