#pragma once
// The program manager's DDE service "PROGMAN" (topic "PROGMAN"), with its
// groups as link groups (ProgramGroups.h) directly below the applications
// folder and its items as shell links (ShellLink.h) in them.
//
// Command strings: one or more commands, each "[Name(arg,arg,...)]" or
// "[Name]"; names compared without regard to case; blanks around brackets,
// names and arguments are ignored. Inside an argument a double-quoted run
// protects "," ")" "(" "]" "[", and so do parentheses that pair up
// ("Trovaly (2)", "x (a,b)"); an argument wholly in quotes loses them.
// Every command of a string is parsed before the first runs, so a string
// that does not parse does nothing; a command that fails while running
// (a bad number, a missing group, ...) stops the rest (what ran before it
// stays done).
//   CreateGroup(name[,path])        makes the group or leaves it; it becomes
//                                   the current group
//   ShowGroup(name,show)            the group (which must exist) becomes
//                                   current; show is a number
//   AddItem(cmd[,name[,icon[,index[,x,y[,dir[,hotkey[,min]]]]]]])
//                                   an item in the current group: cmd is a
//                                   Windows-style command line (program and
//                                   arguments), name defaults to the
//                                   program's name, dir is the working
//                                   folder; a name in use gets "name (2)"
//                                   and so on unless ReplaceItem made room
//   ReplaceItem(name)               removes the item from the current group
//   DeleteItem(name)                removes the item from the current group
//   DeleteGroup(name)               removes the group and its items
// A malformed command (brackets, quotes, arguments, numbers), an unknown
// one, a group or item name that is empty or holds "/" (it would leave the
// applications folder), an item without a current group or a missing group
// or item is refused: the execute fails with DMLERR_NOTPROCESSED and
// ProgmanLastError() says why.
//
// Requests: "Groups" gives the names of the link groups directly below the
// applications folder, one a line (CR LF ended); "<group>" gives the data
// of a group folder: line 0 is "<name>",<count>; then one line an item, in
// name order: "<name>","<command line>","<dir>","<icon>",<x>,<y>,<index>,
// <hotkey>, text fields in quotes as they are (no doubling), with x, y and
// the icon index 0 (a desktop entry keeps none of them). The command line
// quotes the program when it holds a blank ("/opt/a b/x" -y); a document's
// item has the document as its command line.

#include "platform/rtl/Exceptions.h"
#include "platform/system/DdeServices.h"

#include <QString>
#include <QStringList>

#include <vector>

inline constexpr char kProgmanService[] = "PROGMAN";

// A command string that is not well formed.
QX_EXCEPTION(EProgmanCommandError, Exception);

struct TProgmanCommand {
  QString name;
  QStringList args;  // unquoted
  QStringList rawArgs;  // as written, trimmed
};

// The commands of a command string; EProgmanCommandError with the reason.
std::vector<TProgmanCommand> ParseProgmanCommands(const QString& text);

// The service's handlers; the DDE service table holds them under
// "PROGMAN" from its first use.
TDdeServiceHandlers ProgmanServiceHandlers();

// Why the last command string was refused ("" after one that succeeded).
QString ProgmanLastError();
