#include "core/diff/large_stack.h"

#include <exception>

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace quadrel {

namespace {

struct Job {
  const std::function<void()>* work;
  std::exception_ptr failure;
};

void runJob(Job& job) {
  try {
    (*job.work)();
  } catch (...) {
    job.failure = std::current_exception();
  }
}

#ifdef _WIN32
DWORD WINAPI threadStart(LPVOID p) {
  runJob(*static_cast<Job*>(p));
  return 0;
}

bool runThread(size_t stackBytes, Job& job) {
  // A reservation: pages are committed only as the recursion reaches them.
  HANDLE thread = CreateThread(nullptr, stackBytes, &threadStart, &job, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (!thread)
    return false;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  return true;
}
#else
void* threadStart(void* p) {
  runJob(*static_cast<Job*>(p));
  return nullptr;
}

bool runThread(size_t stackBytes, Job& job) {
  pthread_attr_t attr;
  if (pthread_attr_init(&attr) != 0)
    return false;
  pthread_t thread;
  const bool started =
      pthread_attr_setstacksize(&attr, stackBytes) == 0 && pthread_create(&thread, &attr, &threadStart, &job) == 0;
  pthread_attr_destroy(&attr);
  if (started)
    pthread_join(thread, nullptr);
  return started;
}
#endif

}  // namespace

bool runOnLargeStack(size_t stackBytes, const std::function<void()>& work) {
  Job job{&work, nullptr};
  if (!runThread(stackBytes, job))
    return false;
  if (job.failure)
    std::rethrow_exception(job.failure);
  return true;
}

}  // namespace quadrel
