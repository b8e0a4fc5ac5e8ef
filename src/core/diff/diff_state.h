// State of the symbolic differentiation: the node table both trees of one
// differentiation live in, the parse fields and the trace settings. The
// engine holds one; the files of src/core/diff are the only ones that write it.
#pragma once

#include <cstdint>
#include <vector>

#include "core/limits.h"
#include "core/text/u16.h"

namespace quadrel {

// Operation codes of the nodes; also the token types of the module's lexer
// (0 is the end of the text).
enum DiffOp : int32_t {
  kOpEnd = 0,
  kOpOpen = 1,
  kOpClose = 2,
  kOpAdd = 3,
  kOpSub = 4,
  kOpMul = 5,
  kOpDiv = 6,
  kOpNumber = 7,
  kOpVariable = 8,
  kOpNegate = 9,
  kOpCos = 10,
  kOpSin = 11,
  kOpTg = 12,
  kOpCtg = 13,
  kOpAbs = 14,
  kOpSgn = 15,
  kOpSqrt = 16,
  kOpLn = 17,
  kOpExp = 18,
  kOpArcsin = 19,
  kOpArccos = 20,
  kOpArctg = 21,
  kOpArcctg = 22,
  kOpSh = 23,
  kOpCh = 24,
  kOpTh = 25,
  kOpCth = 26,
  kOpHeaviside = 27,
  kOpLog10 = 28,
  kOpPower = 31,
};

constexpr bool isDiffFunction(int32_t op) { return op >= 10 && op <= 30; }

// Entries 1..kMaxDiffNodes of the table; index 0 stands for "no node".

struct DiffNode {
  int32_t opCode = 0;
  Text con;  // number text, variable name, or function name as written
  int32_t l = 0, r = 0;
};

// Error flag values (GetLast_diffErr).
constexpr int8_t kDiffOk = 0;
constexpr int8_t kDiffFailed = 1;
constexpr int8_t kDiffEmpty = 7;

struct DiffTrace {
  uint8_t mode = 0;  // 0 off, 1 file, 2 message box, other: count only
  Text file;         // empty: "Derive.Log", emptied before its first line
  int64_t lines = 0;
  Text path;    // "/Name" per procedure entered
  Text indent;  // one blank per procedure entered
};

struct DiffState {
  int32_t index = 0;  // nodes handed out in the current differentiation
  int8_t errorFlag = kDiffOk;
  int32_t bc = 0;  // bracket depth of the current parse
  int32_t prevPrevType = 0;
  int32_t prevType = 0;
  int32_t formulaRoot = 0;
  int32_t derivativeRoot = 0;
  std::vector<DiffNode> nodes;  // kMaxDiffNodes + 1 entries once used
  DiffTrace trace;
};

}  // namespace quadrel
