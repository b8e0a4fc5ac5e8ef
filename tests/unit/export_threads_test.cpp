// The library's exports called from several threads at once: the one lock
// serialises them, so every answer is the one a lone caller would get.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "quadrel.h"

#if defined(QUADREL_LIBRARY_FILE)

namespace {

struct Exports {
  void* handle = nullptr;
  decltype(&e_eval) eval = nullptr;
  decltype(&de_eval) deEval = nullptr;
  decltype(&aDet) det = nullptr;
  decltype(&SetVarFunct) setVar = nullptr;
  decltype(&FindVarFunct) findVar = nullptr;
  decltype(&e_evals) evals = nullptr;

  Exports() {
    handle = dlopen(QUADREL_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
    if (!handle)
      return;
    eval = reinterpret_cast<decltype(eval)>(dlsym(handle, "e_eval"));
    deEval = reinterpret_cast<decltype(deEval)>(dlsym(handle, "de_eval"));
    det = reinterpret_cast<decltype(det)>(dlsym(handle, "aDet"));
    setVar = reinterpret_cast<decltype(setVar)>(dlsym(handle, "SetVarFunct"));
    findVar = reinterpret_cast<decltype(findVar)>(dlsym(handle, "FindVarFunct"));
    evals = reinterpret_cast<decltype(evals)>(dlsym(handle, "e_evals"));
  }
  bool complete() const { return eval && deEval && det && setVar && findVar && evals; }
};

std::u16string u16(const std::string& s) { return std::u16string(s.begin(), s.end()); }

// One thread's share: a mix of evaluations, a sampled formula, a
// determinant and a variable of its own; counts every wrong answer.
// wrong[k] counts the wrong answers of the call kind k.
void mixedCalls(const Exports& x, int thread, int calls, std::atomic<int>* wrongByKind) {
  const std::u16string name = u16("thread" + std::to_string(thread));
  for (int i = 0; i < calls; ++i) {
    const int a = thread * 100000 + i;
    switch (i % 5) {
      case 0: {
        double r = 0;
        const std::u16string f = u16(std::to_string(a) + "*2+1");
        if (x.eval(f.c_str(), &r, 0) != 0 || r != 2.0 * a + 1)  // 0: a number
          ++wrongByKind[i % 5];
        break;
      }
      case 1: {
        const std::u16string f = u16("sqrt(" + std::to_string(a) + "^2)");
        if (x.deEval(f.c_str(), 0) != double(a))
          ++wrongByKind[i % 5];
        break;
      }
      case 2: {
        const double m[4] = {double(a), 1, 2, 3};
        double d = 0;
        if (x.det(m, 2, &d) != -1 || d != 3.0 * a - 2)
          ++wrongByKind[i % 5];
        break;
      }
      case 3: {
        const std::u16string value = u16(std::to_string(a));
        double v = 0;
        if (x.setVar(name.c_str(), value.c_str(), 0) == 0 || x.findVar(name.c_str(), 0, &v, nullptr) == 0 ||
            v != double(a))
          ++wrongByKind[i % 5];
        break;
      }
      default: {
        double xs[5], ys[5], info[5];
        const std::u16string f = u16("x*" + std::to_string(thread + 1));
        if (x.evals(f.c_str(), 0, u"x", 4, 4, xs, ys, info) != -1 || ys[4] != 4.0 * (thread + 1) || xs[2] != 2.0)
          ++wrongByKind[i % 5];
        break;
      }
    }
  }
}

TEST(ExportThreads, FourThreadsOfMixedCallsAllAnswerRight) {
  const Exports x;
  ASSERT_NE(x.handle, nullptr) << dlerror();
  ASSERT_TRUE(x.complete());
  constexpr int kThreads = 4, kCalls = 20000;
  std::atomic<int> wrong[5] = {0, 0, 0, 0, 0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) threads.emplace_back([&, t] { mixedCalls(x, t, kCalls, wrong); });
  for (std::thread& t : threads) t.join();
  const char* kinds[5] = {"e_eval", "de_eval", "aDet", "SetVarFunct/FindVarFunct", "e_evals"};
  for (int k = 0; k < 5; ++k) EXPECT_EQ(wrong[k].load(), 0) << kinds[k];
}

}  // namespace

#endif
