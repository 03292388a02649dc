#pragma once
// The process-wide pseudo-random generator of the runtime.
//
// Algorithm (fixed, so a seed always gives the same sequence): a 32-bit linear
// congruential generator, each step
//   seed := seed * 0x08088405 + 1   (mod 2^32)
// after which Random(range) = (seed * range) >> 32 (seed unsigned, 64-bit
// product) and Random() = seed / 2^32. The seed starts at 0; ResetProcessState
// sets it back to 0 and removes any hook.

#include <cstdint>
#include <functional>

// 0 .. range-1; 0 when range <= 0 (the generator still steps).
int Random(int range);
// [0, 1).
double Random();
// Seeds from the clock (Now(), so an injected clock gives a known seed).
void Randomize();

std::int32_t RandSeed();
void SetRandSeed(std::int32_t seed);

// Replaces the generator's step: the hook yields the next 32-bit value that
// Random(range) and Random() map as above. An empty function restores the
// generator; RandSeed is left alone while a hook is in place.
void SetRandomHook(std::function<std::uint32_t()> hook);
