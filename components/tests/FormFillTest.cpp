// The background fill: style names, the "Philadelphia" card, seeded tiles,
// and the parent hook that keeps the parent from erasing.
#include "components/FormFill.h"
#include "platform/controls/Form.h"
#include "platform/controls/Messages.h"
#include "platform/graphics/Colors.h"
#include "platform/rtl/Random.h"

#include <QCryptographicHash>
#include <QImage>

#include <gtest/gtest.h>

#include <memory>

namespace {

class FormFill : public testing::Test {
 protected:
  void SetUp() override {
    RegisterFormFillClasses();
    form = std::make_unique<TForm>(nullptr);
    form->SetColor(clSilver);
    form->SetClientWidth(473);
    form->SetClientHeight(281);
    fill = new TPwFormFill(form.get());
    fill->SetParent(form.get());
    fill->SetColor(clSilver);
  }
  void TearDown() override { form.reset(); }

  QImage Client() {
    form->Show();
    const QImage image = fill->PaintToImage();
    return image;
  }
  TColor At(const QImage& image, int x, int y) { return QRgbToColor(image.pixel(x, y)); }

  std::unique_ptr<TForm> form;
  TPwFormFill* fill = nullptr;
};

TEST_F(FormFill, NamesFollowTheSortedRegistry) {
  EXPECT_EQ(fill->FillType(), QStringLiteral("Adobe"));
  EXPECT_EQ(FillStyleNames().size(), 17);
  EXPECT_EQ(FillStyleNames().indexOf(QStringLiteral("Philadelphia")), 13);
  fill->SetFillType(QStringLiteral("philadelphia"));
  EXPECT_EQ(fill->FillType(), QStringLiteral("Philadelphia"));
  fill->SetFillType(QStringLiteral("Nowhere"));
  EXPECT_EQ(fill->FillType(), QStringLiteral("Philadelphia"));
  EXPECT_EQ(fill->Align(), alClient);
}

TEST_F(FormFill, PhiladelphiaIsACardWithAShadow) {
  fill->SetFillType(QStringLiteral("Philadelphia"));
  const QImage image = Client();
  ASSERT_EQ(image.size(), QSize(473, 281));
  const TColor shadow = ColorToRGB(clBtnShadow);
  for (const auto& [x, y] : {std::pair{0, 0}, {4, 140}, {468, 140}, {200, 276}, {472, 280}, {8, 272}})
    EXPECT_EQ(At(image, x, y), clSilver) << x << "," << y;
  // The card (5, 5)-(460, 268) inclusive, outlined in black.
  for (const auto& [x, y] : {std::pair{5, 5}, {460, 5}, {5, 268}, {460, 268}, {200, 5}, {5, 100}})
    EXPECT_EQ(At(image, x, y), clBlack) << x << "," << y;
  EXPECT_EQ(At(image, 6, 6), clWhite);
  EXPECT_EQ(At(image, 459, 267), clWhite);
  // The 7-pixel shadow below and right of it.
  for (const auto& [x, y] : {std::pair{12, 269}, {467, 275}, {461, 12}, {467, 12}, {300, 272}})
    EXPECT_EQ(At(image, x, y), shadow) << x << "," << y;
  EXPECT_EQ(At(image, 11, 270), clSilver);
  EXPECT_EQ(At(image, 462, 11), clSilver);
}

// Seeded styles draw the same pixels every time; the hashes are golden.
TEST_F(FormFill, SeededStylesAreGolden) {
  form->SetClientWidth(97);
  form->SetClientHeight(61);
  QStringList hashes;
  for (const QString& name : FillStyleNames()) {
    fill->SetFillType(name);
    SetRandSeed(1234);
    const QImage first = Client();
    SetRandSeed(1234);
    const QImage second = Client();
    EXPECT_EQ(first, second) << name.toStdString();
    const QByteArray bytes(reinterpret_cast<const char*>(first.constBits()), first.sizeInBytes());
    hashes << name + QLatin1Char(' ') +
                  QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex().left(8));
  }
  // Each style's pixels at seed 1234 (the first 8 hex digits of their MD5).
  const QStringList golden = {
      QStringLiteral("Adobe 47587c9f"),
      QStringLiteral("Alcatraz 9db24b85"),
      QStringLiteral("ElPaso b2d449c2"),
      QStringLiteral("Hanoi 808bb965"),
      QStringLiteral("Harvard 91b34b8b"),
      QStringLiteral("Holes 09f986ec"),
      QStringLiteral("Hollywood 0ba1da72"),
      QStringLiteral("Honolulu 366ffe9d"),
      QStringLiteral("London a1126530"),
      QStringLiteral("Manhattan 2e995a09"),
      QStringLiteral("Minsk 888866bc"),
      QStringLiteral("Orleans e71f54f9"),
      QStringLiteral("Oshawa f606c85c"),
      QStringLiteral("Philadelphia 97aeba55"),
      QStringLiteral("Pittsburg 569308c2"),
      QStringLiteral("Sahara cab47605"),
      QStringLiteral("Smithsonian f8895b07"),
  };
  EXPECT_EQ(hashes, golden) << hashes.join(QLatin1String("\", \"")).toStdString();
  // Every style draws something of its own.
  QStringList distinct;
  for (const QString& h : hashes) distinct << h.section(QLatin1Char(' '), 1);
  distinct.removeDuplicates();
  EXPECT_EQ(distinct.size(), 17) << hashes.join(QLatin1Char('\n')).toStdString();
}

TEST_F(FormFill, LowClientsEndTheirLoops) {
  for (const QString& name : FillStyleNames()) {
    fill->SetFillType(name);
    for (int h : {0, 1, 3, 7}) {
      form->SetClientHeight(h);
      form->SetClientWidth(h);
      EXPECT_NO_THROW(Client()) << name.toStdString() << " " << h;
    }
  }
}

TEST_F(FormFill, TheParentIsNotErasedWhileTheFillShows) {
  auto parent = std::make_unique<TForm>(nullptr);
  int erases = 0;
  const TWndMethod own = parent->WindowProc;
  parent->WindowProc = TWndMethod([&erases, own](TMessage& m) {
    erases += m.Msg == WM_ERASEBKGND;
    own(m);
  });
  auto* f = new TPwFormFill(parent.get());
  f->SetParent(parent.get());
  EXPECT_EQ(parent->Perform(WM_ERASEBKGND, 0, 0), 1);
  EXPECT_EQ(erases, 0);
  f->SetVisible(false);
  parent->Perform(WM_ERASEBKGND, 0, 0);
  EXPECT_EQ(erases, 1);
  // A second fill on the same parent does not hook it.
  const TWndMethod hooked = parent->WindowProc;
  auto* second = new TPwFormFill(parent.get());
  second->SetParent(parent.get());
  EXPECT_TRUE(parent->WindowProc == hooked);
  second->Free();
  // A hook installed after the fill survives the fill's going, and the
  // fill's own link only passes messages on.
  int seen = 0;
  parent->WindowProc = TWndMethod([&seen, hooked](TMessage& m) {
    ++seen;
    hooked(m);
  });
  const TWndMethod later = parent->WindowProc;
  f->SetVisible(true);
  f->Free();
  EXPECT_TRUE(parent->WindowProc == later);
  parent->Perform(WM_ERASEBKGND, 0, 0);
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(erases, 2);
  parent->WindowProc = own;
}

TEST_F(FormFill, FreedFillRestoresTheParentsProcedure) {
  auto* other = new TForm(nullptr);
  const TWndMethod own = other->WindowProc;
  auto* f = new TPwFormFill(other);
  f->SetParent(other);
  EXPECT_FALSE(other->WindowProc == own);
  f->SetParent(nullptr);
  EXPECT_TRUE(other->WindowProc == own);
  f->SetParent(other);
  other->Free();  // frees the fill with it
}

}  // namespace
