#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Variant.h"

#include <gtest/gtest.h>

namespace {

TEST(VariantType, CodesOfEachConstructor) {
  EXPECT_EQ(VarType(Variant()), varEmpty);
  EXPECT_EQ(VarType(Unassigned), 0);
  EXPECT_EQ(VarType(Variant::Null()), 1);
  EXPECT_EQ(VarType(Variant(std::int16_t{3})), 2);
  EXPECT_EQ(VarType(Variant(3)), 3);
  EXPECT_EQ(VarType(Variant(1.5f)), 4);
  EXPECT_EQ(VarType(Variant(1.5)), 5);
  EXPECT_EQ(VarType(Variant::FromCurrency(15000)), 6);
  EXPECT_EQ(VarType(Variant::FromDateTime(36526.0)), 7);
  EXPECT_EQ(VarType(Variant::FromOleStr(QStringLiteral("x"))), 8);
  EXPECT_EQ(VarType(Variant(true)), 11);
  EXPECT_EQ(VarType(Variant(QStringLiteral("x"))), 0x100);
  EXPECT_EQ(VarType(Variant("x")), varString);
}

TEST(VariantToInteger, Rules) {
  EXPECT_EQ(Variant().AsInteger(), 0);
  EXPECT_EQ(Variant(std::int16_t{-7}).AsInteger(), -7);
  EXPECT_EQ(Variant(true).AsInteger(), -1);
  EXPECT_EQ(Variant(false).AsInteger(), 0);
  EXPECT_EQ(Variant("12").AsInteger(), 12);
  EXPECT_EQ(Variant(" -12 ").AsInteger(), -12);
  EXPECT_EQ(Variant("$10").AsInteger(), 16);
  EXPECT_EQ(Variant("2.5").AsInteger(), 2);
  EXPECT_EQ(Variant(3.5).AsInteger(), 4);
  EXPECT_EQ(Variant(-2.5).AsInteger(), -2);
  EXPECT_EQ(Variant::FromCurrency(25000).AsInteger(), 2);
  EXPECT_EQ(Variant::FromCurrency(35000).AsInteger(), 4);
}

TEST(VariantToInteger, Failures) {
  EXPECT_THROW(Variant::Null().AsInteger(), EVariantError);
  EXPECT_THROW(Variant("abc").AsInteger(), EVariantError);
  EXPECT_THROW(Variant("").AsInteger(), EVariantError);
  EXPECT_THROW(Variant(3e9).AsInteger(), EVariantError);
  EXPECT_THROW(Variant(std::numeric_limits<double>::quiet_NaN()).AsInteger(), EVariantError);
  try {
    Variant("abc").AsInteger();
    FAIL() << "no exception";
  } catch (const EVariantError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Could not convert variant of type (String) into type (Integer)"));
  }
}

TEST(VariantToDouble, Rules) {
  EXPECT_EQ(Variant().AsDouble(), 0.0);
  EXPECT_EQ(Variant(7).AsDouble(), 7.0);
  EXPECT_EQ(Variant(1.25f).AsDouble(), 1.25);
  EXPECT_EQ(Variant::FromCurrency(12345).AsDouble(), 1.2345);
  EXPECT_EQ(Variant::FromDateTime(36526.5).AsDouble(), 36526.5);
  EXPECT_EQ(Variant("1.5e2").AsDouble(), 150.0);
  EXPECT_EQ(Variant(true).AsDouble(), -1.0);
  EXPECT_THROW(Variant("1,5").AsDouble(), EVariantError);
  EXPECT_THROW(Variant::Null().AsDouble(), EVariantError);
}

TEST(VariantToString, Rules) {
  EXPECT_EQ(Variant().AsString(), QString());
  EXPECT_EQ(Variant(-42).AsString(), QStringLiteral("-42"));
  EXPECT_EQ(Variant(true).AsString(), QStringLiteral("True"));
  EXPECT_EQ(Variant(false).AsString(), QStringLiteral("False"));
  EXPECT_EQ(Variant(0.1).AsString(), QStringLiteral("0.1"));
  EXPECT_EQ(Variant(0.1f).AsString(), QStringLiteral("0.1"));
  EXPECT_EQ(Variant::FromCurrency(15000).AsString(), QStringLiteral("1.5"));
  EXPECT_EQ(Variant::FromDateTime(36526.0).AsString(), QStringLiteral("2000-01-01"));
  EXPECT_EQ(Variant::FromOleStr(QStringLiteral("ÅÄÖ")).AsString(), QStringLiteral("ÅÄÖ"));
  try {
    (void)Variant::Null().AsString();
    FAIL() << "no exception";
  } catch (const EVariantError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Could not convert variant of type (Null) into type (String)"));
  }
}

TEST(VariantToBoolean, Rules) {
  EXPECT_FALSE(Variant().AsBoolean());
  EXPECT_TRUE(Variant("True").AsBoolean());
  EXPECT_TRUE(Variant("true").AsBoolean());
  EXPECT_FALSE(Variant("FALSE").AsBoolean());
  EXPECT_TRUE(Variant("-1").AsBoolean());
  EXPECT_FALSE(Variant("0").AsBoolean());
  EXPECT_TRUE(Variant(2).AsBoolean());
  EXPECT_FALSE(Variant(0.0).AsBoolean());
  EXPECT_THROW(Variant("yes").AsBoolean(), EVariantError);
  EXPECT_THROW(Variant::Null().AsBoolean(), EVariantError);
}

TEST(VariantToDateTime, RoundTripsThroughText) {
  const TDateTime t = EncodeDate(2024, 3, 5) + EncodeTime(7, 8, 9, 0);
  const Variant v = Variant::FromDateTime(t);
  EXPECT_NEAR(Variant(v.AsString()).AsDateTime(), t, 1e-9);
  EXPECT_EQ(Variant("2000-01-01").AsDateTime(), 36526.0);
  EXPECT_EQ(Variant(36526.25).AsDateTime(), 36526.25);
  EXPECT_THROW(Variant("2000-02-30").AsDateTime(), EVariantError);
  EXPECT_THROW(Variant("tomorrow").AsDateTime(), EVariantError);
}

TEST(VariantCurrency, ScaledValue) {
  EXPECT_EQ(Variant(1.5).AsCurrency(), 15000);
  EXPECT_EQ(Variant::FromCurrency(-1).AsCurrency(), -1);
  EXPECT_EQ(Variant(3).AsCurrency(), 30000);
  EXPECT_THROW(Variant(1e300).AsCurrency(), EVariantError);
}

TEST(VariantEquality, TypeAndValue) {
  EXPECT_EQ(Variant(1), Variant(1));
  EXPECT_NE(Variant(1), Variant(1.0));
  EXPECT_NE(Variant(1), Variant(std::int16_t{1}));
  EXPECT_EQ(Unassigned, Variant());
  EXPECT_NE(Variant(), Variant::Null());
  EXPECT_NE(Variant("a"), Variant::FromOleStr(QStringLiteral("a")));
  EXPECT_EQ(Variant::FromCurrency(5), Variant::FromCurrency(5));
}

}  // namespace
