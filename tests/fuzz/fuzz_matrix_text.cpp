// Arbitrary input as matrix definition text: SetStrMatrix with and without
// evaluated elements, then the same text through the Matr and DimX commands,
// on one engine per input. Every definition either stores a matrix whose
// buffer holds rows x cols readable values or leaves the store unchanged.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core/engine.h"
#include "core/ground/error_table.h"
#include "core/matrix/matrix_store_ops.h"
#include "core/matrix/matrix_text.h"
#include "core/script/executor.h"
#include "fuzz_input.h"
#include "platform/headless/headless_platform.h"

using namespace quadrel;

namespace {

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "fuzz_matrix_text: %s\n", what);
  std::abort();
}

// Reads every element of every record, so a short buffer shows up under ASan.
void touchStore(Engine& e) {
  const MatrixStore& store = e.matrix.store;
  for (size_t k = 0; k < store.size(); ++k) {
    const MatrixRecord& r = store.at(int(k));
    if (r.rows < 1 || r.cols < 1 || !r.data)
      fail("record with a shape below 1 or no buffer");
    if (r.count() <= 4096)
      listingText(r.data, r.rows, r.cols, r.name);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096)
    return 0;
  const Text text = decodeFuzzInput(data, size);
  HeadlessPlatform platform;
  platform.fixedTime = true;
  Engine e(platform);
  e.matrix.powerWorkLimit = kFuzzPowerWorkLimit;
  setStrMatrix(e, u"[a];2;2;1;2;3;4", false, false);

  for (const bool evaluate : {false, true}) {
    const size_t before = e.matrix.store.size();
    setStrMatrix(e, text, false, evaluate);
    if (e.errors.code != kNoError && e.matrix.store.size() != before)
      fail("a failed definition changed the store");
    touchStore(e);
  }
  Text result;
  execCommands(e, u"Matr = " + text + u"\r\nDimX = " + text + u"\r\nDimX = " + text + u"\r\nExpr = [a]", result,
               ExecOptions());
  touchStore(e);
  matrixListText(e, true);
  return 0;
}
