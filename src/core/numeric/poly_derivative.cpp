#include "core/numeric/poly_derivative.h"

#include <cstdint>
#include <vector>

namespace quadrel {

namespace {

// A coefficient or exponent read as an integer: optional sign, then digits up
// to the first other character (3* reads 3, 2.5 reads 2). Saturates at 32 bits.
int64_t leadingWhole(TextView t) {
  size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == u'-' || t[i] == u'+'))
    negative = t[i++] == u'-';
  int64_t v = 0;
  for (; i < t.size() && isDigit(t[i]); ++i) {
    v = v * 10 + (t[i] - u'0');
    if (v > INT32_MAX)
      v = INT32_MAX;
  }
  return negative ? -v : v;
}

// The derivative of one term c*var^e, or the empty text.
Text termDerivative(TextView term, TextView variable) {
  // An empty name occurs in no term.
  const size_t at = variable.empty() ? TextView::npos : term.find(variable);
  if (at == TextView::npos)
    return Text();
  Text c(term.substr(0, at));
  if (c.empty())
    c = u"1";
  else if (c == u"-")
    c = u"-1";
  Text exponent(term.substr(at + variable.size()));
  if (exponent.empty())
    exponent = u"^1";
  Text r;
  const size_t caret = exponent.find(u'^');
  if (caret == Text::npos) {
    r = c;
  } else {
    const TextView e = trimBlanks(TextView(exponent).substr(caret + 1));
    if (e == u"1") {
      r = c;
    } else {
      const int64_t power = leadingWhole(e);
      r = intText(leadingWhole(c) * power) + u"*";
      r.append(variable);
      if (power - 1 != 1)
        r.append(u"^" + intText(power - 1));
    }
  }
  if (!r.empty() && r.back() == u'*')
    r.pop_back();
  return r;
}

}  // namespace

Text polynomialDerivative(TextView polynomial, TextView variable) {
  Text p;
  for (char16_t c : polynomial)
    if (c != u' ')
      p.push_back(lowerAscii(c));
  Text name;
  for (char16_t c : variable)
    if (c != u' ')
      name.push_back(lowerAscii(c));

  // Every minus starts a term of its own, except the sign of an exponent.
  replaceAll(p, u"^-", u"#negex#");
  replaceAll(p, u"-", u"+-");
  replaceAll(p, u"#negex#", u"^-");
  if (p.empty() || p.back() != u'+')
    p.push_back(u'+');

  Text joined;
  size_t start = 0;
  for (size_t plus = p.find(u'+'); plus != Text::npos; plus = p.find(u'+', start)) {
    const Text d = termDerivative(TextView(p).substr(start, plus - start), name);
    start = plus + 1;
    if (d.empty())
      continue;
    if (!joined.empty())
      joined.push_back(u'+');
    joined.append(d);
  }

  replaceAll(joined, u"^-", u"#negex#");
  replaceAll(joined, u"+-", u"-");
  replaceAll(joined, u"-", u" - ");
  replaceAll(joined, u"#negex#", u"^-");
  replaceAll(joined, u"+", u" + ");
  return joined;
}

}  // namespace quadrel
