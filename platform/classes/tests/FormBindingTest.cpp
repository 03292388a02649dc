#include "SampleClasses.h"

#include "platform/classes/FormBinding.h"
#include "platform/classes/FormReader.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

namespace {

// A root whose fields and handler come from its binding.
class TBoundForm : public TComponent {
 public:
  using TComponent::TComponent;
  static TFormBinding Binding() {
    return {
        Field("Button1", &TBoundForm::Button1),
        Field("Panel1", &TBoundForm::Panel1),
        Handler("Button1Click", &TBoundForm::Button1Click),
    };
  }
  void Button1Click(TObject*) { ++clicks; }

  TSampleWidget* Button1 = nullptr;
  TSamplePanel* Panel1 = nullptr;
  int clicks = 0;
};

class TTwiceBoundForm : public TBoundForm {
 public:
  using TBoundForm::TBoundForm;
  static TFormBinding Binding() {
    return {Field("Button1", &TTwiceBoundForm::Button1),
            Field("button1", &TTwiceBoundForm::Button1)};
  }
};

// The file's body between "object F: TBoundForm" and "end".
QByteArray BoundFormText(const char* body) {
  return QByteArray("object F: TBoundForm\n") + body + "end\n";
}

constexpr char kWhole[] =
    "  object Button1: TSampleWidget\n"
    "    OnClick = Button1Click\n"
    "  end\n"
    "  object Panel1: TSamplePanel\n"
    "  end\n";

TEST(FormBinding, SetsEveryFieldAndBindsTheHandlersBeforeLoaded) {
  RegisterSampleClasses();
  TBoundForm form(nullptr);
  ReadRootComponent(&form, BoundFormText(kWhole), QStringLiteral("bound.form"));
  ASSERT_NE(form.Button1, nullptr);
  EXPECT_EQ(form.Button1, form.FindComponent(QStringLiteral("Button1")));
  EXPECT_EQ(form.Panel1, form.FindComponent(QStringLiteral("Panel1")));
  form.Button1->OnClick(form.Button1);
  EXPECT_EQ(form.clicks, 1);
  // The table's getters see what the read set.
  const TFormBinding binding = TBoundForm::Binding();
  for (const TBindingEntry& entry : binding.Entries()) {
    if (entry.kind == TBindingEntry::kField) {
      EXPECT_EQ(entry.get(form), form.FindComponent(entry.name));
    }
  }
}

struct Violation {
  const char* name;
  const char* body;
  const char* message;
};

// Planted violations of the binding, each with the error it must end in.
const Violation kViolations[] = {
    {"MissingField", "  object Button1: TSampleWidget\n  end\n",
     "Form TBoundForm: component 'Panel1' missing from the form file bound.form"},
    {"HandlerNotInTable",
     "  object Button1: TSampleWidget\n    OnClick = Button2Click\n  end\n"
     "  object Panel1: TSamplePanel\n  end\n",
     "Form TBoundForm: handler 'Button2Click' named in bound.form(3) is missing from the form's "
     "binding"},
    {"FieldOfAnotherClass",
     "  object Button1: TSampleWidget\n  end\n  object Panel1: TSampleWidget\n  end\n",
     "Form TBoundForm: component 'Panel1' in bound.form is a TSampleWidget, not the TSamplePanel "
     "its field holds"},
};

class BindingViolations : public testing::TestWithParam<Violation> {};

TEST_P(BindingViolations, FailTheLoadNamingFormAndNameAndLeaveNothing) {
  const Violation& v = GetParam();
  RegisterSampleClasses();
  const int liveBefore = TSampleWidget::Live();
  TBoundForm form(nullptr);
  try {
    ReadRootComponent(&form, BoundFormText(v.body), QStringLiteral("bound.form"));
    ADD_FAILURE() << v.name << " was accepted";
  } catch (const EFormBindingError& e) {
    EXPECT_EQ(e.Message(), QString::fromUtf8(v.message));
  }
  EXPECT_EQ(form.ComponentCount(), 0);
  EXPECT_EQ(TSampleWidget::Live(), liveBefore);
  EXPECT_EQ(form.Button1, nullptr);
  EXPECT_EQ(form.Panel1, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Planted, BindingViolations, testing::ValuesIn(kViolations),
                         [](const testing::TestParamInfo<Violation>& p) { return p.param.name; });

TEST(FormBinding, ANameBoundTwiceFailsBeforeAnythingIsMade) {
  RegisterSampleClasses();
  TTwiceBoundForm form(nullptr);
  try {
    ReadRootComponent(&form, BoundFormText(kWhole), QStringLiteral("bound.form"));
    ADD_FAILURE() << "a doubly bound name was accepted";
  } catch (const EFormBindingError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Form TTwiceBoundForm: 'Button1' is bound twice"));
  }
  EXPECT_EQ(form.ComponentCount(), 0);
}

TEST(FormBinding, FieldsSetBeforeAFailingLoadedAreClearedAgain) {
  RegisterSampleClasses();
  TBoundForm form(nullptr);
  const QByteArray text = BoundFormText(
      "  object Button1: TSampleWidget\n  end\n  object Panel1: TSamplePanel\n  end\n"
      "  object Fragile: TSampleFragile\n    FailLoaded = True\n  end\n");
  EXPECT_THROW(ReadRootComponent(&form, text, QStringLiteral("bound.form")), EInvalidOperation);
  EXPECT_EQ(form.ComponentCount(), 0);
  EXPECT_EQ(form.Button1, nullptr);
  EXPECT_EQ(form.Panel1, nullptr);
}

}  // namespace
