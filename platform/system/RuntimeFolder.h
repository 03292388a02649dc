#pragma once
// The private per-user folder that holds the window directory: each
// process's entry file and its message socket.

#include <QString>

// "<xdgRuntimeDir>/qx" when xdgRuntimeDir is an absolute path, otherwise
// "<tmpBase>/qx-<uid>". Creates the folder (mode 0700) when missing. Raises
// EOSError when it cannot be created, is not a folder (a symbolic link is
// refused), belongs to another user or grants any group/other access.
QString EnsurePrivateFolder(const QString& xdgRuntimeDir, const QString& tmpBase);

// The window directory folder of this process's environment
// ($XDG_RUNTIME_DIR, fallback /tmp); see EnsurePrivateFolder.
QString WindowDirectoryFolder();
