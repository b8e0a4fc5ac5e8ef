// State of the matrix subsystem: the caller's element order, the raw-copy
// switch, the named-matrix store and the texts its exports hand out.
#pragma once

#include <cstdint>

#include "core/matrix/matrix_algorithms.h"
#include "core/matrix/matrix_store.h"
#include "core/text/u16.h"

namespace quadrel {

struct MatrixState {
  // The caller's layout of matrix buffers: 0 by row, 1 by column, -1 not set
  // (behaves as 0).
  int32_t elementOrder = -1;
  // While non-zero every order conversion is a plain copy.
  int32_t rawCopy = 0;
  MatrixStore store;
  // Temporaries registered since the last clean-up of an evaluation.
  int32_t temporaries = 0;
  Text printText;  // aPrint
  Text listText;   // GetMatrixList
  matrix::Workspace workspace;
  // The work a matrix power may take (see matrix::power); fuzz targets
  // lower it to go through refused powers quickly.
  int64_t powerWorkLimit = kMatrixWorkLimit;
};

}  // namespace quadrel
