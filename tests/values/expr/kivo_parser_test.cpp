// Executing compiled expressions: operator and kind rules, temporaries, failures, run-form loading.
#include "values/expr/kivo_parser.h"

#include <gtest/gtest.h>

#include "expr_fixture.h"
#include "platform/kivo_error.h"
#include "values/expr/expr_errors.h"
#include "values/param_var.h"
#include "values/value_messages.h"

namespace kivo {
namespace {

class KivoParserTest : public ::testing::Test, public ExprFixture {};

TEST_F(KivoParserTest, OperatorsAndKindRules) {
  struct Case { const char* text; const char* result; };
  const Case cases[] = {
      {"1+2*3", "1:7"},          {"(1+2)*3", "1:9"},        {"10-4-3", "1:3"},
      {"7/2", "1:3"},            {"7.0/2", "2:3.5"},        {"-7/2", "1:-3"},
      {"-7%3", "1:-1"},          {"1<<4", "1:16"},          {"-1>>28", "1:15"},
      {"1<<33", "1:2"},          {"-2+3", "1:1"},           {"2*-3", "1:-6"},
      {"+5", "1:5"},             {"1e3", "2:1000"},         {"$7FFFFFFF+1", "1:-2147483648"},
      {"1+2==3", "3:TRUE"},      {"1==1&0", "1:0"},         {"6|3", "1:7"},
      {"6^3", "1:5"},            {"1<>2", "3:TRUE"},        {"2>=2", "3:TRUE"},
      // Strings join only with "++"; "+" into a string stores the integer sum as text.
      {"\"ab\"++\"cd\"", "4:abcd"}, {"\"12\"+3", "4:15"},   {"\"ab\"+1", "4:1"},
      {"1++2.5", "4:12.5"},      {"TRUE++1", "4:TRUE1"},
      // Comparisons take their domain from the first operand.
      {"\"b\">\"a\"", "3:TRUE"}, {"\"B\"<\"a\"", "3:TRUE"}, {"\"10\"<\"9\"", "3:TRUE"},
      {"\"ab\"<\"abc\"", "3:TRUE"}, {"\"\x82\xa0\">\"z\"", "3:TRUE"},
      {"1==1.9", "3:TRUE"},      {"1.9==1", "3:FALSE"},     {"TRUE==5", "3:TRUE"},
      {"\"a\\\"b\"", "4:a\"b"},  {"\"x\\ny\"", "4:x\r\ny"}, {"TRUE", "3:TRUE"},
      // Failures end the expression without a result.
      {"1/0", "none"},           {"1.5/0", "none"},         {"5%0", "none"},
      {"nothing+1", "none"},     {"Nope(1)", "none"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    if (std::string(c.text) == "Nope(1)") {
      EXPECT_THROW(RunFormOf(c.text), EKivoError);
      continue;
    }
    EXPECT_EQ(Eval(c.text), c.result);
  }
}

TEST_F(KivoParserTest, AssignmentsConvertToTheDestinationKind) {
  Declare("i", PT_INT);
  Declare("f", PT_FLOAT);
  Declare("b", PT_BOOL);
  Declare("s", PT_STR);
  const int before = vars.Count();
  EXPECT_EQ(Eval("i = 5"), "none");
  EXPECT_EQ(Var("i").AsInt(), 5);
  EXPECT_EQ(Eval("i = 2.9"), "none");
  EXPECT_EQ(Var("i").AsInt(), 2);
  EXPECT_EQ(Eval("f = 7 / 2"), "none");  // integer division, then stored as float
  EXPECT_EQ(Var("f").AsFloat(), 3.0L);
  EXPECT_EQ(Eval("f = f + 0.25"), "none");
  EXPECT_EQ(Var("f").AsFloat(), 3.25L);
  EXPECT_EQ(Eval("b = 5"), "none");
  EXPECT_TRUE(Var("b").AsBool());
  EXPECT_EQ(Eval("s = 1 + 2"), "none");
  EXPECT_EQ(Var("s").AsString(), "3");
  EXPECT_EQ(Eval("s = s ++ \"x\" ++ i"), "none");
  EXPECT_EQ(Var("s").AsString(), "3x2");
  EXPECT_EQ(Eval("I = I * 10"), "none");  // names ignore case
  EXPECT_EQ(Var("i").AsInt(), 20);
  // An undeclared destination stores nothing and reports nothing.
  EXPECT_EQ(Eval("undeclared = 5"), "none");
  EXPECT_EQ(vars.FindVar("undeclared"), nullptr);
  // Temporaries exist only during the execution.
  EXPECT_EQ(vars.Count(), before);
}

TEST_F(KivoParserTest, ArrayElementsAndReferences) {
  TCustomParam& a = *Declare("a", PT_INT).Param;
  a.SetDims({3, 4});
  a.SetIntAt(0, 41);
  EXPECT_EQ(Eval("a[1,2] = a[0,0] + 1"), "none");
  EXPECT_EQ(a.GetIntAt(6), 42);
  EXPECT_EQ(Eval("a[1, 2] * 2"), "1:84");
  EXPECT_EQ(Eval("a[0, 1+1*2] = 9"), "none");
  EXPECT_EQ(a.GetIntAt(3), 9);
  EXPECT_EQ(Eval("a[2,4]"), "none");  // past the last element
  EXPECT_EQ(Eval("a[1]"), "none");    // wrong number of indexes
  // A variable that is itself a reference designates its element, in reads and writes.
  TParamCollectionItem& r = Declare("r", PT_NONE);
  static_cast<TParamVar&>(*r.Param).BindElement("a", {1, 2});
  EXPECT_EQ(Eval("r + 1"), "1:43");
  EXPECT_EQ(Eval("r = 5"), "none");
  EXPECT_EQ(a.GetIntAt(6), 5);
  // After a reference operand, a plain variable of the same operand reads its own element 0.
  Declare("p", PT_INT).Param->SetInt(3);
  TKivoParser parser;
  Load(parser, RunFormOf("r + p"));
  parser.Execute(funcs);
  EXPECT_EQ(Describe(parser.Result()), "1:8");
}

TEST_F(KivoParserTest, TemporariesAreVariablesDuringTheRun) {
  const int before = vars.Count();
  EXPECT_EQ(Eval("VarExists(\"____0\")"), "3:TRUE");
  EXPECT_EQ(vars.FindVar("____0"), nullptr);
  EXPECT_EQ(Eval("Calc(\"x = 7\")"), "4:TRUE");  // x does not exist: nothing stored
  Declare("x", PT_INT);
  EXPECT_EQ(Eval("Calc(\"x = 7\") ++ x"), "4:TRUE7");
  EXPECT_EQ(Var("x").AsInt(), 7);
  // Self-recursive Calc text stops at the nesting limit instead of overflowing the stack.
  Declare("s", PT_STR).Param->SetStr("Calc(s)");
  EXPECT_EQ(Eval("Calc(s)"), "4:TRUE");
  EXPECT_EQ(vars.Count(), before + 2);
}

TEST_F(KivoParserTest, EachRunHasItsOwnResult) {
  // One parser run again and again, as a command runs its condition: a taken result stays with
  // its taker, the kind follows the variables, and a failed run leaves none.
  Declare("x", PT_INT).Param->SetInt(3);
  TKivoParser parser;
  Load(parser, RunFormOf("x * 2"));
  parser.Execute(funcs);
  EXPECT_EQ(Describe(parser.Result()), "1:6");
  Var("x").SetInt(5);
  parser.Execute(funcs);
  std::unique_ptr<TCustomParam> taken = parser.TakeResult();
  Var("x").SetInt(7);
  parser.Execute(funcs);
  EXPECT_EQ(Describe(taken.get()), "1:10");
  EXPECT_EQ(Describe(parser.Result()), "1:14");
  vars.DeleteVar(*vars.FindVar("x"));
  Declare("x", PT_FLOAT).Param->SetFloat(1.25L);
  parser.Execute(funcs);
  EXPECT_EQ(Describe(parser.Result()), "2:2.5");
  vars.DeleteVar(*vars.FindVar("x"));
  parser.Execute(funcs);
  EXPECT_EQ(Describe(parser.Result()), "none");
  EXPECT_EQ(parser.LastError(), NoSuchVariableText("x"));
}

TEST_F(KivoParserTest, CalcTemporariesAreItsOwn) {
  // The inner text numbers its temporaries from 0 again while the outer "____0" (the text
  // itself, a string) is still alive; the inner product must still be a float.
  Declare("y", PT_FLOAT);
  EXPECT_EQ(Eval("Calc(\"y = 1.5 * 2\")"), "4:TRUE");
  EXPECT_EQ(Var("y").AsFloat(), 3.0L);
  EXPECT_EQ(Eval("Calc(\"y = a[0] + 0.5\") ++ Calc(\"y = y * 2\")"), "4:TRUETRUE");
  EXPECT_EQ(Var("y").AsFloat(), 6.0L);
  // A variable of the script whose name merely begins with "____" is still written.
  Declare("____mine", PT_INT);
  EXPECT_EQ(Eval("____mine = 4"), "none");
  EXPECT_EQ(Var("____mine").AsInt(), 4);
}

TEST_F(KivoParserTest, ErrorTextsOfTheLastRun) {
  Declare("x", PT_INT);
  TCustomParam& a = *Declare("a", PT_INT).Param;
  a.SetDims({3, 4});
  funcs.SetHandler(2, [](TFuncCall&) {});
  auto errorOf = [&](const std::vector<uint8_t>& bytes) {
    TKivoParser p;
    Load(p, bytes);
    p.Execute(funcs);
    return p.LastError();
  };
  struct Case { std::string text; std::string error; };
  const Case cases[] = {
      {"x = 1", ""},
      {"nothing + 1", NoSuchVariableText("nothing")},
      {"nothing = 1", NoSuchVariableText("nothing")},
      {"x = GetProp(\"o\", 200)", std::string(kBadGetPropArgs)},
      {"a[2,4]", "a[2,4]\r\n" + std::string(kMsgTooManyElements)},
      {"1/0", "Division by zero"},
  };
  for (const Case& c : cases) EXPECT_EQ(errorOf(RunFormOf(c.text)), c.error) << c.text;
  const std::string bad = std::string(kBadExpression) + "\r\n\r\n" + std::string(kDestLabel) + "x" +
                          std::string(kOpTypeLabel);
  EXPECT_EQ(errorOf({1, 0, 0, 0, 0, 1, 0, 0, 0, 'x', 2, 0, 0, 0, 1, 7, 0, 0, 0, 4, 1, 0, 0, 0, 'q'}),
            bad + "ocNone\r\n7\r\nq");
  EXPECT_EQ(errorOf({1, 0, 0, 0, 25, 1, 0, 0, 0, 'x', 0, 0, 0, 0}), bad);
}

TEST_F(KivoParserTest, AFailureKeepsWhatAlreadyRan) {
  Declare("s", PT_STR).Param->SetStr("abc");
  EXPECT_EQ(Eval("Delete(s, 1, 1) + missing"), "none");
  EXPECT_EQ(Var("s").AsString(), "bc");
  // Functions whose subsystem is not built raise an error naming them; the expression ends.
  EXPECT_EQ(Eval("FileExists(\"a\")"), "none");
  auto dest = CreateParam(PT_BOOL);
  auto arg = CreateParam(PT_STR);
  TCustomParam* args[] = {arg.get()};
  try {
    funcs.Call(*dest, 71, args);
    FAIL();
  } catch (const EKivoError& e) {
    EXPECT_NE(e.Message().find("FileExists"), std::string::npos);
  }
}

TEST_F(KivoParserTest, GetPropTemporaryTakesThePropertyKind) {
  funcs.SetHandler(2, [](TFuncCall&) {});  // the scene is not part of this test
  EXPECT_EQ(Eval("GetProp(\"o\", 0)"), "4:");       // PR_NAME
  EXPECT_EQ(Eval("GetProp(\"o\", 3)"), "1:0");      // PR_LEFT
  EXPECT_EQ(Eval("GetProp(\"o\", 25)"), "3:FALSE"); // PR_ANTIALIAS
  EXPECT_EQ(Eval("GetProp(\"o\", 95)"), "2:0");     // PR_PARAM1
  EXPECT_EQ(Eval("GetProp(\"o\", 165)"), "none");
  EXPECT_EQ(Eval("GetProp(\"o\", -1)"), "none");
}

TEST_F(KivoParserTest, SaveLoadAndAssignKeepTheBytes) {
  for (const char* text : {"x = 5", "IntToStr(7, 3)", "y = 1.5 * 1e3 ++ TRUE ++ FALSE", "a[1,2] = a[0,0] + \"s\""}) {
    SCOPED_TRACE(text);
    const std::vector<uint8_t> bytes = RunFormOf(text);
    TKivoParser loaded;
    Load(loaded, bytes);
    TMemoryStream saved;
    loaded.SaveRunForm(saved);
    EXPECT_EQ(saved.Bytes(), bytes);
    TKivoParser copy;
    copy.Assign(loaded);
    TMemoryStream copied;
    copy.SaveRunForm(copied);
    EXPECT_EQ(copied.Bytes(), bytes);
  }
  // A boolean operand byte other than 0 or 1 survives a round trip.
  const std::vector<uint8_t> odd = {1, 0, 0, 0, 1, 7, 0, 0, 0, '_', '_', '_', '_', 'a', 'r', 'g', 1, 0, 0, 0, 3, 2};
  TKivoParser p;
  Load(p, odd);
  TMemoryStream s;
  p.SaveRunForm(s);
  EXPECT_EQ(s.Bytes(), odd);
  p.Execute(funcs);
  EXPECT_EQ(Describe(p.Result()), "3:TRUE");
}

TEST_F(KivoParserTest, HostileRunFormsFailCleanly) {
  auto loadError = [](std::vector<uint8_t> bytes) {
    TKivoParser p;
    TMemoryStream s(std::move(bytes));
    EXPECT_THROW(p.LoadRunForm(s), EKivoError);
    EXPECT_TRUE(p.Empty());
  };
  loadError({0xFF, 0xFF, 0xFF, 0x7F});                    // a count far past the data
  loadError({1, 0, 0, 0, 1, 0xF0, 0xFF, 0xFF, 0x7F});     // a destination length past the data
  loadError({1, 0, 0, 0, 1, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x0F});  // an operand count past the data
  loadError({1, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 1, 5});  // a truncated operand

  // Unknown codes, missing operands and unknown function numbers run as failures.
  Declare("x", PT_INT);
  const std::vector<std::vector<uint8_t>> bad = {
      {1, 0, 0, 0, 0, 1, 0, 0, 0, 'x', 0, 0, 0, 0},           // ocNone
      {1, 0, 0, 0, 25, 1, 0, 0, 0, 'x', 0, 0, 0, 0},          // code 25
      {1, 0, 0, 0, 2, 1, 0, 0, 0, 'x', 1, 0, 0, 0, 1, 1, 0, 0, 0},  // "+" with one operand
      {1, 0, 0, 0, 11, 5, 0, 0, 0, '_', '_', '_', '_', '0', 0, 0, 0, 0, 200},  // function 200
      {1, 0, 0, 0, 1, 5, 0, 0, 0, '_', '_', '_', ' ', '0', 1, 0, 0, 0, 1, 1, 0, 0, 0},  // bad name
  };
  const int before = vars.Count();
  for (const auto& bytes : bad) {
    TKivoParser p;
    Load(p, bytes);
    EXPECT_NO_THROW(p.Execute(funcs));
    EXPECT_EQ(p.Result(), nullptr);
    EXPECT_EQ(vars.Count(), before);
  }

  // Mutated run forms either load or raise, and always run without crashing.
  std::vector<uint8_t> base = RunFormOf("x = a[1, 2] + IntToStr(Length(\"ab\"), 3) ++ (x * 2 - -1)");
  uint32_t seed = 12345;
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> bytes = base;
    for (int k = 0; k < 3; ++k) {
      seed = seed * 1103515245u + 12345u;
      bytes[(seed >> 8) % bytes.size()] = static_cast<uint8_t>(seed >> 24);
    }
    TKivoParser p;
    TMemoryStream s(bytes);
    try {
      p.LoadRunForm(s);
    } catch (const EKivoError&) {
      continue;
    }
    p.Execute(funcs);
  }
  EXPECT_EQ(vars.Count(), before);
}

TEST(RunText, CompilesAndRunsOnce) {
  ExprFixture f;
  f.Declare("x", PT_INT);
  EXPECT_FALSE(RunText("", f.funcs));
  EXPECT_FALSE(RunText(" \t ", f.funcs));
  EXPECT_FALSE(RunText("x = (", f.funcs));
  EXPECT_FALSE(RunText("x = Nope()", f.funcs));
  EXPECT_TRUE(RunText("  x = x + 4  ", f.funcs));
  EXPECT_TRUE(RunText("x = x / 0", f.funcs));  // execution errors do not change the answer
  EXPECT_EQ(f.Var("x").AsInt(), 4);
}

}  // namespace
}  // namespace kivo
