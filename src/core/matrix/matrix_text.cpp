#include "core/matrix/matrix_text.h"

#include <algorithm>
#include <vector>

#include "core/engine.h"
#include "core/ground/legacy_names.h"
#include "core/matrix/element_order.h"
#include "core/text/number_text.h"
#include "platform/platform.h"

namespace quadrel {

namespace {

constexpr int kDefaultDecimals = 4;
constexpr size_t kListingCapacity = 1000;
constexpr int64_t kMaxPrintedElements = int64_t(1) << 31;

bool printableShape(int32_t rows, int32_t cols) {
  return rows > 0 && cols > 0 && int64_t(rows) * cols < kMaxPrintedElements;
}

}  // namespace

int decimalsOfFormat(TextView format) {
  const size_t point = format.find(u'.');
  if (point == TextView::npos)
    return kDefaultDecimals;
  return int(std::min<size_t>(format.size() - point - 1, kMaxDecimals));
}

Text matrixText(const double* m, int32_t rows, int32_t cols, int decimals, TextView title, TextView separator) {
  Text t(title);
  t.append(u"\r\n");
  if (!m || !printableShape(rows, cols))
    return t;
  auto vectorLines = [&](int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
      if (i)
        t.append(u"\r\n");
      t.append(u"V(");
      t.append(intText(i));
      t.append(u")=");
      appendFixed(t, m[i], decimals);
    }
  };
  if (cols == 1) {
    vectorLines(rows);
  } else if (rows == 1) {
    vectorLines(cols);
  } else {
    for (int32_t i = 0; i < rows; ++i) {
      if (i)
        t.append(u"\r\n");
      for (int32_t j = 0; j < cols; ++j) {
        t.append(u"A(");
        t.append(intText(i));
        t.push_back(u',');
        t.append(intText(j));
        t.append(u")=");
        appendFixed(t, m[size_t(i) * size_t(cols) + size_t(j)], decimals);
        t.append(separator);
      }
    }
  }
  return t;
}

const Text& printMatrix(Engine& e, const double* data, int32_t rows, int32_t cols, TextView mode, TextView format,
                        TextView title, TextView separator) {
  if (mode.empty())
    mode = u"MsgBox";
  if (separator.empty())
    separator = u"\t";
  std::vector<double> rowMajor;
  if (data && printableShape(rows, cols)) {
    rowMajor.resize(size_t(rows) * size_t(cols));
    fromCaller(e.matrix, data, rowMajor.data(), rows, cols);
  }
  Text& text = e.matrix.printText;
  text =
      matrixText(rowMajor.empty() ? nullptr : rowMajor.data(), rows, cols, decimalsOfFormat(format), title, separator);
  if (mode == u"MsgBox") {
    e.platform.messageBox(kLibraryName, text, BoxButtons::Ok, BoxIcon::None);
  } else if (mode == u"Debug") {
    if (e.messages.mode != 0)
      e.messages.send(e.platform, text, u"", true);
  }
  return text;
}

int32_t printMatrixInto(Engine& e, const double* data, int32_t rows, int32_t cols, TextView mode, TextView format,
                        TextView title, TextView separator, char16_t* buffer) {
  if (!buffer)
    return 1;
  const size_t capacity = zeroTerminatedLength(buffer);
  if (capacity > 0) {
    buffer[0] = u' ';
    buffer[1] = 0;
  }
  const Text& text = printMatrix(e, data, rows, cols, mode, format, title, separator);
  if (capacity == 0)
    return text.empty() ? 10 : int32_t(std::min<size_t>(text.size(), INT32_MAX));
  const size_t n = std::min(text.size(), capacity);
  std::copy_n(text.data(), n, buffer);
  buffer[n] = 0;
  return int32_t(n);
}

Text listingText(const double* rowMajor, int32_t rows, int32_t cols, TextView title) {
  Text t = matrixText(rowMajor, rows, cols, kDefaultDecimals, title, u"\t");
  if (t.size() > kListingCapacity)
    t.resize(kListingCapacity);
  return Text(trimBlanks(t));
}

}  // namespace quadrel
