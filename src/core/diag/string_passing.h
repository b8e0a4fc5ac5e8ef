// The boxes of the string-passing test exports, which let callers check how
// texts cross the library boundary.
#pragma once

#include "core/text/u16.h"

namespace quadrel {

struct Engine;

// Shows name + " 1" with "st.s=." + received + "." and then name + " 2"
// with "st.s=." + sent + ".", each in an OK box titled by that name.
void stringPassingBoxes(Engine& e, TextView name, TextView received, TextView sent);

}  // namespace quadrel
