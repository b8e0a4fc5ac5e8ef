// Deep recursion off the caller's stack: the caller may be a thread with a
// small stack (the editor's own thread runs the plug-in's commands).
#pragma once

#include <cstddef>
#include <functional>

namespace quadrel {

// Runs work on a thread of its own whose stack reserves stackBytes and waits
// for it; what work throws is thrown here. False, with work not run, when no
// such thread can be started.
bool runOnLargeStack(size_t stackBytes, const std::function<void()>& work);

}  // namespace quadrel
