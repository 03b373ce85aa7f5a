// Date arithmetic on the day count since 30 December 1899 (day 693594 counting from 1 January 1).
#include "values/functions/date_time.h"

#include <cmath>
#include <string>

#include "platform/kivo_error.h"

namespace kivo {

namespace {

constexpr int64_t kDateDelta = 693594;
constexpr int64_t kMsPerDay = 86400000;

bool IsLeap(int y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }
int DaysInMonth(int y, int m) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

struct TStamp {
  int64_t Date;  // days since 1 January of year 1, that day being 1
  int64_t Time;  // milliseconds of the day
};

// Rounds to whole milliseconds (ties to even) and splits into day and time of day; a negative
// value keeps its time of day positive, counting back from the day it truncates to.
TStamp ToStamp(Extended dateTime) {
  // Beyond about five million years no date exists and the millisecond count would overflow.
  if (!(std::fabs(dateTime) < 2e9L)) throw EKivoError("Invalid date value");
  int64_t ms = std::llrint(dateTime * kMsPerDay);
  TStamp s;
  if (ms >= 0) {
    s.Date = ms / kMsPerDay + kDateDelta;
    s.Time = ms % kMsPerDay;
  } else {
    s.Date = -((-ms) / kMsPerDay) + kDateDelta;
    s.Time = (-ms) % kMsPerDay;
  }
  return s;
}

}  // namespace

Extended EncodeDate(int32_t year, int32_t month, int32_t day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
    throw EKivoError("Invalid argument to date encode");
  }
  int64_t days = day;
  for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
  int64_t y = year - 1;
  days += y * 365 + y / 4 - y / 100 + y / 400;
  return static_cast<Extended>(days - kDateDelta);
}

Extended EncodeTime(int32_t hour, int32_t minute, int32_t second) {
  if (hour < 0 || hour >= 24 || minute < 0 || minute >= 60 || second < 0 || second >= 60) {
    throw EKivoError("Invalid argument to time encode");
  }
  return static_cast<Extended>(hour * 3600000LL + minute * 60000LL + second * 1000LL) / kMsPerDay;
}

TDateParts DecodeDate(Extended dateTime) {
  TDateParts p;
  int64_t t = ToStamp(dateTime).Date;
  if (t <= 0) return p;
  --t;
  int64_t y = 1;
  y += 400 * (t / 146097);
  t %= 146097;
  int64_t i = t / 36524, d = t % 36524;
  if (i == 4) --i, d += 36524;
  y += i * 100;
  y += 4 * (d / 1461);
  d %= 1461;
  i = d / 365;
  d %= 365;
  if (i == 4) --i, d += 365;
  y += i;
  int m = 1;
  while (d >= DaysInMonth(static_cast<int>(y), m)) d -= DaysInMonth(static_cast<int>(y), m++);
  p.Year = static_cast<int>(y);
  p.Month = m;
  p.Day = static_cast<int>(d) + 1;
  return p;
}

TTimeParts DecodeTime(Extended dateTime) {
  int64_t ms = ToStamp(dateTime).Time;
  TTimeParts p;
  p.Hour = static_cast<int>(ms / 3600000);
  p.Minute = static_cast<int>(ms / 60000 % 60);
  p.Second = static_cast<int>(ms / 1000 % 60);
  p.Millisecond = static_cast<int>(ms % 1000);
  return p;
}

int DayOfWeek(Extended dateTime) {
  int64_t date = ToStamp(dateTime).Date;
  return static_cast<int>((date % 7 + 7) % 7) + 1;
}

}  // namespace kivo
