// Abort set from an event handler (as the copy-progress page does) stops
// adding, extracting, splitting and copying; nothing half-written remains.
#include "InstallHostTestSupport.h"
#include "OndxCompressTestSupport.h"

#include "platform/rtl/FileUtils.h"

namespace {

using octest::Content;
using octest::OcTest;

class OcAbortTest : public OcTest {
 protected:
  // Sets Abort at the second status event and counts OnAborted.
  void AbortOnSecondStatus() {
    c_->OnStatus = [this](TOndxCompress* c, const TlzhFileStats&) {
      if (++statuses_ == 2)
        c->SetAbort(true);
    };
    c_->OnAborted = [this](TObject* sender) {
      EXPECT_EQ(sender, c_.get());
      ++aborted_;
    };
  }
  int statuses_ = 0;
  int aborted_ = 0;
};

TEST_F(OcAbortTest, AbortDuringAddFiresOnAbortedAndKeepsTheOldArchive) {
  const QString small = Source(QStringLiteral("small"), Content(100));
  AddFiles({small});
  const QByteArray before = qxtest::ReadBytes(archive_);
  AbortOnSecondStatus();
  const QString big = Source(QStringLiteral("big"), Content(1 << 20));
  EXPECT_NO_THROW(AddFiles({big}));
  EXPECT_EQ(aborted_, 1);
  EXPECT_EQ(qxtest::ReadBytes(archive_), before);
  statuses_ = 0;
  EXPECT_NO_THROW(AddFiles({big}, true));
  EXPECT_EQ(aborted_, 2);
  EXPECT_EQ(qxtest::ReadBytes(archive_), before);
  EXPECT_EQ(octest::FolderFiles(ExtractFileDir(archive_)), QStringList{QStringLiteral("files.1")});
}

TEST_F(OcAbortTest, AbortDuringExtractKeepsTheOldTarget) {
  const QString big = Source(QStringLiteral("big"), Content(1 << 20));
  AddFiles({big});
  qxtest::WriteBytes(out_ + QStringLiteral("/big"), "previous");
  AbortOnSecondStatus();
  EXPECT_NO_THROW(ExtractTo(out_, {big}));
  EXPECT_EQ(aborted_, 1);
  EXPECT_EQ(statuses_, 2);
  EXPECT_EQ(qxtest::ReadBytes(out_ + QStringLiteral("/big")), QByteArray("previous"));
  EXPECT_EQ(octest::FolderFiles(out_), QStringList{QStringLiteral("big")});
  EXPECT_EQ(c_->FilesToProcess()->Count(), 0);
}

TEST_F(OcAbortTest, AbortDuringSplitFiresOnAborted) {
  AddFiles({Source(QStringLiteral("big"), Content(1 << 20))});
  c_->SetCompressedFile(archive_);
  AbortOnSecondStatus();
  EXPECT_NO_THROW(c_->SplitToDisks(out_, QStringLiteral("files.1")));
  EXPECT_EQ(aborted_, 1);
  EXPECT_EQ(statuses_, 2);
}

TEST_F(OcAbortTest, AbortSetBeforeAnOperationIsReset) {
  const QString a = Source(QStringLiteral("a"), Content(100));
  c_->SetAbort(true);
  AddFiles({a});
  c_->SetCompressedFile(archive_);
  EXPECT_EQ(c_->FileCount(), 1);
}

TEST_F(OcAbortTest, AbortDuringCopyStopsWithoutErrorAndWritesNothing) {
  const QString a = Source(QStringLiteral("a"), Content(100000));
  c_->OnStatus = [](TOndxCompress* c, const TlzhFileStats&) { c->SetAbort(true); };
  EXPECT_NO_THROW(c_->CopyOneFile(a, out_ + QStringLiteral("/a")));
  EXPECT_TRUE(octest::FolderFiles(out_).isEmpty());
}

TEST_F(OcAbortTest, TheHostProcessesMessagesDuringLongWork) {
  auto owned = std::make_unique<qxtest::TTestHost>(QString());
  qxtest::TTestHost* host = owned.get();
  SetInstallHost(std::move(owned));
  const int& pumps = host->pumped;
  const QString big = Source(QStringLiteral("big"), Content(300000));
  AddFiles({big});
  const int afterAdd = pumps;
  EXPECT_GE(afterAdd, 5);  // one per 64 KB block read, and the final step
  ExtractTo(out_, {big});
  EXPECT_GE(pumps - afterAdd, 300000 / 4096);  // one per 4 KB chunk
  const int afterExtract = pumps;
  c_->CopyOneFile(big, out_ + QStringLiteral("/copy"));
  EXPECT_GE(pumps - afterExtract, 300000 / 8192);  // one per 8 KB block
  SetInstallHost(nullptr);
}

TEST_F(OcAbortTest, AnErrorSetsAbortAndPropagates) {
  EXPECT_THROW(AddFiles({src_ + QStringLiteral("/missing")}), EOndxCompress);
  EXPECT_TRUE(c_->Abort());
}

}  // namespace
