#include "installer/engine/routines_Components.h"

#include "platform/classes/Component.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A component that refuses one name outright.
class TPickyComponent : public TComponent {
 public:
  using TComponent::TComponent;
  void SetName(const QString& newName) override {
    if (newName == QStringLiteral("Refused"))
      throw EComponentError(QStringLiteral("refused"));
    TComponent::SetName(newName);
  }
};

class SetUniqueNameTest : public testing::Test {
 protected:
  TComponent* Child(const char* name = nullptr) {
    auto* child = new TComponent(owner_.get());  // owned by owner_
    if (name != nullptr)
      child->SetName(QString::fromLatin1(name));
    return child;
  }
  std::unique_ptr<TComponent> owner_ = std::make_unique<TComponent>(nullptr);
};

TEST_F(SetUniqueNameTest, FreeBaseIsTakenAsIs) {
  TComponent* c = Child();
  SetUniqueName(*c, QStringLiteral("Group"));
  EXPECT_EQ(c->Name(), QStringLiteral("Group"));
}

TEST_F(SetUniqueNameTest, TakenBaseTriesBase1Next) {
  Child("Group");
  TComponent* c = Child();
  SetUniqueName(*c, QStringLiteral("Group"));
  EXPECT_EQ(c->Name(), QStringLiteral("Group1"));
}

TEST_F(SetUniqueNameTest, CountsOnPastEveryTakenNumber) {
  Child("group");  // names compare without regard to case
  Child("Group1");
  Child("Group2");
  TComponent* c = Child();
  SetUniqueName(*c, QStringLiteral("Group"));
  EXPECT_EQ(c->Name(), QStringLiteral("Group3"));
}

TEST_F(SetUniqueNameTest, OwnCurrentNameIsNoObstacle) {
  TComponent* c = Child("Group");
  SetUniqueName(*c, QStringLiteral("Group"));
  EXPECT_EQ(c->Name(), QStringLiteral("Group"));
}

TEST_F(SetUniqueNameTest, InvalidBaseRaisesInsteadOfLoopingForever) {
  TComponent* c = Child("Before");
  EXPECT_THROW(SetUniqueName(*c, QStringLiteral("not valid")), EComponentError);
  EXPECT_THROW(SetUniqueName(*c, QStringLiteral("9lives")), EComponentError);
  EXPECT_EQ(c->Name(), QStringLiteral("Before"));
}

TEST_F(SetUniqueNameTest, ARefusalOfTheComponentItselfIsRaised) {
  auto* c = new TPickyComponent(owner_.get());
  EXPECT_THROW(SetUniqueName(*c, QStringLiteral("Refused")), EComponentError);
}

TEST(SetUniqueName, ComponentWithoutOwnerTakesTheBase) {
  TComponent c(nullptr);
  SetUniqueName(c, QStringLiteral("Lonely"));
  EXPECT_EQ(c.Name(), QStringLiteral("Lonely"));
}

}  // namespace
