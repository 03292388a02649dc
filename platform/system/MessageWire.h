#pragma once
// The datagram that carries one posted window message to another process.
//
// Layout (32 bytes, little-endian):
//   0  4  magic "QXWM"
//   4  2  version (1)
//   6  2  length of the whole datagram (32)
//   8  4  target window's local id (not 0)
//  12  4  message number
//  16  8  wParam
//  24  8  lParam (two's complement)
// Anything else - another size, magic, version or length, window id 0 - is
// not a message and is dropped by the receiver.

#include "platform/system/WinTypes.h"

#include <QByteArray>

#include <cstdint>
#include <optional>

struct TWireMessage {
  std::uint32_t window = 0;
  UINT msg = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;

  bool operator==(const TWireMessage&) const = default;
};

inline constexpr int WireMessageSize = 32;
inline constexpr std::uint16_t WireMessageVersion = 1;

QByteArray EncodeWireMessage(const TWireMessage& m);

// nullopt for anything that is not a well-formed message.
std::optional<TWireMessage> DecodeWireMessage(const QByteArray& datagram);
