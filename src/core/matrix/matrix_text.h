// Text forms of a matrix: the aPrint layout and its output modes.
#pragma once

#include <cstdint>

#include "core/text/u16.h"

namespace quadrel {

struct Engine;

// Decimals asked for by a format: the characters after its first "." (a
// format without one gives 4).
int decimalsOfFormat(TextView format);

// title + CR LF, then "V(i)=" lines for a vector, or rows of
// "A(i,j)=" value + separator; values with exactly `decimals` decimals. A
// shape that is not positive gives the title line alone.
Text matrixText(const double* rowMajor, int32_t rows, int32_t cols, int decimals, TextView title, TextView separator);

// aPrint: the caller's buffer (in its element order) as text, shown by mode
// ("MsgBox" a box, "Debug" the message channel, anything else nothing).
// Empty mode reads "MsgBox", empty separator a TAB. The text stays in the
// matrix state until the next call.
const Text& printMatrix(Engine& e, const double* data, int32_t rows, int32_t cols, TextView mode, TextView format,
                        TextView title, TextView separator);

// aPrintEx into a caller's buffer whose current text length is its capacity:
// 1 for a null buffer; otherwise the text's length, cut to the capacity; a
// capacity of 0 writes nothing (10 when the text is empty too).
int32_t printMatrixInto(Engine& e, const double* data, int32_t rows, int32_t cols, TextView mode, TextView format,
                        TextView title, TextView separator, char16_t* buffer);

// The text a record shows in listings: aPrintEx with mode "String" into a
// 1000-character buffer, trimmed of spaces.
Text listingText(const double* rowMajor, int32_t rows, int32_t cols, TextView title);

}  // namespace quadrel
