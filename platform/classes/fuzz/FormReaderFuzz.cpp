// libFuzzer target for the form reader. Any input must either be refused
// with EReadError (or a component's own exception from Loaded) or be read;
// a form that was read must be written, read back and written again to the
// same text.

#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/classes/tests/SampleClasses.h"
#include "platform/rtl/Exceptions.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

bool ReadInto(TSampleForm& form, const QByteArray& text) {
  SampleLog().clear();
  try {
    ReadRootComponent(&form, text, QStringLiteral("fuzz.form"));
    return true;
  } catch (const EReadError&) {
  } catch (const EInvalidOperation&) {  // TSampleFragile's Loaded
  }
  if (form.ComponentCount() != 0) {
    std::fprintf(stderr, "a failed read left components behind\n");
    std::abort();
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool registered = (RegisterSampleClasses(), true);
  (void)registered;
  QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  TSampleForm form(nullptr);
  if (!ReadInto(form, text)) return 0;
  QByteArray first = WriteComponentText(&form);
  TSampleForm copy(nullptr);
  if (!ReadInto(copy, first) || WriteComponentText(&copy) != first) {
    std::fprintf(stderr, "written form does not read back:\n%s\n", first.constData());
    std::abort();
  }
  return 0;
}
