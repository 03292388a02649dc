#pragma once
// The class library's string, number and file-name routines.
// Conversions use "." as the decimal point and no locale. Failed conversions
// raise EConvertError.

#include <QChar>
#include <QString>

#include <cstdint>

// Number <-> text.
QString IntToStr(int value);
QString IntToStr(long value);       // std::int64_t
QString IntToStr(long long value);  // qint64
QString IntToHex(std::int64_t value, int digits);
// Optional sign, then decimal digits or "$"/"0x" and hex digits; no blanks.
int StrToInt(const QString& s);
int StrToIntDef(const QString& s, int def);
std::int64_t StrToInt64(const QString& s);
std::int64_t StrToInt64Def(const QString& s, std::int64_t def);
// 15 significant digits, general format ("0.1", "1E20").
QString FloatToStr(double value);
// Blanks around the number are allowed; "." decimal point; optional exponent.
double StrToFloat(const QString& s);
double StrToFloatDef(const QString& s, double def);
QString BoolToStr(bool value, bool useBoolStrs = false);

// Trimming removes characters <= ' ' (blanks and control characters).
QString Trim(const QString& s);
QString TrimLeft(const QString& s);
QString TrimRight(const QString& s);

// ASCII-only case mapping and comparison (a-z / A-Z).
QString UpperCase(const QString& s);
QString LowerCase(const QString& s);
int CompareStr(const QString& a, const QString& b);
int CompareText(const QString& a, const QString& b);
bool SameText(const QString& a, const QString& b);

// Unicode case mapping and comparison (Å Ä Ö fold to å ä ö).
QString AnsiUpperCase(const QString& s);
QString AnsiLowerCase(const QString& s);
int AnsiCompareText(const QString& a, const QString& b);
bool AnsiSameText(const QString& a, const QString& b);

QString QuotedStr(const QString& s);
QString AnsiQuotedStr(const QString& s, QChar quote);
QString StringOfChar(QChar c, int count);

// 1-based position of sub in s; 0 when absent or sub is empty.
int Pos(const QString& sub, const QString& s);
// Up to count characters from 1-based index; out-of-range parts are empty.
QString Copy(const QString& s, int index, int count);

// File names; the path delimiter is '/'.
inline constexpr QChar PathDelim = QLatin1Char('/');
QString ExtractFilePath(const QString& fileName);
QString ExtractFileDir(const QString& fileName);
QString ExtractFileName(const QString& fileName);
QString ExtractFileExt(const QString& fileName);
QString ChangeFileExt(const QString& fileName, const QString& ext);
QString IncludeTrailingPathDelimiter(const QString& s);
QString ExcludeTrailingPathDelimiter(const QString& s);
