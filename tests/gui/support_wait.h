#pragma once

// The ceiling of every wait on a condition: generous, because a loaded
// machine can be slow, and a wait returns the moment its condition holds, so
// a passing test never spends it.
constexpr int kPatienceMs = 60000;
