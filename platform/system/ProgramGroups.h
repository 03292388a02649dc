#pragma once
// Link groups: folders of the freedesktop applications menu.
//
// A group is a folder below the applications folder
// ($XDG_DATA_HOME/applications/<A>/<B>), which keeps its entries, and two
// files that make it show as a submenu:
//   $XDG_DATA_HOME/desktop-directories/<id>.directory  its name
//   $XDG_CONFIG_HOME/menus/applications-merged/<id>.menu
//       Applications > A > B with that directory file and an Include of
//       every entry ("A-B-x.desktop", the desktop file id) in the folder.
// <id> is "qx-" followed by the folder's parts below the applications
// folder joined by "-" (in each part "%" is written "%25" and "-" "%2D", so
// no two groups share an id). Each nested group has files of its own, so a
// group can be removed without touching its parent.
// Every file is written through a TAtomicFile. A folder outside the
// applications folder (the desktop, say) is made as a plain folder.

#include "platform/rtl/Exceptions.h"

#include <QString>
#include <QStringList>

// A group that cannot be made, read or removed; the message names the path
// and the system's reason.
QX_EXCEPTION(EProgramGroupError, Exception);

// $XDG_DATA_HOME/applications (or ~/.local/share/applications).
QString ApplicationsMenuFolder();
// $XDG_DATA_HOME/desktop-directories.
QString DesktopDirectoriesFolder();
// $XDG_CONFIG_HOME/menus/applications-merged (or ~/.config/...).
QString MergedMenusFolder();

// The files of the group at folder; all empty when folder is not below
// the applications folder (or is that folder itself).
struct TLinkGroupFiles {
  QStringList parts;  // the folder's names below the applications folder
  QString directoryFile;
  QString menuFile;
};
TLinkGroupFiles LinkGroupFilesOf(const QString& folder);

// True when folder is a group: its folder, directory file and menu file
// exist.
bool LinkGroupExists(const QString& folder);

// Makes folder with every missing parent; for folder and each parent below
// the applications folder writes the directory and menu files that are
// missing (existing ones stay). An existing group is left as it is.
void CreateLinkGroup(const QString& folder);

// Rewrites the group's menu file to include the entries now in its folder
// (made as by CreateLinkGroup when missing).
void RefreshLinkGroup(const QString& folder);

// Removes the group and the groups nested in it: their entries (*.desktop
// files directly in each folder), directory files and menu files, and each
// folder that is empty then. Anything else in a folder stays, and so does
// the folder. A missing group is no error; a folder that is not below the
// applications folder raises EProgramGroupError (nothing is removed).
void RemoveLinkGroup(const QString& folder);

// The entries (*.desktop files) directly in folder, in name order.
QStringList LinkGroupEntries(const QString& folder);

// The desktop file id of an entry below the applications folder
// ("A/B/x.desktop" gives "A-B-x.desktop"); the file name elsewhere.
QString DesktopFileId(const QString& entryFile);
