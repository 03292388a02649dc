#pragma once
// String lists: TStrings (the abstract list of strings with attached objects)
// and TStringList (the concrete, optionally sorted list).
//
// Text joins lines with CR LF; SetText splits at CR LF, LF or CR.
// Files and streams are Windows-1252 with CR LF line ends on write; reading
// accepts CR LF, bare LF and bare CR.

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

class TStream;

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings {
 public:
  TStrings() = default;
  TStrings(const TStrings&) = delete;
  TStrings& operator=(const TStrings&) = delete;
  virtual ~TStrings() = default;

  // Element access; an index out of range raises EStringListError.
  virtual int Count() const = 0;
  virtual QString Get(int index) const = 0;
  virtual void Put(int index, const QString& s);
  virtual void* GetObject(int index) const;
  virtual void PutObject(int index, void* obj);
  QString Strings(int index) const { return Get(index); }
  void SetStrings(int index, const QString& s) { Put(index, s); }
  void* Objects(int index) const { return GetObject(index); }
  void SetObjects(int index, void* obj) { PutObject(index, obj); }
  QString operator[](int index) const { return Get(index); }

  // Changes.
  virtual int Add(const QString& s);
  virtual int AddObject(const QString& s, void* obj);
  void Append(const QString& s) { Add(s); }
  virtual void AddStrings(const TStrings& strings);
  virtual void Insert(int index, const QString& s) = 0;
  virtual void InsertObject(int index, const QString& s, void* obj);
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual void Move(int curIndex, int newIndex);
  virtual void Exchange(int index1, int index2);
  virtual void Assign(const TStrings& source);

  // Searches; -1 when absent. Names compare case-insensitively.
  virtual int IndexOf(const QString& s) const;
  int IndexOfName(const QString& name) const;
  int IndexOfObject(const void* obj) const;
  bool Equals(const TStrings& other) const;

  // Whole-list views. Text ends every line, the last too, with CR LF.
  virtual QString Text() const;
  virtual void SetText(const QString& text);
  // Items joined with ','; an item holding a blank, control character, quote
  // or comma is written in double quotes with its quotes doubled, and so is
  // an empty last item (a lone empty item gives ""). SetCommaText splits at
  // commas and at blanks and control characters outside quotes; a missing
  // closing quote ends the item at the end of the text.
  QString CommaText() const;
  void SetCommaText(const QString& text);

  // "name=value" items. Names(i) is "" for an item without '='.
  QString Names(int index) const;
  QString Values(const QString& name) const;
  // Replaces the value of name, adds name=value when absent; "" deletes.
  void SetValues(const QString& name, const QString& value);

  // Batched changes: OnChanging/OnChange fire once around the outermost pair.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  // Windows-1252 files and streams. A missing file raises EFOpenError;
  // SaveToFile replaces the file through a temporary file in its folder.
  virtual void LoadFromFile(const QString& fileName);
  virtual void SaveToFile(const QString& fileName) const;
  virtual void LoadFromStream(TStream& stream);
  virtual void SaveToStream(TStream& stream) const;

 protected:
  // Called with true when the outermost BeginUpdate starts, false at its end.
  virtual void SetUpdateState(bool updating);
  [[noreturn]] void Error(const QString& fmt, int index) const;
  // Case rule for IndexOf/Values; TStringList overrides it.
  virtual int CompareStrings(const QString& s1, const QString& s2) const;

 private:
  int updateCount_ = 0;
};

class TStringList;
using TStringListSortCompare = std::function<int(TStringList& list, int index1, int index2)>;

class TStringList : public TStrings {
 public:
  TStringList() = default;
  ~TStringList() override;

  int Count() const override { return static_cast<int>(items_.size()); }
  QString Get(int index) const override;
  void Put(int index, const QString& s) override;
  void* GetObject(int index) const override;
  void PutObject(int index, void* obj) override;

  // Add places s at its Find position on a sorted list (AddObject and
  // AddStrings go through Add, and InsertObject through Insert). A duplicate
  // ignored under dupIgnore returns the listed string's index, and AddObject
  // then sets that string's object.
  int Add(const QString& s) override;
  void Insert(int index, const QString& s) override;
  void Delete(int index) override;
  void Clear() override;
  void Exchange(int index1, int index2) override;
  void Move(int curIndex, int newIndex) override;

  // Binary search of a sorted list: true when found; index is the match (the
  // first of equal ones under dupAccept) or the insertion point. Meaningless
  // on an unsorted list.
  virtual bool Find(const QString& s, int& index) const;
  int IndexOf(const QString& s) const override;
  // Both leave a Sorted list as it is. Insert, Put and Move on a Sorted list
  // raise EStringListError "Operation not allowed on sorted list".
  virtual void Sort();
  virtual void CustomSort(const TStringListSortCompare& compare);

  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates value) { duplicates_ = value; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool value);

  std::function<void(TStrings* sender)> OnChange;
  std::function<void(TStrings* sender)> OnChanging;

 protected:
  void SetUpdateState(bool updating) override;
  int CompareStrings(const QString& s1, const QString& s2) const override;
  virtual void Changed();
  virtual void Changing();

 private:
  struct Item {
    QString string;
    void* object = nullptr;
  };
  void CheckIndex(int index) const;
  void InsertItem(int index, const QString& s);
  void QuickSort(int lo, int hi, const TStringListSortCompare& compare);

  QList<Item> items_;
  bool sorted_ = false;
  bool caseSensitive_ = false;
  TDuplicates duplicates_ = dupIgnore;
};
