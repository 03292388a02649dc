#pragma once
// Dates and times as the class library keeps them: a TDateTime is the number
// of days since 1899-12-30 (local time), its fraction the time of day. Before
// that day the integer part counts back and the fraction still adds a time of
// day: -1.25 is 1899-12-29 06:00.
//
// The clocks are replaceable (SetNowHook, SetTickCountHook) so tests drive
// time; ResetProcessState restores the system clocks.

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>

using TDateTime = double;

// Invalid parts raise EConvertError. Years 1..9999.
TDateTime EncodeDate(int year, int month, int day);
void DecodeDate(TDateTime dt, int& year, int& month, int& day);
// Hours 0..23, minutes and seconds 0..59, milliseconds 0..999.
TDateTime EncodeTime(int hour, int min, int sec, int msec);
void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec);

// The local date and time from the clock (or the hook).
TDateTime Now();
TDateTime Date();
TDateTime Time();

// "yyyy-mm-dd hh:nn:ss"; the time is left out when it is midnight.
QString DateTimeToStr(TDateTime dt);
// Tokens: yyyy yy m mm d dd h hh n nn s ss zzz (an m or mm right after an h
// token means minutes); text in '...' or "..." is copied; all else is literal.
QString FormatDateTime(const QString& format, TDateTime dt);

// File dates are Unix seconds (UTC); TDateTime is local time. Converting to a
// file date drops the milliseconds (rounds toward the earlier second).
TDateTime FileDateToDateTime(std::int64_t fileDate);
std::int64_t DateTimeToFileDate(TDateTime dt);

QDateTime DateTimeToQDateTime(TDateTime dt);
TDateTime QDateTimeToDateTime(const QDateTime& dt);

// Milliseconds from a monotonic clock (or the hook).
std::uint64_t GetTickCount();

// An empty function restores the system clock.
void SetNowHook(std::function<TDateTime()> hook);
void SetTickCountHook(std::function<std::uint64_t()> hook);
