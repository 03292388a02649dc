#pragma once
// The uninstaller's run: finds the product (named on the command line, or
// the one whose "UninstallString" starts this very program), asks the user
// on the terminal or in a message box, then removes exactly what the
// product's uninstall log names (UninstallLog.h), names what it keeps and
// why, and keeps the log when something could not go. A run again after
// one that failed or was killed takes no step twice.

#include <QString>
#include <QStringList>

#include <functional>

class QTextStream;

// How the user is asked before anything goes.
enum TAsking {
  akNoQuestion,  // -y: scripts and tests
  akTerminal,    // stdin is a terminal
  akBox,         // a message box (the menu entry, no terminal)
  akNobody,      // neither: nothing may go
};

struct TUninstallRequest {
  bool yes = false;
  // The product words joined; empty: the product is found by the program.
  QString product;
  // Called after each change the run makes, and inside each file's
  // registry transaction before it commits: the points where a test kills
  // the run.
  std::function<void()> OnStep;
};

// "uninstall [-y] [<product name>]": the name unquoted, so every word that
// is not -y or --yes is part of it.
TUninstallRequest ParseUninstallArguments(const QStringList& arguments);

TAsking ChooseAsking(bool yes, bool terminal, bool display);

// The names of the uninstall keys whose "UninstallString" starts program
// (canonical paths compared), sorted.
QStringList ProductsUninstalledBy(const QString& program);

// Runs one uninstall; program is this program's path. Messages go to out
// and err; with akBox the question and the outcome also go to message
// boxes in Finnish (the application object must exist). Returns the exit
// code: 0 when the product was removed.
int RunUninstall(const TUninstallRequest& request, TAsking asking, const QString& program,
                 QTextStream& out, QTextStream& err);

// The program: parses argv, chooses how to ask (a box needs a display and
// no terminal), runs one uninstall. onStep becomes the request's OnStep.
int UninstallMain(int argc, char** argv, const std::function<void()>& onStep);
