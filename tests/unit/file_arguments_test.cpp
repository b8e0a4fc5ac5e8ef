// The "inputFile [outputFile]" arguments the file variants of the commands
// share, and the one matrix shape limit of the store and the operations.
#include "core/script/file_arguments.h"

#include <gtest/gtest.h>

#include "core/matrix/matrix_store.h"
#include "engine_fixture.h"

namespace quadrel {
namespace {

TEST(FileArgumentsTest, InputOutputAndTheHeaderNote) {
  const Text blanks(20, u' ');
  struct Row {
    const char16_t* args;
    const char16_t* input;
    const char16_t* output;
    Text note;
  };
  const Row rows[] = {
      {u"in.txt", u"in.txt", u"", blanks},
      {u"  in.txt  ", u"in.txt", u"", blanks},
      {u"in.txt out.txt", u"in.txt", u"out.txt", u"=>(in.txt out.txt)"},
      {u" [in.txt]   [out file.txt] ", u"in.txt", u"out file.txt", u"=>([in.txt]   [out file.txt])"},
      {u"in.txt    ", u"in.txt", u"", blanks},
      {u"", u"", u"", blanks},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(toUtf8(row.args));
    const FileArguments a = fileArguments(row.args);
    EXPECT_EQ(a.input, row.input);
    EXPECT_EQ(a.output, row.output);
    EXPECT_EQ(a.note, row.note);
  }
}

TEST(MatrixShapeTest, OneLimitForEveryMatrix) {
  struct Row {
    int32_t rows, cols;
    bool valid;
  };
  const Row rows[] = {
      {1, 1, true},          {0, 1, false},         {1, 0, false},         {-1, -1, false},        {46340, 46340, true},
      {65536, 32768, false}, {0x7FFFFFFF, 1, true}, {1, 0x7FFFFFFF, true}, {0x7FFFFFFF, 2, false}, {-2, 3, false},
  };
  for (const Row& row : rows) EXPECT_EQ(validMatrixShape(row.rows, row.cols), row.valid) << row.rows << "x" << row.cols;
}

}  // namespace
}  // namespace quadrel
