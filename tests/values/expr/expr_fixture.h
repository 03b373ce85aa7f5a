// A variable collection with its function manager, and helpers that compile and run expression text.
#pragma once

#include <string>

#include "support/stream.h"
#include "values/expr/build_parser.h"
#include "values/expr/kivo_parser.h"
#include "values/functions/sys_func_man.h"
#include "values/param.h"
#include "values/param_collection.h"
#include "values/value_convert.h"

namespace kivo {

class ExprFixture {
public:
  TParamCollection vars;
  TSysFuncMan funcs{vars};

  TParamCollectionItem& Declare(const std::string& name, uint8_t kind) {
    TParamCollectionItem& item = vars.AddVar(kind);
    item.SetName(name);
    return item;
  }
  TCustomParam& Var(const std::string& name) { return *vars.FindVar(name)->Param; }

  static std::vector<uint8_t> RunFormOf(const std::string& text) {
    TBuildKivoParser builder;
    builder.Compile(text);
    TMemoryStream s;
    builder.WriteRunForm(s);
    return s.Bytes();
  }
  static void Load(TKivoParser& parser, const std::vector<uint8_t>& bytes) {
    TMemoryStream s(bytes);
    parser.LoadRunForm(s);
  }

  // "kind:text" of the expression's result, or "none".
  std::string Eval(const std::string& text) {
    TKivoParser parser;
    Load(parser, RunFormOf(text));
    parser.Execute(funcs);
    return Describe(parser.Result());
  }
  static std::string Describe(const TCustomParam* v) {
    if (v == nullptr) return "none";
    return std::to_string(v->ParamType()) + ":" + v->AsString();
  }
};

}  // namespace kivo
