#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

// What the program needs of sound: a music file repeated until stopped, and a
// short WAVE played from memory once without waiting.
class Sound
{
public:
    virtual ~Sound() = default;
    // Starts the file from its beginning, repeated until stop(). A missing or
    // unplayable file is silent and costs no delay.
    virtual void playLooped(const QString &path) = 0;
    // Stops the music; nothing happens when none is playing.
    virtual void stop() = 0;
    // Plays WAVE bytes once; never waits for them.
    virtual void playWave(const QByteArray &wave) = 0;
};

// Plays nothing: where the machine has no audio output at all.
class SilentSound final : public Sound
{
public:
    void playLooped(const QString &) override {}
    void stop() override {}
    void playWave(const QByteArray &) override {}
};

// The platform's player (Qt Multimedia; on Windows PlaySound and MCI), or a
// silent one where no audio output exists. Needs the application object.
std::unique_ptr<Sound> createSystemSound();
