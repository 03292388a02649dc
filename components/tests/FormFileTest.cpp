// The components' published properties, read from and written to a form file.
#include "components/ActivApp.h"
#include "components/Brkapart.h"
#include "components/FormFill.h"
#include "components/Lumexctl.h"
#include "components/Lumpanel.h"
#include "components/PrnCells.h"
#include "components/RegistryEnhanced.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kForm =
    "object Root: TComponent\n"
    "  object rekisteri: TRegistryEnhanced\n"
    "    Access = kRead\n"
    "    RootKey = hkLocalMachine\n"
    "    Key = '\\Software'\n"
    "  end\n"
    "  object ActivApp1: TActivApp\n"
    "    MainFormTitle = 'Muokkain'\n"
    "    ExePath = '/opt/qx/muokkain'\n"
    "  end\n"
    "  object BrkApart1: TBrkApart\n"
    "    BreakString = ','\n"
    "    BaseString = 'a,,b'\n"
    "    AllowEmptyString = True\n"
    "    StringList = ( 'x' 'y' )\n"
    "  end\n"
    "end\n";

TEST(ComponentFormFile, ReadAndWriteBack) {
  RegisterClasses<TRegistryEnhanced, TActivApp, TBrkApart>();
  TComponent root(nullptr);
  ReadRootComponent(&root, kForm, QStringLiteral("Root.form"));

  auto* reg = dynamic_cast<TRegistryEnhanced*>(root.FindComponent("rekisteri"));
  ASSERT_NE(reg, nullptr);
  EXPECT_EQ(reg->Access(), kRead);
  EXPECT_EQ(reg->RootKey(), hkLocalMachine);
  EXPECT_EQ(reg->Key(), "\\Software");
  auto* activ = dynamic_cast<TActivApp*>(root.FindComponent("ActivApp1"));
  ASSERT_NE(activ, nullptr);
  EXPECT_EQ(activ->MainFormTitle(), "Muokkain");
  EXPECT_EQ(activ->ExePath(), "/opt/qx/muokkain");
  auto* brk = dynamic_cast<TBrkApart*>(root.FindComponent("BrkApart1"));
  ASSERT_NE(brk, nullptr);
  EXPECT_EQ(brk->BreakString(), ",");
  EXPECT_EQ(brk->BaseString(), "a,,b");
  EXPECT_TRUE(brk->AllowEmptyString());
  ASSERT_EQ(brk->StringList()->Count(), 2);
  EXPECT_EQ(brk->StringList()->Strings(1), "y");

  reg->SetAccess(kAllAccess);  // the default is not written
  const QByteArray written = WriteComponentText(&root);
  EXPECT_FALSE(written.contains("Access")) << written.constData();
  EXPECT_TRUE(written.contains("RootKey = hkLocalMachine")) << written.constData();
  TComponent again(nullptr);
  ReadRootComponent(&again, written, QStringLiteral("Again.form"));
  auto* reg2 = dynamic_cast<TRegistryEnhanced*>(again.FindComponent("rekisteri"));
  ASSERT_NE(reg2, nullptr);
  EXPECT_EQ(reg2->Key(), "\\Software");
  EXPECT_EQ(reg2->Access(), kAllAccess);
}

}  // namespace

namespace {

const QByteArray kPrintAndDecorations =
    "object Root: TComponent\n"
    "  object PrnCells1: TPrnCells\n"
    "    Measurement = mtInches\n"
    "  end\n"
    "  object PwFormFill1: TPwFormFill\n"
    "    FillType = 'Harvard'\n"
    "  end\n"
    "  object EdgePanel1: TEdgePanel\n"
    "    BevelEdges = [beLeft, beTop]\n"
    "  end\n"
    "  object monta: TSuperLabel\n"
    "    Font.Name = 'Times New Roman'\n"
    "    ParentFont = False\n"
    "    TopMargin = 5\n"
    "    VerticalAlignment = vaCenter\n"
    "  end\n"
    "end\n";

TEST(ComponentFormFile, PrintCellsAndDecorationsReadBackAsWritten) {
  RegisterPrnCellsClasses();
  RegisterFormFillClasses();
  RegisterEdgePanelClasses();
  RegisterSuperLabelClasses();
  TComponent root(nullptr);
  ReadRootComponent(&root, kPrintAndDecorations, QStringLiteral("Root.form"));
  auto* cells = dynamic_cast<TPrnCells*>(root.FindComponent("PrnCells1"));
  auto* fill = dynamic_cast<TPwFormFill*>(root.FindComponent("PwFormFill1"));
  auto* panel = dynamic_cast<TEdgePanel*>(root.FindComponent("EdgePanel1"));
  auto* label = dynamic_cast<TSuperLabel*>(root.FindComponent("monta"));
  ASSERT_TRUE(cells && fill && panel && label);
  EXPECT_EQ(cells->Measurement(), mtInches);
  EXPECT_EQ(fill->FillType(), QStringLiteral("Harvard"));
  EXPECT_EQ(panel->BevelEdges(), (TBevelEdges{beLeft, beTop}));
  EXPECT_EQ(label->Font()->Name(), QStringLiteral("Times New Roman"));
  EXPECT_EQ(label->TopMargin(), 5);
  EXPECT_EQ(label->VerticalAlignment(), vaCenter);

  const QByteArray written = WriteComponentText(&root);
  TComponent again(nullptr);
  ReadRootComponent(&again, written, QStringLiteral("Root.form"));
  EXPECT_EQ(WriteComponentText(&again), written);
}

}  // namespace
