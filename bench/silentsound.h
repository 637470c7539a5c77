#pragma once

#include "platform/sound.h"

// Benchmarks measure the windows, not the sound device.
class Silent final : public Sound
{
public:
    void playLooped(const QString &) override {}
    void stop() override {}
    void playWave(const QByteArray &) override {}
};
