// Test peer for message traffic between busy programs. Prints "ready" once
// its window is published, then one result line. Every wait is bounded
// (a line "timeout <what>" ends it).
//
//   pair <title> <other title> <count>
//     Finds the other peer, greets it and waits for its greeting, then posts
//     count messages to it without running its event loop, while its own
//     handler stalls now and then. Then runs the loop until it has all of
//     the other's messages and the other says it has all of its own:
//     "result posted <n> failed <n> error <e> slowest_us <us> received <n> in_order <0|1>"
//   stall <title> <resume file>
//     Does not run its event loop until the resume file exists (it ends at
//     once when its standard input closes first), then runs it until
//     WM_USER + 2 arrives: "result received <n> in_order <0|1>"
//   post <title> <count>
//     Posts count messages to the window titled so and ends at once, leaving
//     what the receiver has not taken yet to the shutdown:
//     "result posted <n> failed <n> error <e> slowest_us <us> queued <n>"
// Messages carry WM_USER + 1 and their number in wParam.
#include "platform/system/MessageOutbox.h"
#include "platform/system/RuntimeFolder.h"
#include "platform/system/WindowDirectory.h"
#include "platform/system/WindowMessages.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

#include <poll.h>
#include <unistd.h>

namespace {

constexpr UINT Hello = WM_USER;
constexpr UINT Numbered = WM_USER + 1;
constexpr UINT AllReceived = WM_USER + 2;
constexpr int BoundMs = 20000;

void Print(const QString& line) {
  std::printf("%s\n", qPrintable(line));
  std::fflush(stdout);
}

bool PumpUntil(const std::function<bool()>& done, const char* what) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > BoundMs) {
      Print(QStringLiteral("timeout %1").arg(QLatin1String(what)));
      return false;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
  }
  return true;
}

// What arrived, in order or not.
struct TInbox {
  int numbered = 0;
  bool inOrder = true;
  bool hello = false;
  bool othersDone = false;
  int stallEvery = 0;  // the handler sleeps at every stallEvery-th message

  void Take(UINT msg, WPARAM wParam) {
    if (msg == Hello)
      hello = true;
    if (msg == AllReceived)
      othersDone = true;
    if (msg != Numbered)
      return;
    if (wParam != WPARAM(numbered))
      inOrder = false;
    ++numbered;
    if (stallEvery > 0 && numbered % stallEvery == 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
};

struct TPostStats {
  int posted = 0;
  int failed = 0;
  LONG error = ERROR_SUCCESS;
  long long slowestUs = 0;

  void Post(HWND wnd, int count) {
    for (int i = 0; i < count; ++i) {
      const auto start = std::chrono::steady_clock::now();
      const bool ok = PostMessage(wnd, Numbered, WPARAM(i), 0);
      const auto took = std::chrono::steady_clock::now() - start;
      slowestUs = std::max<long long>(
          slowestUs, std::chrono::duration_cast<std::chrono::microseconds>(took).count());
      if (ok) {
        ++posted;
      } else {
        ++failed;
        error = LastPostMessageError();
      }
    }
  }
  QString Line() const {
    return QStringLiteral("posted %1 failed %2 error %3 slowest_us %4")
        .arg(posted)
        .arg(failed)
        .arg(error)
        .arg(slowestUs);
  }
};

int Pair(TWindowDirectory& dir, TInbox& inbox, const QString& other, int count) {
  HWND wnd = 0;
  if (!PumpUntil([&] { return (wnd = FindWindow(QString(), other)) != 0; }, "finding"))
    return 1;
  PostMessage(wnd, Hello, 0, 0);
  if (!PumpUntil([&] { return inbox.hello; }, "greeting"))
    return 1;
  TPostStats stats;
  QElapsedTimer phase;
  phase.start();
  stats.Post(wnd, count);
  const qint64 postMs = phase.elapsed();
  const QString otherSocket =
      dir.Folder() + QLatin1Char('/') + WindowSocketName(ProcessOfHandle(wnd));
  if (!PumpUntil([&] { return inbox.numbered >= count && QueuedDatagrams(otherSocket) == 0; },
                 "receiving"))
    return 1;
  PostMessage(wnd, AllReceived, 0, 0);
  if (!PumpUntil([&] { return inbox.othersDone; }, "the other's end"))
    return 1;
  Print(QStringLiteral("result %1 received %2 in_order %3 posting_ms %4 total_ms %5")
            .arg(stats.Line())
            .arg(inbox.numbered)
            .arg(int(inbox.inOrder))
            .arg(postMs)
            .arg(phase.elapsed()));
  return 0;
}

// True when the resume file came; false when standard input closed.
bool StallUntil(const QString& resumeFile) {
  QElapsedTimer timer;
  timer.start();
  while (!QFile::exists(resumeFile)) {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    char byte = 0;
    if (::poll(&input, 1, 10) > 0 && ::read(STDIN_FILENO, &byte, 1) <= 0)
      return false;
    if (timer.elapsed() > BoundMs) {
      Print(QStringLiteral("timeout stalling"));
      return false;
    }
  }
  return true;
}

int Stall(TInbox& inbox, const QString& resumeFile) {
  if (!StallUntil(resumeFile))
    return 1;
  if (!PumpUntil([&] { return inbox.othersDone; }, "receiving"))
    return 1;
  Print(QStringLiteral("result received %1 in_order %2")
            .arg(inbox.numbered)
            .arg(int(inbox.inOrder)));
  return 0;
}

int Post(const QString& title, int count) {
  const HWND wnd = FindWindow(QString(), title);
  if (wnd == 0) {
    Print(QStringLiteral("timeout finding"));
    return 1;
  }
  TPostStats stats;
  stats.Post(wnd, count);
  const QString socket = WindowDirectoryFolder() + QLatin1Char('/') +
                         WindowSocketName(ProcessOfHandle(wnd));
  Print(QStringLiteral("result %1 queued %2").arg(stats.Line()).arg(QueuedDatagrams(socket)));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 4)
    return 2;
  const QString mode = args[1];
  if (mode == QLatin1String("post"))
    return Post(args[2], args[3].toInt());

  TWindowDirectory dir;
  TInbox inbox;
  inbox.stallEvery = mode == QLatin1String("pair") ? 1000 : 0;
  dir.OnMessage = [&inbox](std::uint32_t, UINT msg, WPARAM wParam, LPARAM) {
    inbox.Take(msg, wParam);
  };
  dir.PublishWindow(1, args[2], true);
  Print(QStringLiteral("ready"));
  if (mode == QLatin1String("pair") && args.size() > 4)
    return Pair(dir, inbox, args[3], args[4].toInt());
  if (mode == QLatin1String("stall"))
    return Stall(inbox, args[3]);
  return 2;
}
