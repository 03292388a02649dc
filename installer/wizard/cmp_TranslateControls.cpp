#include "installer/wizard/cmp_TranslateControls.h"

#include "platform/classes/ClassRegistry.h"

// GLID has no default: it is always written.
void TTranslateLabel::DeclareProperties(TClassBuilder<TTranslateLabel, TLabel>& b) {
  b.Property("GLID", &TTextId::GLID, &TTextId::SetGLID);
}

void TTranslateBitBtn::DeclareProperties(TClassBuilder<TTranslateBitBtn, TBitBtn>& b) {
  b.Property("GLID", &TTextId::GLID, &TTextId::SetGLID);
}

std::optional<int> GLIDOf(const TComponent* component) {
  if (const auto* id = dynamic_cast<const TTextId*>(component)) return id->GLID();
  return std::nullopt;
}

void RegisterTranslateControlClasses() {
  if (GetClass(QStringLiteral("TTranslateLabel")) == nullptr) RegisterClass<TTranslateLabel>();
  if (GetClass(QStringLiteral("TTranslateBitBtn")) == nullptr) RegisterClass<TTranslateBitBtn>();
}
