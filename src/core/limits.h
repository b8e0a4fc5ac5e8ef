// Every limit on user input and on the work one request may cause, in one
// place. Input past a limit is refused with a clear code and a report that
// names the limit; nothing grows or recurses without a bound.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quadrel {

// --- Nesting (each level costs stack; the stack test runs the deepest
// accepted input of every parser on a 256 KiB thread) ---

// Nesting of the formula parser beyond this depth fails with code 3 instead
// of exhausting the stack (about half as many nested brackets).
constexpr int kMaxParserDepth = 1000;
// Bracket nesting a formula given to the differentiation may have; the
// derivative's text is our own and nests about twice as deep as the tree it
// came from (a 1000-term sum: 2000 levels).
constexpr int kMaxFormulaNesting = 500;
constexpr int kMaxDerivativeNesting = 3000;
// The differentiation's parser and tree passes recurse per level, about
// 0.4 KiB of stack per term of a sum: a formula longer than
// kDiffInPlaceChars is differentiated on a thread of its own whose stack
// reserves kDiffStackBytes (a 1250-term sum needs about 0.6 MiB),
// so that the caller's stack (256 KiB is enough) does not bound it.
constexpr size_t kDiffInPlaceChars = 256;
constexpr size_t kDiffStackBytes = size_t(16) << 20;

// --- Sizes ---

// A formula whose user functions expand beyond this many characters fails
// with code 3.
constexpr size_t kMaxExpandedLength = size_t(1) << 24;
// Entries 1..kMaxDiffNodes of the differentiation's node table.
constexpr int32_t kMaxDiffNodes = 5000;
// A text file (script, ExprF input, matrix file) larger than this is refused
// unread: a device such as /dev/zero would otherwise be read without end.
constexpr uint64_t kMaxTextFileBytes = uint64_t(64) << 20;
// Decimals of a number text.
constexpr int kMaxDecimals = 512;
// The error log keeps at most this many characters (the newest), with one
// line that says how much was dropped.
constexpr size_t kMaxLogChars = size_t(64) << 10;
// The message log likewise; larger, so that the trace of the deepest formula
// the parser accepts (every entry with its exit) stays whole.
constexpr size_t kMaxMessageLogChars = size_t(1) << 20;
// A report quotes a formula of up to this many characters whole, with its
// ruler; a longer one (user functions may expand to millions of characters)
// only kReportQuoteChars characters on each side of the error position.
constexpr size_t kReportWholeChars = 2048;
constexpr size_t kReportQuoteChars = 50;
// The text a procedure adds to its report is cut after this many characters.
constexpr size_t kMaxReportExtraChars = 1024;

// --- Work ---

// Subintervals of one integration.
constexpr int32_t kMaxSubintervals = 100000000;
// Intervals of one plot (points are one more).
constexpr int64_t kMaxPlotIntervals = 1000000;
// Step counts a caller passes to sPolyNewt and sSolve.
constexpr int32_t kMaxTextSteps = 20000;
// The work a matrix power, an inversion, Cramer's rule or a least-squares
// fit may take: about n^3 operations per product or determinant, about half
// a second; room for about a thousand products of order 100.
constexpr int64_t kMatrixWorkLimit = int64_t(1) << 30;
// The work an inversion (by the adjugate: about n^5 / 3), Cramer's rule or a
// least-squares fit may take: a few seconds; an inverse of order 100 fits.
constexpr int64_t kSolveWorkLimit = int64_t(1) << 32;

}  // namespace quadrel
