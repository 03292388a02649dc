#include "components/Brkapart.h"

TBrkApart::TBrkApart(TComponent* owner)
    : TComponent(owner), stringList_(std::make_unique<TStringList>()) {}

TBrkApart::~TBrkApart() = default;

void TBrkApart::SetStringList(TStrings* value) {
  if (value == nullptr)
    stringList_->Clear();
  else
    stringList_->Assign(*value);
}

void TBrkApart::BreakApart() {
  stringList_->Clear();
  QString rest = baseString_;
  for (;;) {
    const qsizetype p = breakString_.isEmpty() ? -1 : rest.indexOf(breakString_);
    const QString part = p < 0 ? rest : rest.left(p);
    if (!part.isEmpty() || allowEmptyString_)
      stringList_->Add(part);
    if (p < 0)
      break;
    rest = rest.mid(p + breakString_.size());
  }
}

void TBrkApart::DeclareProperties(TClassBuilder<TBrkApart, TComponent>& b) {
  b.Property("BreakString", &TBrkApart::BreakString, &TBrkApart::SetBreakString);
  b.Property("BaseString", &TBrkApart::BaseString, &TBrkApart::SetBaseString);
  b.Property("AllowEmptyString", &TBrkApart::AllowEmptyString, &TBrkApart::SetAllowEmptyString)
      .Default(false);
  b.Object("StringList", &TBrkApart::StringList);
}
