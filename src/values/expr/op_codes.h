// Operation codes of compiled expressions, their names and the reserved temporary names.
#pragma once

#include <cstdint>
#include <string_view>

namespace kivo {

enum TOpType : uint8_t {
  ocNone = 0,
  ocTo = 1,
  ocPlus = 2,
  ocMinus = 3,
  ocMul = 4,
  ocDiv = 5,
  ocMod = 6,
  ocOr = 7,
  ocAnd = 8,
  ocXor = 9,
  ocDimTo = 10,
  ocFunc = 11,
  ocEqual = 12,
  ocBig = 13,
  ocSmall = 14,
  ocEBig = 15,
  ocESmall = 16,
  ocShiftL = 17,
  ocShiftR = 18,
  ocComboStr = 19,
  ocNEqual = 20,
};

constexpr uint8_t kOpTypeLast = ocNEqual;

// The name of an operation code as error texts show it ("" outside 0..20).
constexpr std::string_view OpTypeName(uint8_t op) {
  constexpr std::string_view kNames[] = {
      "ocNone",  "ocTo",  "ocPlus",   "ocMinus",  "ocMul",    "ocDiv",    "ocMod",
      "ocOr",    "ocAnd", "ocXor",    "ocDimTo",  "ocFunc",   "ocEqual",  "ocBig",
      "ocSmall", "ocEBig", "ocESmall", "ocShiftL", "ocShiftR", "ocComboStr", "ocNEqual"};
  return op <= kOpTypeLast ? kNames[op] : std::string_view();
}

// Temporaries: "____" + n for intermediate values, "____d_" + n for element references and
// "____arg" for the value of an expression that is not an assignment.
constexpr std::string_view kTempPrefix = "____";
constexpr std::string_view kDimTempPrefix = "____d_";
constexpr std::string_view kArgTemp = "____arg";

constexpr bool IsTempName(std::string_view name) { return name.starts_with(kTempPrefix); }

}  // namespace kivo
