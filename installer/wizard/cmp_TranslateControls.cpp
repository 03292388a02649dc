#include "installer/wizard/cmp_TranslateControls.h"

#include "platform/classes/ClassRegistry.h"

// GLID has no default: it is always written.
void TTranslateLabel::DeclareProperties(TClassBuilder<TTranslateLabel, TLabel>& b) {
  b.Property("GLID", &TTranslateLabel::GLID, &TTranslateLabel::SetGLID);
}

void TTranslateBitBtn::DeclareProperties(TClassBuilder<TTranslateBitBtn, TBitBtn>& b) {
  b.Property("GLID", &TTranslateBitBtn::GLID, &TTranslateBitBtn::SetGLID);
}

std::optional<int> GLIDOf(const TComponent* component) {
  if (const auto* label = dynamic_cast<const TTranslateLabel*>(component)) return label->GLID();
  if (const auto* button = dynamic_cast<const TTranslateBitBtn*>(component)) return button->GLID();
  return std::nullopt;
}

void RegisterTranslateControlClasses() {
  if (GetClass(QStringLiteral("TTranslateLabel")) == nullptr) RegisterClass<TTranslateLabel>();
  if (GetClass(QStringLiteral("TTranslateBitBtn")) == nullptr) RegisterClass<TTranslateBitBtn>();
}
