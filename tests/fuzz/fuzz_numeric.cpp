// Arbitrary input for the numerical methods' text parsers: the polynomial
// derivative (text and variable name), and the Integrate command line of the
// script executor. The input is decoded as text and cut at the first line
// end: the first line is the variable name, the rest the polynomial; the
// whole input, prefixed with "Integrate(", is also run as a script line,
// with any subinterval count above 2000 skipped to keep each run short.
#include <cmath>
#include <cstdint>

#include "core/engine.h"
#include "core/numeric/poly_derivative.h"
#include "core/script/executor.h"
#include "core/text/number_text.h"
#include "fuzz_input.h"
#include "platform/headless/headless_platform.h"

using namespace quadrel;

namespace {

// The third ";" field of the bracket, as the command reads its n.
bool countTooLarge(TextView line) {
  size_t at = line.find(u'(');
  for (int k = 0; k < 2 && at != TextView::npos; ++k) at = line.find(u';', at + 1);
  if (at == TextView::npos)
    return false;
  const double n = leadingNumber(line.substr(at + 1));
  return !(std::fabs(n) <= 2000);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 12)
    return 0;
  const Text text = decodeFuzzInput(data, size);
  const size_t nl = text.find(u'\n');
  const TextView name = TextView(text).substr(0, nl);
  const TextView polynomial = nl == Text::npos ? TextView() : TextView(text).substr(nl + 1);
  const Text d = polynomialDerivative(polynomial, name);
  if (d.size() > 64 * (polynomial.size() + 8))
    __builtin_trap();  // each term grows by a bounded amount

  const Text line = u"Integrate(" + Text(text.substr(0, text.find_first_of(u"\r\n")));
  if (countTooLarge(line) || line.find(u"IntegrateF") != Text::npos)
    return 0;
  HeadlessPlatform platform;
  Engine engine(platform);
  Text result;
  execCommands(engine, line, result, ExecOptions());
  return 0;
}
