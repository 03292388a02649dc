#include "installer/engine/cmp_TInstallContainer.h"

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TPathSpecifier.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/tests/InstallTestSupport.h"
#include "platform/classes/DataModule.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Install objects of each rank, processable like the real kinds.
template <int Rank>
class TRanked : public TInstallObject {
 public:
  explicit TRanked(TComponent* owner) : TInstallObject(owner) { SetProcessable(true); }
  int GetRegisteredType() const override { return Rank; }
};
using TGroupLike = TRanked<rtFileContainer>;
using TFileLike = TRanked<rtInstallFile>;
using TLinkLike = TRanked<rtLink>;

TEST(InstallContainerOrder, FourHelpersStandByRankThenOrder) {
  TDataModule module(nullptr);
  auto* top = new TGroupLike(&module);
  auto* file1 = new TFileLike(&module);
  file1->SetName(QStringLiteral("File1"));
  auto* group = new TGroupLike(&module);
  group->SetName(QStringLiteral("Group"));
  auto* link = new TLinkLike(&module);
  link->SetName(QStringLiteral("Link"));
  auto* file2 = new TFileLike(&module);
  file2->SetName(QStringLiteral("File2"));
  file1->SetContainer(top);
  group->SetContainer(top);
  link->SetContainer(top);
  file2->SetOrder(0);  // not stored: no container yet
  file2->SetContainer(top);
  file2->SetOrder(0);
  ASSERT_EQ(top->HelperCount(), 4);
  EXPECT_EQ(top->GetHelper(0), group);
  EXPECT_EQ(top->GetHelper(1), file2);
  EXPECT_EQ(top->GetHelper(2), file1);
  EXPECT_EQ(top->GetHelper(3), link);
  EXPECT_EQ(group->Order(), 0);
  EXPECT_EQ(file2->Order(), 0);
  EXPECT_EQ(file1->Order(), 1);
  EXPECT_EQ(link->Order(), 0);
}

}  // namespace
