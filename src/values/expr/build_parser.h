// TBuildKivoParser: compiles expression text into the build form and writes it as a run form.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/stream.h"
#include "values/expr/op_codes.h"

namespace kivo {

struct TExprText;

// One operation whose operands are still text; for ocFunc Args[0] is the function name.
struct TBuildOpeData {
  uint8_t OpType = ocNone;
  std::string Dest;
  std::vector<std::string> Args;

  bool operator==(const TBuildOpeData&) const = default;
};

class TBuildKivoParser {
public:
  // Compiles text into the operation list (replacing an earlier list). Raises EKivoError with
  // "構文エラー" or "配列の添え字が不正です" on malformed text.
  void Compile(const std::string& text);
  // Converts the list to the run form: function names become numbers and operand texts typed
  // constants or variable names. Raises on unknown functions and wrong argument counts; nothing
  // is written then.
  void WriteRunForm(TStream& stream) const;

  const std::vector<TBuildOpeData>& Operations() const { return ops_; }

  // Texts longer than this are refused ("構文エラー"); scripts' expressions are far shorter.
  static constexpr size_t kMaxTextLength = 65536;

private:
  void CompileText(std::string text, int depth);
  void CutStringLiterals(std::string& text);
  void CutFunctionCalls(TExprText& t, int depth);
  void CutArrayElements(TExprText& t, int depth);
  void CutGroups(TExprText& t, int depth);
  void Reduce(std::vector<std::string>& tokens);
  std::string Operand(std::string text, int depth);
  void RemoveTempCopies();
  std::string NewTemp();
  std::string NewDimTemp();

  std::vector<TBuildOpeData> ops_;
  int counter_ = 0;  // shared by both temporary forms, for the life of the parser
};

}  // namespace kivo
