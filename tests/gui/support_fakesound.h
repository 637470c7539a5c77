#pragma once

#include "platform/sound.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// A Sound that plays nothing and remembers what it was asked, for tests of
// the code that decides when music and the end-of-roll sound play.
class FakeSound final : public Sound
{
public:
    void playLooped(const QString &path) override
    {
        calls << QStringLiteral("playLooped ") + path;
        looping = path;
    }

    void stop() override
    {
        calls << QStringLiteral("stop");
        looping.clear();
    }

    void playWave(const QByteArray &wave) override
    {
        calls << QStringLiteral("playWave %1").arg(wave.size());
        lastWave = wave;
        ++waveCount;
    }

    // Every call in order: "playLooped <path>", "stop", "playWave <bytes>".
    QStringList calls;
    // The music now looping; empty once stopped.
    QString looping;
    QByteArray lastWave;
    int waveCount = 0;
};
