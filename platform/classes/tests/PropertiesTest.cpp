#include "SampleClasses.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

namespace {

QStringList NamesOf(const TMetaClass& meta) {
  QStringList names;
  for (const TPropInfo* p : meta.Properties()) names.append(p->name);
  return names;
}

// Redeclares an inherited property with another default.
class TSampleWideWidget : public TSampleWidget {
 public:
  explicit TSampleWideWidget(TComponent* owner) : TSampleWidget(owner) { SetWidth(100); }
  static void DeclareProperties(TClassBuilder<TSampleWideWidget, TSampleWidget>& b) {
    b.Property("Width", &TSampleWideWidget::Width, &TSampleWideWidget::SetWidth).Default(100);
  }
};

TEST(PropertyTables, InheritedPropertiesComeFirst) {
  const TMetaClass& meta = MetaClassOf<TSampleWidget>();
  QStringList names = NamesOf(meta);
  ASSERT_GE(names.size(), 3);
  EXPECT_EQ(names.mid(0, 3), QStringList({"Name", "Tag", "Width"}));
  EXPECT_EQ(meta.ClassParent(), &MetaClassOf<TComponent>());
  EXPECT_TRUE(meta.InheritsFrom(MetaClassOf<TPersistent>()));
  EXPECT_FALSE(MetaClassOf<TComponent>().InheritsFrom(meta));
}

TEST(PropertyTables, ClassWithoutDeclarationsSharesItsParentsTable) {
  const TMetaClass& panel = MetaClassOf<TSamplePanel>();
  EXPECT_EQ(panel.ClassName(), QStringLiteral("TSamplePanel"));
  EXPECT_EQ(panel.ClassParent(), &MetaClassOf<TSampleWidget>());
  EXPECT_EQ(NamesOf(panel), NamesOf(MetaClassOf<TSampleWidget>()));
  EXPECT_TRUE(panel.CanCreateComponent());
}

TEST(PropertyTables, RedeclarationReplacesInPlace) {
  const TMetaClass& wide = MetaClassOf<TSampleWideWidget>();
  EXPECT_EQ(NamesOf(wide), NamesOf(MetaClassOf<TSampleWidget>()));
  const TPropInfo* width = wide.FindProperty(QStringLiteral("width"));
  ASSERT_NE(width, nullptr);
  ASSERT_TRUE(width->ordDefault.has_value());
  EXPECT_EQ(*width->ordDefault, 100);
  EXPECT_FALSE(MetaClassOf<TSampleWidget>().FindProperty(QStringLiteral("Width"))->ordDefault);
}

TEST(PropertyTables, KindsFollowTheCppTypes) {
  const TMetaClass& meta = MetaClassOf<TSampleWidget>();
  struct Case {
    const char* name;
    TPropKind kind;
  };
  const Case cases[] = {{"Width", TPropKind::Integer},       {"Big", TPropKind::Int64},
                        {"Small", TPropKind::Integer},       {"Enabled", TPropKind::Boolean},
                        {"Align", TPropKind::Enumeration},   {"Options", TPropKind::Set},
                        {"Color", TPropKind::Integer},       {"Ratio", TPropKind::Float},
                        {"Caption", TPropKind::String},      {"Lines", TPropKind::Strings},
                        {"Font", TPropKind::Object},         {"Items", TPropKind::Collection},
                        {"Buddy", TPropKind::Component},     {"OnClick", TPropKind::Event}};
  for (const Case& c : cases) {
    const TPropInfo* info = meta.FindProperty(QString::fromLatin1(c.name));
    ASSERT_NE(info, nullptr) << c.name;
    EXPECT_EQ(info->kind, c.kind) << c.name;
  }
  const TPropInfo* small = meta.FindProperty(QStringLiteral("Small"));
  EXPECT_EQ(small->minValue, 0);
  EXPECT_EQ(small->maxValue, 65535);
}

TEST(PropertyTables, AccessorsReachTheObject) {
  TSampleWidget w(nullptr);
  const TMetaClass& meta = MetaClassOf<TSampleWidget>();
  meta.FindProperty(QStringLiteral("Options"))->setOrd(&w, 0b101);
  EXPECT_EQ(w.Options(), (TSampleOptions{spBold, spFramed}));
  meta.FindProperty(QStringLiteral("Caption"))->setString(&w, QStringLiteral("x"));
  EXPECT_EQ(w.Caption(), QStringLiteral("x"));
  TSampleWidget other(nullptr);
  EXPECT_TRUE(meta.FindProperty(QStringLiteral("Buddy"))->setComponent(&w, &other));
  EXPECT_EQ(w.Buddy(), &other);
  TComponent plain(nullptr);
  EXPECT_FALSE(meta.FindProperty(QStringLiteral("Buddy"))->setComponent(&w, &plain));
  EXPECT_EQ(w.Buddy(), &other);
}

TEST(EnumInfo, IdentifiersMatchWithoutRegardToCase) {
  std::int64_t v = -1;
  EXPECT_TRUE(kSampleAlignIdents.ToValue(QStringLiteral("SARIGHT"), v));
  EXPECT_EQ(v, saRight);
  EXPECT_FALSE(kSampleAlignIdents.ToValue(QStringLiteral("saMiddle"), v));
  QString ident;
  EXPECT_TRUE(kSampleColorIdents.ToIdent(255, ident));
  EXPECT_EQ(ident, QStringLiteral("clRed"));
  EXPECT_FALSE(kSampleColorIdents.ToIdent(7, ident));
}

TEST(ClassRegistry, FindsRegisteredClassesByName) {
  RegisterSampleClasses();
  RegisterSampleClasses();  // again: nothing changes
  EXPECT_EQ(GetClass(QStringLiteral("tsamplewidget")), &MetaClassOf<TSampleWidget>());
  EXPECT_EQ(GetClass(QStringLiteral("TSampleNothing")), nullptr);
  try {
    FindClass(QStringLiteral("TSampleNothing"));
    ADD_FAILURE() << "no exception";
  } catch (const EClassNotFound& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Class TSampleNothing not found"));
  }
  TComponent owner(nullptr);
  TComponent* created = CreateComponent(QStringLiteral("TSamplePanel"), &owner);
  EXPECT_NE(dynamic_cast<TSamplePanel*>(created), nullptr);
  EXPECT_EQ(created->Owner(), &owner);
  EXPECT_EQ(created->ClassName(), QStringLiteral("TSamplePanel"));
}

namespace other {
// Same name as a registered class, another type.
class TSampleWidget : public TComponent {
 public:
  using TComponent::TComponent;
};
}  // namespace other

TEST(ClassRegistry, SecondClassOfTheSameNameIsRefused) {
  RegisterSampleClasses();
  EXPECT_EQ(MetaClassOf<other::TSampleWidget>().ClassName(), QStringLiteral("TSampleWidget"));
  EXPECT_THROW(RegisterClass<other::TSampleWidget>(), EFilerError);
  EXPECT_EQ(GetClass(QStringLiteral("TSampleWidget")), &MetaClassOf<TSampleWidget>());
  UnRegisterClass<other::TSampleWidget>();  // not the registered one: no change
  EXPECT_EQ(GetClass(QStringLiteral("TSampleWidget")), &MetaClassOf<TSampleWidget>());
}

TEST(Persistent, AssignFallsBackToAssignToAndNamesBothClasses) {
  TSampleFont a;
  TSampleFont b;
  b.SetSize(12);
  a.Assign(&b);
  EXPECT_EQ(a.Size(), 12);
  TSampleWidget w(nullptr);
  try {
    a.Assign(&w);
    ADD_FAILURE() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Cannot assign a TSampleWidget to a TSampleFont"));
  }
  try {
    a.Assign(nullptr);
    ADD_FAILURE() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Cannot assign a nil to a TSampleFont"));
  }
}

TEST(Persistent, ClassNameWithoutMetadataIsTheCppName) {
  struct TUnlisted : TPersistent {};
  TUnlisted u;
  EXPECT_TRUE(u.ClassName().endsWith(QStringLiteral("TUnlisted")));
  TSampleWidget w(nullptr);
  EXPECT_EQ(w.GetOwner(), nullptr);
  TSampleWidget child(&w);
  EXPECT_EQ(child.GetOwner(), &w);
}

}  // namespace

namespace {

// Read-only properties and a getter that is not const.
class TSampleGauge : public TComponent {
 public:
  using TComponent::TComponent;
  int Reading() const { return 42; }
  TSampleAlign Mode() const { return saRight; }
  TSampleFont* Face() { return &face_; }

  static void DeclareProperties(TClassBuilder<TSampleGauge, TComponent>& b) {
    b.Property("Reading", &TSampleGauge::Reading);
    b.Property("Mode", &TSampleGauge::Mode, kSampleAlignIdents);
    b.Object("Face", &TSampleGauge::Face);
  }

 private:
  TSampleFont face_;
};

TEST(PropertyTables, ReadOnlyPropertiesAreListedButNotWritable) {
  const TMetaClass& meta = MetaClassOf<TSampleGauge>();
  TSampleGauge gauge(nullptr);
  const TPropInfo* reading = meta.FindProperty(QStringLiteral("Reading"));
  ASSERT_NE(reading, nullptr);
  EXPECT_EQ(reading->getOrd(&gauge), 42);
  EXPECT_FALSE(reading->IsWritable());
  EXPECT_FALSE(reading->IsStored(&gauge));
  EXPECT_EQ(meta.FindProperty(QStringLiteral("Mode"))->getOrd(&gauge), saRight);
  const TPropInfo* face = meta.FindProperty(QStringLiteral("Face"));
  EXPECT_EQ(face->getObject(&gauge), gauge.Face());
}

}  // namespace
