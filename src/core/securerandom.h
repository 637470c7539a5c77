#pragma once

#include <QByteArray>

// The operating system's cryptographic generator, as the public draw needs
// it for the keys it commits to. Implemented per OS in the platform layer;
// tests pass fixed bytes.
class SecureRandom
{
public:
    virtual ~SecureRandom() = default;
    // size bytes no one can foresee; empty when the system cannot give them.
    virtual QByteArray bytes(int size) = 0;
};
