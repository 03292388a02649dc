// Worker threads handing work to the GUI thread.
#include "platform/controls/tests/ControlsTestSupport.h"

#include "platform/controls/Thread.h"

#include <QElapsedTimer>

#include <atomic>

namespace {

class ThreadTest : public ControlsTest {};

// Synchronizes a counter increment until told to stop.
class TCountingThread : public TThread {
 public:
  TCountingThread() : TThread(true) {}
  std::atomic<int> syncs{0};
  int guiCount = 0;

 protected:
  void Execute() override {
    while (!Terminated()) {
      Synchronize([this] { ++guiCount; });
      ++syncs;
    }
    SetReturnValue(guiCount);
  }
};

TEST_F(ThreadTest, WaitForRunsPendingSynchronizeCallsInsteadOfDeadlocking) {
  TCountingThread thread;
  thread.Resume();
  // No event loop runs here: the worker waits in Synchronize until WaitFor
  // serves it.
  thread.Terminate();
  const int result = thread.WaitFor();
  EXPECT_TRUE(thread.Finished());
  EXPECT_EQ(result, thread.guiCount);
  EXPECT_EQ(thread.syncs.load(), thread.guiCount);
}

TEST_F(ThreadTest, SynchronizedMethodRunsOnTheGuiThread) {
  class TProbe : public TThread {
   public:
    TProbe() : TThread(true) {}
    bool onGui = false;
    bool onWorker = true;

   protected:
    void Execute() override {
      onWorker = !IsMainThread();
      Synchronize([this] { onGui = IsMainThread(); });
    }
  } probe;
  probe.Start();
  probe.WaitFor();
  EXPECT_TRUE(probe.onWorker);
  EXPECT_TRUE(probe.onGui);
}

TEST_F(ThreadTest, ExceptionInSynchronizedMethodReachesTheWorker) {
  class TFailing : public TThread {
   public:
    TFailing() : TThread(true) {}
    QString caught;

   protected:
    void Execute() override {
      try {
        Synchronize([] { throw EConvertError(QStringLiteral("bad")); });
      } catch (const Exception& e) {
        caught = e.Message();
      }
      throw EAbort();
    }
  } thread;
  thread.Start();
  thread.WaitFor();
  EXPECT_EQ(thread.caught, "bad");
  EXPECT_TRUE(static_cast<bool>(thread.FatalException()));
}

TEST_F(ThreadTest, FreeOnTerminateCallsOnTerminateOnTheGuiThreadAndFreesItself) {
  class TShort : public TThread {
   public:
    explicit TShort(bool* freed) : TThread(true), freed_(freed) {}
    ~TShort() override { *freed_ = true; }

   protected:
    void Execute() override {}

   private:
    bool* freed_;
  };
  bool freed = false;
  bool terminatedOnGui = false;
  auto* thread = new TShort(&freed);
  thread->SetFreeOnTerminate(true);
  thread->OnTerminate = [&terminatedOnGui](TObject*) { terminatedOnGui = TThread::IsMainThread(); };
  thread->Resume();
  QElapsedTimer bound;  // only keeps a broken test from hanging
  bound.start();
  while (!freed && bound.elapsed() < 20000) QCoreApplication::processEvents();
  EXPECT_TRUE(terminatedOnGui);
  EXPECT_TRUE(freed);
}

}  // namespace
