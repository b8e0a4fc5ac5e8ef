// Matrix commands with files and blocks: MatrF, VectF, StoExpr's file form,
// DimX blocks, and the element order a script sets.
#include "core/matrix/matrix_store_ops.h"
#include "core/script/executor.h"
#include "engine_fixture.h"
#include "temp_folder.h"

namespace quadrel {
namespace {

class MatrixCommandsTest : public testing_support::EngineTest {
 protected:
  testing_support::TempFolder folder;
  ExecOptions options;
  Text result;
  void SetUp() override { e.script.settings.dataFolder = folder.text(); }
  int32_t run(TextView script) { return execCommands(e, script, result, options); }
};

TEST_F(MatrixCommandsTest, MatrFReadsTheDefinitionSkippingComments) {
  folder.put("m.txt", "' a comment line\n[mf];2;2;\n1;2;3;4\n");
  EXPECT_EQ(run(u"MatrF = m.txt\r\nVectF = [missing.txt]\r\nExpr = det([mf])"), 3001);
  EXPECT_NE(result.find(u"Ln 2: Expression = :                     \r\n Result => ===> ERROR n. = 13:"), Text::npos)
      << toUtf8(result);
  EXPECT_NE(result.find(u"Number = -2.0000"), Text::npos);
}

TEST_F(MatrixCommandsTest, StoExprWritesTheDefinitionToItsFile) {
  EXPECT_EQ(run(u"Matr = [a];1;2;1,5;-2\r\nStoExpr(b; fileout; b.txt) = [a]*2"), 2000);
  EXPECT_EQ(result, u"Ln 2: Expression = [a]*2: (=>fileout b.txt)\r\n Stored => Matrix: [b]; 1; 2;3; -4; ");
  EXPECT_EQ(folder.get("b.txt"), "[b]; 1; 2;3; -4; ");
  int32_t rows = 0, cols = 0;
  EXPECT_NE(findMatrix(e, u"[b]", 33, &rows, &cols, false), 0);
  EXPECT_EQ(cols, 2);
}

TEST_F(MatrixCommandsTest, DimXBlocksEndAtAnotherMatrixOrCommand) {
  EXPECT_EQ(run(u"DimX = [p](2,2) ; a = 1 ; b = 2\r\n"
                u"dimx = [p](2,2) ; c = 3 ; d = 4   ' second row\r\n"
                u"DimX = [q](1,2) ; a = 5 ; ; b = 6\r\n"
                u"DimX = [r](2,2) ; a = 1\r\n"
                u"Show(p)\r\nShow(q)"),
            5003);  // [q], [r] and Show(q) fail
  EXPECT_NE(
      result.find(u"Show(p) => Matrix: [p]\r\nmA(0,0)=1.0000\tmA(0,1)=2.0000\t\r\nmA(1,0)=3.0000\tmA(1,1)=4.0000"),
      Text::npos)
      << toUtf8(result);
  // The first empty field ends a line: [q] has one value of two.
  EXPECT_NE(result.find(u"Ln 3: Expression = :\r\n Result => ===> ERROR n. = 12:"), Text::npos) << toUtf8(result);
  EXPECT_NE(result.find(u"Ln 4: Expression = :\r\n Result => ===> ERROR n. = 12:"), Text::npos) << toUtf8(result);
}

TEST_F(MatrixCommandsTest, ColumnOrderOfTheCallerLeavesScriptsAlone) {
  EXPECT_EQ(run(u"aElemOrderSet = 1\r\nMatr = [a];2;2;1;2;3;4\r\nExpr = [a]*[a]"), 3000);
  EXPECT_NE(result.find(u"A(0,0)=7.0000\tA(0,1)=10.0000\t\r\nA(1,0)=15.0000\tA(1,1)=22.0000\t"), Text::npos);
  EXPECT_EQ(e.matrix.elementOrder, 1);
}

}  // namespace
}  // namespace quadrel
