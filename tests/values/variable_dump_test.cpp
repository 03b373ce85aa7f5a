// The variable dump: kinds, escapes, arrays, exclusions and order.
#include <gtest/gtest.h>

#include "values/expr/kivo_parser.h"
#include "values/functions/sys_func_man.h"
#include "values/param_collection.h"
#include "values/variable_dump.h"

namespace kivo {
namespace {

TEST(VariableDump, LinesAsAutomationReadsThem) {
  TParamCollection vars;
  TSysFuncMan funcs(vars);
  auto add = [&](uint8_t kind, const char* name) -> TCustomParam& {
    TParamCollectionItem& item = vars.AddVar(kind);
    item.SetName(name);
    return *item.Param;
  };
  add(PT_STR, "zeta").SetStr("a\\b\tc\r\nd");
  add(PT_INT, "alpha").SetInt(-3);
  add(PT_FLOAT, "beta").SetFloat(2.5L);
  add(PT_BOOL, "flag").SetBool(true);
  add(PT_STR, "\x83\x41").SetStr("\x95\x5C");  // ア = 表
  TCustomParam& grid = add(PT_INT, "grid");
  grid.SetDims({2, 2});
  grid.SetIntAt(1, 5);
  grid.SetIntAt(3, 7);
  add(PT_INT, "____3").SetInt(1);
  add(PT_INT, "alpha").SetInt(9);  // a second variable of the same name keeps its place
  EXPECT_EQ(DumpVariables(vars),
            "alpha\tint\t-3\n"
            "alpha\tint\t9\n"
            "beta\tfloat\t2.5\n"
            "flag\tbool\tTRUE\n"
            "grid[0,0]\tint\t0\n"
            "grid[0,1]\tint\t5\n"
            "grid[1,0]\tint\t0\n"
            "grid[1,1]\tint\t7\n"
            "zeta\tstr\ta\\\\b\\tc\\r\\nd\n"
            "\xE3\x82\xA2\tstr\t\xE8\xA1\xA8\n");
}

}  // namespace
}  // namespace kivo
