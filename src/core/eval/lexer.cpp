#include "core/eval/lexer.h"

#include <algorithm>
#include <iterator>

#include "core/text/number_text.h"

namespace quadrel {

namespace {

struct WordName {
  TextView text;
  Word word;
};

// Sorted by text for the binary search.
constexpr WordName kWords[] = {
    {u"and", Word::And},       {u"avg", Word::Avg},       {u"count", Word::Count},
    {u"det", Word::Det},       {u"eqv", Word::Eqv},       {u"geom_mean", Word::GeomMean},
    {u"imp", Word::Imp},       {u"max", Word::Max},       {u"mean", Word::Mean},
    {u"median", Word::Median}, {u"min", Word::Min},       {u"mod", Word::Mod},
    {u"not", Word::Not},       {u"or", Word::Or},         {u"prod", Word::Prod},
    {u"prod2", Word::Prod2},   {u"stddev", Word::Stddev}, {u"sum", Word::Sum},
    {u"sum2", Word::Sum2},     {u"syst", Word::Syst},     {u"trace", Word::Trace},
    {u"vcoeff", Word::Vcoeff}, {u"xor", Word::Xor},
};

static_assert(std::is_sorted(std::begin(kWords), std::end(kWords),
                             [](const WordName& a, const WordName& b) { return a.text < b.text; }));

}  // namespace

// The letters words start with, one bit each: most names are refused at once.
constexpr uint32_t kWordInitials = [] {
  uint32_t bits = 0;
  for (const WordName& w : kWords) bits |= uint32_t(1) << (w.text[0] - u'a');
  return bits;
}();

Word reservedWord(TextView s) {
  // Every word is 2 to 9 lower-case letters (and digits, "_") long.
  if (s.size() < 2 || s.size() > 9 || s[0] < u'a' || s[0] > u'z' || !((kWordInitials >> (s[0] - u'a')) & 1))
    return Word::None;
  auto it = std::lower_bound(std::begin(kWords), std::end(kWords), s,
                             [](const WordName& w, TextView k) { return w.text < k; });
  return (it != std::end(kWords) && it->text == s) ? it->word : Word::None;
}

TextView wordText(Word w) {
  for (const auto& k : kWords)
    if (k.word == w)
      return k.text;
  return TextView();
}

void LexerState::start() {
  index = 0;
  position = 0;
  rulerPosition = 0;
  kind = TokKind::End;
  word = Word::None;
  symbol = 0;
  functionId = -1;
  hasValue = false;
  matrixSuffix = 0;
  elemStart = elemLength = 0;
  elementOwned = elementFromValue = false;
}

TextView LexerState::element() {
  if (elementFromValue) {
    // A resolved variable: the 10-decimal text when it reads back exactly,
    // otherwise the shortest text that does.
    Text t = fixedText(value, kFormulaDecimals);
    if (!(leadingNumber(t) == value))
      t = roundTripText(value);
    ownedElement = std::move(t);
    elementFromValue = false;
    elementOwned = true;
  }
  if (elementOwned)
    return ownedElement;
  if (kind == TokKind::End)
    return TextView();
  if (elemLength == 0) {
    // Tokens whose element is the type itself.
    if (kind == TokKind::Symbol) {
      ownedElement = tokenType();
      elementOwned = true;
      return ownedElement;
    }
    return TextView();
  }
  return TextView(expression).substr(elemStart, elemLength);
}

Text LexerState::tokenType() const {
  switch (kind) {
    case TokKind::End: return Text();
    case TokKind::Num: return u"num";
    case TokKind::Id: return u"id";
    case TokKind::Const: return u"const";
    case TokKind::Hex: return u"hex";
    case TokKind::Bin: return u"bin";
    case TokKind::Matrix: return u"matrix";
    case TokKind::Word: return Text(wordText(word));
    case TokKind::Symbol: {
      Text t(1, char16_t(symbol & 0xFFFF));
      if (symbol >> 16)
        t.push_back(char16_t(symbol >> 16));
      return t;
    }
  }
  return Text();
}

Text LexerState::rulerLine() const {
  Text digits = intText(rulerPosition);
  Text r = u"pos(";
  for (size_t k = digits.size(); k < 3; ++k) r.push_back(u'0');
  r.append(digits);
  r.append(u")    = ");
  if (rulerPosition > 0)
    r.append(size_t(rulerPosition), u'-');
  r.push_back(u'|');
  return r;
}

}  // namespace quadrel
