#pragma once
// Copying, moving, deleting and renaming lists of files and folders with the
// shell's meaning of the operation codes and flags.
//
// Nothing that was there before is lost: a file that replaces another is
// written to a temporary beside it and renamed over it (a move on one file
// system renames directly, which replaces atomically); a delete with
// FOF_ALLOWUNDO moves the item into the freedesktop trash
// ($XDG_DATA_HOME/Trash) and, when that fails, leaves it where it was.
// Every source is looked up before anything is done, so a missing one
// changes nothing. The run stops at the first error, at a cancelled prompt
// and at a "no" to making a folder; what was done before stays done.

#include "platform/rtl/WinError.h"

#include <QString>
#include <QStringList>

#include <cstdint>

inline constexpr UINT FO_MOVE = 1;
inline constexpr UINT FO_COPY = 2;
inline constexpr UINT FO_DELETE = 3;
inline constexpr UINT FO_RENAME = 4;

using FILEOP_FLAGS = std::uint16_t;
// One destination per source instead of one destination for all.
inline constexpr FILEOP_FLAGS FOF_MULTIDESTFILES = 0x0001;
// Accepted; there is no mouse action to confirm.
inline constexpr FILEOP_FLAGS FOF_CONFIRMMOUSE = 0x0002;
// No progress reports.
inline constexpr FILEOP_FLAGS FOF_SILENT = 0x0004;
// A copy, move or rename onto an existing name gets "name (2).ext" instead.
inline constexpr FILEOP_FLAGS FOF_RENAMEONCOLLISION = 0x0008;
// Every confirmation is answered yes without asking.
inline constexpr FILEOP_FLAGS FOF_NOCONFIRMATION = 0x0010;
// Deleting moves to the trash.
inline constexpr FILEOP_FLAGS FOF_ALLOWUNDO = 0x0040;
// A wildcard in a source matches files only.
inline constexpr FILEOP_FLAGS FOF_FILESONLY = 0x0080;
// Progress reports carry no file names.
inline constexpr FILEOP_FLAGS FOF_SIMPLEPROGRESS = 0x0100;
// Missing destination folders are made without asking.
inline constexpr FILEOP_FLAGS FOF_NOCONFIRMMKDIR = 0x0200;

inline constexpr LONG ERROR_ALREADY_EXISTS = 183;
inline constexpr LONG ERROR_CANCELLED = 1223;

// What a prompt asks; the values are stable.
enum class TFileOpPrompt {
  ConfirmOverwrite = 1,  // the path exists and would be replaced
  ConfirmMakeFolder = 2,  // the destination folder does not exist
  ConfirmDelete = 3,  // the path would be removed for good
};

enum class TFileOpAnswer { Yes, YesToAll, No, Cancel };

// Where the operation asks, reports errors and shows its progress.
class IFileOpUi {
 public:
  virtual ~IFileOpUi() = default;
  virtual TFileOpAnswer Confirm(TFileOpPrompt prompt, const QString& path) = 0;
  // Not called when both FOF_SILENT and FOF_NOCONFIRMATION are set.
  virtual void ShowError(const QString& message) = 0;
  // Before each source item: done items so far of total; path is empty
  // with FOF_SIMPLEPROGRESS. Not called with FOF_SILENT.
  virtual void Progress(const QString& title, int done, int total, const QString& path) = 0;
};

struct TFileOpRequest {
  UINT function = FO_COPY;
  QStringList from;  // a wildcard (* or ?) is allowed in the last part
  QStringList to;
  FILEOP_FLAGS flags = 0;
  QString progressTitle;
};

struct TFileOpResult {
  LONG code = ERROR_SUCCESS;  // 0 when every operation was done or skipped
  bool anyOperationsAborted = false;  // the user cancelled or said no
  QString message;  // the error's text when code is not 0
};

// Runs the request, asking ui; never raises.
TFileOpResult RunFileOperation(const TFileOpRequest& request, IFileOpUi& ui);

// "name (2).ext", "name (3).ext", ... in the same folder: the first that
// does not exist.
QString CollisionFreeName(const QString& path);

// $XDG_DATA_HOME/Trash (or ~/.local/share/Trash).
QString HomeTrashFolder();
