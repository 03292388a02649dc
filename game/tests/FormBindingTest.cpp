// Every form of the game loads through its binding: each field the table
// names holds the component of that name from the form file.
#include "game/intro.h"
#include "game/tests/GameWindowSupport.h"

namespace {

template <class F>
void ExpectEveryFieldBound(F& form) {
  const TFormBinding binding = F::Binding();
  int fields = 0;
  for (const TBindingEntry& entry : binding.Entries()) {
    if (entry.kind != TBindingEntry::kField) continue;
    ++fields;
    TComponent* held = entry.get(form);
    EXPECT_NE(held, nullptr) << form.ClassName().toStdString() << "." << entry.name.toStdString();
    EXPECT_EQ(held, form.FindComponent(entry.name)) << entry.name.toStdString();
  }
  EXPECT_GT(fields, 0) << form.ClassName().toStdString();
}

class GameFormBinding : public GameWindowTest {};

TEST_F(GameFormBinding, EveryGameFormLoadsWithEveryFieldBound) {
  TForm2 splash(nullptr);
  ExpectEveryFieldBound(splash);
  Start();
  ASSERT_NE(Form3, nullptr);
  ASSERT_NE(AboutBox, nullptr);
  ExpectEveryFieldBound(*Form1);
  ExpectEveryFieldBound(*Form3);
  ExpectEveryFieldBound(*AboutBox);
}

}  // namespace
