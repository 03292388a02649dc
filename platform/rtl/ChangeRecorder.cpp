#include "platform/rtl/ChangeRecorder.h"

#include "platform/rtl/ProcessState.h"

#include <cstring>

EChangeRefused::EChangeRefused(int code, const QString& what)
    : EOSError(code, QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(code)))) {}

namespace {

struct TRecorderSlot {
  TChangeRecorder* recorder = nullptr;
};

}  // namespace

TChangeRecorder* SetChangeRecorder(TChangeRecorder* recorder) {
  TRecorderSlot& slot = ProcessObject<TRecorderSlot>();
  TChangeRecorder* before = slot.recorder;
  slot.recorder = recorder;
  return before;
}

TChangeRecorder* CurrentChangeRecorder() {
  const TRecorderSlot* slot = FindProcessObject<TRecorderSlot>();
  return slot != nullptr ? slot->recorder : nullptr;
}

void RecordFoldersToMake(const QString& path) {
  if (TChangeRecorder* recorder = CurrentChangeRecorder()) recorder->FoldersToMake(path);
}

void RecordFileToWrite(const QString& path) {
  if (TChangeRecorder* recorder = CurrentChangeRecorder()) recorder->FileToWrite(path);
}

void RecordFileToRemove(const QString& path) {
  if (TChangeRecorder* recorder = CurrentChangeRecorder()) recorder->FileToRemove(path);
}
