#include "core/eval/lexer.h"

#include <algorithm>
#include <iterator>

#include "core/eval/name_chars.h"
#include "core/text/number_reader.h"
#include "core/text/number_text.h"

namespace quadrel {

namespace {

struct WordName {
  const char16_t* text;
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

}  // namespace

Word reservedWord(TextView s) {
  if (s.size() < 2 || s.size() > 9)
    return Word::None;
  auto it = std::lower_bound(std::begin(kWords), std::end(kWords), s,
                             [](const WordName& w, TextView k) { return TextView(w.text) < k; });
  return (it != std::end(kWords) && TextView(it->text) == s) ? it->word : Word::None;
}

TextView wordText(Word w) {
  for (const auto& k : kWords)
    if (k.word == w)
      return k.text;
  return TextView();
}

TokenSpan scanToken(TextView s, size_t i) {
  const size_t n = s.size();
  const char16_t c = s[i];
  size_t j = i + 1;
  auto span = [&](auto pred, Lexeme kind) {
    while (j < n && pred(s[j])) ++j;
    return TokenSpan{i, j, kind, 0};
  };
  if (isWhite(c))
    return span(isWhite, Lexeme::White);
  if (c == u'[') {
    while (j < n && s[j] != u']') ++j;
    if (j < n)
      ++j;  // the closing bracket; without one the token ends with the text
    TokenSpan t{i, j, Lexeme::Matrix, 0};
    if (s[j - 1] == u']' && j < n) {
      const char16_t suffix = upperAscii(s[j]);
      if (suffix == u'I' || suffix == u'T' || suffix == u'D') {
        t.matrixSuffix = suffix;
        ++t.end;
      }
    }
    return t;
  }
  if (c == u'#')
    return span(isIdentChar, Lexeme::Const);
  if (c == u'&')
    return span(isIdentChar, Lexeme::Hex);
  if (c == u'!')
    return span(isDigit, Lexeme::Bin);
  if (isDigit(c) || c == u'.' || c == u',') {
    const LiteralScan scan = scanDecimal(s, i);
    return TokenSpan{i, scan.end, Lexeme::Number, 0, !scan.wellFormed};
  }
  if (isNameStart(c))
    return span(isNameChar, Lexeme::Identifier);
  if ((c == u'<' || c == u'>') && j < n && (s[j] == u'=' || s[j] == u'>'))
    ++j;
  return {i, j, Lexeme::Symbol, 0};
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
