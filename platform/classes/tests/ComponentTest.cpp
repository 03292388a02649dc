#include "SampleClasses.h"

#include "platform/classes/Component.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Records the notifications a component receives.
class TListener : public TComponent {
 public:
  using TComponent::TComponent;
  QStringList seen;
  TComponent* watched = nullptr;
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    seen.append(QStringLiteral("%1 %2").arg(operation == opInsert ? "insert" : "remove",
                                           component->Name()));
    if (operation == opRemove && component == watched) watched = nullptr;
  }
};

// Logs its own destruction.
class TLogged : public TComponent {
 public:
  using TComponent::TComponent;
  ~TLogged() override { SampleLog().append(QStringLiteral("free ") + Name()); }
};

TEST(ComponentOwnership, OwnerFreesItsComponentsLastFirst) {
  SampleLog().clear();
  auto* owner = new TComponent(nullptr);
  for (const char* name : {"A", "B", "C"}) (new TLogged(owner))->SetName(QString::fromLatin1(name));
  EXPECT_EQ(owner->ComponentCount(), 3);
  owner->Free();
  EXPECT_EQ(SampleLog(), QStringList({"free C", "free B", "free A"}));
}

TEST(ComponentOwnership, FreedComponentLeavesItsOwner) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  a->Free();
  ASSERT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(owner.Components(0), b);
  EXPECT_EQ(b->ComponentIndex(), 0);
  delete b;  // a plain delete works as well
  EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST(ComponentOwnership, InsertMovesBetweenOwnersAndRejectsCycles) {
  TComponent first(nullptr);
  TComponent second(nullptr);
  auto* c = new TComponent(&first);
  second.InsertComponent(c);
  EXPECT_EQ(first.ComponentCount(), 0);
  EXPECT_EQ(c->Owner(), &second);
  auto* grandChild = new TComponent(c);
  EXPECT_THROW(grandChild->InsertComponent(c), EComponentError);
  EXPECT_THROW(c->InsertComponent(c), EComponentError);
}

TEST(ComponentOwnership, ComponentsOutOfRangeRaises) {
  TComponent owner(nullptr);
  EXPECT_THROW(owner.Components(0), EListError);
  EXPECT_THROW(owner.Components(-1), EListError);
}

TEST(ComponentOwnership, SetComponentIndexMovesAndClamps) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  auto* c = new TComponent(&owner);
  c->SetComponentIndex(0);
  EXPECT_EQ(owner.Components(0), c);
  a->SetComponentIndex(99);
  EXPECT_EQ(owner.Components(2), a);
  EXPECT_EQ(b->ComponentIndex(), 1);
}

TEST(ComponentState, DestroyingIsSetBeforeOwnedComponentsGo) {
  auto* owner = new TComponent(nullptr);
  auto* child = new TListener(owner);
  child->SetName(QStringLiteral("Child"));
  bool childSawDestroying = false;
  struct TProbe : TComponent {
    using TComponent::TComponent;
    bool* flag = nullptr;
    ~TProbe() override { *flag = Owner() == nullptr && ComponentState().Contains(csDestroying); }
  };
  auto* probe = new TProbe(owner);
  probe->flag = &childSawDestroying;
  owner->Free();
  EXPECT_TRUE(childSawDestroying);
}

// Its own destruction step needs the complete object.
class TTidy : public TComponent {
 public:
  using TComponent::TComponent;
  QString Farewell() const { return QStringLiteral("bye ") + Name(); }

 protected:
  void BeforeDestruction() override {
    SampleLog().append(Farewell());
    TComponent::BeforeDestruction();
  }
};

TEST(ComponentState, BeforeDestructionRunsOnTheCompleteObject) {
  SampleLog().clear();
  auto* owner = new TComponent(nullptr);
  (new TTidy(owner))->SetName(QStringLiteral("A"));
  auto* b = new TTidy(nullptr);
  b->SetName(QStringLiteral("B"));
  owner->Free();
  b->Free();
  EXPECT_EQ(SampleLog(), QStringList({"bye A", "bye B"}));
}

TEST(ComponentState, DesigningIsNeverSet) {
  TComponent c(nullptr);
  EXPECT_FALSE(c.ComponentState().Contains(csDesigning));
  EXPECT_FALSE(c.ComponentState().Contains(csLoading));
}

TEST(ComponentNotification, OwnerPassesInsertAndRemoveToItsComponents) {
  TComponent owner(nullptr);
  auto* listener = new TListener(&owner);
  auto* other = new TComponent(&owner);
  other->SetName(QStringLiteral("Other"));
  other->Free();
  // The listener hears only of Other: while it is inserted itself it is not
  // yet a TListener.
  EXPECT_EQ(listener->seen, QStringList({"insert ", "remove Other"}));
}

TEST(ComponentNotification, FreeNotificationReachesComponentsOfOtherOwners) {
  TComponent formA(nullptr);
  TComponent formB(nullptr);
  auto* listener = new TListener(&formA);
  auto* target = new TComponent(&formB);
  target->SetName(QStringLiteral("Target"));
  listener->watched = target;
  target->FreeNotification(listener);
  EXPECT_TRUE(target->ComponentState().Contains(csFreeNotification));
  target->Free();
  EXPECT_EQ(listener->watched, nullptr);
  EXPECT_TRUE(listener->seen.contains(QStringLiteral("remove Target")));
}

TEST(ComponentNotification, RemovedRequestIsNotNotified) {
  TComponent formA(nullptr);
  auto* listener = new TListener(nullptr);
  std::unique_ptr<TListener> keep(listener);
  auto* target = new TComponent(&formA);
  target->FreeNotification(listener);
  target->RemoveFreeNotification(listener);
  target->Free();
  EXPECT_TRUE(listener->seen.isEmpty());
}

TEST(ComponentNotification, FreedListenerIsNotCalledLater) {
  auto* target = new TComponent(nullptr);
  auto* listener = new TListener(nullptr);
  target->FreeNotification(listener);
  listener->Free();  // the request is mutual: the target forgets the listener
  target->Free();    // would touch freed memory otherwise (AddressSanitizer)
  SUCCEED();
}

TEST(ComponentNotification, ReferenceToSiblingIsClearedWhenOwnerFrees) {
  SampleLog().clear();
  auto* form = new TSampleForm(nullptr);
  auto* a = new TSampleWidget(form);
  auto* b = new TSampleWidget(form);
  b->SetBuddy(a);
  form->SetFocus(a);
  a->Free();
  EXPECT_EQ(b->Buddy(), nullptr);
  EXPECT_EQ(form->Focus(), nullptr);
  // b refers to a sibling freed later during the owner's own destruction.
  auto* c = new TSampleWidget(form);
  c->SetBuddy(b);
  form->Free();
  SUCCEED();
}

TEST(ComponentNames, ValidNamesAreIdentifiers) {
  struct Case {
    const char* name;
    bool valid;
  };
  const Case cases[] = {{"Button1", true},  {"_x", true},     {"a_1_b", true}, {"1abc", false},
                        {"has space", false}, {"dot.ted", false}, {"ä", false},   {"x-y", false}};
  for (const Case& c : cases) {
    TComponent component(nullptr);
    QString name = QString::fromUtf8(c.name);
    if (c.valid) {
      EXPECT_NO_THROW(component.SetName(name)) << c.name;
      EXPECT_EQ(component.Name(), name);
    } else {
      try {
        component.SetName(name);
        ADD_FAILURE() << c.name << " accepted";
      } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("''%1'' is not a valid component name").arg(name));
      }
    }
  }
}

TEST(ComponentNames, UniqueWithinOwnerWithoutRegardToCase) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  a->SetName(QStringLiteral("Button1"));
  auto* b = new TComponent(&owner);
  try {
    b->SetName(QStringLiteral("BUTTON1"));
    ADD_FAILURE() << "duplicate accepted";
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("A component named BUTTON1 already exists"));
  }
  EXPECT_TRUE(b->Name().isEmpty());
  EXPECT_NO_THROW(a->SetName(QStringLiteral("button1")));  // only the case changes
  EXPECT_EQ(owner.FindComponent(QStringLiteral("BUTTON1")), a);
  EXPECT_EQ(owner.FindComponent(QString()), nullptr);
  // Components of different owners may share a name.
  TComponent other(nullptr);
  auto* c = new TComponent(&other);
  EXPECT_NO_THROW(c->SetName(QStringLiteral("Button1")));
  // Moving a component to an owner that has its name is refused.
  EXPECT_THROW(owner.InsertComponent(c), EComponentError);
  EXPECT_EQ(c->Owner(), &other);
}

TEST(ComponentMethods, MethodTableBindsByNameWithoutRegardToCase) {
  TSampleForm form(nullptr);
  const std::any* method = form.FindMethod(QStringLiteral("widgetclick"));
  ASSERT_NE(method, nullptr);
  const auto* fn = std::any_cast<TNotifyEvent>(method);
  ASSERT_NE(fn, nullptr);
  (*fn)(nullptr);
  EXPECT_EQ(form.clicks, 1);
  EXPECT_EQ(form.FindMethod(QStringLiteral("Nothing")), nullptr);
}

TEST(ComponentFree, FreeAndNilClearsThePointer) {
  auto* c = new TComponent(nullptr);
  FreeAndNil(c);
  EXPECT_EQ(c, nullptr);
  FreeAndNil(c);  // nothing happens
}

}  // namespace
