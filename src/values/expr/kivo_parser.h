// TKivoParser: a compiled expression in run form; loading, saving, copying and executing it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/stream.h"
#include "values/expr/op_codes.h"
#include "values/param.h"

namespace kivo {

class TParamCollection;
class TParamCollectionItem;
class TParamVar;
class TSysFuncMan;

// One operation of the run form: constants by kind, or references that name a variable.
struct TOpeData {
  uint8_t OpType = ocNone;
  std::string Dest;
  uint8_t FuncId = 0;  // ocFunc only
  std::vector<std::unique_ptr<TCustomParam>> Args;
};

class TKivoParser {
public:
  TKivoParser();
  ~TKivoParser();
  TKivoParser(const TKivoParser&) = delete;
  TKivoParser& operator=(const TKivoParser&) = delete;

  // Clears the list and reads a compiled expression; hostile bytes raise EKivoError.
  void LoadRunForm(TStream& stream);
  void SaveRunForm(TStream& stream) const;
  // Deep copies of another parser's operations (constants by kind, references by name).
  void Assign(const TKivoParser& other);
  // Runs the operations over the function manager's variables. A failing operation ends the
  // run silently; Result is the value of a non-assignment expression, or none.
  void Execute(TSysFuncMan& funcs);

  const TCustomParam* Result() const { return result_.get(); }
  std::unique_ptr<TCustomParam> TakeResult() { return std::move(result_); }
  // The text of the error that ended the last execution early ("" when it ran to its end); the
  // executor swallows it, callers may show or trace it.
  const std::string& LastError() const { return lastError_; }
  const std::vector<TOpeData>& Operations() const { return ops_; }
  bool Empty() const { return ops_.empty(); }

private:
  struct TSlot;
  struct TPrepared;
  struct TRun;

  void Prepare();
  void RunOperation(size_t index, TRun& run);
  TParamCollectionItem* Lookup(int slot, TRun& run);

  std::vector<TOpeData> ops_;
  std::unique_ptr<TCustomParam> result_;
  std::string lastError_;
  std::unique_ptr<TPrepared> prepared_;
};

// Trims, compiles, converts through a memory stream, loads into a fresh parser and executes it
// once. True when compiling and converting succeeded (execution errors do not change it).
bool RunText(const std::string& text, TSysFuncMan& funcs);

}  // namespace kivo
