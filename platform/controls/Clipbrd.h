#pragma once
// TClipboard: the system clipboard. Text is Unicode; pictures and bitmaps go
// in as images. Each write replaces the clipboard's contents, except between
// Open and Close, where writes add formats to what the first write of that
// session put there (text and a picture together, say).
//
// Clipboard() is the process-wide object, made on first use and freed with
// the application object (a process-wide object) or by ResetProcessState.

#include "platform/classes/Persistent.h"
#include "platform/system/WinTypes.h"
#include "platform/rtl/Exceptions.h"

#include <QImage>
#include <QString>

#include <memory>

QX_EXCEPTION(EClipboardException, Exception);

inline constexpr UINT CF_TEXT = 1;
inline constexpr UINT CF_BITMAP = 2;
inline constexpr UINT CF_OEMTEXT = 7;
inline constexpr UINT CF_DIB = 8;
inline constexpr UINT CF_UNICODETEXT = 13;
inline constexpr UINT CF_PICTURE = 0xC000;  // the class library's registered picture format

class TClipboard : public TPersistent {
 public:
  TClipboard();
  ~TClipboard() override;

  // Nested: only the outermost Close ends the session. Close without Open
  // does nothing.
  void Open();
  void Close();
  void Clear();

  QString AsText() const;
  void SetAsText(const QString& text);
  bool HasFormat(UINT format) const;

  // From a TPicture (bitmap or icon), TBitmap or TIcon; EConvertError for
  // anything else.
  void Assign(TPersistent* source) override;

 protected:
  // To a TPicture or TBitmap: the clipboard's image (EClipboardException
  // "Unsupported clipboard format" when it holds none).
  void AssignTo(TPersistent* dest) override;

 private:
  void SetImage(const QImage& image);
  // Starts a write: a write outside a session, or the first in one, starts
  // from an empty clipboard.
  void BeginWrite();
  void Publish();

  int openCount_ = 0;
  bool written_ = false;  // within the current session
  QString text_;
  bool hasText_ = false;
  QImage image_;
};

TClipboard* Clipboard();
// Installs a clipboard object and hands back the old one.
std::unique_ptr<TClipboard> SetClipboard(std::unique_ptr<TClipboard> clipboard);
