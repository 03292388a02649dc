#include "SampleClasses.h"

#include "platform/classes/FormReader.h"
#include "platform/rtl/Exceptions.h"
#include "tests/support/TestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

struct BrokenForm {
  const char* file;
  const char* message;  // after "<file>("
};

// Every broken fixture and the error it must end in.
const BrokenForm kBrokenForms[] = {
    {"truncated.form", "5): 'end' expected"},
    {"truncated_in_string.form", "2): Unterminated string"},
    {"unbalanced_end.form", "6): End of file expected"},
    {"missing_end_of_child.form", "7): 'end' expected"},
    {"unknown_class.form", "2): Class TNoSuchClass not found"},
    {"unknown_property.form", "4): Property TSampleWidget.Fnot does not exist"},
    {"unknown_sub_property.form", "3): Property TSampleWidget.Font.Nme does not exist"},
    {"wrong_type_integer.form",
     "3): Invalid value for property TSampleWidget.Width: integer expected"},
    {"wrong_type_boolean.form",
     "3): Invalid value for property TSampleWidget.Enabled: True or False expected"},
    {"wrong_type_string.form",
     "3): Invalid value for property TSampleWidget.Caption: string expected"},
    {"wrong_type_float.form", "3): Invalid value for property TSampleWidget.Ratio: number expected"},
    {"wrong_type_list.form", "3): Invalid value for property TSampleWidget.Lines: string expected"},
    {"object_given_a_value.form",
     "3): Invalid value for property TSampleWidget.Font: properties of its object "
     "(Font.Name = value) expected"},
    {"bad_enumeration.form",
     "3): Invalid value for property TSampleWidget.Align: unknown identifier saMiddle"},
    {"bad_set.form", "3): Invalid value for property TSampleWidget.Options: unknown identifier spNope"},
    {"huge_number.form", "3): Number too large"},
    {"integer_out_of_range.form", "3): Value out of range for property TSampleWidget.Width"},
    {"unsigned_out_of_range.form", "3): Value out of range for property TSampleWidget.Small"},
    {"float_overflow.form", "3): Number out of range"},
    {"bad_escape.form", "3): Invalid character code"},
    {"escape_out_of_range.form", "3): Invalid character code"},
    {"unterminated_string.form", "3): Unterminated string"},
    {"unterminated_binary.form", "3): Unterminated binary value"},
    {"odd_binary.form", "3): Invalid binary value: odd number of digits"},
    {"binary_for_list.form", "3): Invalid value for property CellData: list expected"},
    {"list_for_binary.form", "3): Invalid value for property Blob: binary data expected"},
    {"cells_too_short.form", "3): Invalid value for property CellData: string expected"},
    {"cells_wrong_type.form", "3): Invalid value for property CellData: integer expected"},
    {"cells_cell_out_of_range.form", "3): Value out of range for property CellData"},
    {"unresolved_reference.form",
     "3): Unresolved reference to Nobody in property TSampleWidget.Buddy"},
    {"wrong_reference_class.form",
     "3): Invalid value for property TSampleWidget.Buddy: Form1 is a TSampleForm"},
    {"unknown_method.form", "3): Method Nope not found in TSampleForm"},
    {"method_signature.form",
     "3): Method ValueChanged does not match the type of event TSampleWidget.OnClick"},
    {"duplicate_name.form", "4): A component named w1 already exists"},
    {"invalid_name.form", "2): ''W.1'' is not a valid component name"},
    {"setter_failure.form",
     "3): Error reading TSampleFragile.Level: Level must not be negative"},
    {"collection_bad_property.form", "5): Property TSampleItem.Nope does not exist"},
    {"collection_reference_unresolved.form",
     "5): Unresolved reference to Ghost in property TSampleWidget.Target"},
    {"collection_not_item.form", "3): 'item' expected"},
    {"invalid_character.form", "3): Invalid character '@'"},
    {"invalid_utf8.form", "3): Invalid UTF-8 text"},
    {"empty.form", "1): 'object' expected"},
    {"not_a_component_class.form", "2): Class TSampleFont not found"},
    {"deep_objects.form", "201): Nesting deeper than 200 levels"},
    {"deep_lists.form", "3): Nesting deeper than 200 levels"},
};

class BrokenForms : public testing::TestWithParam<BrokenForm> {
 protected:
  void SetUp() override { RegisterSampleClasses(); }

  static QByteArray Fixture(const char* file) {
    QFile f(qxtest::DataPath(QString::fromLatin1(file)));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file;
    return f.readAll();
  }
  static QString Expected(const BrokenForm& c) {
    return QString::fromLatin1(c.file) + u'(' + QString::fromUtf8(c.message);
  }
};

TEST_P(BrokenForms, ReadIntoExistingRootFailsAndLeavesNoChildren) {
  const BrokenForm& c = GetParam();
  int liveBefore = TSampleWidget::Live();
  TSampleForm form(nullptr);
  try {
    ReadRootComponent(&form, Fixture(c.file), QString::fromLatin1(c.file));
    ADD_FAILURE() << c.file << " was accepted";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), Expected(c));
  }
  EXPECT_EQ(form.ComponentCount(), 0);
  EXPECT_EQ(TSampleWidget::Live(), liveBefore);
  EXPECT_FALSE(form.ComponentState().Contains(csLoading));
  EXPECT_FALSE(form.ComponentState().Contains(csReading));
}

TEST_P(BrokenForms, ReadOfANewRootFailsAndLeavesNothing) {
  const BrokenForm& c = GetParam();
  int liveBefore = TSampleWidget::Live();
  TComponent owner(nullptr);
  EXPECT_THROW(ReadComponentText(Fixture(c.file), QString::fromLatin1(c.file), &owner), EReadError)
      << c.file;
  EXPECT_EQ(owner.ComponentCount(), 0);
  EXPECT_EQ(TSampleWidget::Live(), liveBefore);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, BrokenForms, testing::ValuesIn(kBrokenForms),
                         [](const testing::TestParamInfo<BrokenForm>& param) {
                           QString name = QString::fromLatin1(param.param.file);
                           name.chop(5);  // ".form"
                           return name.toStdString();
                         });

TEST(FailedRead, ExceptionFromLoadedFreesWhatTheReadCreated) {
  RegisterSampleClasses();
  int liveBefore = TSampleWidget::Live();
  TSampleForm form(nullptr);
  const char text[] =
      "object F: TSampleForm\n"
      "  object W: TSampleWidget\n  end\n"
      "  object Fragile: TSampleFragile\n    FailLoaded = True\n  end\n"
      "end\n";
  EXPECT_THROW(ReadRootComponent(&form, text, QStringLiteral("loaded.form")), EInvalidOperation);
  EXPECT_EQ(form.ComponentCount(), 0);
  EXPECT_EQ(TSampleWidget::Live(), liveBefore);
}

TEST(FailedRead, ComponentsTheRootHadBeforeStay) {
  RegisterSampleClasses();
  TSampleForm form(nullptr);
  auto* existing = new TSampleWidget(&form);
  existing->SetName(QStringLiteral("Existing"));
  EXPECT_THROW(ReadRootComponent(&form,
                                 "object F: TSampleForm\n  object W: TSampleWidget\n"
                                 "    Buddy = Existing\n    Width = 'x'\n  end\nend\n",
                                 QStringLiteral("keep.form")),
               EReadError);
  ASSERT_EQ(form.ComponentCount(), 1);
  EXPECT_EQ(form.Components(0), existing);
}

TEST(FailedRead, RootOfAnUnknownClassIsRefused) {
  struct TUnlistedForm : TComponent {
    using TComponent::TComponent;
  };
  TUnlistedForm* form = nullptr;
  TComponent owner(nullptr);
  form = new TUnlistedForm(&owner);
  // The non-template entry cannot know the class: it has no table yet.
  EXPECT_THROW(ReadRootComponent(static_cast<TComponent*>(form), "object F: TUnlistedForm\nend\n",
                                 QStringLiteral("u.form")),
               EReadError);
  // The template entry builds the table from the static type.
  EXPECT_NO_THROW(ReadRootComponent(form, "object F: TUnlistedForm\n  Tag = 3\nend\n",
                                    QStringLiteral("u.form")));
  EXPECT_EQ(form->Tag(), 3);
}

}  // namespace
