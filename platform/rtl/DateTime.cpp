#include "platform/rtl/DateTime.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ProcessState.h"

#include <QDate>
#include <QTime>

#include <chrono>
#include <cmath>
#include <mutex>

namespace {

constexpr qint64 kJulianDayOfZero = 2415019;  // 1899-12-30
constexpr qint64 kMsPerDay = 86400000;

struct Clocks {
  std::mutex lock;
  std::function<TDateTime()> now;
  std::function<std::uint64_t()> ticks;
};

Clocks& TheClocks() {
  static Clocks clocks;
  return clocks;
}

void ResetClocks() {
  Clocks& c = TheClocks();
  std::lock_guard guard(c.lock);
  c.now = nullptr;
  c.ticks = nullptr;
}

const TResetHook kResetClocks(ResetClocks);

// A TDateTime split into its day number and the time of day in milliseconds.
struct DayAndTime {
  qint64 day = 0;
  qint64 ms = 0;
};

DayAndTime Split(TDateTime dt) {
  if (!std::isfinite(dt) || std::fabs(dt) > 3.0e6)
    throw EConvertError(QStringLiteral("Invalid date and time value"));
  DayAndTime r;
  const double whole = std::trunc(dt);
  r.day = static_cast<qint64>(whole);
  r.ms = std::llround(std::fabs(dt - whole) * kMsPerDay);
  if (r.ms >= kMsPerDay) {  // rounds up to the next midnight
    r.ms = 0;
    ++r.day;
  }
  return r;
}

TDateTime Combine(qint64 day, qint64 ms) {
  const double time = static_cast<double>(ms) / kMsPerDay;
  return day >= 0 ? static_cast<double>(day) + time : static_cast<double>(day) - time;
}

QString Two(int v) { return QString::number(v).rightJustified(2, QLatin1Char('0')); }

qsizetype RunLength(const QString& s, qsizetype i) {
  const QChar c = s[i].toLower();
  qsizetype n = 0;
  while (i + n < s.size() && s[i + n].toLower() == c)
    ++n;
  return n;
}

struct Parts {
  int year, month, day, hour, min, sec, msec;
};

// One token of FormatDateTime at s[i]; advances i. Empty when s[i] is literal.
QString Token(const QString& s, qsizetype& i, const Parts& p, bool& afterHour) {
  const char c = s[i].toLower().toLatin1();
  const qsizetype run = RunLength(s, i);
  const qsizetype two = std::min<qsizetype>(run, 2);
  switch (c) {
    case 'y':
      i += run;
      afterHour = false;
      return run >= 3 ? QString::number(p.year).rightJustified(4, QLatin1Char('0')) : Two(p.year % 100);
    case 'm': {
      i += two;
      const int v = afterHour ? p.min : p.month;
      afterHour = false;
      return two == 2 ? Two(v) : QString::number(v);
    }
    case 'd':
      i += two;
      afterHour = false;
      return two == 2 ? Two(p.day) : QString::number(p.day);
    case 'h':
      i += two;
      afterHour = true;
      return two == 2 ? Two(p.hour) : QString::number(p.hour);
    case 'n':
      i += two;
      afterHour = false;
      return two == 2 ? Two(p.min) : QString::number(p.min);
    case 's':
      i += two;
      afterHour = false;
      return two == 2 ? Two(p.sec) : QString::number(p.sec);
    case 'z':
      i += run >= 3 ? 3 : 1;
      afterHour = false;
      return run >= 3 ? QString::number(p.msec).rightJustified(3, QLatin1Char('0')) : QString::number(p.msec);
    default:
      return {};
  }
}

}  // namespace

TDateTime EncodeDate(int year, int month, int day) {
  const QDate d(year, month, day);
  if (year < 1 || year > 9999 || !d.isValid())
    throw EConvertError(QStringLiteral("Invalid argument to date encode"));
  return static_cast<double>(d.toJulianDay() - kJulianDayOfZero);
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day) {
  const QDate d = QDate::fromJulianDay(Split(dt).day + kJulianDayOfZero);
  year = d.year();
  month = d.month();
  day = d.day();
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
  if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
    throw EConvertError(QStringLiteral("Invalid argument to time encode"));
  const qint64 ms = ((hour * 60LL + min) * 60 + sec) * 1000 + msec;
  return static_cast<double>(ms) / kMsPerDay;
}

void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec) {
  const qint64 ms = Split(dt).ms;
  hour = static_cast<int>(ms / 3600000);
  min = static_cast<int>(ms / 60000 % 60);
  sec = static_cast<int>(ms / 1000 % 60);
  msec = static_cast<int>(ms % 1000);
}

TDateTime Now() {
  std::function<TDateTime()> hook;
  {
    Clocks& c = TheClocks();
    std::lock_guard guard(c.lock);
    hook = c.now;
  }
  return hook ? hook() : QDateTimeToDateTime(QDateTime::currentDateTime());
}

TDateTime Date() { return static_cast<double>(Split(Now()).day); }

TDateTime Time() { return static_cast<double>(Split(Now()).ms) / kMsPerDay; }

QString DateTimeToStr(TDateTime dt) {
  const bool midnight = Split(dt).ms == 0;
  return FormatDateTime(midnight ? QStringLiteral("yyyy-mm-dd") : QStringLiteral("yyyy-mm-dd hh:nn:ss"), dt);
}

QString FormatDateTime(const QString& format, TDateTime dt) {
  Parts p{};
  DecodeDate(dt, p.year, p.month, p.day);
  DecodeTime(dt, p.hour, p.min, p.sec, p.msec);
  QString out;
  bool afterHour = false;
  qsizetype i = 0;
  while (i < format.size()) {
    const QChar c = format[i];
    if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
      const qsizetype end = format.indexOf(c, i + 1);
      const qsizetype stop = end < 0 ? format.size() : end;
      out += format.mid(i + 1, stop - i - 1);
      i = stop + 1;
      continue;
    }
    const QString token = Token(format, i, p, afterHour);
    if (token.isNull())
      out += format[i++];
    else
      out += token;
  }
  return out;
}

TDateTime FileDateToDateTime(std::int64_t fileDate) {
  return QDateTimeToDateTime(QDateTime::fromSecsSinceEpoch(fileDate));
}

std::int64_t DateTimeToFileDate(TDateTime dt) {
  // Sub-seconds are dropped, as file systems drop them from the seconds field.
  const qint64 ms = DateTimeToQDateTime(dt).toMSecsSinceEpoch();
  return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
}

QDateTime DateTimeToQDateTime(TDateTime dt) {
  const DayAndTime s = Split(dt);
  return QDateTime(QDate::fromJulianDay(s.day + kJulianDayOfZero),
                   QTime::fromMSecsSinceStartOfDay(static_cast<int>(s.ms)));
}

TDateTime QDateTimeToDateTime(const QDateTime& dt) {
  if (!dt.isValid())
    throw EConvertError(QStringLiteral("Invalid date and time value"));
  const QDateTime local = dt.toLocalTime();
  return Combine(local.date().toJulianDay() - kJulianDayOfZero, local.time().msecsSinceStartOfDay());
}

std::uint64_t GetTickCount() {
  std::function<std::uint64_t()> hook;
  {
    Clocks& c = TheClocks();
    std::lock_guard guard(c.lock);
    hook = c.ticks;
  }
  if (hook)
    return hook();
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void SetNowHook(std::function<TDateTime()> hook) {
  Clocks& c = TheClocks();
  std::lock_guard guard(c.lock);
  c.now = std::move(hook);
}

void SetTickCountHook(std::function<std::uint64_t()> hook) {
  Clocks& c = TheClocks();
  std::lock_guard guard(c.lock);
  c.ticks = std::move(hook);
}
