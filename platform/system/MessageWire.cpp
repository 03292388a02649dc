#include "platform/system/MessageWire.h"

#include <QtEndian>

namespace {

constexpr char Magic[4] = {'Q', 'X', 'W', 'M'};

template <typename T>
void Put(QByteArray& out, int offset, T value) {
  qToLittleEndian(value, out.data() + offset);
}

template <typename T>
T Get(const QByteArray& in, int offset) {
  return qFromLittleEndian<T>(in.constData() + offset);
}

}  // namespace

QByteArray EncodeWireMessage(const TWireMessage& m) {
  QByteArray out(WireMessageSize, '\0');
  out.replace(0, 4, QByteArray(Magic, 4));
  Put<std::uint16_t>(out, 4, WireMessageVersion);
  Put<std::uint16_t>(out, 6, WireMessageSize);
  Put<std::uint32_t>(out, 8, m.window);
  Put<std::uint32_t>(out, 12, m.msg);
  Put<std::uint64_t>(out, 16, std::uint64_t(m.wParam));
  Put<std::uint64_t>(out, 24, std::uint64_t(m.lParam));
  return out;
}

std::optional<TWireMessage> DecodeWireMessage(const QByteArray& datagram) {
  if (datagram.size() != WireMessageSize || !datagram.startsWith(QByteArray(Magic, 4)))
    return std::nullopt;
  if (Get<std::uint16_t>(datagram, 4) != WireMessageVersion ||
      Get<std::uint16_t>(datagram, 6) != WireMessageSize)
    return std::nullopt;
  TWireMessage m;
  m.window = Get<std::uint32_t>(datagram, 8);
  m.msg = Get<std::uint32_t>(datagram, 12);
  m.wParam = WPARAM(Get<std::uint64_t>(datagram, 16));
  m.lParam = LPARAM(Get<std::uint64_t>(datagram, 24));
  if (m.window == 0)
    return std::nullopt;
  return m;
}
