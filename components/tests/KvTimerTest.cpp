// The threaded timer: when its worker runs, ticks handed to the GUI thread,
// and a timer freed while a tick of its is queued or its worker is running.
#include "components/KvTimer.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/controls/Timer.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

using namespace std::chrono_literals;

class KvTimerHooked : public testing::Test {
 protected:
  void SetUp() override {
    TKvTimer::SetTickHook([this](TKvTimer*, bool running, unsigned interval) {
      ++changes;
      running_ = running;
      interval_ = interval;
    });
  }
  void TearDown() override { TKvTimer::SetTickHook(nullptr); }

  int changes = 0;
  bool running_ = false;
  unsigned interval_ = 0;
  int calls = 0;
};

TEST_F(KvTimerHooked, RunsOnlyWithIntervalEnabledAndHandler) {
  struct Case {
    unsigned interval;
    bool enabled;
    bool handler;
    bool running;
  };
  for (const Case c : {Case{0, true, true, false}, Case{50, false, true, false},
                       Case{50, true, false, false}, Case{50, true, true, true}}) {
    TKvTimer timer(nullptr);
    EXPECT_FALSE(timer.Running());  // the constructor starts nothing
    timer.SetInterval(c.interval);
    timer.SetEnabled(c.enabled);
    if (c.handler) timer.SetOnTimer([this](TObject*) { ++calls; });
    EXPECT_EQ(timer.Running(), c.running) << c.interval << c.enabled << c.handler;
    EXPECT_EQ(running_, c.running);
    if (c.running) {
      EXPECT_EQ(interval_, c.interval);
    }
    EXPECT_FALSE(timer.Worker()->Running());  // no thread under the hook
  }
  EXPECT_FALSE(running_);  // each timer stopped as it went
}

TEST_F(KvTimerHooked, FiredTickRunsOnTimerOnTheGuiThreadWhileEnabled) {
  TKvTimer timer(nullptr);
  bool onGui = false;
  timer.SetOnTimer([&](TObject* sender) {
    ++calls;
    onGui = TThread::IsMainThread();
    EXPECT_EQ(sender, &timer);
  });
  timer.FireTick();
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(onGui);

  // Another handler does not restart the clock.
  const int before = changes;
  timer.SetOnTimer([this](TObject*) { calls += 10; });
  EXPECT_EQ(changes, before);
  timer.FireTick();
  EXPECT_EQ(calls, 11);

  timer.SetEnabled(false);
  EXPECT_FALSE(running_);
  timer.FireTick();
  EXPECT_EQ(calls, 11);
}

TEST_F(KvTimerHooked, WindowTimerWhileNotThreaded) {
  TTimer::SetTimerHook([](TTimer*, bool, unsigned) {});
  TKvTimer timer(nullptr);
  timer.SetOnTimer([this](TObject*) { ++calls; });
  EXPECT_TRUE(running_);
  timer.SetThreaded(false);
  EXPECT_FALSE(running_);  // the worker is idle
  ASSERT_NE(timer.WindowTimer(), nullptr);
  EXPECT_TRUE(timer.WindowTimer()->Running());
  EXPECT_EQ(timer.WindowTimer()->Interval(), 1000u);
  timer.WindowTimer()->Tick();
  EXPECT_EQ(calls, 1);

  // The priority waits for Threaded.
  const int before = changes;
  timer.SetThreadPriority(tpHighest);
  EXPECT_EQ(changes, before);
  timer.SetThreaded(true);
  EXPECT_EQ(timer.WindowTimer(), nullptr);
  EXPECT_TRUE(running_);
  EXPECT_EQ(timer.Worker()->Priority(), tpHighest);
  TTimer::SetTimerHook(nullptr);
}

TEST_F(KvTimerHooked, FreedTimerIsNeverCalledByATickAlreadyQueued) {
  auto timer = std::make_unique<TKvTimer>(nullptr);
  timer->SetOnTimer([this](TObject*) { ++calls; });
  TKvTimer* raw = timer.get();
  // A tick handed over from another thread waits in the GUI thread's queue.
  std::thread worker([raw] { raw->FireTick(); });
  ASSERT_TRUE(TThread::WaitForQueuedSynchronize(5s));
  timer.reset();
  EXPECT_TRUE(TThread::CheckSynchronize());
  worker.join();
  EXPECT_EQ(calls, 0);
}

TEST(KvTimerForm, PropertiesReadAndWrittenBack) {
  RegisterKvTimerClasses();
  const QByteArray form =
      "object Root: TComponent\n"
      "  object KvTimer1: TKvTimer\n"
      "    Enabled = False\n"
      "    Interval = 30\n"
      "    SyncEvent = False\n"
      "    ThreadPriority = tpLower\n"
      "  end\n"
      "end\n";
  TComponent root(nullptr);
  ReadRootComponent(&root, form, QStringLiteral("Root.form"));
  auto* timer = dynamic_cast<TKvTimer*>(root.FindComponent("KvTimer1"));
  ASSERT_NE(timer, nullptr);
  EXPECT_FALSE(timer->Enabled());
  EXPECT_EQ(timer->Interval(), 30u);
  EXPECT_FALSE(timer->SyncEvent());
  EXPECT_TRUE(timer->Threaded());
  EXPECT_EQ(timer->ThreadPriority(), tpLower);
  const QByteArray written = WriteComponentText(&root);
  EXPECT_TRUE(written.contains("ThreadPriority = tpLower")) << written.constData();
  EXPECT_FALSE(written.contains("Threaded")) << written.constData();
  TComponent again(nullptr);
  ReadRootComponent(&again, written, QStringLiteral("Again.form"));
  auto* back = dynamic_cast<TKvTimer*>(again.FindComponent("KvTimer1"));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->Interval(), 30u);
  EXPECT_FALSE(back->SyncEvent());
}

// The real worker thread.

TEST(KvTimerThread, TickArrivesOnTheGuiThread) {
  std::atomic<int> calls{0};
  bool onGui = false;
  TKvTimer timer(nullptr);
  timer.SetInterval(1);
  timer.SetOnTimer([&](TObject*) {
    onGui = TThread::IsMainThread();
    ++calls;
  });
  ASSERT_TRUE(timer.Worker()->Running());
  QElapsedTimer clock;
  clock.start();
  while (calls == 0 && clock.elapsed() < 10000)
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  ASSERT_GT(calls, 0);
  EXPECT_TRUE(onGui);
}

TEST(KvTimerThread, DeletingARunningTimerJoinsItsWorker) {
  int calls = 0;
  {
    // Sleeping: the stop wakes it.
    TKvTimer sleeping(nullptr);
    sleeping.SetOnTimer([&](TObject*) { ++calls; });
    ASSERT_TRUE(sleeping.Worker()->Running());
  }
  auto timer = std::make_unique<TKvTimer>(nullptr);
  timer->SetInterval(1);
  timer->SetOnTimer([&](TObject*) { ++calls; });
  // Its tick waits for the GUI thread when the timer goes.
  ASSERT_TRUE(TThread::WaitForQueuedSynchronize(10s));
  timer.reset();
  EXPECT_EQ(calls, 0);
  EXPECT_FALSE(TThread::CheckSynchronize());  // the queued tick ran, as nothing
}

}  // namespace
