// The scenario text form: every stored field prints and compiles back to the same bytes, the tool
// works out loop and label indexes itself, source errors say where they are, and builds and dumps
// of whole folders.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/commands/command_factory.h"
#include "engine/commands/component_commands.h"
#include "engine/commands/flow_commands.h"
#include "page_forms.h"
#include "page_text.h"
#include "project_text.h"
#include "platform/kivo_error.h"
#include "render/text/glyph_stream.h"
#include "render/text/markup_compiler.h"
#include "scenario_build.h"
#include "scenario_expr.h"
#include "testkit/temp_folder.h"
#include "values/property_names.h"

namespace kivo::scenario {
namespace {

const char* const kExpressions[] = {"x + 1", "\"two words\" ++ y", "a[1, 2] * -3", "IntToStr(5)", "z = x % 3 >= 1"};
const std::string kStrings[] = {"sub.ksb", "two words", "\x83\x41\x83\x43", std::string("\xFF\x01", 2),
                                "say \"hi\""};

std::unique_ptr<TExpr> Compiled(const std::string& text) {
  auto e = std::make_unique<TExpr>();
  CompileExpr(text, *e);
  return e;
}

// Gives every field of the command that its page version stores a value other than the default.
void FillEveryField(TCommand& c, int32_t version, int seed) {
  const TKindForm& form = KindForm(c.Kind());
  for (const TField& field : form.fields) {
    if (version < field.gate.since || version > field.gate.until) continue;
    void* at = field.at(c);
    ++seed;
    switch (field.type) {
      case TFieldType::Expr:
        CompileExpr(kExpressions[seed % 5], *static_cast<TExpr*>(at));
        break;
      case TFieldType::ExprList: {
        auto& list = *static_cast<std::vector<std::unique_ptr<TExpr>>*>(at);
        for (int k = 0; k < 2; ++k) {
          list.push_back(std::make_unique<TExpr>());
          CompileExpr(kExpressions[(seed + k) % 5], *list.back());
        }
        break;
      }
      case TFieldType::Str:
        *static_cast<std::string*>(at) = kStrings[seed % 5];
        break;
      case TFieldType::Int:
        *static_cast<int32_t*>(at) = 7 + seed;
        break;
      case TFieldType::Byte:
        *static_cast<uint8_t*>(at) = static_cast<uint8_t>(seed % 6);
        break;
      case TFieldType::Text:
        *static_cast<std::string*>(at) = SaveGlyphList(CompileMarkup({"Hello <B>world</B>,", "<RUBY TEXT=\"x\">y</RUBY>"}));
        break;
    }
  }
  if (auto* component = dynamic_cast<TComComponent*>(&c)) {
    CompileExpr("\"obj\" ++ x", component->EnsureProperty(PR_NAME));
    CompileExpr("40", component->EnsureProperty(PR_LEFT));
  }
}

std::unique_ptr<TPage> EveryKindFilled(int32_t version) {
  auto page = std::make_unique<TPage>();
  page->SetName("every.ksb");
  page->SetVersion(version);
  page->SetResultType(2);
  for (int kind = 0; kind < kCommandKindCount; ++kind) {
    MaskSet(page->Mask(kind), PR_NAME);
    MaskSet(page->Mask(kind), PR_LEFT);
    MaskSet(page->Mask(kind), PR_TOP);  // in the mask, never given a value
  }
  for (int kind = 0; kind < kCommandKindCount; ++kind) {
    std::unique_ptr<TCommand> c = CreateCommand(kind);
    c->Create(*page);
    // Lines with gaps, one going backwards, and an indent the text cannot show by spaces.
    int32_t line = kind == 30 ? 5 : 10 + kind * 3;
    c->SetHead(kind == 40 ? 900 : kind % 3, kind % 2 == 0, kind % 4 == 0, line);
    FillEveryField(*c, version, kind);
    page->Add(std::move(c));
  }
  return page;
}

TEST(ScenarioText, EveryFieldOfEveryKindCompilesBackToTheSameBytes) {
  for (int32_t version : {103, 105, 107, 108, 111, 116}) {
    std::unique_ptr<TPage> page = EveryKindFilled(version);
    std::string text = PrintPage(*page);
    std::unique_ptr<TPage> back;
    try {
      back = CompilePage({"every.kss", "every.ksb", text});
    } catch (const ESourceErrors& e) {
      FAIL() << "version " << version << ": " << e.what() << "\n" << text;
    }
    EXPECT_EQ(PageBytes(*back), PageBytes(*page)) << "version " << version << "\n" << text;
  }
}

TEST(ScenarioText, ExpressionsWithoutAnExactInfixFormUseTheRawNotation) {
  // Run-form bytes the compiler would never write (a name it would not produce) still survive.
  std::unique_ptr<TExpr> e = Compiled("x + 1");
  std::string bytes = ExprBytes(*e);
  EXPECT_EQ(PrintExpr(*e), "x + 1");
  std::unique_ptr<TExpr> raw = Compiled(std::string(kRawPrefix) + [&] {
    static const char* hex = "0123456789ABCDEF";
    std::string h;
    for (unsigned char b : bytes) h += {hex[b >> 4], hex[b & 15]};
    return h;
  }());
  EXPECT_EQ(ExprBytes(*raw), bytes);
  EXPECT_THROW(Compiled("@run:0G"), EKivoError);
}

int32_t IntField(const TPage& page, int index, const char* name) {
  TCommand& c = *page.Command(index);
  return *static_cast<int32_t*>(KindForm(c.Kind()).Find(name)->at(c));
}

TEST(ScenarioText, LoopAndLabelIndexesComeFromTheStructure) {
  std::vector<TPageSource> sources = {
      {"main.kss", "main.ksb",
       "While a < 3\n"               // 0
       "  Continue a == 1\n"         // 1
       "  While b\n"                 // 2
       "    Break\n"                 // 3
       "  WhileLoop\n"               // 4
       "  Break b == 2\n"            // 5
       "WhileLoop a = a + 1\n"       // 6
       "Break\n"                     // 7: outside every loop
       "Jump label=end\n"            // 8
       "Call sub.ksb label=entry\n"  // 9
       "Label end\n"},               // 10
      {"sub.kss", "sub.ksb", "Comment first\nLabel entry\nExit\n"},
  };
  std::vector<std::unique_ptr<TPage>> pages = CompilePages(sources);
  const TPage& main = *pages[0];
  EXPECT_EQ(IntField(main, 0, "loopEnd"), 7);
  EXPECT_EQ(IntField(main, 1, "target"), 6);  // Continue goes to the WhileLoop
  EXPECT_EQ(IntField(main, 2, "loopEnd"), 5);
  EXPECT_EQ(IntField(main, 3, "target"), 5);  // Break goes past the inner WhileLoop
  EXPECT_EQ(IntField(main, 4, "loopHead"), 2);
  EXPECT_EQ(IntField(main, 5, "target"), 7);
  EXPECT_EQ(IntField(main, 6, "loopHead"), 0);
  EXPECT_EQ(IntField(main, 7, "target"), -1);
  EXPECT_EQ(IntField(main, 8, "target"), 10);
  EXPECT_EQ(IntField(main, 9, "start"), 1);
  // The dump names the same targets by label again.
  std::string printed = PrintPage(main, [&](const std::string& name) -> const TPage* {
    return name == "sub.ksb" ? pages[1].get() : nullptr;
  });
  EXPECT_NE(printed.find("Jump label=end"), std::string::npos) << printed;
  EXPECT_NE(printed.find("Call sub.ksb label=entry"), std::string::npos) << printed;
}

TEST(ScenarioText, SourceErrorsSayFileLineAndColumn) {
  struct TCase {
    std::string text;
    std::string where;  // "file:line:column"
    std::string what;
  };
  const TCase cases[] = {
      {"Calc x = 1\nFrobnicate 3\n", "p.kss:2:1", "unknown command"},
      {"If x\n   Calc y = 1\n", "p.kss:2:4", "indentation"},
      {"Calc x = 1\nVarNew \"open\n", "p.kss:2:8", ""},
      {"TextIns speed=3\n", "p.kss:1:9", "no field 'speed'"},
      {"Calc x = (1 +\n", "p.kss:1:10", "'(' is not closed"},
      {"Calc x = 1 +* 2\n", "p.kss:1:6", "expression"},
      {"Jump label=nowhere\n", "p.kss:1:6", "no label 'nowhere'"},
      {"While x\n  Calc x = x - 1\n", "p.kss:1:1", "no WhileLoop"},
      {"TextIns window=\"w\"\n  | fine line\n  | a <A>link</A>\n", "p.kss:3:", ""},
      {"Wait 100 blockEvents=TRUE\n", "", ""},  // stored from version 107 on: fine at the newest
      {"Page version=106\nWait 100 blockEvents=TRUE\n", "p.kss:2:22", "version 107"},
      {"Calc x = 1\nPage version=110\n", "p.kss:2:1", "before the first command"},
      {"Jump x.ksb If={a > 1}\n", "p.kss:1:12", "is written 'if'"},
      {"TextIns window=(1\n  | Hello\n", "p.kss:1:16", "not closed"},  // and not again for its text
      {"TextIns text=@bytes:00\nTextIns window=\"w\"\n  | Hello\n", "", ""},
      {"While 1\n  continue\nWhileLoop\n", "", ""},  // a command name in lower case, not a flag
  };
  for (const TCase& c : cases) {
    try {
      CompilePage({"p.kss", "p.ksb", c.text});
      EXPECT_TRUE(c.where.empty()) << c.text << "compiled without the expected error";
    } catch (const ESourceErrors& e) {
      ASSERT_FALSE(c.where.empty()) << c.text << e.what();
      EXPECT_EQ(e.Errors().size(), 1u) << c.text << e.what();
      std::string first = e.Errors().front().Text();
      EXPECT_TRUE(first.starts_with(c.where + (c.where.back() == ':' ? "" : ":"))) << c.text << first;
      EXPECT_NE(first.find(c.what), std::string::npos) << c.text << first;
    }
  }
}

TEST(ScenarioBuild, AFolderBuildsDumpsAndRebuildsToTheSameFiles) {
  testkit::TempFolder src, out, dumped, again;
  src.Write("project.txt", "\xEF\xBB\xBFtitle = \"Round trip\"\nscreen = 800x600\nstart = main.ksb\nvar count int 3\n");
  src.Write("main.kss",
            "MesNew NAME=\"msg\" LEFT=10 TOP=20\n"
            "VarNew total type=int value=0 scope=local\n"
            "Call sub/helper.ksb result=total args=(count, \"\xE3\x81\x82\")\n"
            "TextIns window=\"msg\" wait=TRUE\n"
            "  | Total: <VAR NAME=\"total\"><BR>\n"
            "  | done.\n");
  src.Write("sub/helper.kss", "Page result=int\nCalc @Result = StrToIntDef(@ParamStr[0], 0) * 2\nExit\n");
  src.Write("pictures/bg.bmp", "not really a picture");
  TBuildResult built = BuildGame(src.Path(), out.Path());
  EXPECT_EQ(built.pages, 2);
  EXPECT_EQ(built.assets, 1);
  EXPECT_EQ(out.Read("pictures/bg.bmp"), "not really a picture");

  std::vector<TNamedFile> files;
  for (const char* name : {"kivo.kpb", "install.dat", "main.ksb", "sub/helper.ksb"}) {
    std::string data = std::string(name);
    std::replace(data.begin(), data.end(), '/', '\\');
    files.push_back({data, out.Read(name)});
  }
  EXPECT_EQ(WriteSourceFolder(files, dumped.Path()), 2);
  BuildGame(dumped.Path(), again.Path());
  for (const char* name : {"kivo.kpb", "install.dat", "main.ksb", "sub/helper.ksb"})
    EXPECT_EQ(again.Read(name), out.Read(name)) << name << "\n" << dumped.Read("main.kss");
}

TEST(ScenarioText, PrintedTextIsTheSourceItCameFrom) {
  // Readable forms the printer must find again: header lines, redundant brackets, signs.
  const std::string source =
      "Page result=int\n"
      "If (a > 1) & (b < 2)\n"
      "  Calc z = a * -3\n"
      "Calc z = \"x\" ++ (a + 1)\n"
      "Calc z = a - (b - c) * 2\n";
  EXPECT_EQ(PrintPage(*CompilePage({"p.kss", "p.ksb", source})), source);
}

TEST(ScenarioText, ProjectFilesOfOlderVersionsKeepTheirVersion) {
  for (int32_t version : {103, 109, 113, 116}) {
    TProjectSetting setting;
    setting.version = version;
    setting.title = "Old";
    setting.startPage = "start.ksb";
    setting.initialVariables.push_back({"n", TInitialVariable::Integer, 5, 0, false, ""});
    TMemoryStream bytes;
    setting.SaveToStream(bytes);
    TMemoryStream again;
    ParseProjectText("project.txt", PrintProjectText(setting)).setting.SaveToStream(again);
    EXPECT_EQ(again.Bytes(), bytes.Bytes()) << version;
  }
}

TEST(ScenarioBuild, NothingIsWrittenWhenASourceHasErrors) {
  testkit::TempFolder src, out;
  src.Write("project.txt", "title = t\nstart = main.ksb\n");
  src.Write("main.kss", "Calc x = 1\n");
  src.Write("broken.kss", "Calc x = 1\nJump label=missing\n");
  try {
    BuildGame(src.Path(), out.Path());
    FAIL() << "built a source with an error";
  } catch (const ESourceErrors& e) {
    ASSERT_EQ(e.Errors().size(), 1u);
    EXPECT_EQ(e.Errors()[0].file, "broken.kss");
    EXPECT_EQ(e.Errors()[0].line, 2);
  }
  EXPECT_TRUE(std::filesystem::is_empty(out.Path()));
}

TEST(ScenarioBuild, DumpedNamesNeverLeaveTheTargetFolder) {
  testkit::TempFolder out;
  TPage page;
  std::string bytes = PageBytes(page);
  for (const char* name : {"..\\escape.ksb", "/abs.ksb", "C:\\x.ksb", "a\\..\\..\\b.ksb"}) {
    EXPECT_THROW(WriteSourceFolder({{name, bytes}}, out.File("inside")), EKivoError) << name;
  }
  EXPECT_FALSE(std::filesystem::exists(out.File("escape.kss")));
  EXPECT_FALSE(std::filesystem::exists(out.File("inside")));
}

}  // namespace
}  // namespace kivo::scenario
