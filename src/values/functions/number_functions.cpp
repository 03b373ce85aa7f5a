// The number and date functions: logic, random numbers, rounding, trigonometry, minimum and maximum, dates.
#include <algorithm>
#include <cmath>

#include "platform/kivo_error.h"
#include "support/process_random.h"
#include "values/functions/date_time.h"
#include "values/functions/sys_func_man.h"
#include "values/param.h"
#include "values/value_convert.h"

namespace kivo {

namespace {

// The week-day names, Sunday first; the Japanese ones as CP932 (日 月 火 水 木 金 土).
constexpr const char* kWeekNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
constexpr const char* kWeekJNames[7] = {"\x93\xfa", "\x8c\x8e", "\x89\xce", "\x90\x85", "\x96\xd8", "\x8b\xe0", "\x93\x79"};

void NotF(TFuncCall& c) { c.ReturnBool(!c.Bool(0)); }
void RandomF(TFuncCall& c) { c.ReturnInt(ProcessRandom(c.Int(0))); }
void IntF(TFuncCall& c) { c.ReturnInt(TruncToInt(c.Float(0))); }
void FloatF(TFuncCall& c) { c.ReturnFloat(c.Float(0)); }

void SinF(TFuncCall& c) { c.ReturnFloat(std::sin(c.Float(0))); }
void CosF(TFuncCall& c) { c.ReturnFloat(std::cos(c.Float(0))); }
void TanF(TFuncCall& c) { c.ReturnFloat(std::tan(c.Float(0))); }

// Outside -1..1 there is no angle; the operation is invalid rather than a NaN result.
Extended UnitArgument(const TFuncCall& c) {
  Extended x = c.Float(0);
  if (!(x >= -1 && x <= 1)) throw EKivoError("Invalid floating point operation");
  return x;
}
void ArcSinF(TFuncCall& c) { c.ReturnFloat(std::asin(UnitArgument(c))); }
void ArcCosF(TFuncCall& c) { c.ReturnFloat(std::acos(UnitArgument(c))); }
void ArcTanF(TFuncCall& c) { c.ReturnFloat(std::atan(c.Float(0))); }
void ArcTan2F(TFuncCall& c) { c.ReturnFloat(std::atan2(c.Float(0), c.Float(1))); }
void HypotF(TFuncCall& c) { c.ReturnFloat(std::hypot(c.Float(0), c.Float(1))); }

void AbsF(TFuncCall& c) {
  int32_t n = c.Int(0);
  c.ReturnInt(n < 0 ? static_cast<int32_t>(0u - static_cast<uint32_t>(n)) : n);
}
void FabsF(TFuncCall& c) { c.ReturnFloat(std::fabs(c.Float(0))); }
void MinF(TFuncCall& c) { c.ReturnInt(std::min(c.Int(0), c.Int(1))); }
void MaxF(TFuncCall& c) { c.ReturnInt(std::max(c.Int(0), c.Int(1))); }
void FminF(TFuncCall& c) { c.ReturnFloat(std::min(c.Float(0), c.Float(1))); }
void FmaxF(TFuncCall& c) { c.ReturnFloat(std::max(c.Float(0), c.Float(1))); }

void EncodeDateF(TFuncCall& c) { c.ReturnFloat(EncodeDate(c.Int(0), c.Int(1), c.Int(2))); }
void EncodeTimeF(TFuncCall& c) { c.ReturnFloat(EncodeTime(c.Int(0), c.Int(1), c.Int(2))); }

void DecodeDateF(TFuncCall& c) {
  TDateParts p = DecodeDate(c.Float(0));
  c.Writable(1).SetInt(p.Year);
  c.Writable(2).SetInt(p.Month);
  c.Writable(3).SetInt(p.Day);
}
void DecodeTimeF(TFuncCall& c) {
  TTimeParts p = DecodeTime(c.Float(0));
  c.Writable(1).SetInt(p.Hour);
  c.Writable(2).SetInt(p.Minute);
  c.Writable(3).SetInt(p.Second);
}

void GetYearF(TFuncCall& c) { c.ReturnInt(DecodeDate(c.Float(0)).Year); }
void GetMonthF(TFuncCall& c) { c.ReturnInt(DecodeDate(c.Float(0)).Month); }
void GetDayF(TFuncCall& c) { c.ReturnInt(DecodeDate(c.Float(0)).Day); }
void GetHourF(TFuncCall& c) { c.ReturnInt(DecodeTime(c.Float(0)).Hour); }
void GetMinF(TFuncCall& c) { c.ReturnInt(DecodeTime(c.Float(0)).Minute); }
void GetSecF(TFuncCall& c) { c.ReturnInt(DecodeTime(c.Float(0)).Second); }
void GetWeekF(TFuncCall& c) { c.ReturnInt(DayOfWeek(c.Float(0))); }
void GetWeekStrF(TFuncCall& c) { c.ReturnStr(kWeekNames[DayOfWeek(c.Float(0)) - 1]); }
void GetWeekJStrF(TFuncCall& c) { c.ReturnStr(kWeekJNames[DayOfWeek(c.Float(0)) - 1]); }

}  // namespace

void RegisterNumberFunctions(TSysFuncMan& man) {
  man.SetHandler(20, NotF);
  man.SetHandler(26, RandomF);
  man.SetHandler(37, IntF);
  man.SetHandler(38, FloatF);
  man.SetHandler(39, SinF);
  man.SetHandler(40, CosF);
  man.SetHandler(41, TanF);
  man.SetHandler(42, ArcSinF);
  man.SetHandler(43, ArcCosF);
  man.SetHandler(44, ArcTanF);
  man.SetHandler(45, ArcTan2F);
  man.SetHandler(46, HypotF);
  man.SetHandler(48, AbsF);
  man.SetHandler(49, FabsF);
  man.SetHandler(51, EncodeDateF);
  man.SetHandler(52, EncodeTimeF);
  man.SetHandler(53, DecodeDateF);
  man.SetHandler(54, DecodeTimeF);
  man.SetHandler(55, GetYearF);
  man.SetHandler(56, GetMonthF);
  man.SetHandler(57, GetDayF);
  man.SetHandler(58, GetHourF);
  man.SetHandler(59, GetMinF);
  man.SetHandler(60, GetSecF);
  man.SetHandler(61, GetWeekF);
  man.SetHandler(62, GetWeekStrF);
  man.SetHandler(63, GetWeekJStrF);
  man.SetHandler(126, MinF);
  man.SetHandler(127, MaxF);
  man.SetHandler(128, FminF);
  man.SetHandler(129, FmaxF);
}

}  // namespace kivo
