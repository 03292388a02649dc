#pragma once
// TBrkApart: splits BaseString at every BreakString into StringList.

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Component.h"
#include "platform/rtl/StringList.h"

#include <QString>

#include <memory>

class TBrkApart : public TComponent {
 public:
  explicit TBrkApart(TComponent* owner);
  ~TBrkApart() override;

  QString BreakString() const { return breakString_; }
  void SetBreakString(const QString& value) { breakString_ = value; }
  QString BaseString() const { return baseString_; }
  void SetBaseString(const QString& value) { baseString_ = value; }
  bool AllowEmptyString() const { return allowEmptyString_; }
  void SetAllowEmptyString(bool value) { allowEmptyString_ = value; }
  TStringList* StringList() const { return stringList_.get(); }
  // Copies the lines in.
  void SetStringList(TStrings* value);

  // Fills StringList with the parts of BaseString between the break strings,
  // left to right; empty parts only with AllowEmptyString. An empty
  // BreakString never matches, so the whole text is one part.
  void BreakApart();

  static void DeclareProperties(TClassBuilder<TBrkApart, TComponent>& b);

 private:
  QString breakString_;
  QString baseString_;
  bool allowEmptyString_ = false;
  std::unique_ptr<TStringList> stringList_;
};
