#pragma once
// Whether a file is in use: some process runs it or has it mapped or open.
//
// A running program's file refuses to be opened for writing (ETXTBSY);
// beyond that every /proc/<pid> is looked at: its exe link, the mappings in
// maps and the open files in fd, each matched by device and inode (so a
// file reached through another name or link is still found). Entries of
// processes that end meanwhile or that belong to other users and cannot be
// read are skipped. Nothing is written, truncated or deleted to find out.

#include <QString>

#include <vector>

// How a process uses the file; a process may use it in several ways.
enum class TFileUse {
  Runs = 1,   // the process's program file
  Maps = 2,   // a mapping of the file (a shared library, mmap)
  Opens = 4,  // an open file descriptor
};

struct TFileUser {
  qint64 pid = 0;
  int uses = 0;  // TFileUse bits
};

// True when path is a file that some process (this one included) runs,
// maps or holds open. A missing path is not in use.
bool IsFileInUse(const QString& path);

// The processes that use path, by ascending pid; empty for a missing path.
// Only what /proc shows is found: the ETXTBSY test names no process.
std::vector<TFileUser> FileUsers(const QString& path);
