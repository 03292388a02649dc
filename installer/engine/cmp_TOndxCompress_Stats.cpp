#include "installer/engine/cmp_TOndxCompress_Stats.h"

#include <cmath>

std::uint8_t OcPercent(double part, double whole) {
  if (whole == 0)
    return 0;
  const double p = std::nearbyint(part / whole * 100.0);  // default mode: halves to even
  if (!(p > 0))
    return 0;
  return p >= 255 ? 255 : static_cast<std::uint8_t>(p);
}
