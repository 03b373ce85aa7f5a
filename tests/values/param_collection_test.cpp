// TParamCollection: look-up across call depths, declaration, deletion, pushed sets and the save forms.
#include "values/param_collection.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "platform/kivo_error.h"
#include "testkit/error_of.h"
#include "values/param_system.h"
#include "values/param_var.h"
#include "values/value_messages.h"

namespace kivo {
namespace {

using testkit::ErrorOf;

std::function<std::unique_ptr<TCustomParam>()> Initial(const std::string& text) {
  return [text] {
    auto v = CreateParam(PT_STR);
    v->SetStr(text);
    return v;
  };
}

TParamCollectionItem& Add(TParamCollection& vars, uint8_t kind, const std::string& name) {
  TParamCollectionItem& item = vars.AddVar(kind);
  item.SetName(name);
  return item;
}

TEST(TParamCollection, StartsWithTheSystemVariablesInOrder) {
  TParamCollection vars;
  ASSERT_EQ(vars.Count(), 51);
  EXPECT_EQ(vars.Var(0).Name(), "@Result");
  EXPECT_EQ(vars.Var(50).Name(), "@StackCount");
  for (int i = 0; i < 51; ++i) {
    EXPECT_TRUE(vars.Var(i).IsSystem());
    EXPECT_EQ(static_cast<TParamSystem&>(*vars.Var(i).Param).SystemId(), i);
  }
  EXPECT_EQ(vars.FindVar("@selstr"), &vars.Var(28));
  EXPECT_THROW(TParamSystem(&vars, 51), EKivoError);
}

TEST(TParamCollection, NameValidation) {
  TParamCollection vars;
  TParamCollectionItem& item = vars.AddVar(PT_INT);
  for (const char* bad : {"", "a b", "1a", "9"}) {
    EXPECT_EQ(ErrorOf([&] { item.SetName(bad); }), std::string("\"") + bad + kMsgBadNameTail) << bad;
  }
  for (const char* good : {"a1", "_x", "\x95\xCF\x90\x94", "____3", "a\x81\x40" "b"}) {  // 0x8140: full-width space
    EXPECT_NO_THROW(item.SetName(good)) << good;
    EXPECT_EQ(vars.FindVar(good), &item);
  }
  // The look-up follows a rename.
  EXPECT_EQ(vars.FindVar("a1"), nullptr);
}

TEST(TParamCollection, FindVarShadowingAcrossDepths) {
  TParamCollection vars;
  vars.CurrentLocalId = 1;
  vars.DeclareVariable("a", PT_INT, VS_GLOBAL, Initial("1"));
  vars.CurrentLocalId = 2;
  vars.DeclareVariable("a", PT_INT, VS_LOCAL, Initial("2"));
  TParamCollectionItem* global = vars.FindInScope("a", false);
  ASSERT_NE(global, nullptr);
  EXPECT_EQ(global->Param->AsInt(), 1);
  struct Case { int depth; int value; };
  for (Case c : {Case{2, 2}, {1, 1}, {3, 1}}) {
    vars.CurrentLocalId = c.depth;
    ASSERT_NE(vars.FindVar("A"), nullptr);
    EXPECT_EQ(vars.FindVar("A")->Param->AsInt(), c.value) << c.depth;
    EXPECT_EQ(vars.FindInScope("a", false), global);
    EXPECT_EQ(vars.FindInScope("a", true) != nullptr, c.depth == 2);
  }
  // Of several non-local variables of one name the oldest is found; a newer current-depth local wins.
  vars.CurrentLocalId = 2;
  Add(vars, PT_INT, "a").Param->SetInt(9);
  EXPECT_EQ(vars.FindVar("a")->Param->AsInt(), 2);
  vars.CurrentLocalId = 1;
  EXPECT_EQ(vars.FindVar("a"), global);
  vars.CurrentLocalId = 2;
  vars.DeleteLocals(2);
  EXPECT_EQ(vars.FindVar("a"), global);
  EXPECT_EQ(vars.Count(), 53);
}

TEST(TParamCollection, DeclareVariable) {
  TParamCollection vars;
  EXPECT_EQ(ErrorOf([&] { vars.DeclareVariable("", PT_INT, VS_GLOBAL, nullptr); }), kMsgNoName);
  EXPECT_EQ(ErrorOf([&] { vars.DeclareVariable("1x", PT_INT, VS_GLOBAL, nullptr); }), std::string("\"1x") + kMsgBadNameTail);
  EXPECT_EQ(vars.Count(), 51);  // a rejected name leaves nothing behind

  vars.DeclareVariable("st", PT_INT, VS_STATUS, Initial("5"));
  vars.DeclareVariable("st", PT_INT, VS_STATUS, Initial("6"));
  EXPECT_EQ(vars.FindVar("st")->Param->AsInt(), 5);
  EXPECT_TRUE(vars.FindVar("st")->IsStatus);

  // An existing variable keeps its kind; the value goes through the declared kind's getter.
  vars.DeclareVariable("s", PT_STR, VS_GLOBAL, Initial("abc"));
  vars.DeclareVariable("s", PT_INT, VS_GLOBAL, Initial("2.7"));
  EXPECT_EQ(vars.FindVar("s")->Param->ParamType(), PT_STR);
  EXPECT_EQ(vars.FindVar("s")->Param->AsString(), "0");  // "2.7" read as an integer is 0
  vars.DeclareVariable("f", PT_FLOAT, VS_GLOBAL, Initial("2.7"));
  vars.DeclareVariable("f", PT_INT, VS_GLOBAL, Initial("8"));
  EXPECT_EQ(vars.FindVar("f")->Param->AsFloat(), 8);
  // No result leaves the value alone.
  vars.DeclareVariable("f", PT_FLOAT, VS_GLOBAL, [] { return std::unique_ptr<TCustomParam>(); });
  EXPECT_EQ(vars.FindVar("f")->Param->AsFloat(), 8);

  vars.CurrentLocalId = 4;
  vars.DeclareVariable("auto", PT_BOOL, VS_AUTO, nullptr);
  TParamCollectionItem* autoVar = vars.FindVar("auto");
  EXPECT_EQ(autoVar->LocalId, 4);
  EXPECT_FALSE(autoVar->IsLocal);
  vars.CurrentLocalId = 5;
  EXPECT_EQ(vars.FindVar("auto"), autoVar);  // visible everywhere until its call returns
  vars.DeleteLocals(4);
  EXPECT_EQ(vars.FindVar("auto"), nullptr);
}

TEST(TParamCollection, MakeCopyAndClearVariables) {
  TParamCollection vars;
  TParamCollectionItem& arr = Add(vars, PT_FLOAT, "arr");
  arr.Param->SetDims({2, 2});
  arr.Param->SetFloatAt(3, 1.25L);
  auto copy = vars.MakeCopy("ARR");
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->ParamType(), PT_FLOAT);
  EXPECT_EQ(copy->GetDim(1), 2);
  EXPECT_EQ(copy->GetFloatAt(3), 1.25L);
  EXPECT_EQ(vars.MakeCopy("none"), nullptr);
  Add(vars, PT_NONE, "ref");
  EXPECT_EQ(ErrorOf([&] { vars.MakeCopy("ref"); }), std::string("ref") + kMsgBadVariableTail);

  vars.DeclareVariable("keep", PT_INT, VS_STATUS, nullptr);
  vars.TextDelay = 10;
  vars.CursorName = "hand";
  vars.ClearVariables();
  EXPECT_EQ(vars.Count(), 52);
  EXPECT_NE(vars.FindVar("keep"), nullptr);
  EXPECT_EQ(vars.TextDelay, 50);
  EXPECT_EQ(vars.CursorName, "");
}

// The save form of a value: its dimensions, element count and elements.
std::vector<uint8_t> BytesOf(const TCustomParam& value) {
  TMemoryStream stream;
  TBinaryWriter writer(stream);
  value.SaveToStream(writer);
  return stream.Bytes();
}

// Deleted variables may be reused by AddVar; what it gives must still be a new variable at the end
// of the collection, and references to a deleted variable must stay unbound.
TEST(TParamCollection, AddVarAfterDeletesGivesNewVariables) {
  TParamCollection vars;
  struct Case { uint8_t kind; std::vector<int32_t> dims; };
  for (const Case& c : {Case{PT_INT, {1}}, {PT_FLOAT, {1}}, {PT_BOOL, {1}}, {PT_STR, {1}}, {PT_STR, {2, 3}},
                        {PT_NONE, {}}}) {
    SCOPED_TRACE(int{c.kind});
    TParamCollectionItem& old = Add(vars, c.kind, "old");
    old.Param->SetStr("1");
    if (!c.dims.empty()) old.Param->SetDims(c.dims);
    TParamVar reference(&vars);
    reference.VarName = "OLD";
    reference.ResolveReference();
    old.IsStatus = old.IsLocal = true;
    old.LocalId = 3;
    old.ExtraByte = 9;
    vars.DeleteVar(old);
    EXPECT_EQ(reference.Target(), nullptr);

    for (uint8_t kind : {c.kind, uint8_t{PT_STR}}) {
      TParamCollectionItem& made = vars.AddVar(kind);
      EXPECT_EQ(made.CachedIndex(), vars.Count() - 1);
      EXPECT_EQ(made.Name(), "");
      EXPECT_EQ(made.Anchor()->Item, &made);
      EXPECT_EQ(reference.Target(), nullptr);
      EXPECT_FALSE(made.IsStatus || made.IsLocal || made.IsSystem());
      EXPECT_EQ(made.LocalId, -1);
      EXPECT_EQ(made.ExtraByte, 0);
      EXPECT_EQ(made.Param->StreamKind(), kind);
      if (kind != PT_NONE) {
        EXPECT_EQ(BytesOf(*made.Param), BytesOf(*CreateParam(kind)));
      }
      made.SetName("new");
      EXPECT_EQ(vars.FindVar("old"), nullptr);
      EXPECT_EQ(vars.FindVar("NEW"), &made);
      vars.DeleteVar(made);
    }
    EXPECT_EQ(vars.Count(), TParamCollection::kSystemCount);
  }
}

TEST(TParamCollection, PushAndPopVariables) {
  TParamCollection vars;
  vars.PopVars();  // an empty stack does nothing
  Add(vars, PT_INT, "x").Param->SetInt(3);
  vars.PushVars({"x", "missing"});
  ASSERT_EQ(vars.PushStack.size(), 1u);
  TBinaryReader peek(*vars.PushStack[0]);
  peek.Stream().SetPosition(0);
  EXPECT_EQ(peek.Int32(), 1);
  vars.FindVar("x")->Param->SetInt(4);
  vars.DeleteVar(*vars.FindVar("x"));
  vars.PopVars();
  EXPECT_TRUE(vars.PushStack.empty());
  ASSERT_NE(vars.FindVar("x"), nullptr);
  EXPECT_EQ(vars.FindVar("x")->Param->AsInt(), 3);

  // A variable that now has another kind is replaced by one of the pushed kind.
  vars.PushVars({"x"});
  vars.DeleteVar(*vars.FindVar("x"));
  Add(vars, PT_STR, "x").Param->SetStr("other");
  vars.PopVars();
  EXPECT_EQ(vars.FindVar("x")->Param->ParamType(), PT_INT);
  EXPECT_EQ(vars.FindVar("x")->Param->AsInt(), 3);

  // System variables push and pop their state.
  vars.SelectedText = "before";
  vars.PushVars({"@SelStr"});
  vars.SelectedText = "after";
  vars.PopVars();
  EXPECT_EQ(vars.SelectedText, "before");
}

// A block with every kind, an array, references (one to a status variable), scope fields and
// pushed sets.
void Populate(TParamCollection& vars) {
  vars.CurrentLocalId = 3;
  vars.DeclareVariable("st", PT_STR, VS_STATUS, Initial("status"));
  TParamCollectionItem& i = Add(vars, PT_INT, "i");
  i.Param->SetDims({2, 3});
  for (int k = 0; k < 6; ++k) i.Param->SetIntAt(k, k * k);
  i.ExtraByte = 7;
  vars.DeclareVariable("f", PT_FLOAT, VS_AUTO, Initial("0.1"));
  vars.DeclareVariable("b", PT_BOOL, VS_LOCAL, Initial("TRUE"));
  vars.DeclareVariable("s", PT_STR, VS_GLOBAL, Initial("\x82\xA0\x82\xA2"));
  // References written before their targets in collection order, so the writer must postpone them.
  TParamCollectionItem& late = Add(vars, PT_NONE, "toLate");
  TParamCollectionItem& target = Add(vars, PT_INT, "late");
  target.Param->SetInt(42);
  static_cast<TParamVar&>(*late.Param).BindElement("late", {0});
  TParamCollectionItem& toStatus = Add(vars, PT_NONE, "toStatus");
  static_cast<TParamVar&>(*toStatus.Param).BindElement("st", {0});
  static_cast<TParamVar&>(*Add(vars, PT_NONE, "toArr").Param).BindElement("i", {1, 1});
  vars.TextDelay = 33;
  vars.CursorName = "cur";
  vars.SelectedText = "sel";
  vars.SelectedIndex = 2;
  vars.TempVarName = "s";
  vars.PushVars({"s", "i"});
  vars.PushVars({"f"});
}

std::vector<uint8_t> Save(const TParamCollection& vars) {
  TMemoryStream stream;
  vars.SaveVariables(stream);
  return stream.Bytes();
}

TEST(TParamCollection, SaveLoadRoundTrip) {
  TParamCollection source;
  Populate(source);
  std::vector<uint8_t> bytes = Save(source);

  TParamCollection loaded;
  loaded.DeclareVariable("st", PT_STR, VS_STATUS, Initial("mine"));
  Add(loaded, PT_INT, "gone");
  loaded.CurrentLocalId = 3;
  TMemoryStream stream(bytes);
  loaded.LoadVariables(stream, 139);
  EXPECT_EQ(stream.Position(), stream.Size());
  EXPECT_EQ(loaded.FindVar("gone"), nullptr);
  EXPECT_EQ(loaded.FindVar("st")->Param->AsString(), "mine");  // status variables are not in this block

  TParamCollectionItem* i = loaded.FindVar("i");
  ASSERT_NE(i, nullptr);
  EXPECT_EQ(i->Param->Dims, (std::vector<int32_t>{2, 3}));
  EXPECT_EQ(i->Param->GetIntAt(5), 25);
  EXPECT_EQ(i->ExtraByte, 7);
  TParamCollectionItem* f = loaded.FindVar("f");
  EXPECT_EQ(f->Param->AsFloat(), 0.1L);
  EXPECT_EQ(f->LocalId, 3);
  EXPECT_FALSE(f->IsLocal);
  TParamCollectionItem* b = loaded.FindVar("b");
  ASSERT_NE(b, nullptr);
  EXPECT_TRUE(b->IsLocal);
  EXPECT_TRUE(b->Param->AsBool());
  EXPECT_EQ(loaded.FindVar("s")->Param->AsString(), "\x82\xA0\x82\xA2");
  EXPECT_EQ(loaded.FindVar("toLate")->Param->AsInt(), 42);
  EXPECT_EQ(loaded.FindVar("toArr")->Param->AsInt(), 16);
  EXPECT_EQ(loaded.FindVar("toStatus")->Param->AsString(), "mine");
  EXPECT_EQ(loaded.TextDelay, 33);
  EXPECT_EQ(loaded.CursorName, "cur");
  EXPECT_EQ(loaded.SelectedText, "sel");
  EXPECT_EQ(loaded.SelectedIndex, 2);
  EXPECT_EQ(loaded.TempVarName, "s");
  ASSERT_EQ(loaded.PushStack.size(), 2u);
  // The pushed sets come back byte for byte, and popping them restores the pushed values.
  for (size_t k = 0; k < 2; ++k) EXPECT_EQ(loaded.PushStack[k]->Bytes(), source.PushStack[k]->Bytes());
  loaded.FindVar("f")->Param->SetFloat(9);
  loaded.PopVars();
  EXPECT_EQ(loaded.FindVar("f")->Param->AsFloat(), 0.1L);
  loaded.FindVar("i")->Param->SetInt(0);
  loaded.PopVars();
  EXPECT_EQ(loaded.FindVar("i")->Param->GetIntAt(4), 16);
}

TEST(TParamCollection, SavePostponesReferencesUntilTheirTarget) {
  TParamCollection vars;
  Populate(vars);
  std::vector<uint8_t> bytes = Save(vars);
  // Read back only the kinds and names, in written order.
  TMemoryStream stream(bytes);
  TBinaryReader reader(stream);
  std::vector<std::string> names;
  for (int32_t n = reader.Int32(); n > 0; --n) {
    uint8_t kind = reader.Byte();
    names.push_back(reader.String());
    CreateParam(kind)->LoadFromStream(reader);
    reader.Skip(7);
  }
  // From the end: "toArr" waits for "i" and is written in the second pass, "toLate" follows its
  // target at once, and "toStatus", whose target is never written here, comes last.
  EXPECT_EQ(names, (std::vector<std::string>{"late", "toLate", "s", "b", "f", "i", "toArr", "toStatus"}));
}

// Keeps every history format a load hands over.
struct TRecordingHistory : THistoryHost {
  using Formats = std::vector<std::array<int32_t, 6>>;
  Formats formats;
  void SetHistoryFormat(const std::array<int32_t, 6>& values) override { formats.push_back(values); }
};

TEST(TParamCollection, OlderVersionsReadFewerFields) {
  const std::array<int32_t, 6> historyFormat{3, -1, 40, 0, 600, 7};
  TParamCollection source;
  Add(source, PT_INT, "v").Param->SetInt(5);
  source.TextDelay = 20;
  source.CursorName = "c";
  // Build blocks field by field as each version wrote them.
  struct Case { int version; bool sel, history, temp, sets; };
  for (Case c : {Case{102, false, false, false, false}, {103, true, false, false, false},
                 {112, true, false, false, false}, {113, true, true, false, false},
                 {121, true, true, true, false}, {134, true, true, true, false}, {135, true, false, true, false},
                 {139, true, false, true, true}}) {
    TMemoryStream stream;
    TBinaryWriter w(stream);
    w.Int32(1);
    w.Byte(PT_INT);
    w.String("v");
    source.FindVar("v")->Param->SaveToStream(w);
    w.Bytes("\0\0\xFF\xFF\xFF\xFF\0", 7);
    w.Int32(20);
    w.String("c");
    if (c.sel) {
      w.String("sel");
      w.Int32(4);
    }
    if (c.history) for (int32_t v : historyFormat) w.Int32(v);
    if (c.temp) w.String("t");
    if (c.sets) w.Int32(0);
    stream.SetPosition(0);
    TRecordingHistory history;
    TParamCollection loaded;
    loaded.Hosts.History = &history;
    loaded.LoadVariables(stream, c.version);
    EXPECT_EQ(stream.Position(), stream.Size()) << c.version;
    using Formats = TRecordingHistory::Formats;
    EXPECT_EQ(history.formats, c.history ? Formats{historyFormat} : Formats{}) << c.version;
    EXPECT_EQ(loaded.FindVar("v")->Param->AsInt(), 5);
    EXPECT_EQ(loaded.CursorName, "c");
    EXPECT_EQ(loaded.SelectedText, c.sel ? "sel" : "");
    EXPECT_EQ(loaded.TempVarName, c.temp ? "t" : "");
  }
}

TEST(TParamCollection, StatusForm) {
  TParamCollection source;
  Populate(source);
  TMemoryStream stream;
  source.SaveStatusVariables(stream);
  stream.SetPosition(0);
  TParamCollection loaded;
  Add(loaded, PT_INT, "other");
  loaded.LoadStatusVariables(stream);
  EXPECT_NE(loaded.FindVar("other"), nullptr);
  ASSERT_NE(loaded.FindVar("st"), nullptr);
  EXPECT_TRUE(loaded.FindVar("st")->IsStatus);
  EXPECT_EQ(loaded.FindVar("st")->Param->AsString(), "status");
  EXPECT_EQ(loaded.Count(), 53);
}

TEST(TParamCollection, HostileBlocksFailCleanly) {
  TParamCollection source;
  Populate(source);
  std::vector<uint8_t> bytes = Save(source);
  // Every truncation fails with the program's error, never a crash or a huge allocation.
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    TMemoryStream stream(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut)));
    TParamCollection loaded;
    EXPECT_THROW(loaded.LoadVariables(stream, 139), EKivoError) << cut;
  }
  // A bad kind byte, a bad name, a huge entry count.
  for (std::vector<uint8_t> block : {std::vector<uint8_t>{1, 0, 0, 0, 9}, std::vector<uint8_t>{1, 0, 0, 0, 1, 1, 0, 0, 0, '7'},
                                     std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0x7F}}) {
    TMemoryStream stream(block);
    TParamCollection loaded;
    EXPECT_THROW(loaded.LoadVariables(stream, 139), EKivoError);
    EXPECT_EQ(loaded.Count(), 51);
  }
}

TEST(TParamCollection, ReferenceLoopsDoNotHang) {
  TParamCollection vars;
  TParamCollectionItem& a = Add(vars, PT_NONE, "a");
  TParamCollectionItem& b = Add(vars, PT_NONE, "b");
  static_cast<TParamVar&>(*a.Param).SetTarget(&b);
  static_cast<TParamVar&>(*b.Param).SetTarget(&a);
  EXPECT_EQ(a.Param->AsInt(), 0);
  a.Param->SetInt(1);
  std::vector<uint8_t> bytes = Save(vars);
  TMemoryStream stream(bytes);
  TParamCollection loaded;
  loaded.LoadVariables(stream, 139);
  EXPECT_EQ(loaded.Count(), 53);
  // "@Temp" standing for itself, or for a reference back to it.
  vars.TempVarName = "@Temp";
  EXPECT_EQ(vars.FindVar("@Temp")->Param->AsInt(), 0);
  static_cast<TParamVar&>(*a.Param).SetTarget(vars.FindVar("@Temp"));
  vars.TempVarName = "a";
  EXPECT_EQ(vars.FindVar("@Temp")->Param->AsInt(), 0);
}

}  // namespace
}  // namespace kivo
