#include "installer/engine/routines_Exceptions.h"

#include "platform/rtl/ProcessState.h"

#include <mutex>

namespace {

struct TranslatorSlot {
  std::mutex lock;
  TExceptionTranslator translator;
};

TranslatorSlot& Slot() {
  static TranslatorSlot slot;
  return slot;
}

void ClearTranslator() {
  TranslatorSlot& slot = Slot();
  std::lock_guard guard(slot.lock);
  slot.translator = nullptr;
}

const TResetHook kResetTranslator(ClearTranslator);

TExceptionTranslator CurrentTranslator() {
  TranslatorSlot& slot = Slot();
  std::lock_guard guard(slot.lock);
  return slot.translator;
}

QString FormatTranslated(const QString& fmt, std::initializer_list<TVarRec> args) {
  const QString translated = TranslateExceptionText(fmt);
  if (translated == fmt)
    return Format(fmt, args);
  try {
    return Format(translated, args);
  } catch (const EConvertError&) {
    // A language table entry whose directives do not fit the arguments must
    // not hide the error being raised.
    return Format(fmt, args);
  }
}

}  // namespace

void SetExceptionTranslator(TExceptionTranslator translator) {
  TranslatorSlot& slot = Slot();
  std::lock_guard guard(slot.lock);
  slot.translator = std::move(translator);
}

QString TranslateExceptionText(const QString& text) {
  const TExceptionTranslator translator = CurrentTranslator();
  return translator ? translator(text) : text;
}

IException::IException(const QString& msg)
    : ECustomOndrixAbnormal(TranslateExceptionText(msg)) {}

IException::IException(const QString& fmt, std::initializer_list<TVarRec> args)
    : ECustomOndrixAbnormal(FormatTranslated(fmt, args)) {}
