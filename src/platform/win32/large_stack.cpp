#include <windows.h>

#include "platform/large_stack_job.h"
#include "platform/win32/win32_platform.h"

namespace quadrel {

namespace {

DWORD WINAPI threadStart(LPVOID p) {
  static_cast<LargeStackJob*>(p)->run();
  return 0;
}

}  // namespace

bool Win32Platform::runOnLargeStack(size_t stackBytes, const std::function<void()>& work) {
  LargeStackJob job{&work, nullptr};
  // A reservation: pages are committed only as the recursion reaches them.
  HANDLE thread = CreateThread(nullptr, stackBytes, &threadStart, &job, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (thread) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
  return job.finish(thread != nullptr);
}

}  // namespace quadrel
