#include "platform/rtl/Random.h"

#include "platform/rtl/DateTime.h"
#include "platform/rtl/ProcessState.h"

#include <cmath>
#include <mutex>

namespace {

struct Generator {
  std::mutex lock;
  std::uint32_t seed = 0;
  std::function<std::uint32_t()> hook;
};

Generator& TheGenerator() {
  static Generator g;
  return g;
}

void ResetGenerator() {
  Generator& g = TheGenerator();
  std::lock_guard guard(g.lock);
  g.seed = 0;
  g.hook = nullptr;
}

const TResetHook kResetGenerator(ResetGenerator);

std::uint32_t NextValue() {
  Generator& g = TheGenerator();
  std::function<std::uint32_t()> hook;
  {
    std::lock_guard guard(g.lock);
    if (!g.hook) {
      g.seed = g.seed * 0x08088405u + 1u;
      return g.seed;
    }
    hook = g.hook;
  }
  return hook();  // outside the lock: the hook may call back into us
}

}  // namespace

int Random(int range) {
  const std::uint64_t v = NextValue();
  if (range <= 0)
    return 0;
  return static_cast<int>((v * static_cast<std::uint64_t>(range)) >> 32);
}

double Random() { return static_cast<double>(NextValue()) / 4294967296.0; }

void Randomize() {
  // Milliseconds of the current local date and time.
  const double ms = std::fmod(std::fabs(Now()) * 86400000.0, 4294967296.0);
  SetRandSeed(static_cast<std::int32_t>(static_cast<std::uint32_t>(std::llround(ms) & 0xFFFFFFFFLL)));
}

std::int32_t RandSeed() {
  Generator& g = TheGenerator();
  std::lock_guard guard(g.lock);
  return static_cast<std::int32_t>(g.seed);
}

void SetRandSeed(std::int32_t seed) {
  Generator& g = TheGenerator();
  std::lock_guard guard(g.lock);
  g.seed = static_cast<std::uint32_t>(seed);
}

void SetRandomHook(std::function<std::uint32_t()> hook) {
  Generator& g = TheGenerator();
  std::lock_guard guard(g.lock);
  g.hook = std::move(hook);
}
