// Arbitrary input as a script for the command executor, on a fresh engine
// per input: every line rule, command syntax and command handler is reached.
//
// The input is read byte by byte (each byte one UTF-16 unit), or, when the
// first byte is 0x01, as UTF-16LE units. Scripts that name the file commands
// or Plot (its point files) are skipped: their file names come from the input
// and could point anywhere; fuzz_plot covers the plot parameters.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core/engine.h"
#include "core/script/executor.h"
#include "fuzz_input.h"
#include "platform/headless/headless_platform.h"

using namespace quadrel;

namespace {

bool namesFileCommand(TextView script) {
  const Text lower = toLower(script);
  return lower.find(u"exprf") != Text::npos || lower.find(u"functf") != Text::npos || lower.find(u"plot") != Text::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 16)
    return 0;
  const Text script = decodeFuzzInput(data, size);
  if (namesFileCommand(script))
    return 0;
  HeadlessPlatform platform;
  Engine engine(platform);
  ExecOptions options;
  options.noLabels = size > 0 && (data[size - 1] & 1);
  options.resultsOnly = size > 0 && (data[size - 1] & 2);
  Text result;
  const int32_t code = execCommands(engine, script, result, options);
  const int32_t commands = code / 1000, errors = code % 1000;
  if (code < 0 || errors > commands) {
    std::fprintf(stderr, "fuzz_script: inconsistent counts %d\n", code);
    std::abort();
  }
  // A second run on the same engine sees the stores the first one left.
  execCommands(engine, script, result, options);
  return 0;
}
