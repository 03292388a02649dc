#include "platform/system/WindowEntry.h"

#include "platform/rtl/Exceptions.h"

#include "tests/support/TestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

const TWindowEntry Sample{4242, QStringLiteral("4242.sock"),
                          {{1, QStringLiteral("Muokkain"), true},
                           {0xFFFFFFFFu, QStringLiteral("Ääni \"x\" \\ Ö"), false}}};

TEST(WindowEntry, RoundTripsThroughTheFile) {
  const QString path = qxtest::TempPath(QStringLiteral("4242.entry"));
  WriteWindowEntry(path, Sample);
  EXPECT_EQ(ReadWindowEntry(path), Sample);

  TWindowEntry changed = Sample;
  changed.windows.pop_back();
  WriteWindowEntry(path, changed);
  EXPECT_EQ(ReadWindowEntry(path), changed);
}

TEST(WindowEntry, MissingFileIsNoEntry) {
  EXPECT_FALSE(ReadWindowEntry(qxtest::TempPath(QStringLiteral("none.entry"))).has_value());
}

TEST(WindowEntry, UnwritableFolderRaisesAndLeavesNothing) {
  const QString path = qxtest::TempPath(QStringLiteral("no/such/folder/1.entry"));
  EXPECT_THROW(WriteWindowEntry(path, Sample), EFCreateError);
  EXPECT_FALSE(QFile::exists(path));
}

class BadWindowEntry : public testing::TestWithParam<const char*> {};

TEST_P(BadWindowEntry, IsIgnoredWhole) {
  EXPECT_FALSE(DecodeWindowEntry(QByteArray(GetParam())).has_value()) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, BadWindowEntry,
    testing::Values(
        "", "not json", "[]", "{}",
        R"({"format":2,"pid":5,"socket":"5.sock","windows":[]})",
        R"({"format":1,"pid":0,"socket":"5.sock","windows":[]})",
        R"({"format":1,"pid":-5,"socket":"5.sock","windows":[]})",
        R"({"format":1,"pid":5.5,"socket":"5.sock","windows":[]})",
        R"({"format":1,"pid":3000000000,"socket":"5.sock","windows":[]})",
        R"({"format":1,"pid":"5","socket":"5.sock","windows":[]})",
        R"({"format":1,"pid":5,"socket":"../5.sock","windows":[]})",
        R"({"format":1,"pid":5,"socket":"..","windows":[]})",
        R"({"format":1,"pid":5,"socket":"","windows":[]})",
        R"({"format":1,"pid":5,"socket":7,"windows":[]})",
        R"({"format":1,"pid":5,"socket":"5.sock"})",
        R"({"format":1,"pid":5,"socket":"5.sock","windows":{}})",
        R"({"format":1,"pid":5,"socket":"5.sock","windows":[{"id":0,"title":"a","visible":true}]})",
        R"({"format":1,"pid":5,"socket":"5.sock","windows":[{"id":4294967296,"title":"a","visible":true}]})",
        R"({"format":1,"pid":5,"socket":"5.sock","windows":[{"id":1,"title":3,"visible":true}]})",
        R"({"format":1,"pid":5,"socket":"5.sock","windows":[{"id":1,"title":"a"}]})",
        R"({"format":1,"pid":5,"socket":"5.sock","windows":[1]})"));

TEST(WindowEntry, OversizedFileIsIgnored) {
  QByteArray big = EncodeWindowEntry(Sample);
  big.append(QByteArray(int(MaxWindowEntrySize), ' '));
  EXPECT_FALSE(DecodeWindowEntry(big).has_value());
}

}  // namespace
