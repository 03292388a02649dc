#include "platform/graphics/Graphic.h"

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Streams.h"

void TGraphic::SetTransparent(bool transparent) {
  if (transparent_ == transparent)
    return;
  transparent_ = transparent;
  Changed();
}

void TGraphic::SetModified(bool modified) {
  if (modified)
    Changed();
  else
    modified_ = false;
}

void TGraphic::Changed() {
  modified_ = true;
  if (OnChange)
    OnChange(this);
}

void TGraphic::LoadFromFile(const QString& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream);
}

void TGraphic::SaveToFile(const QString& fileName) {
  TMemoryStream data;
  SaveToStream(data);
  // Raises EAtomicFileError, the EFCreateError "Cannot create file \"%s\". %s".
  WriteFileAtomically(fileName, data.Bytes());
}
