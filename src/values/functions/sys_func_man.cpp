// TSysFuncMan: dispatch by function number, argument reading and result writing.
#include "values/functions/sys_func_man.h"

#include "platform/kivo_error.h"
#include "values/expr/expr_errors.h"
#include "values/param.h"
#include "values/param_collection.h"
#include "values/param_var.h"

namespace kivo {

namespace {

// Functions whose subsystem is not part of this build yet say so by name.
void NotAvailable(TFuncCall& call) {
  throw EKivoError(std::string(call.Name()) + ": not available in this build");
}

}  // namespace

TFuncCall::~TFuncCall() = default;

TParamCollection& TFuncCall::Vars() const { return man_.Vars(); }

int32_t TFuncCall::Int(int i) const { return Arg(i).AsInt(); }
Extended TFuncCall::Float(int i) const { return Arg(i).AsFloat(); }
bool TFuncCall::Bool(int i) const { return Arg(i).AsBool(); }
std::string TFuncCall::Str(int i) const { return Arg(i).AsString(); }

TCustomParam& TFuncCall::Variable(int i) const {
  TCustomParam& a = Arg(i);
  if (!a.IsReference() || static_cast<TParamVar&>(a).Target() == nullptr) throw EKivoError(NeedsVariableText(Name()));
  return a;
}

TCustomParam& TFuncCall::Writable(int i) {
  TCustomParam& a = Arg(i);
  if (a.IsReference()) return a;
  std::unique_ptr<TCustomParam> copy = CreateParam(a.ParamType());
  copy->CopySameKind(a);
  scratch_.push_back(std::move(copy));
  return *scratch_.back();
}

void TFuncCall::ReturnInt(int32_t v) const { dest_.SetInt(v); }
void TFuncCall::ReturnFloat(Extended v) const { dest_.SetFloat(v); }
void TFuncCall::ReturnBool(bool v) const { dest_.SetBool(v); }
void TFuncCall::ReturnStr(const std::string& v) const { dest_.SetStr(v); }

TSysFuncMan::TSysFuncMan(TParamCollection& vars) : vars_(vars) {
  handlers_.fill(&NotAvailable);
  RegisterStringFunctions(*this);
  RegisterNumberFunctions(*this);
  RegisterVariableFunctions(*this);
}

void TSysFuncMan::SetHandler(int number, THandler handler) {
  handlers_.at(static_cast<size_t>(number)) = handler != nullptr ? handler : &NotAvailable;
}

void TSysFuncMan::Call(TCustomParam& dest, int number, std::span<TCustomParam* const> args) {
  if (number < 0 || number >= kSysFuncCount) throw EKivoError("function number " + std::to_string(number) + " does not exist");
  TFuncCall call(*this, number, dest, args);
  handlers_[static_cast<size_t>(number)](call);
}

}  // namespace kivo
