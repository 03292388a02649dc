#pragma once
// The window directory: how programs find each other's top-level windows by
// title and post messages to them.
//
// Each process that shows windows owns one TWindowDirectory, created by the
// application object and living as long as it. The directory keeps an entry
// file with this process's windows and their live titles in the private
// folder (see RuntimeFolder.h) and listens on a datagram socket beside it.
// Messages posted to one of its windows - from this process or another - are
// handed to OnMessage on the thread that created the directory (the GUI
// thread), by the Qt event loop, in the order each sender posted them.

#include "platform/system/WinTypes.h"
#include "platform/system/WindowEntry.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TWindowDirectory {
 public:
  // Creates the folder, removes entries of processes that are gone, binds
  // the socket and writes an entry without windows; the new directory
  // becomes Current(). Raises EOSError / EFCreateError on failure, and
  // EInvalidOperation while another directory of this process exists.
  TWindowDirectory();
  ~TWindowDirectory();
  TWindowDirectory(const TWindowDirectory&) = delete;
  TWindowDirectory& operator=(const TWindowDirectory&) = delete;

  // This process's directory; nullptr before one is created, after it is
  // destroyed and after ResetProcessState.
  static TWindowDirectory* Current();

  // Publishing calls belong to the GUI thread. Each rewrites the entry file;
  // when that fails (EFCreateError) the published state stays as it was.

  // Adds the window (or updates title and visibility when already
  // published) and returns its handle. localId 0 raises EInvalidOperation.
  HWND PublishWindow(std::uint32_t localId, const QString& title, bool visible);
  // Raises EInvalidOperation for a window that is not published.
  void UpdateTitle(std::uint32_t localId, const QString& title);
  // Unknown ids are ignored. Messages still queued for it are dropped.
  void UnpublishWindow(std::uint32_t localId);

  // 0 when the window is not published.
  HWND HandleOf(std::uint32_t localId) const;
  std::vector<TPublishedWindow> Windows() const;
  // The first published window whose title matches (see FindWindow); 0 if none.
  std::uint32_t FindOwnWindow(const QString& title) const;

  // Queues a message for one of this process's windows; false when the
  // window is not published or 10000 messages already wait. Safe from any
  // thread.
  bool PostLocal(std::uint32_t localId, UINT msg, WPARAM wParam, LPARAM lParam);

  QString Folder() const;
  QString EntryPath() const;
  QString SocketPath() const;

  // Receives every message for a published window. It runs inside the Qt
  // event loop: the application routes it through its exception guard.
  std::function<void(std::uint32_t localWindowId, UINT msg, WPARAM wParam, LPARAM lParam)>
      OnMessage;

 private:
  struct Impl;
  void Deliver();
  void ScheduleDelivery();
  void ReadSocket();
  void Rewrite(std::vector<TPublishedWindow> windows);

  std::unique_ptr<Impl> d_;
};

// Same title for FindWindow: case-insensitive (Unicode case folding), same
// length.
bool SameWindowTitle(const QString& a, const QString& b);
