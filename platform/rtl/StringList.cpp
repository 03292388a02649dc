#include "platform/rtl/StringList.h"

#include "platform/rtl/Codec1252.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/UpdateScope.h"

#include <exception>
#include <utility>

namespace {

bool IsBlank(QChar c) { return c.unicode() <= ' '; }

// An item is quoted when it holds a blank, control character, quote or comma.
bool NeedsQuotes(const QString& s) {
  for (QChar c : s)
    if (IsBlank(c) || c == QLatin1Char('"') || c == QLatin1Char(','))
      return true;
  return false;
}

QString Quoted(const QString& s) {
  QString r = s;
  r.replace(QLatin1Char('"'), QLatin1String("\"\""));
  return QLatin1Char('"') + r + QLatin1Char('"');
}

// Reads a quoted item starting at the opening quote; pos ends after the
// closing quote (or at the end when it is missing).
QString ExtractQuoted(const QString& text, qsizetype& pos) {
  QString result;
  ++pos;
  while (pos < text.size()) {
    const QChar c = text[pos++];
    if (c != QLatin1Char('"')) {
      result += c;
    } else if (pos < text.size() && text[pos] == QLatin1Char('"')) {
      result += c;
      ++pos;
    } else {
      break;
    }
  }
  return result;
}

}  // namespace

// ---- TStrings: element access defaults

void TStrings::Put(int index, const QString& s) {
  TUpdateScope batch(*this);
  void* obj = GetObject(index);
  Delete(index);
  InsertObject(index, s, obj);
  batch.Close();
}

void* TStrings::GetObject(int) const { return nullptr; }

void TStrings::PutObject(int, void*) {}

int TStrings::Add(const QString& s) {
  const int index = Count();
  Insert(index, s);
  return index;
}

int TStrings::AddObject(const QString& s, void* obj) {
  const int index = Add(s);
  PutObject(index, obj);
  return index;
}

void TStrings::AddStrings(const TStrings& strings) {
  TUpdateScope batch(*this);
  const int n = strings.Count();  // fixed first: strings may be this list
  for (int i = 0; i < n; ++i)
    AddObject(strings.Get(i), strings.GetObject(i));
  batch.Close();
}

void TStrings::InsertObject(int index, const QString& s, void* obj) {
  Insert(index, s);
  PutObject(index, obj);
}

void TStrings::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex)
    return;
  TUpdateScope batch(*this);
  const QString s = Get(curIndex);
  void* obj = GetObject(curIndex);
  Delete(curIndex);
  InsertObject(newIndex, s, obj);
  batch.Close();
}

void TStrings::Exchange(int index1, int index2) {
  TUpdateScope batch(*this);
  const QString s = Get(index1);
  void* obj = GetObject(index1);
  Put(index1, Get(index2));
  PutObject(index1, GetObject(index2));
  Put(index2, s);
  PutObject(index2, obj);
  batch.Close();
}

void TStrings::Assign(const TStrings& source) {
  if (&source == this)
    return;
  TUpdateScope batch(*this);
  Clear();
  AddStrings(source);
  batch.Close();
}

// ---- TStrings: searches

int TStrings::CompareStrings(const QString& s1, const QString& s2) const {
  return QString::compare(s1, s2, Qt::CaseInsensitive);
}

int TStrings::IndexOf(const QString& s) const {
  for (int i = 0; i < Count(); ++i)
    if (CompareStrings(Get(i), s) == 0)
      return i;
  return -1;
}

int TStrings::IndexOfName(const QString& name) const {
  for (int i = 0; i < Count(); ++i) {
    const QString s = Get(i);
    const qsizetype p = s.indexOf(QLatin1Char('='));
    if (p >= 0 && QString::compare(s.left(p), name, Qt::CaseInsensitive) == 0)
      return i;
  }
  return -1;
}

int TStrings::IndexOfObject(const void* obj) const {
  for (int i = 0; i < Count(); ++i)
    if (GetObject(i) == obj)
      return i;
  return -1;
}

bool TStrings::Equals(const TStrings& other) const {
  if (Count() != other.Count())
    return false;
  for (int i = 0; i < Count(); ++i)
    if (Get(i) != other.Get(i))
      return false;
  return true;
}

// ---- TStrings: whole-list views

QString TStrings::Text() const {
  QString result;
  for (int i = 0; i < Count(); ++i) {
    result += Get(i);
    result += QLatin1String("\r\n");
  }
  return result;
}

void TStrings::SetText(const QString& text) {
  TUpdateScope batch(*this);
  Clear();
  qsizetype pos = 0;
  const qsizetype n = text.size();
  while (pos < n) {
    qsizetype end = pos;
    while (end < n && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n'))
      ++end;
    Add(text.mid(pos, end - pos));
    if (end < n && text[end] == QLatin1Char('\r')) {
      ++end;
      if (end < n && text[end] == QLatin1Char('\n'))
        ++end;
    } else if (end < n) {
      ++end;  // a bare LF
    }
    pos = end;
  }
  batch.Close();
}

QString TStrings::CommaText() const {
  const int n = Count();
  if (n == 1 && Get(0).isEmpty())
    return QStringLiteral("\"\"");
  QString result;
  for (int i = 0; i < n; ++i) {
    const QString s = Get(i);
    // An empty last item is quoted, or the trailing comma would drop it.
    const bool quote = NeedsQuotes(s) || (s.isEmpty() && i == n - 1);
    if (i > 0)
      result += QLatin1Char(',');
    result += quote ? Quoted(s) : s;
  }
  return result;
}

void TStrings::SetCommaText(const QString& text) {
  TUpdateScope batch(*this);
  Clear();
  const qsizetype n = text.size();
  qsizetype pos = 0;
  auto skipBlanks = [&] {
    while (pos < n && IsBlank(text[pos]))
      ++pos;
  };
  skipBlanks();
  while (pos < n) {
    if (text[pos] == QLatin1Char('"')) {
      Add(ExtractQuoted(text, pos));
    } else {
      const qsizetype start = pos;
      while (pos < n && !IsBlank(text[pos]) && text[pos] != QLatin1Char(','))
        ++pos;
      Add(text.mid(start, pos - start));
    }
    skipBlanks();
    if (pos < n && text[pos] == QLatin1Char(',')) {
      ++pos;
      skipBlanks();
    }
  }
  batch.Close();
}

// ---- TStrings: name=value items

QString TStrings::Names(int index) const {
  const QString s = Get(index);
  const qsizetype p = s.indexOf(QLatin1Char('='));
  return p >= 0 ? s.left(p) : QString();
}

QString TStrings::Values(const QString& name) const {
  const int i = IndexOfName(name);
  if (i < 0)
    return {};
  const QString s = Get(i);
  return s.mid(s.indexOf(QLatin1Char('=')) + 1);
}

void TStrings::SetValues(const QString& name, const QString& value) {
  const int i = IndexOfName(name);
  if (value.isEmpty()) {
    if (i >= 0)
      Delete(i);
    return;
  }
  const QString item = name + QLatin1Char('=') + value;
  if (i < 0)
    Add(item);
  else
    Put(i, item);
}

// ---- TStrings: updates

void TStrings::BeginUpdate() {
  if (updateCount_ == 0)
    SetUpdateState(true);
  ++updateCount_;
}

void TStrings::EndUpdate() {
  if (updateCount_ == 0)
    return;
  --updateCount_;
  if (updateCount_ == 0)
    SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

void TStrings::Error(const QString& fmt, int index) const {
  throw EStringListError(fmt, {index});
}

// ---- TStrings: files and streams

void TStrings::LoadFromFile(const QString& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream);
}

void TStrings::SaveToFile(const QString& fileName) const {
  ReplaceFileContents(fileName, EncodeWin1252(Text()));
}

void TStrings::LoadFromStream(TStream& stream) {
  const std::int64_t pos = stream.Position();
  const std::int64_t size = stream.Size() - pos;
  QByteArray bytes(static_cast<qsizetype>(size > 0 ? size : 0), '\0');
  stream.ReadBuffer(bytes.data(), bytes.size());
  SetText(DecodeWin1252(bytes));
}

void TStrings::SaveToStream(TStream& stream) const {
  const QByteArray bytes = EncodeWin1252(Text());
  stream.WriteBuffer(bytes.constData(), bytes.size());
}

// ---- TStringList

namespace {
const QString kIndexError = QStringLiteral("List index out of bounds (%d)");
const QString kSortedError = QStringLiteral("Operation not allowed on sorted list");
const QString kDuplicateError = QStringLiteral("String list does not allow duplicates");
}  // namespace

TStringList::~TStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count())
    Error(kIndexError, index);
}

QString TStringList::Get(int index) const {
  CheckIndex(index);
  return items_[index].string;
}

void TStringList::Put(int index, const QString& s) {
  if (sorted_)
    throw EStringListError(kSortedError);
  CheckIndex(index);
  Changing();
  items_[index].string = s;
  Changed();
}

void* TStringList::GetObject(int index) const {
  CheckIndex(index);
  return items_[index].object;
}

void TStringList::PutObject(int index, void* obj) {
  CheckIndex(index);
  Changing();
  items_[index].object = obj;
  Changed();
}

int TStringList::Add(const QString& s) {
  int index = Count();
  if (sorted_ && Find(s, index)) {
    if (duplicates_ == dupIgnore)
      return index;
    if (duplicates_ == dupError)
      throw EStringListError(kDuplicateError);
  }
  InsertItem(index, s);
  return index;
}

void TStringList::Insert(int index, const QString& s) {
  if (sorted_)
    throw EStringListError(kSortedError);
  if (index < 0 || index > Count())
    Error(kIndexError, index);
  InsertItem(index, s);
}

void TStringList::InsertItem(int index, const QString& s) {
  Changing();
  items_.insert(index, Item{s, nullptr});
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  items_.removeAt(index);
  Changed();
}

void TStringList::Clear() {
  if (items_.isEmpty())
    return;
  Changing();
  items_.clear();
  Changed();
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  Changing();
  std::swap(items_[index1], items_[index2]);
  Changed();
}

// Checked before anything moves, so a refused move loses no item.
void TStringList::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex)
    return;
  if (sorted_)
    throw EStringListError(kSortedError);
  CheckIndex(curIndex);
  CheckIndex(newIndex);
  Changing();
  items_.move(curIndex, newIndex);
  Changed();
}

bool TStringList::Find(const QString& s, int& index) const {
  bool found = false;
  int lo = 0;
  int hi = Count() - 1;
  while (lo <= hi) {
    const int mid = (lo + hi) / 2;
    const int c = CompareStrings(items_[mid].string, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        if (duplicates_ != dupAccept)
          lo = mid;  // any match will do; with duplicates the search goes on to the first
      }
    }
  }
  index = lo;
  return found;
}

int TStringList::IndexOf(const QString& s) const {
  if (!sorted_)
    return TStrings::IndexOf(s);
  int index = 0;
  return Find(s, index) ? index : -1;
}

int TStringList::CompareStrings(const QString& s1, const QString& s2) const {
  return QString::compare(s1, s2, caseSensitive_ ? Qt::CaseSensitive : Qt::CaseInsensitive);
}

void TStringList::Sort() {
  if (sorted_)
    return;  // a sorted list is in order already
  CustomSort([](TStringList& list, int i1, int i2) {
    return list.CompareStrings(list.items_[i1].string, list.items_[i2].string);
  });
}

void TStringList::CustomSort(const TStringListSortCompare& compare) {
  if (sorted_ || Count() < 2)
    return;
  Changing();
  QuickSort(0, Count() - 1, compare);
  Changed();
}

// Hoare partition around the item at p, which moves with the swaps. The
// bounds checks keep an inconsistent compare function inside the list.
void TStringList::QuickSort(int lo, int hi, const TStringListSortCompare& compare) {
  int i = lo;
  do {
    i = lo;
    int j = hi;
    int p = (lo + hi) / 2;
    do {
      while (i < hi && compare(*this, i, p) < 0)
        ++i;
      while (j > lo && compare(*this, j, p) > 0)
        --j;
      if (i <= j) {
        if (i != j)
          std::swap(items_[i], items_[j]);
        if (p == i)
          p = j;
        else if (p == j)
          p = i;
        ++i;
        --j;
      }
    } while (i <= j);
    if (lo < j)
      QuickSort(lo, j, compare);
    lo = i;
  } while (i < hi);
}

void TStringList::SetSorted(bool value) {
  if (sorted_ == value)
    return;
  if (value)
    Sort();
  sorted_ = value;
}

void TStringList::SetCaseSensitive(bool value) {
  if (caseSensitive_ == value)
    return;
  caseSensitive_ = value;
  if (sorted_) {  // the order depends on the case rule
    sorted_ = false;
    Sort();
    sorted_ = true;
  }
}

void TStringList::SetUpdateState(bool updating) {
  if (updating)
    Changing();
  else
    Changed();
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging)
    OnChanging(this);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange)
    OnChange(this);
}
