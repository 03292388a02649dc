#pragma once
// TTranslateLabel and TTranslateBitBtn: the label and bitmap button of the
// wizard pages. GLID above 0 makes the translator take their caption by that
// id from the current language's table; 0 leaves them to translation by
// their English caption; below 0 keeps the caption as designed.

#include "platform/controls/Buttons.h"
#include "platform/controls/Label.h"

#include <optional>

// The text id both controls carry.
class TTextId {
 public:
  virtual ~TTextId() = default;
  int GLID() const { return glid_; }
  void SetGLID(int value) { glid_ = value; }

 private:
  int glid_ = 0;
};

class TTranslateLabel : public TLabel, public TTextId {
 public:
  explicit TTranslateLabel(TComponent* owner) : TLabel(owner) {}
  static void DeclareProperties(TClassBuilder<TTranslateLabel, TLabel>& b);
};

class TTranslateBitBtn : public TBitBtn, public TTextId {
 public:
  explicit TTranslateBitBtn(TComponent* owner) : TBitBtn(owner) {}
  static void DeclareProperties(TClassBuilder<TTranslateBitBtn, TBitBtn>& b);
};

// The id of a translated control; nullopt for any other component.
std::optional<int> GLIDOf(const TComponent* component);

void RegisterTranslateControlClasses();
