#pragma once
// TSet: a set of enumeration values, kept as a bit mask of their ordinals.
// Ordinals must lie in 0..63; others are ignored (they cannot be members).

#include <cstdint>
#include <initializer_list>

template <class E>
class TSet {
 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> items) {
    for (E e : items) Include(e);
  }

  static constexpr TSet FromBits(std::uint64_t bits) {
    TSet s;
    s.bits_ = bits;
    return s;
  }
  constexpr std::uint64_t Bits() const { return bits_; }

  constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr TSet& Include(E e) {
    bits_ |= Bit(e);
    return *this;
  }
  constexpr TSet& Exclude(E e) {
    bits_ &= ~Bit(e);
    return *this;
  }

  // Union, difference and intersection, as the class library writes them.
  friend constexpr TSet operator+(TSet a, TSet b) { return FromBits(a.bits_ | b.bits_); }
  friend constexpr TSet operator-(TSet a, TSet b) { return FromBits(a.bits_ & ~b.bits_); }
  friend constexpr TSet operator*(TSet a, TSet b) { return FromBits(a.bits_ & b.bits_); }
  friend constexpr bool operator==(TSet a, TSet b) { return a.bits_ == b.bits_; }
  // Subset test.
  constexpr bool operator<=(TSet other) const { return (bits_ & ~other.bits_) == 0; }

 private:
  static constexpr std::uint64_t Bit(E e) {
    auto ordinal = static_cast<long long>(e);
    return ordinal >= 0 && ordinal < 64 ? std::uint64_t{1} << ordinal : 0;
  }
  std::uint64_t bits_ = 0;
};
