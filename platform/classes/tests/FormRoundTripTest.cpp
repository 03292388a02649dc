#include "SampleClasses.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormParser.h"
#include "platform/classes/FormWriter.h"
#include "platform/rtl/Exceptions.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class FormRoundTrip : public testing::Test {
 protected:
  void SetUp() override {
    RegisterSampleClasses();
    SampleLog().clear();
  }

  // A form using every property kind; W1 refers ahead to W2, W3 (nested in
  // panel P1) back to W1.
  static std::unique_ptr<TSampleForm> BuildSample() {
    auto form = std::make_unique<TSampleForm>(nullptr);
    form->SetName(QStringLiteral("Form1"));
    form->SetTitle(QStringLiteral("It's \"quoted\"\tand ä € \U0001F600 ") + QString(80, u'x'));
    auto* w1 = new TSampleWidget(form.get());
    w1->SetName(QStringLiteral("W1"));
    w1->SetWidth(-10);
    w1->SetBig(std::int64_t{1} << 40);
    w1->SetSmall(65535);
    w1->SetEnabled(false);
    w1->SetAlign(saClient);
    w1->SetOptions({spBold, spFramed});
    w1->SetColor(255);
    w1->SetRatio(0.1);
    w1->SetCaption(QStringLiteral("Line\r\nbreak"));
    w1->Lines()->Add(QStringLiteral("first"));
    w1->Lines()->Add(QString());
    w1->Lines()->Add(QStringLiteral("Tämä  rivi"));
    w1->Font()->SetName(QStringLiteral("Times New Roman"));
    w1->Font()->SetSize(11);
    w1->Font()->SetStyle({spItalic});
    w1->Cells() = {{0, 0, QStringLiteral("A")}, {11, 65535, QStringLiteral("Ö")}};
    w1->Blob() = QByteArray("\x00\x01\xfe\xff binary", 11);
    w1->OnClick = [](TObject*) {};
    w1->SetBoundMethodName(QStringLiteral("OnClick"), QStringLiteral("WidgetClick"));
    auto* w2 = new TSampleWidget(form.get());
    w2->SetName(QStringLiteral("W2"));
    w1->SetBuddy(w2);
    auto* item = static_cast<TSampleItem*>(w1->Items()->Add());
    item->SetCaption(QStringLiteral("first item"));
    item->SetValue(3);
    item->SetTarget(w2);
    item->OnFire = [](TObject*) {};
    item->SetBoundMethodName(QStringLiteral("OnFire"), QStringLiteral("WidgetClick"));
    w1->Items()->Add();
    auto* p1 = new TSamplePanel(form.get());
    p1->SetName(QStringLiteral("P1"));
    auto* w3 = new TSampleWidget(form.get());
    w3->SetName(QStringLiteral("W3"));
    w3->SetParentWidget(p1);
    w3->SetBuddy(w1);
    form->SetFocus(w3);
    return form;
  }

  static TSampleWidget* Widget(TComponent* form, const char* name) {
    return dynamic_cast<TSampleWidget*>(form->FindComponent(QString::fromLatin1(name)));
  }
};

TEST_F(FormRoundTrip, WriteReadWriteGivesTheSameText) {
  auto original = BuildSample();
  QByteArray text = WriteComponentText(original.get());
  TSampleForm copy(nullptr);
  ReadRootComponent(&copy, text, QStringLiteral("sample.form"));
  EXPECT_EQ(WriteComponentText(&copy), text) << text.constData();
}

TEST_F(FormRoundTrip, EveryKindComesBack) {
  auto original = BuildSample();
  TSampleForm copy(nullptr);
  ReadRootComponent(&copy, WriteComponentText(original.get()), QStringLiteral("sample.form"));
  EXPECT_EQ(copy.Name(), QStringLiteral("Form1"));
  EXPECT_EQ(copy.Title(), original->Title());
  TSampleWidget* w1 = Widget(&copy, "W1");
  ASSERT_NE(w1, nullptr);
  EXPECT_EQ(w1->Width(), -10);
  EXPECT_EQ(w1->Big(), std::int64_t{1} << 40);
  EXPECT_EQ(w1->Small(), 65535);
  EXPECT_FALSE(w1->Enabled());
  EXPECT_EQ(w1->Align(), saClient);
  EXPECT_EQ(w1->Options(), (TSampleOptions{spBold, spFramed}));
  EXPECT_EQ(w1->Color(), 255);
  EXPECT_EQ(w1->Ratio(), 0.1);
  EXPECT_EQ(w1->Caption(), QStringLiteral("Line\r\nbreak"));
  EXPECT_EQ(w1->Lines()->Text(), QStringLiteral("first\r\n\r\nTämä  rivi\r\n"));
  EXPECT_EQ(w1->Font()->Name(), QStringLiteral("Times New Roman"));
  EXPECT_EQ(w1->Font()->Size(), 11);
  EXPECT_EQ(w1->Font()->Style(), TSampleOptions{spItalic});
  EXPECT_EQ(w1->Cells(), (QList<TSampleWidget::Cell>{{0, 0, "A"}, {11, 65535, "Ö"}}));
  EXPECT_EQ(w1->Blob(), QByteArray("\x00\x01\xfe\xff binary", 11));
  EXPECT_EQ(w1->Buddy(), Widget(&copy, "W2"));
  ASSERT_EQ(w1->Items()->Count(), 2);
  EXPECT_EQ(w1->Items()->ItemAt(0)->Caption(), QStringLiteral("first item"));
  EXPECT_EQ(w1->Items()->ItemAt(0)->Target(), Widget(&copy, "W2"));
  EXPECT_EQ(Widget(&copy, "W3")->ParentWidget(), Widget(&copy, "P1"));
  EXPECT_EQ(Widget(&copy, "W3")->Buddy(), w1);
  EXPECT_EQ(copy.Focus(), Widget(&copy, "W3"));
}

TEST_F(FormRoundTrip, EventsAreBoundToTheRootsMethods) {
  auto original = BuildSample();
  TSampleForm copy(nullptr);
  ReadRootComponent(&copy, WriteComponentText(original.get()), QStringLiteral("sample.form"));
  TSampleWidget* w1 = Widget(&copy, "W1");
  ASSERT_TRUE(w1->OnClick);
  w1->OnClick(w1);
  w1->Items()->ItemAt(0)->OnFire(w1);
  EXPECT_EQ(copy.clicks, 2);
  EXPECT_FALSE(w1->Items()->ItemAt(1)->OnFire);
  EXPECT_EQ(w1->BoundMethodName(QStringLiteral("OnClick")), QStringLiteral("WidgetClick"));
}

TEST_F(FormRoundTrip, WrittenTextHasTheDocumentedShape) {
  TSampleForm form(nullptr);
  form.SetName(QStringLiteral("Form1"));
  auto* w = new TSampleWidget(&form);
  w->SetName(QStringLiteral("Label1"));
  w->SetWidth(5);
  w->SetAlign(saLeft);
  w->SetOptions({spBold, spItalic});
  w->SetColor(255);
  w->SetRatio(2);
  w->SetCaption(QStringLiteral("It's"));
  w->Lines()->Add(QStringLiteral("a"));
  w->Lines()->Add(QStringLiteral("b"));
  w->Font()->SetSize(10);
  static_cast<TSampleItem*>(w->Items()->Add())->SetValue(7);
  w->Blob() = QByteArray("\x01\xAB", 2);
  w->Cells() = {{1, 2, QStringLiteral("x")}};
  const char* expected =
      "object Form1: TSampleForm\n"
      "  object Label1: TSampleWidget\n"
      "    Width = 5\n"
      "    Align = saLeft\n"
      "    Options = [spBold, spItalic]\n"
      "    Color = clRed\n"
      "    Ratio = 2.0\n"
      "    Caption = 'It''s'\n"
      "    Lines = (\n"
      "      'a'\n"
      "      'b')\n"
      "    Font.Size = 10\n"
      "    Items = <\n"
      "      item\n"
      "        Value = 7\n"
      "      end>\n"
      "    CellData = (\n"
      "      1\n"
      "      2\n"
      "      'x')\n"
      "    Blob = {\n"
      "      01AB}\n"
      "  end\n"
      "end\n";
  EXPECT_EQ(WriteComponentText(&form), QByteArray(expected));
}

TEST_F(FormRoundTrip, DefaultsAreNotWritten) {
  TSampleForm form(nullptr);
  form.SetName(QStringLiteral("Form1"));
  auto* w = new TSampleWidget(&form);
  w->SetName(QStringLiteral("Plain"));
  // Width has no default, so it is always written; the rest keep defaults.
  EXPECT_EQ(WriteComponentText(&form),
            QByteArray("object Form1: TSampleForm\n"
                       "  object Plain: TSampleWidget\n"
                       "    Width = 0\n"
                       "  end\n"
                       "end\n"));
}

TEST_F(FormRoundTrip, AnEmptyTextReadsBackAsItselfWhereTheDefaultIsNot) {
  TSampleForm form(nullptr);
  form.SetName(QStringLiteral("Form1"));
  auto* w = new TSampleWidget(&form);
  w->SetName(QStringLiteral("Plain"));
  w->Font()->SetName(QString());
  const QByteArray text = WriteComponentText(&form);
  EXPECT_TRUE(text.contains("    Font.Name = ''\n")) << text.constData();
  TSampleForm copy(nullptr);
  ReadRootComponent(&copy, text, QStringLiteral("empty.form"));
  auto* read = dynamic_cast<TSampleWidget*>(copy.FindComponent(QStringLiteral("Plain")));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Font()->Name(), QString());
  EXPECT_EQ(WriteComponentText(&copy), text);
}

TEST_F(FormRoundTrip, LongStringsAreSplitAndJoined) {
  TSampleForm form(nullptr);
  form.SetName(QStringLiteral("F"));
  QString title;
  for (int i = 0; i < 40; ++i) title += QStringLiteral("word%1 \U0001F600").arg(i);
  form.SetTitle(title);
  QByteArray text = WriteComponentText(&form);
  EXPECT_GT(text.count('\n'), 5) << text.constData();
  EXPECT_TRUE(text.contains("' +\n")) << text.constData();
  TSampleForm copy(nullptr);
  ReadRootComponent(&copy, text, QStringLiteral("long.form"));
  EXPECT_EQ(copy.Title(), title);
}

TEST_F(FormRoundTrip, LoneSurrogatesAndControlsSurvive) {
  TSampleForm form(nullptr);
  form.SetName(QStringLiteral("F"));
  QString title = QStringLiteral("a") + QChar(0xDC00) + QChar(0) + QChar(0x7F) + QChar(0xD800);
  form.SetTitle(title);
  TSampleForm copy(nullptr);
  ReadRootComponent(&copy, WriteComponentText(&form), QStringLiteral("s.form"));
  EXPECT_EQ(copy.Title(), title);
}

TEST_F(FormRoundTrip, FloatsComeBackExactly) {
  const double values[] = {0.1, -1e-300, 1.7976931348623157e308, 5e-324, 123456789.125, -2};
  for (double v : values) {
    TSampleForm form(nullptr);
    form.SetName(QStringLiteral("F"));
    auto* w = new TSampleWidget(&form);
    w->SetRatio(v);
    TSampleForm copy(nullptr);
    QByteArray text = WriteComponentText(&form);
    ReadRootComponent(&copy, text, QStringLiteral("f.form"));
    ASSERT_EQ(copy.ComponentCount(), 1) << text.constData();
    EXPECT_EQ(static_cast<TSampleWidget*>(copy.Components(0))->Ratio(), v) << text.constData();
  }
}

TEST_F(FormRoundTrip, UnstorableReferenceRaisesWriteError) {
  TSampleForm form(nullptr);
  form.SetName(QStringLiteral("F"));
  TSampleForm other(nullptr);
  auto* foreign = new TSampleWidget(&other);
  foreign->SetName(QStringLiteral("Foreign"));
  auto* w = new TSampleWidget(&form);
  w->SetBuddy(foreign);
  EXPECT_THROW(WriteComponentText(&form), EWriteError);
}

TEST_F(FormRoundTrip, EventsSetByCodeAreNotWritten) {
  TSampleForm form(nullptr);
  form.SetName(QStringLiteral("F"));
  auto* w = new TSampleWidget(&form);
  w->OnClick = [](TObject*) {};
  EXPECT_FALSE(WriteComponentText(&form).contains("OnClick"));
}

class FormReading : public FormRoundTrip {};

const char kOrderForm[] =
    "object Form1: TSampleForm\n"
    "  Focus = B\n"
    "  object A: TSampleWidget\n"
    "    Buddy = B\n"
    "    Caption = 'a'\n"
    "  end\n"
    "  object P: TSamplePanel\n"
    "    object B: TSampleWidget\n"
    "      Buddy = A\n"
    "      OnClick = WidgetClick\n"
    "      OnValue = ValueChanged\n"
    "    end\n"
    "  end\n"
    "end\n";

TEST_F(FormReading, LoadedRunsInCreationOrderAfterFixups) {
  TSampleForm form(nullptr);
  ReadRootComponent(&form, kOrderForm, QStringLiteral("order.form"));
  EXPECT_EQ(SampleLog(),
            QStringList({"Loaded Form1", "Loaded A buddy=B", "Loaded P buddy=-", "Loaded B buddy=A"}));
}

TEST_F(FormReading, LoadingStateDuringAndAfterTheRead) {
  TSampleForm form(nullptr);
  ReadRootComponent(&form, kOrderForm, QStringLiteral("order.form"));
  TSampleWidget* a = Widget(&form, "A");
  EXPECT_TRUE(a->captionSetWhileLoading);
  for (TComponent* c : {static_cast<TComponent*>(&form), static_cast<TComponent*>(a)}) {
    EXPECT_FALSE(c->ComponentState().Contains(csLoading));
    EXPECT_FALSE(c->ComponentState().Contains(csReading));
  }
  a->SetCaption(QStringLiteral("later"));
  EXPECT_FALSE(a->captionSetWhileLoading);
}

TEST_F(FormReading, ChildrenAreOwnedByTheRootAndParentedByNesting) {
  TSampleForm form(nullptr);
  ReadRootComponent(&form, kOrderForm, QStringLiteral("order.form"));
  ASSERT_EQ(form.ComponentCount(), 3);
  EXPECT_EQ(Widget(&form, "A")->parentSeen, &form);
  EXPECT_EQ(Widget(&form, "B")->parentSeen, Widget(&form, "P"));
  EXPECT_EQ(Widget(&form, "B")->Owner(), &form);
  EXPECT_EQ(form.Focus(), Widget(&form, "B"));
  Widget(&form, "B")->OnValue(nullptr, 42);
  EXPECT_EQ(form.lastValue, 42);
}

TEST_F(FormReading, ReadRootFromFileNamesTheFileInErrors) {
  QString path = qxtest::TempPath(QStringLiteral("forms/broken.form"));
  qxtest::WriteBytes(path, "object F: TSampleForm\n  Nope = 1\nend\n");
  TSampleForm form(nullptr);
  try {
    ReadRootComponentFile(&form, path);
    ADD_FAILURE() << "no exception";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("broken.form(2): Property TSampleForm.Nope does not exist"));
  }
  EXPECT_THROW(ReadRootComponentFile(&form, qxtest::TempPath(QStringLiteral("missing.form"))),
               EFOpenError);
}

TEST_F(FormReading, SecondInstanceOfAFormGetsAUniqueName) {
  TComponent application(nullptr);
  auto* first = new TSampleForm(&application);
  ReadRootComponent(first, kOrderForm, QStringLiteral("order.form"));
  auto* second = new TSampleForm(&application);
  ReadRootComponent(second, kOrderForm, QStringLiteral("order.form"));
  EXPECT_EQ(first->Name(), QStringLiteral("Form1"));
  EXPECT_EQ(second->Name(), QStringLiteral("Form1_1"));
}

TEST_F(FormReading, ReadComponentTextCreatesTheRoot) {
  TComponent owner(nullptr);
  TComponent* root = ReadComponentText(kOrderForm, QStringLiteral("order.form"), &owner);
  ASSERT_NE(dynamic_cast<TSampleForm*>(root), nullptr);
  EXPECT_EQ(root->Owner(), &owner);
  EXPECT_EQ(root->ComponentCount(), 3);
}

TEST_F(FormReading, OlderPropertyIsReadButNotWritten) {
  TSampleForm form(nullptr);
  ReadRootComponent(&form,
                    "object F: TSampleForm\n  object W: TSampleWidget\n    OldColor = 255\n"
                    "  end\nend\n",
                    QStringLiteral("old.form"));
  EXPECT_EQ(Widget(&form, "W")->Color(), 255);
  QByteArray text = WriteComponentText(&form);
  EXPECT_TRUE(text.contains("Color = clRed"));
  EXPECT_FALSE(text.contains("OldColor"));
}

TEST_F(FormReading, IdentifiersAndKeywordsIgnoreCase) {
  TSampleForm form(nullptr);
  ReadRootComponent(&form,
                    "OBJECT F: tsampleform\n  Object W: TSAMPLEWIDGET\n    enabled = TRUE\n"
                    "    align = SACLIENT\n    COLOR = CLRED\n    font.size = 3\n  END\nEnd\n",
                    QStringLiteral("case.form"));
  TSampleWidget* w = Widget(&form, "W");
  EXPECT_EQ(w->Align(), saClient);
  EXPECT_EQ(w->Color(), 255);
  EXPECT_EQ(w->Font()->Size(), 3);
}

}  // namespace

namespace {

class TSampleCounter : public TComponent {
 public:
  using TComponent::TComponent;
  int Count() const { return 7; }
  static void DeclareProperties(TClassBuilder<TSampleCounter, TComponent>& b) {
    b.Property("Count", &TSampleCounter::Count);
  }
};

TEST(FormReadOnly, ReadOnlyPropertyIsNotWrittenAndCannotBeRead) {
  TSampleCounter counter(nullptr);
  counter.SetName(QStringLiteral("C"));
  EXPECT_EQ(WriteComponentText(&counter), QByteArray("object C: TSampleCounter\nend\n"));
  TSampleCounter other(nullptr);
  try {
    ReadRootComponent(&other, "object C: TSampleCounter\n  Count = 3\nend\n", QStringLiteral("ro.form"));
    ADD_FAILURE() << "no exception";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("ro.form(2): Property TSampleCounter.Count is read-only"));
  }
}

TEST(FormWriting, FormsDeeperThanTheReaderTakesAreRefused) {
  RegisterSampleClasses();
  TSampleForm form(nullptr);
  form.SetName(QStringLiteral("F"));
  TSampleWidget* parent = nullptr;
  for (int i = 0; i < kMaxFormNesting; ++i) {
    auto* w = new TSampleWidget(&form);
    w->SetParentWidget(parent);
    parent = w;
  }
  EXPECT_THROW(WriteComponentText(&form), EWriteError);
  form.DestroyComponents();
  for (int i = 0; i < kMaxFormNesting - 1; ++i) {
    auto* w = new TSampleWidget(&form);
    w->SetParentWidget(i == 0 ? nullptr : static_cast<TSampleWidget*>(form.Components(i - 1)));
  }
  QByteArray text = WriteComponentText(&form);
  TSampleForm copy(nullptr);
  EXPECT_NO_THROW(ReadRootComponent(&copy, text, QStringLiteral("deep.form")));
  EXPECT_EQ(copy.ComponentCount(), kMaxFormNesting - 1);
}

}  // namespace
