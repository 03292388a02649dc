#pragma once
// Process-wide caches (open registry hives, the random generator, ...) register
// a reset here, so tests can start each case from a clean process.

#include <functional>

// Adds a reset step; steps run in registration order.
void RegisterResetHook(std::function<void()> hook);

// Runs every registered reset step.
void ResetProcessState();
