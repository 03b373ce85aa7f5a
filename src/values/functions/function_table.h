// The system function table: name, argument limits and result kind of each function, by number.
#pragma once

#include <cstdint>
#include <string_view>

namespace kivo {

struct TSysFuncInfo {
  const char* Name;
  int MinArgs;  // -1: no limit
  int MaxArgs;  // -1: no limit
  uint8_t ResultKind;  // the value kind of the temporary that receives the result (1 int .. 4 str)
};

// Compiled expressions store the function number, so the order of the table is page format.
constexpr int kSysFuncCount = 161;

// Numbers that the executor and the dispatcher treat specially.
constexpr int kFuncGetProp = 2;
constexpr int kFuncCalc = 136;

const TSysFuncInfo& SysFuncInfo(int number);
// The number of a function by exact (case-sensitive) name, or -1.
int FindSysFunc(std::string_view name);
bool SysFuncArgCountFits(int number, int argCount);

}  // namespace kivo
