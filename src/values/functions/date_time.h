// Dates as days since 30 December 1899 with the time as the fraction of a day.
#pragma once

#include <cstdint>

#include "support/extended.h"

namespace kivo {

struct TDateParts {
  int Year = 0, Month = 0, Day = 0;
};
struct TTimeParts {
  int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

// Raise EKivoError for a date or time that does not exist.
Extended EncodeDate(int32_t year, int32_t month, int32_t day);
Extended EncodeTime(int32_t hour, int32_t minute, int32_t second);
// A date-time is first rounded to whole milliseconds, so 23:59:59.9995 is the next day. Dates
// before 1 January of year 1 decode as zeros; values too large for any date raise.
TDateParts DecodeDate(Extended dateTime);
TTimeParts DecodeTime(Extended dateTime);
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(Extended dateTime);

}  // namespace kivo
