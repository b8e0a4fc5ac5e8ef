#include "core/numeric/poly_derivative.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "core/text/number_reader.h"
#include "core/text/number_text.h"

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

// A number of a term: a decimal literal (point or comma) with its exponent.
bool readTermNumber(TextView t, size_t& i, double& v) {
  const LiteralScan scan = scanDecimal(t, i);
  if (scan.end == i || !decimalValue(t.substr(i, scan.end - i), v))
    return false;
  i = scan.end;
  return true;
}

// Reads a term with fractions as c * var ^ e: numbers multiplied or divided
// before the variable (or written against it, as in 2.5x), the exponent, and
// factors "*n" or "/n" after it. False for anything else.
bool readMonomial(TextView t, TextView variable, double& c, double& e) {
  const size_t at = t.find(variable);
  size_t i = 0;
  c = 1.0;
  e = 1.0;
  if (i < at && (t[i] == u'-' || t[i] == u'+'))
    c = t[i++] == u'-' ? -1.0 : 1.0;
  char16_t op = u'*';
  while (i < at) {
    double v;
    if (!readTermNumber(t, i, v))
      return false;
    c = op == u'*' ? c * v : c / v;
    if (i == at)
      break;
    op = t[i++];
    if (op != u'*' && op != u'/')
      return false;
    if (i == at && op != u'*')  // "2/x" is no monomial of this kind
      return false;
  }
  i = at + variable.size();
  if (i < t.size() && t[i] == u'^') {
    ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+'))
      negative = t[i++] == u'-';
    if (!readTermNumber(t, i, e))
      return false;
    if (negative)
      e = -e;
  }
  while (i < t.size()) {
    const char16_t after = t[i++];
    double v;
    if ((after != u'*' && after != u'/') || !readTermNumber(t, i, v))
      return false;
    c = after == u'*' ? c * v : c / v;
  }
  return std::isfinite(c) && std::isfinite(e);
}

// A coefficient or exponent of the derivative: an integer as an integer, any
// other number with up to ten decimals.
Text termNumberText(double v) {
  if (v == std::trunc(v) && std::fabs(v) < 1e15)
    return intText(int64_t(v));
  return trimNumberText(fixedText(v, kFormulaDecimals));
}

// The derivative of a term that holds a fraction (a decimal separator or a
// division); false when the term is not a monomial of numbers.
bool fractionalTermDerivative(TextView term, TextView variable, Text& r) {
  double c, e;
  if (!readMonomial(term, variable, c, e))
    return false;
  if (e == 1) {
    r = termNumberText(c);
    return true;
  }
  r = termNumberText(c * e) + u"*";
  r.append(variable);
  if (e - 1 != 1)
    r.append(u"^" + termNumberText(e - 1));
  return true;
}

// The derivative of one term c*var^e, or the empty text.
Text termDerivative(TextView term, TextView variable) {
  // An empty name occurs in no term.
  const size_t at = variable.empty() ? TextView::npos : term.find(variable);
  if (at == TextView::npos)
    return Text();
  Text c(term.substr(0, at));
  // Terms with whole numbers keep their long-standing text; fractions are
  // read as numbers.
  Text fractional;
  if (term.find_first_of(u".,/") != TextView::npos && fractionalTermDerivative(term, variable, fractional))
    return fractional;
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
