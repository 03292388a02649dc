// The form hook and the form sizer: the owner check, clamping of moves and
// sizes, the bound setters, and a sizer that is gone never being called.
#include "components/Lumcompf.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/controls/Form.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const QByteArray kSizerForm =
    "object Form1: TForm\n"
    "  Left = 100\n"
    "  Top = 100\n"
    "  Width = 300\n"
    "  Height = 200\n"
    "  object FormSizer1: TFormSizer\n"
    "    HeightMax = 400\n"
    "    HeightMin = 150\n"
    "    LeftMax = 500\n"
    "    LeftMin = 50\n"
    "    TopMax = 600\n"
    "    TopMin = 20\n"
    "    WidthMax = 800\n"
    "    WidthMin = 250\n"
    "  end\n"
    "end\n";

class FormSizer : public testing::Test {
 protected:
  void SetUp() override {
    RegisterFormSizerClasses();
    form = std::make_unique<TForm>(nullptr);
  }
  TFormSizer* Read(const QByteArray& text) {
    ReadRootComponent(form.get(), text, QStringLiteral("Form1.form"));
    return dynamic_cast<TFormSizer*>(form->FindComponent("FormSizer1"));
  }
  std::unique_ptr<TForm> form;
};

TEST_F(FormSizer, TheOwnerMustBeAForm) {
  TComponent plain(nullptr);
  for (TComponent* owner : {static_cast<TComponent*>(nullptr), &plain}) {
    try {
      TFormSizer sizer(owner);
      ADD_FAILURE() << "no error";
    } catch (const EComponentError& e) {
      EXPECT_EQ(e.Message(), QStringLiteral("Owner must be a form"));
    }
  }
  EXPECT_EQ(plain.ComponentCount(), 0);
}

TEST_F(FormSizer, ClampsEveryProposedMoveAndSize) {
  TFormSizer* sizer = Read(kSizerForm);
  ASSERT_NE(sizer, nullptr);
  ASSERT_TRUE(sizer->Hooked());
  const struct {
    TWindowPos in;
    TWindowPos out;
    bool reachesForm;
  } rows[] = {
      {{0, 0, 100, 100, 0}, {50, 20, 250, 150, 0}, false},
      {{900, 900, 2000, 2000, 0}, {500, 600, 800, 400, 0}, false},
      {{200, 300, 400, 300, 0}, {200, 300, 400, 300, 0}, false},
      {{0, 900, 10, 10, SWP_NOSIZE}, {50, 600, 10, 10, SWP_NOSIZE}, false},
      {{0, 900, 10, 10, SWP_NOMOVE}, {0, 900, 250, 150, SWP_NOMOVE}, false},
      {{0, 900, 10, 10, SWP_NOMOVE | SWP_NOSIZE}, {0, 900, 10, 10, SWP_NOMOVE | SWP_NOSIZE}, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.in.x << "," << row.in.y << " flags " << row.in.flags);
    TWindowPos pos = row.in;
    TMessage probe{WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos), 0};
    const bool reached = !sizer->HandleFormMessage(probe);
    EXPECT_EQ(pos.x, row.out.x);
    EXPECT_EQ(pos.y, row.out.y);
    EXPECT_EQ(pos.cx, row.out.cx);
    EXPECT_EQ(pos.cy, row.out.cy);
    EXPECT_EQ(reached, row.reachesForm);
  }
  // With every bound -1 a request is still swallowed, unchanged; a sizer
  // made at run time does not hook.
  TFormSizer bare(form.get());
  EXPECT_FALSE(bare.Hooked());
  TWindowPos same{7, 8, 9, 10, 0};
  TMessage request{WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&same), 0};
  EXPECT_TRUE(bare.HandleFormMessage(request));
  EXPECT_EQ(same.x, 7);
  EXPECT_EQ(same.y, 8);
  EXPECT_EQ(same.cx, 9);
  EXPECT_EQ(same.cy, 10);
  // Through the form itself.
  form->SetBounds(-40, 2000, 5000, 10);
  EXPECT_EQ(form->Left(), 50);
  EXPECT_EQ(form->Top(), 600);
  EXPECT_EQ(form->Width(), 800);
  EXPECT_EQ(form->Height(), 150);
  TMinMaxInfo info;
  EXPECT_EQ(form->Perform(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
  EXPECT_EQ(info.ptMaxPosition.x, 500);
  EXPECT_EQ(info.ptMaxPosition.y, 600);
  EXPECT_EQ(info.ptMinTrackSize.x, 250);
  EXPECT_EQ(info.ptMaxTrackSize.y, 400);
  EXPECT_EQ(info.ptMaxSize.x, 800);
  // Disabled: everything passes untouched.
  sizer->SetEnabled(false);
  form->SetBounds(-40, 2000, 5000, 10);
  EXPECT_EQ(form->Left(), -40);
  EXPECT_EQ(form->Top(), 2000);
}

TEST_F(FormSizer, BoundSettersKeepMinimumAndMaximumInOrder) {
  TFormSizer* sizer = Read(kSizerForm);
  ASSERT_NE(sizer, nullptr);
  sizer->SetLeftMax(10);  // below LeftMin: LeftMin is stored
  EXPECT_EQ(sizer->LeftMax(), 50);
  sizer->SetLeftMin(700);  // above LeftMax: LeftMax is stored
  EXPECT_EQ(sizer->LeftMin(), 50);
  sizer->SetLeftMin(-1);
  sizer->SetLeftMax(-1);
  EXPECT_EQ(sizer->LeftMin(), -1);
  EXPECT_EQ(sizer->LeftMax(), -1);
  // A bound narrowed past the form moves it there.
  form->SetBounds(300, 300, 300, 200);
  sizer->SetLeftMax(120);
  EXPECT_EQ(form->Left(), 120);
  sizer->SetMinBounds(200, 350, 320, 220);
  EXPECT_EQ(form->Left(), 120);  // LeftMin is held at LeftMax
  EXPECT_EQ(form->Top(), 350);
  EXPECT_EQ(form->Width(), 320);
  EXPECT_EQ(form->Height(), 220);
}

TEST_F(FormSizer, DefaultsReadBackAsWritten) {
  const QByteArray bare =
      "object Form1: TForm\n"
      "  object FormSizer1: TFormSizer\n"
      "    InitialFormPos = ipsMax\n"
      "    LeftMax = 40\n"
      "    TopMax = 30\n"
      "  end\n"
      "end\n";
  TFormSizer* sizer = Read(bare);
  ASSERT_NE(sizer, nullptr);
  EXPECT_TRUE(sizer->Enabled());
  EXPECT_EQ(sizer->WidthMin(), -1);
  EXPECT_EQ(sizer->InitialFormSize(), ipsDefault);
  EXPECT_EQ(form->Left(), 40);  // the initial position
  EXPECT_EQ(form->Top(), 30);
  const QByteArray written = WriteComponentText(form.get());
  EXPECT_TRUE(written.contains("InitialFormPos = ipsMax")) << written.constData();
  EXPECT_FALSE(written.contains("WidthMin")) << written.constData();
  TForm again(nullptr);
  ReadRootComponent(&again, written, QStringLiteral("Form1.form"));
  EXPECT_EQ(WriteComponentText(&again), written);
}

TEST_F(FormSizer, ALaterProcedureSurvivesAndAFreedSizerIsNeverCalled) {
  TFormSizer* sizer = Read(kSizerForm);
  ASSERT_NE(sizer, nullptr);
  int later = 0;
  const TWndMethod under = form->WindowProc;
  form->WindowProc = TWndMethod([&later, under](TMessage& m) {
    if (m.Msg == WM_WINDOWPOSCHANGING) ++later;
    under(m);
  });
  const TWndMethod laterProc = form->WindowProc;
  sizer->Free();
  EXPECT_TRUE(form->WindowProc == laterProc);
  // The freed sizer no longer clamps: the request reaches the form.
  form->SetBounds(-40, 2000, 5000, 10);
  EXPECT_EQ(later, 1);
  EXPECT_EQ(form->Left(), -40);
  EXPECT_EQ(form->Top(), 2000);
  // Without a later procedure, freeing gives the form its own back.
  form = std::make_unique<TForm>(nullptr);
  const TWndMethod own = form->WindowProc;
  sizer = Read(kSizerForm);
  ASSERT_FALSE(form->WindowProc == own);
  sizer->Free();
  EXPECT_TRUE(form->WindowProc == own);
}

}  // namespace
