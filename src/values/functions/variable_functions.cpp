// The variable and array functions: sizes, fills and copies, array and text conversion, search,
// sorting, existence, the pushed variable sets and Calc.
#include <algorithm>
#include <numeric>

#include "platform/kivo_error.h"
#include "support/sjis.h"
#include "values/expr/expr_errors.h"
#include "values/expr/kivo_parser.h"
#include "values/functions/sys_func_man.h"
#include "values/param.h"
#include "values/param_collection.h"
#include "values/param_var.h"

namespace kivo {

namespace {

constexpr size_t kMaxJoinedBytes = 16u << 20;

bool StoredKind(uint8_t kind) { return kind >= PT_INT && kind <= PT_STR; }

// Element si of src into element di of dst, read with the getter of dst's kind.
void CopyElement(TCustomParam& dst, int di, const TCustomParam& src, int si) {
  switch (dst.ParamType()) {
    case PT_INT: dst.SetIntAt(di, src.GetIntAt(si)); break;
    case PT_FLOAT: dst.SetFloatAt(di, src.GetFloatAt(si)); break;
    case PT_BOOL: dst.SetBoolAt(di, src.GetBoolAt(si)); break;
    case PT_STR: dst.SetStrAt(di, src.GetStrAt(si)); break;
    default: break;
  }
}

// A free-standing copy of v's elements converted to `kind`, so that a source may be the
// destination itself.
std::unique_ptr<TCustomParam> Snapshot(const TCustomParam& v, uint8_t kind) {
  std::unique_ptr<TCustomParam> copy = CreateParam(kind);
  copy->CopyFrom(v);
  return copy;
}

bool MultiDimensional(const TCustomParam& v) { return v.GetDimCount() >= 2; }

// Rewrites v as a one-dimension array of the given elements (already of v's kind); no elements
// leave the scalar neutral value, as the system writes an empty list everywhere.
void StoreList(TCustomParam& v, const TCustomParam& elements, const std::vector<int>& order) {
  const int n = static_cast<int>(order.size());
  if (n == 0) {
    v.ClearDims();
    std::unique_ptr<TCustomParam> neutral = CreateParam(v.ParamType());
    CopyElement(v, 0, *neutral, 0);
    return;
  }
  v.SetDims({n});
  for (int i = 0; i < n; ++i) CopyElement(v, i, elements, order[static_cast<size_t>(i)]);
}

void GetArraySizeF(TFuncCall& c) {
  TCustomParam& a = c.Variable(0);
  if (!c.Has(1)) return c.ReturnInt(a.GetCount());
  c.ReturnInt(a.GetDim(a.GetDimCount() - 1 - c.Int(1)));
}

void SetArrayF(TFuncCall& c) {
  TCustomParam& a = c.Variable(0);
  std::vector<int32_t> sizes;
  for (int i = 1; i < c.Count(); ++i) sizes.push_back(c.Int(i));
  a.SetDims(sizes);
}

void FillMemF(TFuncCall& c) {
  TCustomParam& a = c.Variable(0);
  switch (a.ParamType()) {
    case PT_INT: a.FillInt(c.Int(1)); break;
    case PT_FLOAT: a.FillFloat(c.Float(1)); break;
    case PT_BOOL: a.FillBool(c.Bool(1)); break;
    case PT_STR: a.FillStr(c.Str(1)); break;
    default: break;
  }
}

void CopyMemF(TFuncCall& c) {
  TCustomParam& dst = c.Variable(0);
  TCustomParam* src = static_cast<TParamVar&>(c.Variable(1)).Final();
  if (src == nullptr) throw EKivoError(NeedsVariableText(c.Name()));
  dst.CopySameKind(*src);
}

void ArrayToStringF(TFuncCall& c) {
  const TCustomParam& a = c.Arg(0);
  const std::string separator = c.Str(1, "\r\n");
  std::string out;
  for (int i = 0, n = a.GetCount(); i < n; ++i) {
    if (i > 0) out += separator;
    out += a.GetStrAt(i);
    if (out.size() > kMaxJoinedBytes) throw EKivoError(std::string(c.Name()) + ": result too long");
  }
  c.ReturnStr(out);
}

// Lines end at CR LF, LF or CR; a final line break does not open an empty line.
std::vector<std::string> SplitLines(const std::string& s) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\r' && s[i] != '\n') continue;
    lines.push_back(s.substr(start, i - start));
    if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < s.size()) lines.push_back(s.substr(start));
  return lines;
}

void StringToArrayF(TFuncCall& c) {
  std::string s = c.Str(0);
  TCustomParam& a = c.Writable(1);
  std::vector<std::string> pieces;
  if (!c.Has(2)) {
    pieces = SplitLines(s);
  } else {
    const std::string separators = c.Str(2);
    while (!s.empty()) pieces.push_back(FetchToken(s, separators));
  }
  if (!StoredKind(a.ParamType())) return;
  if (pieces.empty()) {
    // Through a reference a scalar write only sets one element: drop the dimensions first.
    a.ClearDims();
    a.SetStrAt(0, "");
    return;
  }
  auto texts = std::make_unique<TParamStr>();
  texts->SetDims({static_cast<int32_t>(pieces.size())});
  texts->Elements = std::move(pieces);
  std::unique_ptr<TCustomParam> converted = Snapshot(*texts, a.ParamType());
  std::vector<int> order(static_cast<size_t>(converted->GetCount()));
  std::iota(order.begin(), order.end(), 0);
  StoreList(a, *converted, order);
}

void IndexOfStrF(TFuncCall& c) { c.ReturnInt(c.Arg(0).IndexOf(c.Str(1), c.Bool(2, true), c.Bool(3, false))); }

void SortStrF(TFuncCall& c) {
  TCustomParam& a = c.Writable(0);
  const bool descending = c.Bool(1, false), numeric = c.Bool(2, false);
  const uint8_t kind = a.ParamType();
  if (!StoredKind(kind)) return;
  std::unique_ptr<TCustomParam> elements = Snapshot(a, kind);
  const int n = elements->GetCount();
  std::vector<int> order(static_cast<size_t>(n));
  std::iota(order.begin(), order.end(), 0);
  auto sortBy = [&](auto keyAt) {
    std::vector<decltype(keyAt(0))> keys(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) keys[static_cast<size_t>(i)] = keyAt(i);
    std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
      const auto& kx = keys[static_cast<size_t>(x)];
      const auto& ky = keys[static_cast<size_t>(y)];
      return descending ? ky < kx : kx < ky;
    });
  };
  if (numeric) {
    sortBy([&](int i) { return elements->GetFloatAt(i); });
  } else {
    sortBy([&](int i) { return elements->GetStrAt(i); });
  }
  // The shape stays: only the element order changes.
  for (int i = 0; i < n; ++i) CopyElement(a, i, *elements, order[static_cast<size_t>(i)]);
}

void VarExistsF(TFuncCall& c) { c.ReturnBool(c.Vars().FindVar(c.Str(0)) != nullptr); }

void AddArrayF(TFuncCall& c) {
  TCustomParam& dst = c.Writable(0);
  const TCustomParam& src = c.Arg(1);
  const int n = dst.GetCount();
  if (MultiDimensional(dst) || MultiDimensional(src) || !StoredKind(dst.ParamType())) return c.ReturnInt(n);
  std::unique_ptr<TCustomParam> all = Snapshot(dst, dst.ParamType());
  std::unique_ptr<TCustomParam> added = Snapshot(src, dst.ParamType());
  const int m = added->GetCount();
  dst.SetDims({n + m});
  for (int i = 0; i < n; ++i) CopyElement(dst, i, *all, i);
  for (int i = 0; i < m; ++i) CopyElement(dst, n + i, *added, i);
  c.ReturnInt(n + m);
}

void InsertArrayF(TFuncCall& c) {
  TCustomParam& dst = c.Writable(0);
  const TCustomParam& src = c.Arg(2);
  const int n = dst.GetCount();
  if (MultiDimensional(dst) || MultiDimensional(src) || !StoredKind(dst.ParamType())) return c.ReturnInt(n);
  const int at = std::clamp(c.Int(1), 0, n);
  std::unique_ptr<TCustomParam> old = Snapshot(dst, dst.ParamType());
  std::unique_ptr<TCustomParam> added = Snapshot(src, dst.ParamType());
  const int m = added->GetCount();
  dst.SetDims({n + m});
  for (int i = 0; i < at; ++i) CopyElement(dst, i, *old, i);
  for (int i = 0; i < m; ++i) CopyElement(dst, at + i, *added, i);
  for (int i = at; i < n; ++i) CopyElement(dst, m + i, *old, i);
  c.ReturnInt(n + m);
}

void DeleteArrayF(TFuncCall& c) {
  TCustomParam& a = c.Writable(0);
  const int n = a.GetCount();
  if (MultiDimensional(a) || !StoredKind(a.ParamType()) || n == 0) return c.ReturnInt(n);
  const int at = std::clamp(c.Int(1), 0, n - 1);
  const int count = std::min(c.Int(2), n - at);
  if (count <= 0) return c.ReturnInt(n);
  std::unique_ptr<TCustomParam> old = Snapshot(a, a.ParamType());
  std::vector<int> order;
  for (int i = 0; i < n; ++i) {
    if (i < at || i >= at + count) order.push_back(i);
  }
  StoreList(a, *old, order);
  c.ReturnInt(static_cast<int32_t>(order.size()));
}

void CopyArrayF(TFuncCall& c) {
  TCustomParam& dst = c.Writable(0);
  if (StoredKind(dst.ParamType())) {
    std::unique_ptr<TCustomParam> snapshot = Snapshot(c.Arg(1), dst.ParamType());
    dst.CopyFrom(*snapshot);
  }
  c.ReturnBool(true);
}

void AssignTempF(TFuncCall& c) {
  const std::string name = c.Str(0);
  if (c.Vars().FindVar(name) == nullptr) return;
  c.Vars().TempVarName = name;
  c.ReturnBool(true);
}

void GetVarTypeF(TFuncCall& c) { c.ReturnInt(c.Arg(0).ParamType()); }

void CalcF(TFuncCall& c) {
  const std::string text = c.Str(0);
  RunText(text, c.Man());
  bool blank = std::all_of(text.begin(), text.end(), [](char ch) { return static_cast<uint8_t>(ch) <= 0x20; });
  // The expression's own value is not returned, only whether there was one to run.
  c.ReturnStr(blank ? "" : "TRUE");
}

void PushVarF(TFuncCall& c) {
  std::vector<std::string> names;
  for (int i = 0; i < c.Count(); ++i) names.push_back(c.Str(i));
  c.Vars().PushVars(names);
  c.ReturnBool(true);
}

void PopVarF(TFuncCall& c) {
  c.Vars().PopVars();
  c.ReturnBool(true);
}

void DeleteStackF(TFuncCall& c) { c.ReturnBool(c.Vars().Hosts.Call->DeleteStack(c.Int(0))); }

}  // namespace

void RegisterVariableFunctions(TSysFuncMan& man) {
  man.SetHandler(4, GetArraySizeF);
  man.SetHandler(21, SetArrayF);
  man.SetHandler(22, FillMemF);
  man.SetHandler(23, CopyMemF);
  man.SetHandler(28, ArrayToStringF);
  man.SetHandler(29, StringToArrayF);
  man.SetHandler(30, IndexOfStrF);
  man.SetHandler(31, SortStrF);
  man.SetHandler(50, VarExistsF);
  man.SetHandler(66, AddArrayF);
  man.SetHandler(67, InsertArrayF);
  man.SetHandler(68, DeleteArrayF);
  man.SetHandler(70, CopyArrayF);
  man.SetHandler(84, AssignTempF);
  man.SetHandler(130, GetVarTypeF);
  man.SetHandler(136, CalcF);
  man.SetHandler(155, PushVarF);
  man.SetHandler(156, PopVarF);
  man.SetHandler(157, DeleteStackF);
}

}  // namespace kivo
