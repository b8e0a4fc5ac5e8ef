#include <pthread.h>

#include "platform/headless/headless_platform.h"
#include "platform/large_stack_job.h"

namespace quadrel {

namespace {

void* threadStart(void* p) {
  static_cast<LargeStackJob*>(p)->run();
  return nullptr;
}

}  // namespace

bool HeadlessPlatform::runOnLargeStack(size_t stackBytes, const std::function<void()>& work) {
  LargeStackJob job{&work, nullptr};
  pthread_attr_t attr;
  if (pthread_attr_init(&attr) != 0)
    return false;
  pthread_t thread;
  const bool started =
      pthread_attr_setstacksize(&attr, stackBytes) == 0 && pthread_create(&thread, &attr, &threadStart, &job) == 0;
  pthread_attr_destroy(&attr);
  if (started)
    pthread_join(thread, nullptr);
  return job.finish(started);
}

}  // namespace quadrel
