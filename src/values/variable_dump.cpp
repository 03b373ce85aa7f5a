// Variable dumps.
#include "values/variable_dump.h"

#include <algorithm>
#include <vector>

#include "platform/cp932.h"
#include "platform/paths.h"
#include "values/param_collection.h"

namespace kivo {
namespace {

const char* KindName(const TCustomParam& p) {
  if (p.IsReference()) return "ref";
  switch (p.ParamType()) {
    case PT_INT: return "int";
    case PT_FLOAT: return "float";
    case PT_BOOL: return "bool";
    case PT_STR: return "str";
    default: return "ref";
  }
}

std::string Escaped(const std::string& cp932) {
  std::string out;
  for (char c : Cp932ToUtf8(cp932)) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

// "[i,j]" of a flat element index, the last index running fastest.
std::string IndexText(int flat, const TCustomParam& p) {
  int dims = static_cast<int>(p.Dims.size());
  std::vector<int> index(static_cast<size_t>(dims));
  for (int d = dims - 1; d >= 0; --d) {
    int size = std::max(1, p.Dims[static_cast<size_t>(d)]);
    index[static_cast<size_t>(d)] = flat % size;
    flat /= size;
  }
  std::string text = "[";
  for (int d = 0; d < dims; ++d) text += (d ? "," : "") + std::to_string(index[static_cast<size_t>(d)]);
  return text + "]";
}

}  // namespace

std::string DumpVariables(const TParamCollection& vars) {
  struct Line {
    std::string name;
    std::string text;
  };
  std::vector<Line> lines;
  for (int i = 0; i < vars.Count(); ++i) {
    const TParamCollectionItem& item = vars.Var(i);
    const std::string& name = item.Name();
    if (!item.Param || name.empty() || name[0] == '@' || name.rfind("____", 0) == 0) continue;
    const TCustomParam& p = *item.Param;
    std::string utf8 = Cp932ToUtf8(name);
    std::string kind = KindName(p);
    if (!p.IsReference() && !p.Dims.empty()) {
      std::string text;
      for (int e = 0; e < p.GetCount(); ++e)
        text += utf8 + IndexText(e, p) + "\t" + kind + "\t" + Escaped(p.GetStrAt(e)) + "\n";
      lines.push_back({utf8, text});
    } else {
      lines.push_back({utf8, utf8 + "\t" + kind + "\t" + Escaped(p.AsString()) + "\n"});
    }
  }
  std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) { return a.name < b.name; });
  std::string out;
  for (const Line& l : lines) out += l.text;
  return out;
}

bool WriteVariableDump(const TParamCollection& vars, const std::string& path) {
  return WriteFileAtomically(path, DumpVariables(vars));
}

}  // namespace kivo
