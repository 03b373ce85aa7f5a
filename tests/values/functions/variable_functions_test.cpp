// The variable and array functions: shapes, conversions into the variable's kind, search, sorting, Calc.
#include <gtest/gtest.h>

#include "platform/kivo_error.h"
#include "values/expr/expr_errors.h"
#include "values/expr/expr_fixture.h"

namespace kivo {
namespace {

class VariableFunctionTest : public ::testing::Test, public ExprFixture {
protected:
  // Elements as text, joined by "|", with the dimensions in front: "2x3:a|b|...".
  std::string Shape(const std::string& name) {
    TCustomParam& v = Var(name);
    std::string s;
    for (int i = 0; i < v.GetDimCount(); ++i) s += (i ? "x" : "") + std::to_string(v.GetDim(i));
    s += ":";
    for (int i = 0; i < v.GetCount(); ++i) s += (i ? "|" : "") + v.GetStrAt(i);
    return s;
  }
  void List(const std::string& name, uint8_t kind, const std::vector<std::string>& items) {
    TParamCollectionItem* item = vars.FindVar(name);
    TCustomParam& v = item != nullptr ? *item->Param : *Declare(name, kind).Param;
    v.SetDims({static_cast<int32_t>(items.size())});
    for (size_t i = 0; i < items.size(); ++i) v.SetStrAt(static_cast<int>(i), items[i]);
  }
};

TEST_F(VariableFunctionTest, SizesFillsAndCopies) {
  Declare("a", PT_INT);
  EXPECT_EQ(Eval("SetArray(a, 3, 4)"), "1:0");
  EXPECT_EQ(Shape("a"), "3x4:0|0|0|0|0|0|0|0|0|0|0|0");
  EXPECT_EQ(Eval("GetArraySize(a)"), "1:12");
  EXPECT_EQ(Eval("GetArraySize(a, 0)"), "1:4");  // counted from the last dimension
  EXPECT_EQ(Eval("GetArraySize(a, 1)"), "1:3");
  EXPECT_EQ(Eval("GetArraySize(a, 2)"), "1:1");
  Eval("FillMem(a, \"7\")");
  EXPECT_EQ(Var("a").GetIntAt(11), 7);
  EXPECT_EQ(Eval("SetArray(a, 2, 0)"), "none");

  Declare("b", PT_INT);
  Eval("CopyMem(b, a)");
  EXPECT_EQ(Shape("b"), Shape("a"));
  Declare("s", PT_STR);
  EXPECT_EQ(Eval("CopyMem(s, a)"), "none");  // different kinds

  // Functions that need a variable say so by name.
  auto dest = CreateParam(PT_INT);
  auto constant = CreateParam(PT_INT);
  TCustomParam* args[] = {constant.get(), constant.get()};
  for (int number : {4, 21, 22, 23}) {
    try {
      funcs.Call(*dest, number, args);
      ADD_FAILURE() << number;
    } catch (const EKivoError& e) {
      EXPECT_EQ(e.Message(), NeedsVariableText(SysFuncInfo(number).Name));
    }
  }

  // CopyArray takes the source's shape and converts the elements to the destination's kind.
  EXPECT_EQ(Eval("CopyArray(s, a)"), "3:TRUE");
  EXPECT_EQ(Shape("s"), "3x4:7|7|7|7|7|7|7|7|7|7|7|7");
  EXPECT_EQ(Var("s").ParamType(), PT_STR);
}

TEST_F(VariableFunctionTest, ArraysAndText) {
  List("a", PT_INT, {"1", "2", "3"});
  EXPECT_EQ(Eval("ArrayToString(a)"), "4:1\r\n2\r\n3");
  EXPECT_EQ(Eval("ArrayToString(a, \", \")"), "4:1, 2, 3");
  EXPECT_EQ(Eval("ArrayToString(5)"), "4:5");

  Declare("t", PT_STR);
  struct Split { const char* call; const char* shape; };
  const Split splits[] = {
      {"StringToArray(\"a,,b\", t, \",\")", "3:a||b"},
      {"StringToArray(\"a;b,c\", t, \",;\")", "3:a|b|c"},
      {"StringToArray(\"x\\ny\\n\", t)", "2:x|y"},
      {"StringToArray(\"\\n\\nz\", t)", "3:||z"},
      {"StringToArray(\"\x95\x5c,\x95\x5c\", t, \"\\\\,\")", "2:\x95\x5c|\x95\x5c"},
      {"StringToArray(\"\", t)", "1:"},
  };
  for (const Split& s : splits) {
    SCOPED_TRACE(s.call);
    Eval(s.call);
    EXPECT_EQ(Shape("t"), s.shape);
  }
  EXPECT_EQ(Var("t").GetDimCount(), 1);
  EXPECT_TRUE(Var("t").Dims.empty());  // no pieces: the scalar ""
  // An integer variable receives the parsed numbers.
  Eval("StringToArray(\"4,x,6\", a, \",\")");
  EXPECT_EQ(Shape("a"), "3:4|0|6");

  List("t", PT_STR, {"Apple", "banana", "Cherry"});
  struct Search { const char* call; const char* result; };
  const Search searches[] = {
      {"IndexOfStr(t, \"banana\")", "1:1"},            {"IndexOfStr(t, \"BANANA\")", "1:-1"},
      {"IndexOfStr(t, \"BANANA\", FALSE)", "1:1"},     {"IndexOfStr(t, \"err\", TRUE, TRUE)", "1:2"},
      {"IndexOfStr(t, \"APP\", FALSE, TRUE)", "1:0"},  {"IndexOfStr(t, \"APP\", TRUE, TRUE)", "1:-1"},
  };
  for (const Search& s : searches) EXPECT_EQ(Eval(s.call), s.result) << s.call;
}

TEST_F(VariableFunctionTest, Sorting) {
  List("t", PT_STR, {"10", "9", "b", "100", "B"});
  Eval("SortStr(t)");
  EXPECT_EQ(Shape("t"), "5:10|100|9|B|b");
  Eval("SortStr(t, TRUE)");
  EXPECT_EQ(Shape("t"), "5:b|B|9|100|10");
  List("t", PT_STR, {"10", "9", "100", "-1.5"});
  Eval("SortStr(t, FALSE, TRUE)");
  EXPECT_EQ(Shape("t"), "4:-1.5|9|10|100");
  // Floats keep their full precision through a sort.
  TCustomParam& f = *Declare("f", PT_FLOAT).Param;
  f.SetDims({2});
  f.SetFloatAt(0, 2.0000000000000000001L);
  f.SetFloatAt(1, 1);
  Eval("SortStr(f, FALSE, TRUE)");
  EXPECT_EQ(f.GetFloatAt(1), 2.0000000000000000001L);
}

TEST_F(VariableFunctionTest, AddInsertAndDeleteElements) {
  List("a", PT_STR, {"a", "b", "c"});
  List("n", PT_INT, {"1", "2"});
  struct Step { const char* call; const char* result; const char* shape; };
  const Step steps[] = {
      {"AddArray(a, n)", "1:5", "5:a|b|c|1|2"},
      {"AddArray(a, a)", "1:10", "10:a|b|c|1|2|a|b|c|1|2"},
      {"DeleteArray(a, 3, 5)", "1:5", "5:a|b|c|1|2"},
      {"DeleteArray(a, -4, 2)", "1:3", "3:c|1|2"},
      {"DeleteArray(a, 9, 1)", "1:2", "2:c|1"},  // the index is clamped to the last element
      {"DeleteArray(a, 0, 0)", "1:2", "2:c|1"},
      {"InsertArray(a, 1, n)", "1:4", "4:c|1|2|1"},
      {"InsertArray(a, 99, \"z\")", "1:5", "5:c|1|2|1|z"},
      {"InsertArray(a, -5, \"y\")", "1:6", "6:y|c|1|2|1|z"},
      // Deleting every element leaves the scalar empty value.
      {"DeleteArray(a, 0, 99)", "1:0", "1:"},
      {"AddArray(a, n)", "1:3", "3:|1|2"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.call);
    EXPECT_EQ(Eval(s.call), s.result);
    EXPECT_EQ(Shape("a"), s.shape);
  }
  // Arrays of two or more dimensions are left alone.
  Var("n").SetDims({2, 2});
  EXPECT_EQ(Eval("AddArray(n, a)"), "1:4");
  EXPECT_EQ(Eval("AddArray(a, n)"), "1:3");
  EXPECT_EQ(Eval("InsertArray(n, 0, a)"), "1:4");
  EXPECT_EQ(Eval("DeleteArray(n, 0, 1)"), "1:4");
  EXPECT_EQ(Shape("n"), "2x2:1|2|0|0");
}

TEST_F(VariableFunctionTest, ExistenceTempTypesPushedSetsAndCalc) {
  Declare("x", PT_INT).Param->SetInt(1);
  EXPECT_EQ(Eval("VarExists(\"X\")"), "3:TRUE");
  EXPECT_EQ(Eval("VarExists(\"zz\")"), "3:FALSE");
  EXPECT_EQ(Eval("AssignTemp(\"zz\")"), "3:FALSE");
  EXPECT_EQ(Eval("AssignTemp(\"x\")"), "3:TRUE");
  EXPECT_EQ(Eval("@Temp + 1"), "1:2");
  EXPECT_EQ(Eval("GetVarType(x)"), "1:1");
  EXPECT_EQ(Eval("GetVarType(\"s\")"), "1:4");
  EXPECT_EQ(Eval("GetVarType(1.5)"), "1:2");
  EXPECT_EQ(Eval("GetVarType(TRUE)"), "1:3");

  EXPECT_EQ(Eval("PushVar(\"x\", \"nothing\")"), "3:TRUE");
  Eval("x = 2");
  EXPECT_EQ(Eval("PopVar()"), "3:TRUE");
  EXPECT_EQ(Var("x").AsInt(), 1);
  EXPECT_EQ(Eval("PopVar()"), "3:TRUE");  // an empty stack does nothing

  EXPECT_EQ(Eval("Calc(\"x = x + 41\")"), "4:TRUE");
  EXPECT_EQ(Var("x").AsInt(), 42);
  EXPECT_EQ(Eval("Calc(\"  \")"), "4:");
  EXPECT_EQ(Eval("Calc(\"x = (\")"), "4:TRUE");  // a compile error gives nothing, the text was there
  EXPECT_EQ(Var("x").AsInt(), 42);
}

}  // namespace
}  // namespace kivo
