// TSysFuncMan: the system function dispatcher, and the call context its handlers work with.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "support/extended.h"
#include "values/functions/function_table.h"

namespace kivo {

class TCustomParam;
class TParamCollection;
class TSysFuncMan;

// One function call: the destination temporary, the argument values (a variable named in the
// argument list arrives as a bound reference, a literal as a constant) and argument readers.
class TFuncCall {
public:
  TFuncCall(TSysFuncMan& man, int number, TCustomParam& dest, std::span<TCustomParam* const> args)
      : man_(man), number_(number), dest_(dest), args_(args) {}
  ~TFuncCall();

  TSysFuncMan& Man() const { return man_; }
  TParamCollection& Vars() const;
  int Number() const { return number_; }
  const char* Name() const { return SysFuncInfo(number_).Name; }
  TCustomParam& Dest() const { return dest_; }

  int Count() const { return static_cast<int>(args_.size()); }
  bool Has(int i) const { return i < Count(); }
  TCustomParam& Arg(int i) const { return *args_[static_cast<size_t>(i)]; }
  int32_t Int(int i) const;
  Extended Float(int i) const;
  bool Bool(int i) const;
  std::string Str(int i) const;
  // Optional arguments.
  int32_t Int(int i, int32_t fallback) const { return Has(i) ? Int(i) : fallback; }
  bool Bool(int i, bool fallback) const { return Has(i) ? Bool(i) : fallback; }
  std::string Str(int i, const std::string& fallback) const { return Has(i) ? Str(i) : fallback; }

  // An argument that must name a variable: fails with "<name>:変数が見つかりません" otherwise.
  TCustomParam& Variable(int i) const;
  // An argument the function writes back through: the variable when one is named, else a
  // scratch copy whose writes are lost (a literal never changes).
  TCustomParam& Writable(int i);

  void ReturnInt(int32_t v) const;
  void ReturnFloat(Extended v) const;
  void ReturnBool(bool v) const;
  void ReturnStr(const std::string& v) const;

private:
  TSysFuncMan& man_;
  int number_;
  TCustomParam& dest_;
  std::span<TCustomParam* const> args_;
  std::vector<std::unique_ptr<TCustomParam>> scratch_;
};

class TSysFuncMan {
public:
  using THandler = void (*)(TFuncCall& call);

  // Registers the function groups that need only values, text and the clock; every other
  // function raises an error naming itself until its subsystem registers a handler.
  explicit TSysFuncMan(TParamCollection& vars);

  TParamCollection& Vars() const { return vars_; }

  // Evaluates function `number` into dest. Errors raise; the expression executor stops the
  // expression silently.
  void Call(TCustomParam& dest, int number, std::span<TCustomParam* const> args);
  void SetHandler(int number, THandler handler);

  // Nesting of compiled-at-run-time expressions (Calc inside Calc): hostile text could recurse
  // without end.
  static constexpr int kMaxRunTextDepth = 32;
  int RunTextDepth = 0;

private:
  TParamCollection& vars_;
  std::array<THandler, kSysFuncCount> handlers_{};
};

// The function groups, each in its own file.
void RegisterStringFunctions(TSysFuncMan& man);
void RegisterNumberFunctions(TSysFuncMan& man);
void RegisterVariableFunctions(TSysFuncMan& man);

}  // namespace kivo
