// The compiler's build form for each construct, its errors, and run-form bytes assembled by hand.
#include "values/expr/build_parser.h"

#include <gtest/gtest.h>

#include "platform/kivo_error.h"
#include "values/expr/expr_errors.h"
#include "values/expr/operand_text.h"

namespace kivo {
namespace {

using Ops = std::vector<TBuildOpeData>;

Ops CompileOps(const std::string& text) {
  TBuildKivoParser p;
  p.Compile(text);
  return p.Operations();
}

std::string CompileError(const std::string& text) {
  try {
    TBuildKivoParser p;
    p.Compile(text);
    TMemoryStream s;
    p.WriteRunForm(s);
  } catch (const EKivoError& e) {
    return e.Message();
  }
  return "(no error)";
}

std::string Describe(const Ops& ops) {
  std::string s;
  for (const TBuildOpeData& op : ops) {
    s += std::string(OpTypeName(op.OpType)) + " " + op.Dest + " {";
    for (size_t i = 0; i < op.Args.size(); ++i) s += (i ? "|" : "") + op.Args[i];
    s += "}\n";
  }
  return s;
}

TEST(BuildKivoParser, BuildFormOfEachConstruct) {
  struct Case { std::string text; std::string ops; };
  const Case cases[] = {
      {"x = 5", "ocTo x {5}\n"},
      {"1+2*3", "ocMul ____0 {2|3}\nocPlus ____1 {1|____0}\nocTo ____arg {____1}\n"},
      {"10-4-3", "ocMinus ____0 {10|4}\nocMinus ____1 {____0|3}\nocTo ____arg {____1}\n"},
      // The group's copy into its temporary is removed.
      {"(1+2)*3", "ocPlus ____1 {1|2}\nocMul ____2 {____1|3}\nocTo ____arg {____2}\n"},
      // Innermost call first, then the grouped argument, then the outer call.
      {"f(g(1), (2+3)*4)",
       "ocFunc ____0 {g|1}\nocPlus ____4 {2|3}\nocMul ____5 {____4|4}\nocFunc ____1 {f|____0|____5}\n"
       "ocTo ____arg {____1}\n"},
      {"a[1,2] = a[0,0] + 1",
       "ocDimTo ____d_0 {a|0|0}\nocDimTo ____d_1 {a|1|2}\nocPlus ____2 {____d_0|1}\nocTo ____d_1 {____2}\n"},
      // Indexes and arguments are computed before the operation that uses them.
      {"a[i+1]", "ocPlus ____2 {i|1}\nocDimTo ____d_0 {a|____2}\nocTo ____arg {____d_0}\n"},
      {"-5", "ocMinus ____0 {0|5}\nocTo ____arg {____0}\n"},
      {"+5", "ocPlus ____0 {0|5}\nocTo ____arg {____0}\n"},
      {"2*-3", "ocMinus ____0 {0|3}\nocMul ____1 {2|____0}\nocTo ____arg {____1}\n"},
      {"2*+3", "ocMul ____0 {2|3}\nocTo ____arg {____0}\n"},
      {"-1>>28", "ocMinus ____0 {0|1}\nocShiftR ____1 {____0|28}\nocTo ____arg {____1}\n"},
      {"1==1&0", "ocEqual ____0 {1|1}\nocAnd ____1 {____0|0}\nocTo ____arg {____1}\n"},
      {"a<>b<=c", "ocNEqual ____0 {a|b}\nocESmall ____1 {____0|c}\nocTo ____arg {____1}\n"},
      {"1e-3", "ocMinus ____0 {1e|3}\nocTo ____arg {____0}\n"},
      // Literals: \" and \\ are taken literally, \n becomes CR LF, other backslashes stay.
      {"s = \"a\\\"b\\\\c\\nd\\x\" ++ t",
       "ocTo ____0 {\"a\"b\\c\r\nd\\x\"}\nocComboStr ____1 {____0|t}\nocTo s {____1}\n"},
      {"PopVar()", "ocFunc ____0 {PopVar}\nocTo ____arg {____0}\n"},
      // Calls are cut before elements; an element reference is never folded into a copy.
      {"f(, a[1, 2])", "ocDimTo ____d_2 {a|1|2}\nocTo ____1 {____d_2}\nocFunc ____0 {f||____1}\nocTo ____arg {____0}\n"},
      {"f(((x)))", "ocFunc ____0 {f|x}\nocTo ____arg {____0}\n"},
      {"", "ocTo ____arg {}\n"},
      // Trail bytes that look like "[" (0x81 0x5B), "|" (0x83 0x7C), "A" (0x83 0x41) or "\" (0x95 0x5C).
      {"\x81\x5b = \x83\x7c|1", "ocOr ____0 {\x83\x7c|1}\nocTo \x81\x5b {____0}\n"},
      {"\x83\x41(1)", "ocTo ____0 {1}\nocTo ____arg {\x83\x41____0}\n"},
      {"\"\x95\x5c\"", "ocTo ____0 {\"\x95\x5c\"}\nocTo ____arg {____0}\n"},
      {"\x95\x5c[2] = 1", "ocDimTo ____d_0 {\x95\x5c|2}\nocTo ____d_0 {1}\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Describe(CompileOps(c.text)), c.ops);
  }
}

TEST(BuildKivoParser, CompileAndConversionErrors) {
  const std::string syntax(kSyntaxError);
  struct Case { std::string text; std::string error; };
  const Case cases[] = {
      {"*5", syntax},
      {"= 5", syntax},
      {"x = y = 1", syntax},
      {"1 +", syntax},
      {"1 == == 2", syntax},
      {"(1", syntax},
      {"1)", syntax},
      {"f(1", syntax},
      {"a[1", syntax},
      {"a]1[", syntax},
      {"f(a]1)", syntax},
      {"+[1]", syntax},
      {"[1]", syntax},
      {"\"abc", syntax},
      {"a[]", std::string(kBadIndexList)},
      {"a[ ] = 1", std::string(kBadIndexList)},
      {"Foo(1)", NoSuchFunctionText("Foo")},
      {"sin(1)", NoSuchFunctionText("sin")},
      {"Sin(1, 2)", BadArgCountText("Sin")},
      {"PopVar(1)", BadArgCountText("PopVar")},
      {"IntToStr()", BadArgCountText("IntToStr")},
      {"x = 1", "(no error)"},
      {"SetArray(a, 1, 2, 3, 4, 5, 6)", "(no error)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CompileError(c.text), c.error);
  }
  EXPECT_EQ(CompileError(std::string(TBuildKivoParser::kMaxTextLength + 1, 'a')), syntax);
}

TEST(BuildKivoParser, HostileTextFailsCleanly) {
  // Texts near the length limit, deeply nested or made of thousands of constructs, compile or
  // raise quickly and never overflow.
  const size_t limit = TBuildKivoParser::kMaxTextLength - 8;
  auto repeat = [limit](const std::string& head, const std::string& piece, const std::string& tail) {
    std::string s = head;
    while (s.size() + piece.size() + tail.size() < limit) s += piece;
    return s + tail;
  };
  EXPECT_NO_THROW(CompileOps(std::string(30000, '(') + "1" + std::string(30000, ')')));
  EXPECT_NO_THROW(CompileOps("f(" + std::string(30000, '(') + "x" + std::string(30000, ')') + ")"));
  EXPECT_NO_THROW(CompileOps(std::string(60000, '-') + "1"));
  std::string nestedCalls;
  for (int i = 0; i < 10000; ++i) nestedCalls += "f(";
  EXPECT_NO_THROW(CompileOps(nestedCalls + "1" + std::string(10000, ')')));
  EXPECT_EQ(CompileOps(repeat("x = 1", "+f(a[1])", "")).size() % 4, 1u);
  EXPECT_NO_THROW(CompileOps(repeat("", "(1)+", "1")));
  EXPECT_NO_THROW(CompileOps(repeat("", "\"a\"++", "1")));
  EXPECT_NO_THROW(CompileOps(repeat("", "a[(b+1)*2]-Min(3,(4))*", "1")));
  EXPECT_THROW(CompileOps(repeat("", "f(1)+", "(")), EKivoError);
}

// Little-endian bytes, assembled independently of the writer under test.
struct Bytes {
  std::vector<uint8_t> v;
  Bytes& B(uint8_t b) { v.push_back(b); return *this; }
  Bytes& I(int32_t x) {
    for (int k = 0; k < 4; ++k) v.push_back(static_cast<uint8_t>(static_cast<uint32_t>(x) >> (8 * k)));
    return *this;
  }
  Bytes& S(const std::string& s) {
    I(static_cast<int32_t>(s.size()));
    v.insert(v.end(), s.begin(), s.end());
    return *this;
  }
  Bytes& Raw(std::initializer_list<uint8_t> bs) { v.insert(v.end(), bs); return *this; }
};

std::vector<uint8_t> RunForm(const std::string& text) {
  TBuildKivoParser p;
  p.Compile(text);
  TMemoryStream s;
  p.WriteRunForm(s);
  return s.Bytes();
}

TEST(BuildKivoParser, RunFormBytes) {
  EXPECT_EQ(RunForm("x = 5"), Bytes().I(1).B(1).S("x").I(1).B(1).I(5).v);
  EXPECT_EQ(RunForm("IntToStr(7, 3)"),
            Bytes().I(2)
                .B(11).S("____0").I(2).B(0).B(1).I(7).B(1).I(3)
                .B(1).S("____arg").I(1).B(0).S("____0").v);
  // 1.5 and 1000.0 as 10-byte extended values; TRUE as kind 3; a literal as kind 4.
  EXPECT_EQ(RunForm("y = 1.5 * 1e3"),
            Bytes().I(2)
                .B(4).S("____0").I(2)
                .B(2).Raw({0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F})
                .B(2).Raw({0, 0, 0, 0, 0, 0, 0, 0xFA, 0x08, 0x40})
                .B(1).S("y").I(1).B(0).S("____0").v);
  EXPECT_EQ(RunForm("s = \"ab\" ++ TRUE ++ $FF"),
            Bytes().I(4)
                .B(1).S("____0").I(1).B(4).S("ab")
                .B(19).S("____1").I(2).B(0).S("____0").B(3).B(1)
                .B(19).S("____2").I(2).B(0).S("____1").B(1).I(255)
                .B(1).S("s").I(1).B(0).S("____2").v);
  EXPECT_EQ(RunForm("GetProp(\"\", 3)"),
            Bytes().I(3)
                .B(1).S("____0").I(1).B(4).S("")
                .B(11).S("____1").I(2).B(2).B(0).S("____0").B(1).I(3)
                .B(1).S("____arg").I(1).B(0).S("____1").v);
  // A failed conversion writes nothing.
  TBuildKivoParser p;
  p.Compile("x = 1 + Nope(2)");
  TMemoryStream s;
  EXPECT_THROW(p.WriteRunForm(s), EKivoError);
  EXPECT_EQ(s.Size(), 0);
}

TEST(OperandText, Classification) {
  struct Case { std::string text; uint8_t kind; int32_t i; };
  const Case cases[] = {
      {"5", okInt, 5},           {"-2147483648", okInt, INT32_MIN}, {"$ff", okInt, 255},
      {"$FFFFFFFF", okInt, -1},  {"2147483648", okFloat, 0},        {"1.5", okFloat, 0},
      {"1e3", okFloat, 0},       {".5", okFloat, 0},                {"1e", okVariable, 0},
      {"$", okVariable, 0},      {"$100000000", okVariable, 0},     {"TRUE", okBool, 1},
      {"FALSE", okBool, 0},      {"true", okVariable, 0},           {"\"\"", okString, 0},
      {"\"", okVariable, 0},     {"", okVariable, 0},               {"____0", okVariable, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TOperandConst k = ClassifyOperandText(c.text);
    EXPECT_EQ(k.Kind, c.kind);
    if (c.kind == okInt) {
      EXPECT_EQ(k.Int, c.i);
    }
    if (c.kind == okBool) {
      EXPECT_EQ(k.Bool, c.i != 0);
    }
  }
  EXPECT_EQ(ClassifyOperandText("2147483648").Float, 2147483648.0L);
}

}  // namespace
}  // namespace kivo
