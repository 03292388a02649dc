#include "platform/printing/ImagePrintBackend.h"
#include "platform/printing/Printer.h"
#include "platform/rtl/ProcessState.h"

#include <gtest/gtest.h>

namespace {

// An image back end that records its own destruction.
class WatchedBackend : public TImagePrintBackend {
 public:
  explicit WatchedBackend(bool* destroyed) : TImagePrintBackend(50), destroyed_(destroyed) {}
  ~WatchedBackend() override { *destroyed_ = true; }

 private:
  bool* destroyed_;
};

std::unique_ptr<TPrinter> WatchedPrinter(bool* destroyed) {
  return std::make_unique<TPrinter>(std::make_unique<WatchedBackend>(destroyed));
}

TEST(GlobalPrinter, IsMadeOnceOnFirstUse) {
  TPrinter* first = Printer();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(Printer(), first);
}

TEST(GlobalPrinter, SetPrinterHandsBackTheOldOne) {
  TPrinter* before = Printer();
  bool destroyed = false;
  auto fresh = WatchedPrinter(&destroyed);
  TPrinter* freshPtr = fresh.get();
  std::unique_ptr<TPrinter> old = SetPrinter(std::move(fresh));
  EXPECT_EQ(old.get(), before);
  EXPECT_EQ(Printer(), freshPtr);

  std::unique_ptr<TPrinter> back = SetPrinter(std::move(old));
  EXPECT_EQ(back.get(), freshPtr);
  EXPECT_EQ(Printer(), before);
  EXPECT_FALSE(destroyed);
  back.reset();
  EXPECT_TRUE(destroyed);
}

TEST(GlobalPrinter, ResetProcessStateFreesIt) {
  bool destroyed = false;
  SetPrinter(WatchedPrinter(&destroyed));
  ResetProcessState();
  EXPECT_TRUE(destroyed);
}

TEST(GlobalPrinter, FreePrinterDiscardsARunningJob) {
  bool destroyed = false;
  SetPrinter(WatchedPrinter(&destroyed));
  Printer()->BeginDoc();
  FreePrinter();
  EXPECT_TRUE(destroyed);
  EXPECT_FALSE(Printer()->Printing());  // a new one
}

TEST(GlobalPrinter, NullMakesTheNextUseCreateOne) {
  bool destroyed = false;
  SetPrinter(WatchedPrinter(&destroyed));
  std::unique_ptr<TPrinter> old = SetPrinter(nullptr);
  EXPECT_FALSE(destroyed);
  EXPECT_NE(Printer(), nullptr);
  EXPECT_NE(Printer(), old.get());
}

}  // namespace
