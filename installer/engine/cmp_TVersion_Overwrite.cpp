// The dotted-version comparison and the two overwrite decisions.
#include "installer/engine/cmp_TVersion.h"

#include "installer/engine/routines_Strings.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StrUtils.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <optional>

namespace {

std::optional<int> ToInteger(const QString& field) {
  try {
    return StrToInt(field);
  } catch (const EConvertError&) {
    return std::nullopt;
  }
}

// 0 equal, 1 a is greater, 2 b is greater.
int Order(bool aGreater, bool bGreater) { return aGreater ? 1 : bGreater ? 2 : 0; }

int CompareFields(const QString& a, const QString& b) {
  const std::optional<int> x = ToInteger(a);
  const std::optional<int> y = ToInteger(b);
  if (x && y)
    return Order(*x > *y, *y > *x);
  const QByteArray p = a.toUtf8();
  const QByteArray q = b.toUtf8();
  return Order(p > q, q > p);
}

TOverwriteDecision FromVersions(int comparison) {
  return comparison == 0 ? odSame : comparison == 1 ? odReplace : odKeep;
}

// Dates compare at whole seconds; a date that is no date at all (from a
// damaged archive header) cannot be compared.
std::optional<std::int64_t> WholeSeconds(TDateTime dt) {
  if (!std::isfinite(dt) || std::fabs(dt) > 4.0e6)
    return std::nullopt;
  const std::int64_t ms = std::llround(dt * 86400000.0);
  return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
}

TOverwriteDecision FromDates(TDateTime newDate, TDateTime oldDate) {
  const std::optional<std::int64_t> n = WholeSeconds(newDate);
  const std::optional<std::int64_t> o = WholeSeconds(oldDate);
  if (!n || !o)
    return odError;
  return *n < *o ? odKeep : *n > *o ? odReplace : odSame;
}

// The last-write date of a regular file that can be opened for reading. The
// open does not wait: a named pipe or a device has no date to compare.
std::optional<TDateTime> OpenedFileDate(const QString& fileName) {
  const int fd = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0)
    return std::nullopt;
  struct stat st {};
  const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  ::close(fd);
  if (!regular)
    return std::nullopt;
  const TDateTime age = FileAge(fileName);
  return age < 0 ? std::nullopt : std::optional<TDateTime>(age);
}

TOverwriteDecision NeverDecision(const QString& existingFile) {
  return !Trim(existingFile).isEmpty() && FileExists(existingFile) ? odKeep : odReplace;
}

// The decision by dates, given how the new file's date is found.
template <typename NewDate>
TOverwriteDecision DateDecision(NewDate newDate, const QString& existingFile) {
  const std::optional<TDateTime> n = newDate();
  if (!n)
    return odError;
  const std::optional<TDateTime> o = OpenedFileDate(existingFile);
  return o ? FromDates(*n, *o) : odError;
}

}  // namespace

int TVersionResource::CompareVersions(const QString& a, const QString& b) {
  const QChar dot = QLatin1Char('.');
  for (int k = 1;; ++k) {
    const QString x = GetField(a, k, dot);
    const QString y = GetField(b, k, dot);
    if (x.isEmpty() || y.isEmpty())
      return Order(y.isEmpty() && !x.isEmpty(), x.isEmpty() && !y.isEmpty());
    if (const int order = CompareFields(x, y); order != 0)
      return order;
  }
}

TOverwriteDecision TVersionResource::IsFileNewerByName(const QString& newFile,
                                                       const QString& existingFile,
                                                       TOverwriteType mode) {
  const auto newDate = [&newFile] { return OpenedFileDate(newFile); };
  switch (mode) {
    case owAlways: return odReplace;
    case owNever: return NeverDecision(existingFile);
    case owDate: return DateDecision(newDate, existingFile);
    case owVersion:
    case owVersionDate: {
      const QString newVersion = FileVersionOf(newFile);
      const int comparison = CompareVersions(newVersion, FileVersionOf(existingFile));
      if (comparison == 0 && mode == owVersionDate)
        return DateDecision(newDate, existingFile);
      return FromVersions(comparison);
    }
  }
  return odError;
}

TOverwriteDecision TVersionResource::CompareStoredForOverwrite(const QString& newVersion,
                                                               const QString& existingFile,
                                                               TOverwriteType mode,
                                                               TDateTime newDate) {
  const auto storedDate = [newDate] { return std::optional<TDateTime>(newDate); };
  switch (mode) {
    case owAlways: return odReplace;
    case owNever: return NeverDecision(existingFile);
    case owDate: return DateDecision(storedDate, existingFile);
    case owVersion:
    case owVersionDate: {
      const int comparison = CompareVersions(newVersion, FileVersionOf(existingFile));
      if (comparison == 0 && mode == owVersionDate)
        return DateDecision(storedDate, existingFile);
      return FromVersions(comparison);
    }
  }
  return odError;
}
