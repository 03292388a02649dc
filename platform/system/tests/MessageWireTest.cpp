#include "platform/system/MessageWire.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace {

const TWireMessage Sample{7, 1426, 0x1122334455667788u, -5};

TEST(WireMessage, RoundTripsEveryField) {
  const QByteArray bytes = EncodeWireMessage(Sample);
  ASSERT_EQ(bytes.size(), WireMessageSize);
  EXPECT_EQ(DecodeWireMessage(bytes), Sample);
  const TWireMessage extremes{0xFFFFFFFFu, 0xFFFFFFFFu, std::numeric_limits<WPARAM>::max(),
                              std::numeric_limits<LPARAM>::min()};
  EXPECT_EQ(DecodeWireMessage(EncodeWireMessage(extremes)), extremes);
}

TEST(WireMessage, LayoutIsLittleEndianWithHeader) {
  const QByteArray bytes = EncodeWireMessage({1, 0x0592, 2, 3});
  EXPECT_EQ(bytes.left(4), QByteArray("QXWM"));
  EXPECT_EQ(bytes.mid(4, 4), QByteArray::fromHex("01002000"));
  EXPECT_EQ(bytes.mid(8, 8), QByteArray::fromHex("0100000092050000"));
}

struct Corruption {
  const char* what;
  std::function<QByteArray(QByteArray)> damage;
};

class MalformedWireMessage : public testing::TestWithParam<Corruption> {};

TEST_P(MalformedWireMessage, IsRejected) {
  EXPECT_FALSE(DecodeWireMessage(GetParam().damage(EncodeWireMessage(Sample))).has_value())
      << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Damage, MalformedWireMessage,
    testing::Values(
        Corruption{"empty", [](QByteArray) { return QByteArray(); }},
        Corruption{"truncated", [](QByteArray b) { return b.left(31); }},
        Corruption{"header only", [](QByteArray b) { return b.left(8); }},
        Corruption{"one byte too many", [](QByteArray b) { return b + '\0'; }},
        Corruption{"magic", [](QByteArray b) { return b.replace(0, 1, "X"); }},
        Corruption{"version 2", [](QByteArray b) { return b.replace(4, 1, "\x02"); }},
        Corruption{"version 0", [](QByteArray b) { return b.replace(4, 1, QByteArray(1, '\0')); }},
        Corruption{"length field", [](QByteArray b) { return b.replace(6, 1, "\x1f"); }},
        Corruption{"window 0",
                   [](QByteArray b) { return b.replace(8, 4, QByteArray(4, '\0')); }},
        Corruption{"garbage", [](QByteArray) { return QByteArray(32, '\xA5'); }}));

}  // namespace
