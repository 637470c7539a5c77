#pragma once

#include "core/securerandom.h"

#include <memory>

// The operating system's cryptographic generator: getrandom (or
// /dev/urandom) on Linux, BCryptGenRandom on Windows.
std::unique_ptr<SecureRandom> createSystemRandom();
