// Operations of the named-matrix store that report through the evaluator's
// error code and the error log. Buffers inside the store are row-major; the
// ...FromCaller / ...ToCaller forms convert the caller's element order.
#pragma once

#include <cstdint>
#include <memory>

#include "core/text/u16.h"

namespace quadrel {

struct Engine;

// FindMatrix flag bits.
constexpr int32_t kFindAddress = 1;   // give the buffer address
constexpr int32_t kFindPosition = 2;  // give the record's current position
constexpr int32_t kMatchAddress = 8;  // match the decimal text of each buffer address
constexpr int32_t kMatchName = 32;    // match each record's name

// The store key of a name: trimmed of spaces, lower case.
Text matrixKey(TextView name);

// FindMatrix: the address (bit 1, which wins) or position (bit 2) of the
// first match, with the shape written through the pointers that are not
// null; code -1. Without a match or without bit 1 or 2: 0, code 14, and an
// error report when trace is set.
intptr_t findMatrix(Engine& e, TextView name, int32_t flags, int32_t* rows, int32_t* cols, bool trace);

// The record holding exactly this buffer, or null.
struct MatrixRecord;
MatrixRecord* recordOfBuffer(Engine& e, const double* data);
MatrixRecord* recordNamed(Engine& e, TextView key);

// SetMatrix over a row-major buffer, no conversion. rows or cols of 0 read
// as 1. A new name appends a record taking the buffer (temporary while an
// evaluation runs); the same shape copies into the record's buffer; another
// shape makes the record take the buffer. owned, when set, holds data and
// passes to the store. Gives the record's index or buffer address; a shape
// that is negative or too large: code 5, nothing stored, result 5.
intptr_t defineMatrix(Engine& e, TextView name, double* data, std::unique_ptr<double[]> owned, int32_t rows,
                      int32_t cols, bool returnAddress);

// The SetMatrix export: the caller's buffer converted to row-major on entry
// (in place when adopted). A null buffer: code 15.
intptr_t setMatrixFromCaller(Engine& e, TextView name, double* data, int32_t rows, int32_t cols, bool returnAddress);

// SetStrMatrix: "name;rows;cols;e1;e2;..." with the elements row by row.
// Codes 13 (empty text), 11 (bad name or shape), 12 (too few elements), or
// the code of an element's evaluation (13 for a matrix); nothing is stored
// on an error.
intptr_t setStrMatrix(Engine& e, TextView text, bool returnAddress, bool evaluate);

// GetMatrixByLong: copies rows x cols row-major doubles from src into the
// caller's dst in the caller's element order. 15 for a null buffer or a
// freed one (readableBuffer), 5 for a shape that is not positive or larger
// than the store's buffer, else -1.
int32_t copyMatrixToCaller(Engine& e, const double* src, double* dst, int32_t rows, int32_t cols);

// For the exports that read a matrix by its address: false with code 15 and
// a report when the store has freed the buffer at data (a stale handle), or
// with code 5 when rows x cols reach past a buffer the store holds. Other
// addresses (callers' own buffers) pass.
bool readableBuffer(Engine& e, const double* data, int32_t rows, int32_t cols, TextView procedure);

// ClearMatrixList: keep null deletes every record; otherwise the temporaries
// whose buffer is not keep. Gives the number deleted; code -1.
int32_t clearMatrixList(Engine& e, const double* keep);
// The evaluator's clean-up: every temporary except keep (which may be null).
int32_t clearTemporaries(Engine& e, const double* keep);

// GetMatrixList: the listing text, kept in the matrix state.
const Text& matrixListText(Engine& e, bool withValues);

}  // namespace quadrel
