#include "core/eval/operator_table.h"

namespace quadrel {

bool operatorRow(TokKind kind, Word word, uint32_t symbol, OperatorRow& row) {
  if (kind == TokKind::Word) {
    switch (word) {
      case Word::Mod: row = {8, 9}; return true;
      case Word::And: row = {5, 6}; return true;
      case Word::Or: row = {4, 5}; return true;
      case Word::Xor: row = {3, 4}; return true;
      default: return false;
    }
  }
  if (kind != TokKind::Symbol)
    return false;
  switch (symbol) {
    case sym(u'^'): row = {11, 12}; return true;
    case sym(u'*'):
    case sym(u'/'): row = {10, 11}; return true;
    case sym(u'\\'): row = {9, 10}; return true;
    case sym(u'+'):
    case sym(u'-'): row = {7, 8}; return true;
    case sym(u'='):
    case sym(u'<'):
    case sym(u'>'):
    case sym(u'<', u'>'):
    case sym(u'<', u'='):
    case sym(u'>', u'='): row = {6, 7}; return true;
    default: return false;
  }
}

}  // namespace quadrel
