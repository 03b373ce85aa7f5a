// Values: fresh values, the conversion tables, arrays and their bindings, copies and IndexOf.
#include "values/param.h"

#include <gtest/gtest.h>

#include "platform/kivo_error.h"
#include "testkit/error_of.h"
#include "values/param_collection.h"
#include "values/param_var.h"
#include "values/value_convert.h"
#include "values/value_messages.h"

namespace kivo {
namespace {

using testkit::ErrorOf;

TEST(TCustomParam, FreshValueOfEachKind) {
  for (uint8_t kind : {PT_INT, PT_FLOAT, PT_BOOL, PT_STR}) {
    auto v = CreateParam(kind);
    EXPECT_EQ(v->ParamType(), kind);
    EXPECT_EQ(v->AsInt(), 0);
    EXPECT_EQ(v->AsFloat(), 0);
    EXPECT_FALSE(v->AsBool());
    EXPECT_EQ(v->GetCount(), 1);
    EXPECT_EQ(v->GetDimCount(), 1);
    EXPECT_EQ(v->GetDim(0), 1);
  }
  EXPECT_EQ(CreateParam(PT_STR)->AsString(), "");
  EXPECT_EQ(CreateParam(PT_INT)->AsString(), "0");
  // Only the low seven bits choose the kind.
  EXPECT_EQ(CreateParam(0x84)->ParamType(), PT_STR);
  EXPECT_EQ(CreateParam(5), nullptr);
  EXPECT_TRUE(CreateParam(PT_NONE)->IsReference());
}

TEST(ValueConvert, IntegerText) {
  struct Case { const char* text; bool ok; int32_t value; };
  for (Case c : {Case{"12", true, 12}, {"-7", true, -7}, {"+3", true, 3}, {"  5", true, 5}, {"$ff", true, 255},
                 {"-$10", true, -16}, {"$FFFFFFFF", true, -1}, {"2147483647", true, INT32_MAX},
                 {"-2147483648", true, INT32_MIN}, {"2147483648", false, 0}, {"$100000000", false, 0},
                 {"12abc", false, 0}, {"", false, 0}, {"-", false, 0}, {"$", false, 0}, {"1.5", false, 0},
                 {"5 ", false, 0}}) {
    int32_t value = 0;
    EXPECT_EQ(TryStrToInt(c.text, value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
}

TEST(ValueConvert, FloatText) {
  struct Case { const char* text; bool ok; long double value; };
  for (Case c : {Case{"1.5", true, 1.5L}, {"-2", true, -2}, {".5", true, 0.5L}, {"5.", true, 5}, {"1e3", true, 1000},
                 {"2.5E-2", true, 0.025L}, {" 3 ", true, 3}, {"+4", true, 4}, {"1,5", false, 0}, {"abc", false, 0},
                 {"inf", false, 0}, {"nan", false, 0}, {"1e", false, 0}, {"", false, 0}, {".", false, 0},
                 {"0x10", false, 0}, {"1e99999", false, 0}, {"1e-99999", true, 0}}) {
    Extended value = -99;
    EXPECT_EQ(TryStrToFloat(c.text, value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
}

TEST(ValueConvert, FloatFormatting) {
  struct Case { long double value; const char* text; };
  for (Case c : {Case{0, "0"}, {1.5L, "1.5"}, {-2.25L, "-2.25"}, {100, "100"}, {0.1L, "0.1"}, {1.0L / 3, "0.333333333333333"},
                 {2.0L / 3, "0.666666666666667"}, {123456789012345.0L, "123456789012345"}, {1e15L, "1E15"},
                 {1.5e20L, "1.5E20"}, {0.0001L, "0.0001"}, {0.00001L, "1E-5"}, {-1.25e-7L, "-1.25E-7"},
                 {3.14159265358979323846L, "3.14159265358979"}}) {
    EXPECT_EQ(FloatToStr(c.value), c.text);
  }
}

TEST(ValueConvert, Truncation) {
  EXPECT_EQ(TruncToInt(2.9L), 2);
  EXPECT_EQ(TruncToInt(-2.9L), -2);
  EXPECT_EQ(TruncToInt(4294967297.0L), 1);  // the low 32 bits, as the original's Trunc gave
  EXPECT_EQ(TruncToInt(1e30L), 0);
  EXPECT_EQ(TruncToInt(std::numeric_limits<long double>::quiet_NaN()), 0);
}

// Every read of every stored kind, and every write into every kind.
TEST(TCustomParam, ConversionTables) {
  auto i = CreateParam(PT_INT), f = CreateParam(PT_FLOAT), b = CreateParam(PT_BOOL), s = CreateParam(PT_STR);
  i->SetInt(-3);
  f->SetFloat(2.9L);
  b->SetBool(true);
  s->SetStr("12abc");
  EXPECT_EQ(i->AsFloat(), -3);
  EXPECT_TRUE(i->AsBool());
  EXPECT_EQ(i->AsString(), "-3");
  EXPECT_EQ(f->AsInt(), 2);
  EXPECT_TRUE(f->AsBool());
  EXPECT_EQ(f->AsString(), "2.9");
  EXPECT_EQ(b->AsInt(), 1);
  EXPECT_EQ(b->AsFloat(), 1);
  EXPECT_EQ(b->AsString(), "TRUE");
  EXPECT_EQ(s->AsInt(), 0);
  EXPECT_EQ(s->AsFloat(), 0);
  EXPECT_FALSE(s->AsBool());
  f->SetFloat(-2.9L);
  EXPECT_EQ(f->AsInt(), -2);
  s->SetStr("1.5");
  EXPECT_EQ(s->AsFloat(), 1.5L);
  s->SetStr("true");
  EXPECT_FALSE(s->AsBool());
  s->SetStr("TRUE");
  EXPECT_TRUE(s->AsBool());
  s->SetStr("$1F");
  EXPECT_EQ(s->AsInt(), 31);

  b->SetInt(0);
  EXPECT_FALSE(b->AsBool());
  EXPECT_EQ(b->AsString(), "FALSE");
  b->SetInt(5);
  EXPECT_TRUE(b->AsBool());
  b->SetFloat(0.25L);
  EXPECT_TRUE(b->AsBool());
  b->SetStr("TRUE ");
  EXPECT_FALSE(b->AsBool());
  i->SetFloat(-7.8L);
  EXPECT_EQ(i->AsInt(), -7);
  i->SetBool(true);
  EXPECT_EQ(i->AsInt(), 1);
  i->SetStr("x");
  EXPECT_EQ(i->AsInt(), 0);
  f->SetInt(16777217);
  EXPECT_EQ(f->AsFloat(), 16777217);
  f->SetStr("1e2");
  EXPECT_EQ(f->AsFloat(), 100);
  f->SetBool(true);
  EXPECT_EQ(f->AsFloat(), 1);
  s->SetInt(-40);
  EXPECT_EQ(s->AsString(), "-40");
  s->SetFloat(0.5L);
  EXPECT_EQ(s->AsString(), "0.5");
  s->SetBool(false);
  EXPECT_EQ(s->AsString(), "FALSE");
}

TEST(TCustomParam, SetDimsAndElementChecks) {
  TParamInt v;
  v.SetDims({3, 4});
  EXPECT_EQ(v.GetCount(), 12);
  EXPECT_EQ(v.GetDimCount(), 2);
  EXPECT_EQ(v.GetDim(1), 4);
  EXPECT_EQ(v.GetDim(2), 1);
  v.SetIntAt(11, 9);
  EXPECT_EQ(v.GetIntAt(11), 9);
  EXPECT_EQ(ErrorOf([&] { v.GetIntAt(12); }), BadIndexMessage(12));
  EXPECT_EQ(ErrorOf([&] { v.SetIntAt(-1, 0); }), BadIndexMessage(-1));
  EXPECT_EQ(ErrorOf([&] { v.SetDims({2, 0}); }), std::string(kMsgBadDimsHead) + "2,0" + kMsgBadDimsTail);
  EXPECT_EQ(ErrorOf([&] { v.SetDims({65536, 65536}); }), std::string(kMsgBadDimsHead) + "65536,65536" + kMsgBadDimsTail);
  EXPECT_EQ(v.GetCount(), 12);  // a failed SetDims changes nothing
  // Growing keeps the existing elements in place.
  v.SetDims({4, 4});
  EXPECT_EQ(v.GetIntAt(11), 9);
  EXPECT_EQ(v.GetIntAt(15), 0);
  // A scalar write collapses the array, element 0 taking the value.
  v.SetInt(7);
  EXPECT_EQ(v.GetDimCount(), 1);
  EXPECT_EQ(v.GetCount(), 1);
  EXPECT_EQ(v.AsInt(), 7);
}

class TBindingTest : public ::testing::Test {
protected:
  void SetUp() override {
    TParamCollectionItem& item = vars.AddVar(PT_INT);
    item.SetName("arr");
    item.Param->SetDims({3, 4});
    for (int i = 0; i < 12; ++i) item.Param->SetIntAt(i, i * 10);
  }
  TParamCollection vars;
};

TEST_F(TBindingTest, FlatOffsetsAndErrors) {
  TParamVar ref(&vars);
  ref.BindElement("ARR", {1, 2});
  EXPECT_EQ(ref.ElementIndex, 6);
  EXPECT_EQ(ref.AsInt(), 60);
  ref.BindElement("arr", {0, 5});  // no per-dimension check
  EXPECT_EQ(ref.ElementIndex, 5);
  ref.SetInt(-1);
  EXPECT_EQ(vars.FindVar("arr")->Param->GetIntAt(5), -1);
  EXPECT_EQ(vars.FindVar("arr")->Param->GetCount(), 12);  // the element write keeps the array
  EXPECT_EQ(ErrorOf([&] { ref.BindElement("arr", {2, 4}); }),
            std::string("arr[2,4]\r\n") + kMsgTooManyElements);
  EXPECT_EQ(ErrorOf([&] { ref.BindElement("arr", {1}); }), std::string("arr[1]\r\n") + kMsgBadSubscripts);
  EXPECT_EQ(ErrorOf([&] { ref.BindElement("nope", {0}); }), std::string("\"nope") + kMsgNoVariableTail);
  // A negative offset passes binding and is reported by the access.
  ref.BindElement("arr", {0, -1});
  EXPECT_EQ(ErrorOf([&] { ref.AsInt(); }), BadIndexMessage(-1));
}

TEST_F(TBindingTest, ReferenceForwardsAndSurvivesTargetDeletion) {
  TParamVar ref(&vars);
  ref.VarName = "arr";
  ref.ResolveReference();
  EXPECT_EQ(ref.ParamType(), PT_INT);
  EXPECT_EQ(ref.GetCount(), 12);
  EXPECT_EQ(ref.GetDim(1), 4);
  EXPECT_EQ(ref.GetIntAt(3), 30);
  EXPECT_EQ(ref.IndexOf("70", true, false), 7);
  // A reference to a reference designates the same element.
  TParamCollectionItem& second = vars.AddVar(PT_NONE);
  second.SetName("r");
  static_cast<TParamVar&>(*second.Param).BindElement("arr", {2, 1});
  TParamVar viaRef(&vars);
  viaRef.VarName = "r";
  viaRef.ResolveReference();
  EXPECT_EQ(viaRef.ElementIndex, 9);
  EXPECT_EQ(viaRef.AsInt(), 90);

  vars.DeleteVar(*vars.FindVar("arr"));
  EXPECT_EQ(ref.Target(), nullptr);
  EXPECT_EQ(ref.AsInt(), 0);
  EXPECT_EQ(ref.GetCount(), 0);
  EXPECT_EQ(ref.GetDimCount(), 0);
  EXPECT_EQ(ref.IndexOf("0", true, false), -1);
  EXPECT_EQ(ref.ParamType(), PT_NONE);
  ref.SetInt(3);  // ignored
  EXPECT_EQ(viaRef.AsString(), "");
}

TEST(TCustomParam, CopyFromConvertsEachElement) {
  TParamInt source;
  source.SetDims({2, 3});
  for (int i = 0; i < 6; ++i) source.SetIntAt(i, i - 2);
  TParamStr text;
  text.CopyFrom(source);
  EXPECT_EQ(text.Dims, (std::vector<int32_t>{2, 3}));
  EXPECT_EQ(text.GetStrAt(0), "-2");
  EXPECT_EQ(text.GetStrAt(5), "3");
  TParamFlag flag;
  flag.CopyFrom(source);
  EXPECT_EQ(flag.GetCount(), 6);
  EXPECT_FALSE(flag.GetBoolAt(2));
  EXPECT_TRUE(flag.GetBoolAt(3));
  // A scalar source gives one dimension of size 1.
  TParamFloat scalar;
  scalar.SetFloat(2.5L);
  text.CopyFrom(scalar);
  EXPECT_EQ(text.Dims, (std::vector<int32_t>{1}));
  EXPECT_EQ(text.AsString(), "2.5");
  // An unbound reference has no dimensions to give: one element is left, with no dimensions.
  TParamVar unbound;
  text.SetDims({2, 2});
  text.CopyFrom(unbound);
  EXPECT_TRUE(text.Dims.empty());
  EXPECT_EQ(text.GetCount(), 1);
}

TEST(TCustomParam, CopySameKind) {
  TParamStr a, b;
  a.SetDims({2, 2});
  a.SetStrAt(3, "x");
  b.CopySameKind(a);
  EXPECT_EQ(b.GetCount(), 4);
  EXPECT_EQ(b.GetDim(0), 2);
  EXPECT_EQ(b.GetStrAt(3), "x");
  TParamInt i;
  EXPECT_EQ(ErrorOf([&] { i.CopySameKind(a); }), kMsgKindMismatch);
}

TEST(TCustomParam, IndexOf) {
  TParamStr v;
  v.SetCount(4);
  v.SetStrAt(0, "Apple");
  v.SetStrAt(1, "banana");
  v.SetStrAt(2, "\x83\x41pple");  // the trail byte 0x41 is not the letter "A"
  v.SetStrAt(3, "APPLE pie");
  struct Case { const char* text; bool caseSensitive, partial; int index; };
  for (Case c : {Case{"apple", false, false, 0}, {"apple", true, false, -1}, {"Apple", true, false, 0},
                 {"NAN", false, true, 1}, {"NAN", true, true, -1}, {"pie", true, true, 3}, {"\x83\x61", false, true, -1},
                 {"\x83\x41", true, true, 2}, {"", true, true, 0}, {"cherry", false, true, -1}}) {
    EXPECT_EQ(v.IndexOf(c.text, c.caseSensitive, c.partial), c.index) << c.text;
  }
}

TEST(TCustomParam, StreamRoundTripOfEachKind) {
  TParamFloat f;
  f.SetDims({2});
  f.SetFloatAt(1, 1.0L / 3);
  TParamStr s;
  s.SetCount(2);
  s.SetStrAt(1, "\x82\xA0");
  TParamFlag b;
  b.Elements = {2};  // a loaded byte other than 0/1 goes back out unchanged
  for (TCustomParam* v : std::initializer_list<TCustomParam*>{&f, &s, &b}) {
    TMemoryStream stream;
    TBinaryWriter writer(stream);
    v->SaveToStream(writer);
    stream.SetPosition(0);
    TBinaryReader reader(stream);
    auto copy = CreateParam(v->ParamType());
    copy->LoadFromStream(reader);
    EXPECT_EQ(reader.Remaining(), 0);
    EXPECT_EQ(copy->Dims, v->Dims);
    EXPECT_EQ(copy->GetCount(), v->GetCount());
    for (int i = 0; i < v->GetCount(); ++i) EXPECT_EQ(copy->GetStrAt(i), v->GetStrAt(i));
  }
  TMemoryStream stream;
  TBinaryWriter writer(stream);
  f.SaveToStream(writer);
  // prefix (n=1, size 2), count 2, two 10-byte values
  EXPECT_EQ(stream.Size(), 4 + 4 + 4 + 20);
  TMemoryStream flagBytes;
  TBinaryWriter flagWriter(flagBytes);
  b.SaveToStream(flagWriter);
  EXPECT_EQ(flagBytes.Bytes(), (std::vector<uint8_t>{0, 0, 0, 0, 1, 0, 0, 0, 2}));
}

TEST(TCustomParam, HostileStreamIsRejected) {
  // An element count far beyond the data, and a dimension count beyond it.
  for (std::vector<uint8_t> bytes : {std::vector<uint8_t>{0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F},
                                     std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0x7F}, std::vector<uint8_t>{0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}}) {
    for (uint8_t kind : {PT_NONE, PT_INT, PT_FLOAT, PT_BOOL, PT_STR}) {
      TMemoryStream stream(bytes);
      TBinaryReader reader(stream);
      EXPECT_THROW(CreateParam(kind)->LoadFromStream(reader), EKivoError);
    }
  }
}

}  // namespace
}  // namespace kivo
