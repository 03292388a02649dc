#include "components/AppUtils.h"

#include "platform/controls/Application.h"
#include "platform/controls/Control.h"
#include "platform/controls/Form.h"

#include <gtest/gtest.h>

namespace {

// Section names ------------------------------------------------------------

class TForm2 : public TForm {
 public:
  using TForm::TForm;
};

class TOkControl : public TControl {
 public:
  using TControl::TControl;
};

TEST(DefaultStorageSectionTest, Names) {
  TApplication application;
  EXPECT_EQ(DefaultStorageSection(nullptr), "");
  TForm2* form = new TForm2(nullptr);
  auto* ok = new TOkControl(form);
  ok->SetName("OK");
  ok->SetParent(form);
  auto* timer = new TComponent(form);
  timer->SetName("Timer1");
  TComponent loose(nullptr);
  loose.SetName("Loose");
  TOkControl orphan(nullptr);
  orphan.SetName("Orphan");

  EXPECT_EQ(DefaultStorageSection(form), "TForm2");
  EXPECT_EQ(DefaultStorageSection(ok), "TForm2OK");
  EXPECT_EQ(DefaultStorageSection(timer), "TForm2.Timer1");
  EXPECT_EQ(DefaultStorageSection(&loose), "Loose");
  EXPECT_EQ(DefaultStorageSection(&orphan), "Orphan");
  form->Free();
}

}  // namespace
