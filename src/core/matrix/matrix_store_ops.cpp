#include "core/matrix/matrix_store_ops.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/engine.h"
#include "core/eval/error_report.h"
#include "core/eval/error_table.h"
#include "core/eval/evaluator.h"
#include "core/matrix/element_order.h"
#include "core/matrix/matrix_text.h"
#include "core/text/number_text.h"

namespace quadrel {

namespace {

constexpr int64_t kMaxElements = 0x7FFFFFFF;
constexpr int32_t kErrNullBuffer = 15;  // "a buffer address is 0"

// The shape after a 0 reads as 1; false when negative or beyond 32 bits.
bool normalShape(int32_t& rows, int32_t& cols) {
  if (rows == 0)
    rows = 1;
  if (cols == 0)
    cols = 1;
  return rows > 0 && cols > 0 && int64_t(rows) * cols <= kMaxElements;
}

// The message channel does something with what it is sent.
bool channelListens(const Engine& e) { return e.messages.mode != 0 && !(e.messages.mode & kMsgAccept); }

void sendLine(Engine& e, TextView text) { e.messages.send(e.platform, text, u"", false); }

}  // namespace

Text matrixKey(TextView name) { return toLower(trimBlanks(name)); }

MatrixRecord* recordOfBuffer(Engine& e, const double* data) {
  if (!data)
    return nullptr;
  const int pos = e.matrix.store.findByAddress(data);
  return pos < 0 ? nullptr : &e.matrix.store.at(pos);
}

MatrixRecord* recordNamed(Engine& e, TextView key) {
  const int pos = e.matrix.store.findByName(key);
  return pos < 0 ? nullptr : &e.matrix.store.at(pos);
}

intptr_t findMatrix(Engine& e, TextView name, int32_t flags, int32_t* rows, int32_t* cols, bool trace) {
  const Text key = matrixKey(name);
  const MatrixStore& store = e.matrix.store;
  int pos = -1;
  if (flags & kMatchAddress)
    pos = store.findByAddressText(key);
  else if (flags & kMatchName)
    pos = store.findByName(key);
  if (pos >= 0 && (flags & (kFindAddress | kFindPosition))) {
    const MatrixRecord& r = store.at(pos);
    if (rows)
      *rows = r.rows;
    if (cols)
      *cols = r.cols;
    clearErrorCode(e);
    return (flags & kFindAddress) ? reinterpret_cast<intptr_t>(r.data) : intptr_t(pos);
  }
  setErrorCode(e, kErrMatrixNotFound);
  if (trace)
    addReport(e, u"FindMatrix", 395, u"MatrName = " + key);
  return 0;
}

intptr_t defineMatrix(Engine& e, TextView name, double* data, std::unique_ptr<double[]> owned, int32_t rows,
                      int32_t cols, bool returnAddress) {
  if (!normalShape(rows, cols)) {
    setErrorCode(e, kErrNoValue);
    addReport(e, u"SetMatrix", 470, u"rows = " + intText(rows) + u", cols = " + intText(cols) + u"\r\n");
    return kErrNoValue;
  }
  const Text key = matrixKey(name);
  MatrixStore& store = e.matrix.store;
  int pos = store.findByName(key);
  if (pos < 0) {
    const bool internal = e.eval.inProgress;
    pos = store.append(key, data, std::move(owned), internal, rows, cols);
    if (internal)
      ++e.matrix.temporaries;
  } else {
    MatrixRecord& r = store.at(pos);
    if (r.rows == rows && r.cols == cols) {
      if (r.data != data)
        std::memcpy(r.data, data, r.count() * sizeof(double));
    } else {
      store.replaceData(r, data, std::move(owned), rows, cols);
    }
  }
  clearErrorCode(e);
  const MatrixRecord& r = store.at(pos);
  return returnAddress ? reinterpret_cast<intptr_t>(r.data) : intptr_t(r.index);
}

intptr_t setMatrixFromCaller(Engine& e, TextView name, double* data, int32_t rows, int32_t cols, bool returnAddress) {
  intptr_t result;
  if (!data) {
    setErrorCode(e, kErrNullBuffer);
    addReport(e, u"SetMatrix", 460, u"aPtr = 0\r\n");
    result = kErrNullBuffer;
  } else if (int32_t r = rows, c = cols; !normalShape(r, c)) {
    result = defineMatrix(e, name, data, nullptr, rows, cols, returnAddress);  // reports code 5
  } else {
    const size_t count = size_t(r) * size_t(c);
    MatrixRecord* same = recordNamed(e, matrixKey(name));
    if (same && same->rows == r && same->cols == c) {
      fromCaller(e, data, same->data, r, c);
      result = defineMatrix(e, name, same->data, nullptr, rows, cols, returnAddress);
    } else if (const MatrixRecord* holder = recordOfBuffer(e, data)) {
      // A buffer of the store itself is copied, never shared by two records;
      // only as many values as it holds are read.
      std::unique_ptr<double[]> copy(new double[count]());
      std::memcpy(copy.get(), data, std::min(count, holder->count()) * sizeof(double));
      fromCaller(e, copy.get(), copy.get(), r, c);
      double* p = copy.get();
      result = defineMatrix(e, name, p, std::move(copy), rows, cols, returnAddress);
    } else {
      fromCaller(e, data, data, r, c);  // adopted: converted where it lies
      result = defineMatrix(e, name, data, nullptr, rows, cols, returnAddress);
    }
  }
  e.script.setStatus(int32_t(result));
  return result;
}

namespace {

// Integer value of a field: leading spaces and tabs, an optional sign, the
// digits that follow; no digits gives 0. False when it overflows 32 bits.
bool fieldInteger(TextView s, int32_t& out) {
  size_t i = 0;
  while (i < s.size() && (s[i] == u' ' || s[i] == u'\t')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
    negative = s[i++] == u'-';
  int64_t v = 0;
  for (; i < s.size() && isDigit(s[i]); ++i) {
    v = v * 10 + (s[i] - u'0');
    if (v > int64_t(0x80000000))
      return false;
  }
  if (negative)
    v = -v;
  if (v > 0x7FFFFFFF || v < -int64_t(0x80000000))
    return false;
  out = int32_t(v);
  return true;
}

// Splits at ";" into views of text.
std::vector<TextView> splitFields(TextView text) {
  std::vector<TextView> fields;
  size_t start = 0;
  for (;;) {
    const size_t semi = text.find(u';', start);
    fields.push_back(text.substr(start, semi == TextView::npos ? TextView::npos : semi - start));
    if (semi == TextView::npos)
      return fields;
    start = semi + 1;
  }
}

}  // namespace

intptr_t setStrMatrix(Engine& e, TextView input, bool returnAddress, bool evaluateFields) {
  if (input.empty()) {
    setErrorCode(e, kErrInvalidArgument);
    addReport(e, u"SetStrMatrix", 888, u"Function Param = \r\n");
    return kErrInvalidArgument;
  }
  Text text(trimBlanks(input));
  if (text.empty() || text.back() != u';')
    text.push_back(u';');
  const std::vector<TextView> fields = splitFields(text);
  const Text name(trimBlanks(fields[0]));
  int32_t rows = 0, cols = 0;
  const bool rowsRead = fields.size() > 1 && fieldInteger(trimBlanks(fields[1]), rows);
  const bool colsRead = fields.size() > 2 && fieldInteger(trimBlanks(fields[2]), cols);
  int32_t shapeRows = rows, shapeCols = cols;
  const bool shapeOk =
      (fields.size() <= 1 || rowsRead) && (fields.size() <= 2 || colsRead) && normalShape(shapeRows, shapeCols);
  if (name.empty() || (rows == 0 && cols == 0) || !shapeOk) {
    setErrorCode(e, kErrWrongStringMatrix);
    addReport(e, u"SetStrMatrix", 838,
              u"MatrixName = " + name + u"\r\nrows = " + intText(rows) + u", cols = " + intText(cols));
    return kErrWrongStringMatrix;
  }
  const size_t count = size_t(shapeRows) * size_t(shapeCols);
  // Every element needs a field: a short text fails before anything is made.
  size_t read = 0;
  while (read < count && 3 + read < fields.size() && !trimBlanks(fields[3 + read]).empty()) ++read;
  if (read < count) {
    const TextView field = 3 + read < fields.size() ? trimBlanks(fields[3 + read]) : TextView();
    setErrorCode(e, kErrMatrixElements);
    Text extra = u"Should be: " + intText(int64_t(count)) + u", are: " + intText(int64_t(read)) + u"\r\nMatrixName = " +
                 name + u"\r\nrow = " + intText(int64_t(read / size_t(shapeCols)) + 1) + u", col = " +
                 intText(int64_t(read % size_t(shapeCols)) + 1) + u"\r\nvalue = '" + Text(field) + u"'\r\n";
    addReport(e, u"SetStrMatrix", 861, extra);
    return kErrMatrixElements;
  }
  std::unique_ptr<double[]> buffer(new double[count]);
  for (size_t k = 0; k < count; ++k) {
    const TextView field = trimBlanks(fields[3 + k]);
    if (!evaluateFields) {
      buffer[k] = leadingNumber(field);
      continue;
    }
    const EvalOutcome outcome = evaluate(e, field, false);
    if (outcome.isNumber()) {
      buffer[k] = outcome.value;
      continue;
    }
    if (outcome.ok()) {
      clearTemporaries(e, nullptr);
      setErrorCode(e, kErrInvalidArgument);
      addReport(e, u"SetStrMatrix", 870,
                u"MatrixName = " + name + u"\r\nvalue = '" + Text(field) + u"' is a matrix\r\n");
      return kErrInvalidArgument;
    }
    return outcome.error;
  }
  double* data = buffer.get();
  return defineMatrix(e, name, data, std::move(buffer), rows, cols, returnAddress);
}

int32_t copyMatrixToCaller(Engine& e, const double* src, double* dst, int32_t rows, int32_t cols) {
  if (!src || !dst) {
    setErrorCode(e, kErrNullBuffer);
    addReport(e, u"GetMatrixByLong", 538, u"SrcMemID = " + addressText(src) + u", *aDest = " + addressText(dst));
    return kErrNullBuffer;
  }
  if (rows <= 0 || cols <= 0 || int64_t(rows) * cols > kMaxElements) {
    setErrorCode(e, kErrNoValue);
    addReport(e, u"GetMatrixByLong", 545, u"rows = " + intText(rows) + u", cols = " + intText(cols));
    return kErrNoValue;
  }
  if (!readableBuffer(e, src, rows, cols, u"GetMatrixByLong"))
    return e.errors.code;
  toCaller(e, src, dst, rows, cols);
  return -1;
}

bool readableBuffer(Engine& e, const double* data, int32_t rows, int32_t cols, TextView procedure) {
  const MatrixStore& store = e.matrix.store;
  const int pos = data ? store.findByAddress(data) : -1;
  if (pos < 0 && data && store.freed(data)) {
    setErrorCode(e, kErrNullBuffer);
    addReport(e, procedure, 550, u"SrcMemID = " + addressText(data) + u": the matrix was freed\r\n");
    return false;
  }
  if (pos >= 0 && (rows <= 0 || cols <= 0 || int64_t(rows) * cols > int64_t(store.at(pos).count()))) {
    setErrorCode(e, kErrNoValue);
    addReport(e, procedure, 555,
              u"rows = " + intText(rows) + u", cols = " + intText(cols) + u": more than the matrix " +
                  store.at(pos).name + u" holds\r\n");
    return false;
  }
  return true;
}

namespace {

int32_t clearRecords(Engine& e, const double* keep, bool everything, bool report) {
  MatrixStore& store = e.matrix.store;
  const bool listens = report && channelListens(e);
  const bool details = listens && (e.messages.showLevel & kShowMatrix);
  if (listens) {
    sendLine(e, u"");
    sendLine(e, u"ClearMatrixList");
  }
  int32_t deleted = 0;
  for (int pos = 0; pos < int(store.size());) {
    MatrixRecord& r = store.at(pos);
    const bool remove = everything || (r.internal && r.data != keep);
    if (listens) {
      Text line = u"arrList() = " + r.name;
      if (remove)
        line.append(everything ? u"   deleted" : u"   internal - deleted");
      else
        line.append(u" (" + addressText(r.data) + u")   kept");
      sendLine(e, line);
    }
    if (details) {
      Text block = u"MatrName = " + r.name + u"\r\n*aPtr = " + addressText(keep) +
                   (remove ? u" => deleted" : u" => kept") + u"\r\n\r\n" + listingText(r.data, r.rows, r.cols, r.name);
      e.messages.send(e.platform, block, u"ClearMatrixList", true);
    }
    if (remove) {
      store.erase(pos);
      ++deleted;
    } else {
      ++pos;
    }
  }
  // A kept temporary (an evaluation's matrix result) goes at the next clean-up.
  int32_t remaining = 0;
  for (size_t k = 0; k < store.size(); ++k) remaining += store.at(int(k)).internal ? 1 : 0;
  e.matrix.temporaries = remaining;
  return deleted;
}

}  // namespace

int32_t clearMatrixList(Engine& e, const double* keep) {
  const int32_t deleted = clearRecords(e, keep, keep == nullptr, true);
  clearErrorCode(e);
  return deleted;
}

int32_t clearTemporaries(Engine& e, const double* keep) {
  if (e.matrix.temporaries == 0)
    return 0;
  return clearRecords(e, keep, false, keep != nullptr);
}

const Text& matrixListText(Engine& e, bool withValues) {
  sendLine(e, u"");
  const MatrixStore& store = e.matrix.store;
  Text& t = e.matrix.listText;
  t = u"Matrix List: Count:" + intText(int64_t(store.size())) + u"\r\n";
  for (size_t k = 0; k < store.size(); ++k) {
    const MatrixRecord& r = store.at(int(k));
    t.append(u" - Name: " + r.name + u" - nr. " + intText(int64_t(k) + 1) + u"\r\n");
    t.append(u"     Addr: " + addressText(r.data) + u"\r\n");
    t.append(u"     Internal: " + Text(r.internal ? u"-1" : u"0") + u"\r\n");
    t.append(u"     rows: " + intText(r.rows) + u"\r\n");
    t.append(u"     cols: " + intText(r.cols) + u"\r\n");
    t.append(u"     index: " + intText(r.index) + u"\r\n");
    t.append(u"     vector: " + Text(r.vector() ? u"-1" : u"0"));
    if (withValues)
      t.append(u"     " + listingText(r.data, r.rows, r.cols, u"") + u"\r\n");
    t.append(u"\r\n");
  }
  return t;
}

}  // namespace quadrel
